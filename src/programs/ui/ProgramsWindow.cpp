// SPDX-License-Identifier: GPL-3.0-or-later
#include "programs/ui/ProgramsWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Intervals.h"
#include "common/core/Launcher.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/ClickLabel.h"
#include "common/ui/HoverGroup.h"
#include "common/ui/PictureLabel.h"
#include "common/ui/WindowNames.h"
#include "installs/core/GameStarter.h"
#include "programs/core/CatalogueService.h"
#include "programs/core/ProgramCatalogue.h"
#include "programs/core/RecordSet.h"
#include "programs/ui/ProgramsLayout.h"

#include <QDir>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

namespace {

const QColor kListBack = bgrColor(0x00FFFFC0);
const QColor kListText = bgrColor(0x000080FF);
const QColor kTitleBack = bgrColor(0x00C0E0FF);
const QColor kHeadingText = bgrColor(0x000080FF);

const QString kImportTitle = QStringLiteral("Import A Worm Proggy (or any program actually ;p)");

} // namespace

QString ProgramsWindow::noSelectionText()
{
    return QStringLiteral("Select A Proggy");
}

QColor ProgramsWindow::actionPlainColour()
{
    return bgrColor(0x00C0FFC0);
}

QColor ProgramsWindow::actionHighlightColour()
{
    return bgrColor(0x0000FFFF);
}

QString ProgramsWindow::importFilter()
{
    QString filter = qtFileFilter(QStringLiteral("Any Executable (*.exe)|*.exe"));
#ifndef Q_OS_WIN
    // Tools here may also be scripts or native programs without ".exe".
    filter += QStringLiteral(";;All files (*)");
#endif
    return filter;
}

