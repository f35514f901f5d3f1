// SPDX-License-Identifier: GPL-3.0-or-later
#include "games/ui/GameControlPanel.h"

#include "common/ui/HoverGroup.h"
#include "games/ui/GamesLayout.h"

GameControlPanel::GameControlPanel(HoverGroup* highlight, QWidget* parent)
    : ClickFrame(parent)
{
    setObjectName(QStringLiteral("Frame2"));
    setFrameShape(QFrame::Box);
    setGeometry(GamesLayout::controlPanel);
    connect(this, &ClickFrame::mouseMoved, highlight, &HoverGroup::clear);
    auto* caption = new QLabel(QStringLiteral("Control Panel"), this);
    caption->setFont(designFont(QStringLiteral("Verdana"), 8, true));
    caption->setGeometry(GamesLayout::controlCaption);

    struct Entry {
        const char* name;
        const char* caption;
        Button button;
    };
    // In two rows of three.
    const Entry entries[] = {
        {"cmdView", "View Game", Button::View},
        {"cmdDelete", "Delete Game", Button::Delete},
        {"cmdMove", "Move File", Button::Move},
        {"cmdCopy", "Copy File", Button::Copy},
        {"cmdCreate", "Create New Folder", Button::Create},
        {"cmdReset", "RESET LIST", Button::Reset},
    };
    for (int i = 0; i < 6; ++i) {
        const Entry& entry = entries[i];
        ClickLabel* button = highlight->addButton(this, QLatin1String(entry.name), QLatin1String(entry.caption),
                                                  GamesLayout::controlButton(i % 3, i / 3));
        connect(button, &ClickLabel::clicked, this, [this, which = entry.button] { emit buttonClicked(which); });
    }
}
