// SPDX-License-Identifier: GPL-3.0-or-later
#include "schemes/ui/SchemesWindow.h"

#include "common/core/AppInfo.h"
#include "common/core/LatestOnly.h"
#include "common/core/Prompter.h"
#include "common/core/UserPaths.h"
#include "common/ui/AppContext.h"
#include "common/ui/WindowNames.h"
#include "common/ui/WorkProgress.h"
#include "schemes/core/SchemeFiles.h"
#include "schemes/ui/SchemeListWidget.h"
#include "schemes/ui/SchemeView.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kFileRole = Qt::UserRole;       // the file name in the folder
constexpr int kStoredRole = Qt::UserRole + 1; // true for the scheme held in memory

const QString kSelectHint = QStringLiteral("Select a scheme to see its settings, or two to compare them.");

} // namespace

SchemesWindow::SchemesWindow(AppContext& context)
    : AppWindow(context)
{
    setWindowTitle(QStringLiteral("My Schemes"));
    setMinimumSize(720, 480);
    resize(900, 600);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(splitter);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("&Schemes (drop .wsc files or zip archives here):"), left);
    caption->setObjectName(QStringLiteral("lblSchemes"));
    caption->setWordWrap(true);
    m_list = new SchemeListWidget(left);
    m_list->setObjectName(QStringLiteral("lstSchemes"));
    m_list->setAccessibleName(QStringLiteral("Schemes"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    caption->setBuddy(m_list);
    leftLayout->addWidget(caption);
    leftLayout->addWidget(m_list, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& text, void (SchemesWindow::*slot)()) {
        auto* b = new QPushButton(text, left);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    m_copy = button("cmdCopyScheme", QStringLiteral("&Copy"), &SchemesWindow::copyScheme);
    m_rename = button("cmdRenameScheme", QStringLiteral("&Rename"), &SchemesWindow::renameScheme);
    m_delete = button("cmdDeleteScheme", QStringLiteral("&Delete"), &SchemesWindow::deleteScheme);
    leftLayout->addLayout(buttons);
    m_export = new QPushButton(QStringLiteral("&Export to Zip"), left);
    m_export->setObjectName(QStringLiteral("cmdExportZip"));
    m_export->setAutoDefault(false);
    connect(m_export, &QPushButton::clicked, this, &SchemesWindow::exportZip);
    m_exportWork = new LatestOnly(1, this);
    leftLayout->addWidget(m_export);

    m_view = new SchemeView(splitter);
    splitter->addWidget(left);
    splitter->addWidget(m_view);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &SchemesWindow::selectionChanged);
    connect(m_list, &SchemeListWidget::filesDropped, this, &SchemesWindow::filesDropped);
    setEscapeAction([this] { close(); }); // as closing the window: back to the main menu
    setTabOrder(m_list, m_copy);
    setTabOrder(m_copy, m_rename);
    setTabOrder(m_rename, m_delete);
    setTabOrder(m_delete, m_export);
}

void SchemesWindow::formLoad()
{
    // The game makes the folder only when it first saves a scheme.
    SchemeFiles::ensureFolder(folder());
    refreshList();
    m_list->setFocus();
}

bool SchemesWindow::formUnload()
{
    QWidget* caller = m_returnTo.isEmpty() ? nullptr : context().existingWindow(m_returnTo);
    if (caller && !context().reloadPending(WindowNames::Schemes)) {
        caller->show();
        caller->raise();
        caller->activateWindow();
    } else {
        context().returnToMainMenu(WindowNames::Schemes);
    }
    return true;
}

QString SchemesWindow::folder() const
{
    return SchemeFiles::folderIn(context().paths().userFolder());
}

void SchemesWindow::refreshList()
{
    QStringList selected;
    for (const QListWidgetItem* item : selectedItems())
        selected << item->data(kFileRole).toString();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    if (m_hasStored) {
        auto* item = new QListWidgetItem(m_storedTitle, m_list);
        item->setData(kStoredRole, true);
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
    }
    for (const QString& file : SchemeFiles::schemes(folder())) {
        auto* item = new QListWidgetItem(SchemeFiles::displayName(file), m_list);
        item->setData(kFileRole, file);
    }
    select(selected);
}

void SchemesWindow::select(const QStringList& fileNames)
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->clearSelection();
        for (int i = 0; i < m_list->count(); ++i) {
            QListWidgetItem* item = m_list->item(i);
            if (isStored(item) ? fileNames.contains(QString())
                               : fileNames.contains(item->data(kFileRole).toString(), Qt::CaseInsensitive)) {
                item->setSelected(true);
                m_list->setCurrentItem(item, QItemSelectionModel::Current);
            }
        }
    }
    selectionChanged();
}