ProgramsWindow::ProgramsWindow(AppContext& context, CatalogueService& catalogue)
    : AppWindow(context)
    , m_catalogue(catalogue)
    , m_actionHighlight(new HoverGroup(actionPlainColour(), actionHighlightColour(), this))
{
    setWindowTitle(QLatin1Char('"') + AppInfo::title() + QStringLiteral("\" - My Proggies c('.'C)"));
    setEscapeAction([this] { close(); }); // as closing the window: back to the main menu
    setFixedSize(ProgramsLayout::size);
    setMouseTracking(true);

    m_heading = new QLabel(QStringLiteral("Proggies"), this);
    m_heading->setObjectName(QStringLiteral("Label1"));
    m_heading->setGeometry(ProgramsLayout::heading);
    m_heading->setFont(designFont(QStringLiteral("Verdana"), 16, true));
    m_heading->setAlignment(Qt::AlignCenter);
    setForeground(m_heading, kHeadingText);

    m_programList = new QListWidget(this);
    m_programList->setObjectName(QStringLiteral("List1"));
    m_programList->setGeometry(ProgramsLayout::list);
    m_programList->setFont(designFont(QStringLiteral("Verdana"), 10));
    setBackground(m_programList, kListBack);
    setForeground(m_programList, kListText);
    m_programList->setMouseTracking(true);
    m_actionHighlight->clearOnMouseMove(m_programList->viewport());
    // A click, or the keyboard moving the selection, selects the row. (Not
    // the current row alone: the list makes its first entry current when it
    // takes the focus, which is no choice of the user's.)
    connect(m_programList, &QListWidget::itemClicked, this, &ProgramsWindow::programSelected);
    connect(m_programList, &QListWidget::itemSelectionChanged, this, &ProgramsWindow::programSelected);
    connect(m_programList, &QListWidget::itemDoubleClicked, this, &ProgramsWindow::cmdRunClick);

    m_lblTitle = new QLabel(noSelectionText(), this);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    m_lblTitle->setGeometry(ProgramsLayout::title);
    m_lblTitle->setFont(designFont(QStringLiteral("Verdana"), 11, true));
    m_lblTitle->setAlignment(Qt::AlignCenter);
    m_lblTitle->setTextFormat(Qt::PlainText);
    setBackground(m_lblTitle, kTitleBack);

    m_lblDes = new QLabel(this);
    m_lblDes->setObjectName(QStringLiteral("lblDes"));
    m_lblDes->setGeometry(ProgramsLayout::description);
    m_lblDes->setFont(designFont(QStringLiteral("Verdana"), 9));
    m_lblDes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblDes->setTextFormat(Qt::PlainText);
    m_lblDes->setWordWrap(true);
    m_lblDes->setMargin(6);
    setBackground(m_lblDes, Qt::white);

    m_actionsFrame = new ClickFrame(this);
    m_actionsFrame->setObjectName(QStringLiteral("Frame1"));
    m_actionsFrame->setGeometry(ProgramsLayout::actions);
    setBackground(m_actionsFrame, Qt::white);
    connect(m_actionsFrame, &ClickFrame::mouseMoved, m_actionHighlight, &HoverGroup::clear);

    auto action = [this](const char* name, const QString& caption, int index) {
        auto* label = new ClickLabel(caption, m_actionsFrame);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(ProgramsLayout::action(index));
        label->setFont(designFont(QStringLiteral("Verdana"), 10, true));
        label->setAlignment(Qt::AlignCenter);
        m_actionHighlight->add(label);
        return label;
    };
    m_cmdImport = action("cmdImport", QStringLiteral("IMPORT"), 0);
    m_cmdRemove = action("cmdRemove", QStringLiteral("REMOVE"), 1);
    m_cmdRun = action("cmdRun", QStringLiteral("RUN"), 2);
    connect(m_cmdImport, &ClickLabel::clicked, this, &ProgramsWindow::cmdImportClick);
    connect(m_cmdRemove, &ClickLabel::clicked, this, &ProgramsWindow::cmdRemoveClick);
    connect(m_cmdRun, &ClickLabel::clicked, this, &ProgramsWindow::cmdRunClick);

    m_imgArmy = new QLabel(this);
    m_imgArmy->setObjectName(QStringLiteral("imgArmy"));
    m_imgArmy->setGeometry(ProgramsLayout::army);
    m_imgArmy->setAlignment(Qt::AlignCenter);

    // Runs the import once the file dialog's click has been handled.
    m_importTimer = new QTimer(this);
    m_importTimer->setObjectName(QStringLiteral("Timer1"));
    m_importTimer->setInterval(context.intervals().deferredFill);
    connect(m_importTimer, &QTimer::timeout, this, &ProgramsWindow::importTimerFired);
}

void ProgramsWindow::formLoad()
{
    showOwnPicture(m_imgArmy, context().paths(), QStringLiteral("army.bmp"));
    fillList();
}

RecordSet& ProgramsWindow::records() const
{
    return m_catalogue.records();
}

void ProgramsWindow::fillList()
{
    // The record set stands on its first row: the query has just run.
    const QSignalBlocker blocker(m_programList);
    m_programList->addItems(ProgramCatalogue::titles(records()));
}

bool ProgramsWindow::positionOnSelection()
{
    return m_selectedRow >= 0 && records().setAbsolutePosition(m_selectedRow + 1);
}

void ProgramsWindow::programSelected()
{
    const int index = m_programList->currentRow();
    if (index < 0 || !m_programList->item(index)->isSelected())
        return;
    m_selectedRow = index;
    if (!positionOnSelection()) {
        m_selectedRow = -1;
        return;
    }
    m_lblTitle->setText(records().field(ProgramCatalogue::TitleField).toString());
    m_lblDes->setText(records().field(ProgramCatalogue::DescriptionField).toString());
}

void ProgramsWindow::cmdRunClick()
{
    // Whether a row is selected is kept apart from the label's text, so a
    // program that happens to be called "Select A Proggy" can still be run.
    if (!positionOnSelection()) {
        context().prompter().tell(QStringLiteral("Please select a program to run."));
        return;
    }
    const QString file = records().field(ProgramCatalogue::PathField).toString();
    const QString shown = QDir::toNativeSeparators(file);
    // A program that cannot be started (moved, deleted, refused) shows
    // nothing, as the catalogue always did; only a Windows program on a system
    // without Wine is explained, since nothing else would tell the user why.
    GameStarter starter(context().launcher());
    if (starter.startTool(context().install(), file) == Launcher::Result::NoWine)
        tellFailure(QStringLiteral("The Quillane found ") + shown + QStringLiteral(", but cannot start it."),
                    QStringLiteral("Wine is not installed on this system (no 'wine' command on the PATH)."));
}

