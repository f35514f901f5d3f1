// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ui/InstallChooser.h"

#include "common/core/AppInfo.h"
#include "common/core/Colors.h"
#include "common/core/Prompter.h"
#include "common/ui/ClickLabel.h"
#include "installs/core/InstallChoice.h"
#include "installs/core/InstallFinder.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QColor kHeadingText = bgrColor(0x000080FF);
constexpr int kOtherFolderRow = -1; // the row data of "Other folder…"

QString sameFolderKey(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

} // namespace

QString InstallChooser::otherFolderCaption()
{
    return QStringLiteral("Other folder…");
}

QString InstallChooser::openNowMark()
{
    return QStringLiteral(" (open now)");
}

InstallChooser::InstallChooser(const QList<GameInstall>& installs, const QString& placesLooked, const QString& home,
                               Prompter& prompter, const GameInstall& current, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_installs(installs)
    , m_home(home)
    , m_startFolder(current.isValid() ? QDir::cleanPath(current.gameFolder) : QString())
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmChooseGame"));
    setWindowTitle(AppInfo::title() + QStringLiteral(" – Choose your game"));
    setBackground(this, Qt::white);
    setMinimumWidth(480);

    m_heading = new QLabel(installs.isEmpty() && !current.isValid()
                               ? placesLooked
                               : QStringLiteral("Which copy of Worms Armageddon shall %1 open?").arg(AppInfo::title()),
                           this);
    m_heading->setObjectName(QStringLiteral("lblChooseGame"));
    m_heading->setFont(designFont(QStringLiteral("Verdana"), 10, true));
    m_heading->setWordWrap(true);
    setForeground(m_heading, kHeadingText);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstInstalls"));
    m_list->setFont(designFont(QStringLiteral("Verdana"), 9));
    m_list->setAccessibleName(QStringLiteral("Copies of the game"));
    // The copy open now is offered even when the search did not find it (a
    // folder given on the command line or chosen by hand), and says so.
    const bool hasCurrent = current.isValid();
    if (hasCurrent && std::none_of(m_installs.cbegin(), m_installs.cend(), [&](const GameInstall& install) {
            return sameFolderKey(install.userFolder) == sameFolderKey(current.userFolder);
        }))
        m_installs.prepend(current);
    for (int i = 0; i < m_installs.size(); ++i) {
        const GameInstall& install = m_installs.at(i);
        const bool isCurrent = hasCurrent && sameFolderKey(install.userFolder) == sameFolderKey(current.userFolder);
        auto* item = new QListWidgetItem(install.describe(home) + (isCurrent ? openNowMark() : QString()) +
                                             QLatin1Char('\n') + QDir::toNativeSeparators(install.userFolder),
                                         m_list);
        item->setData(Qt::UserRole, i);
        if (isCurrent) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            m_list->setCurrentItem(item);
        }
    }
    auto* other = new QListWidgetItem(otherFolderCaption(), m_list);
    other->setData(Qt::UserRole, kOtherFolderRow);
    if (!m_list->currentItem())
        m_list->setCurrentRow(0);
    connect(m_list, &QListWidget::itemActivated, this, &InstallChooser::takeSelected);

    m_open = new QPushButton(QStringLiteral("Open"), this);
    m_open->setObjectName(QStringLiteral("cmdOpen"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_open, &QPushButton::clicked, this, &InstallChooser::takeSelected);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_open);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    m_list->setFocus();
}

void InstallChooser::takeSelected()
{
    const QListWidgetItem* item = m_list->currentItem();
    if (m_done || !item)
        return;
    const int row = item->data(Qt::UserRole).toInt();
    if (row == kOtherFolderRow)
        chooseOtherFolder();
    else
        finish(m_installs.at(row));
}

void InstallChooser::chooseOtherFolder()
{
    QString folder = m_prompter.chooseFolder(QStringLiteral("Choose the User folder of Worms Armageddon"),
                                             m_startFolder.isEmpty() ? m_home : m_startFolder);
    if (folder.isEmpty())
        return;
    folder = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    // The game folder itself stands for the User folder inside it.
    const QString inside = folder + QStringLiteral("/User");
    if (!InstallFinder::isUserFolder(folder) && InstallFinder::isUserFolder(inside))
        folder = inside;
    // A copy that was found keeps its kind, which decides how it is started;
    // so does a Steam or Wine copy that the search missed.
    for (const GameInstall& install : m_installs) {
        if (sameFolderKey(install.userFolder) == sameFolderKey(folder)) {
            finish(install);
            return;
        }
    }
    finish(InstallChoice::classify(folder, m_installs));
}

void InstallChooser::finish(const GameInstall& install)
{
    m_done = true;
    close();
    Q_EMIT chosen(install);
}

void InstallChooser::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The list takes Enter itself, as an activation of its row.
        if (focusWidget() == m_cancel)
            close();
        else if (focusWidget() != m_list)
            takeSelected();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void InstallChooser::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (!m_done) {
        m_done = true;
        Q_EMIT cancelled();
    }
}