void SchemesWindow::showStoredScheme(const QByteArray& bytes, const QString& title, const QString& returnTo)
{
    m_returnTo = returnTo;
    m_hasStored = true; // even without bytes: the view then says what is wrong
    m_storedBytes = bytes;
    m_storedTitle = title;
    refreshList();
    const QSignalBlocker blocker(m_list);
    m_list->clearSelection();
    m_list->item(0)->setSelected(true);
    m_list->setCurrentItem(m_list->item(0), QItemSelectionModel::Current);
    selectionChanged();
}

bool SchemesWindow::isStored(const QListWidgetItem* item) const
{
    return item && item->data(kStoredRole).toBool();
}

QString SchemesWindow::titleOf(const QListWidgetItem* item) const
{
    return item->text();
}

Scheme SchemesWindow::schemeOf(const QListWidgetItem* item) const
{
    if (isStored(item))
        return SchemeReader::read(m_storedBytes);
    QByteArray bytes;
    QString error;
    const QString file = item->data(kFileRole).toString();
    if (!SchemeReader::readFile(QDir(folder()).filePath(file), &bytes, &error)) {
        Scheme unread;
        unread.problems << QStringLiteral("The file cannot be read: ") + error;
        return unread;
    }
    return SchemeReader::read(bytes);
}

QList<QListWidgetItem*> SchemesWindow::selectedItems() const
{
    QList<QListWidgetItem*> items;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected())
            items << m_list->item(i);
    }
    return items;
}

void SchemesWindow::selectionChanged()
{
    const QList<QListWidgetItem*> items = selectedItems();
    if (items.isEmpty()) {
        m_view->clear(
            m_list->count() == 0
                ? QStringLiteral("There is no scheme in the folder %1 yet.").arg(QDir::toNativeSeparators(folder()))
                : kSelectHint);
    } else if (items.size() == 1) {
        m_view->showScheme(titleOf(items[0]), schemeOf(items[0]));
    } else {
        // The current item is the one chosen last: it goes on the right.
        QListWidgetItem* right = m_list->currentItem();
        if (!items.contains(right))
            right = items.last();
        QListWidgetItem* left = items[0] == right ? items[1] : items[0];
        m_view->showComparison(titleOf(left), schemeOf(left), titleOf(right), schemeOf(right));
    }
}

void SchemesWindow::warn(const QString& text)
{
    context().prompter().message(text, AppInfo::title(), Prompter::Buttons::Ok, Prompter::Icon::Exclamation);
}

QListWidgetItem* SchemesWindow::selectedScheme()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        const QList<QListWidgetItem*> items = selectedItems();
        item = items.isEmpty() ? nullptr : items.first();
    }
    if (!item)
        context().prompter().tell(SchemeFiles::noSchemeSelectedMessage());
    return item;
}