void ProgramsWindow::cmdRemoveClick()
{
    if (!positionOnSelection()) {
        context().prompter().tell(QStringLiteral("Please select a program to remove from the database."));
        return;
    }
    const QString entry = m_programList->item(m_selectedRow)->text();
    const Prompter::Answer answer = context().prompter().message(
        QStringLiteral("You are about to remove ") + entry +
            QStringLiteral(" from the database. Are you sure you want to do this?"),
        QStringLiteral("Confirm Delete"), Prompter::Buttons::YesNo, Prompter::Icon::Question);
    if (answer != Prompter::Answer::Yes)
        return;
    // The answer box may have let other events run: stand on the row again.
    if (positionOnSelection() && !ProgramCatalogue::removeCurrent(records()))
        tellFailure(QStringLiteral("\"") + entry + QStringLiteral("\" could not be removed from the catalogue."),
                    records().lastError());
    rebuild();
}

void ProgramsWindow::cmdImportClick()
{
    m_importedFile = context().prompter().openFile(kImportTitle, importFilter());
    m_importTimer->start();
}

void ProgramsWindow::importTimerFired()
{
    m_importTimer->stop();
    importProgram();
}

QString ProgramsWindow::askUntilAnswered(const QString& prompt, const QString& title)
{
    // Cancel gives the empty text too, so the question comes again until
    // something is typed; blanks alone count as nothing.
    QString answer;
    do {
        answer = context().prompter().input(prompt, title, QString());
    } while (answer.trimmed().isEmpty());
    return answer;
}

void ProgramsWindow::importProgram()
{
    if (m_importedFile.isEmpty())
        return; // the dialog was cancelled
    const QString name =
        askUntilAnswered(QStringLiteral("Enter a Name for the Proggy c('.'C)"), QStringLiteral("Input A Custom Name"));
    const QString description = askUntilAnswered(QStringLiteral("Please Enter A Description of the Program"),
                                                 QStringLiteral("Description Entry"));
    if (!ProgramCatalogue::add(records(), name, description, m_importedFile))
        tellFailure(QStringLiteral("\"") + name + QStringLiteral("\" could not be added to the catalogue."),
                    records().lastError());
    rebuild();
}

void ProgramsWindow::rebuild()
{
    // From now until the loading window replaces this window, its list no
    // longer matches the re-run query (an entry would stand for another row),
    // and a box opened now would still be open when the window is destroyed.
    // So it takes no more clicks or keys; it can still be closed.
    setEnabled(false);
    // A new window over a failed query would show an empty list: say that
    // the catalogue is not empty but unreadable.
    if (!m_catalogue.refresh())
        m_catalogue.tellProblem(context().prompter());
    context().reload(WindowNames::Programs);
}

void ProgramsWindow::tellFailure(const QString& what, const QString& reason)
{
    QString text = what;
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason.at(0).toUpper() + reason.mid(1) +
                (reason.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral("."));
    context().prompter().message(text, AppInfo::title(), Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}

bool ProgramsWindow::formUnload()
{
    // During a rebuild the loading window stays in view instead of the menu.
    context().returnToMainMenu(WindowNames::Programs);
    return true;
}

void ProgramsWindow::mouseMoveEvent(QMouseEvent* event)
{
    m_actionHighlight->clear();
    AppWindow::mouseMoveEvent(event);
}

bool prepareProgramsCatalogue(AppContext& context, CatalogueService& catalogue)
{
    if (catalogue.prepareForPrograms())
        return true;
    catalogue.tellProblem(context.prompter());
    return false;
}
