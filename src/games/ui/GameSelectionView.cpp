// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameSelectionView.h"

#include "games/ui/GamesLayout.h"

#include <QLineEdit>

GameSelectionView::GameSelectionView(QWidget* window)
    : QObject(window)
    , m_txtFile(new QLineEdit(window))
    , m_txtFolder(new QLineEdit(window))
{
    m_txtFile->setObjectName(QStringLiteral("txtFile"));
    m_txtFile->setReadOnly(true);
    m_txtFile->setPlaceholderText(QStringLiteral("No game selected"));
    m_txtFile->setGeometry(GamesLayout::selectedFile);
    m_txtFolder->setObjectName(QStringLiteral("txtFolder"));
    m_txtFolder->setReadOnly(true);
    m_txtFolder->setGeometry(GamesLayout::selectedFolder);
}

void GameSelectionView::show(const GameSelection& game, const QString& folderText)
{
    m_txtFile->setText(game.file);
    m_txtFile->setCursorPosition(0);
    if (!game.isEmpty())
        m_txtFile->setToolTip(game.file);
    m_txtFolder->setText(folderText);
}
