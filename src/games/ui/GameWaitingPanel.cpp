// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameWaitingPanel.h"

#include "common/ui/ClickLabel.h"
#include "games/ui/GamesLayout.h"

#include <QLabel>

GameWaitingPanel::GameWaitingPanel(QWidget* window)
    : QFrame(window)
{
    setObjectName(QStringLiteral("Frame3"));
    setBackground(this, Qt::white);
    m_note =
        new QLabel(QStringLiteral("             --Populating list--              (>'.')>PLEASE WAIT<('.'<)"), this);
    m_note->setObjectName(QStringLiteral("lblPopulating"));
    m_note->setFont(designFont(QStringLiteral("Verdana"), 10, true));
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setGeometry(GamesLayout::populating);
}

void GameWaitingPanel::cover()
{
    setGeometry(parentWidget()->rect());
    m_note->setGeometry(rect());
}