void SchemesWindow::copyScheme()
{
    const QListWidgetItem* item = selectedScheme();
    if (!item)
        return;
    const QString answer =
        context().prompter().input(QStringLiteral("What would you like to name the copy?"),
                                   QStringLiteral("Copy Scheme"), QStringLiteral("Copy of ") + titleOf(item));
    if (answer.isEmpty())
        return;
    SchemeFiles::ensureFolder(folder());
    const QString file = item->data(kFileRole).toString();
    const SchemeFiles::NamePlan plan = SchemeFiles::planName(folder(), file, answer);
    if (plan.kind == SchemeFiles::NamePlan::Kind::Replace &&
        context().prompter().message(plan.message, QStringLiteral("Copy Scheme"), Prompter::Buttons::YesNo,
                                     Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    QString error;
    if (!SchemeFiles::copy(plan, &error, isStored(item) ? &m_storedBytes : nullptr)) {
        warn(error);
        return;
    }
    refreshList();
    select({QFileInfo(plan.destination).fileName()});
}

void SchemesWindow::renameScheme()
{
    const QListWidgetItem* item = selectedScheme();
    if (!item)
        return;
    if (isStored(item)) {
        warn(QStringLiteral("%1 is not a file of the Schemes folder: use Copy to keep it there.").arg(item->text()));
        return;
    }
    const QString answer = context().prompter().input(QStringLiteral("What would you like to rename the scheme?"),
                                                      QStringLiteral("Rename Scheme"), titleOf(item));
    if (answer.isEmpty())
        return;
    const SchemeFiles::NamePlan plan = SchemeFiles::planName(folder(), item->data(kFileRole).toString(), answer);
    if (plan.kind == SchemeFiles::NamePlan::Kind::BadName) {
        warn(plan.message);
        return;
    }
    if (plan.kind == SchemeFiles::NamePlan::Kind::Replace &&
        context().prompter().message(plan.message, QStringLiteral("Rename Scheme"), Prompter::Buttons::YesNo,
                                     Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    QString error;
    if (!SchemeFiles::rename(plan, &error))
        warn(error);
    refreshList();
    select({QFileInfo(plan.destination).fileName()});
}

void SchemesWindow::deleteScheme()
{
    const QListWidgetItem* item = selectedScheme();
    if (!item)
        return;
    if (isStored(item)) {
        warn(QStringLiteral("%1 is not a file of the Schemes folder.").arg(item->text()));
        return;
    }
    const QString name = titleOf(item);
    if (context().prompter().message(QStringLiteral("Are you sure you want to delete ") + name + QLatin1Char('?'),
                                     QStringLiteral("Delete?"), Prompter::Buttons::YesNo,
                                     Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    QString error;
    if (!SchemeFiles::remove(folder(), item->data(kFileRole).toString(), &error))
        warn(error);
    refreshList();
}

void SchemesWindow::exportZip()
{
    QStringList names;
    for (const QListWidgetItem* item : selectedItems()) {
        if (!isStored(item))
            names << item->data(kFileRole).toString();
    }
    if (names.isEmpty()) {
        context().prompter().tell(SchemeFiles::noSchemeSelectedMessage());
        return;
    }
    QString archive =
        context().prompter().saveFile(QStringLiteral("Export to Zip"), QStringLiteral("Zip archives (*.zip)"),
                                      QDir::home().filePath(QStringLiteral("Schemes.zip")));
    if (archive.isEmpty())
        return;
    if (!archive.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        archive += QStringLiteral(".zip");
    if (QFileInfo::exists(archive) &&
        context().prompter().message(QStringLiteral("There is already a file called '%1'. Do you want to replace it?")
                                         .arg(QFileInfo(archive).fileName()),
                                     QStringLiteral("Export to Zip"), Prompter::Buttons::YesNo,
                                     Prompter::Icon::Question) != Prompter::Answer::Yes)
        return;
    // Written off the window's thread, showing how far it is, one at a time.
    m_export->setEnabled(false);
    WorkProgress::run<QString>(
        *m_exportWork, this, QStringLiteral("Export to Zip"), QStringLiteral("schemes"),
        [dir = folder(), names, archive](const std::function<bool(int, int)>& report) {
            QString error;
            SchemeFiles::exportZip(dir, names, archive, &error, report);
            return error;
        },
        [this](const QString& error) {
            m_export->setEnabled(true);
            if (!error.isEmpty())
                warn(error);
        });
}

void SchemesWindow::filesDropped(const QStringList& files)
{
    if (!SchemeFiles::ensureFolder(folder())) {
        warn(QStringLiteral("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder())));
        return;
    }
    const SchemeFiles::ImportReport report = SchemeFiles::importFiles(files, folder());
    refreshList();
    if (!report.taken.isEmpty())
        select(report.taken);
    if (!report.message().isEmpty())
        warn(report.message());
}
