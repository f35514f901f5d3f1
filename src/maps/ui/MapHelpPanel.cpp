// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapHelpPanel.h"

#include "common/core/Colors.h"
#include "common/core/Desktop.h"
#include "common/ui/ClickLabel.h"
#include "maps/ui/MapsLayout.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QUrl>

namespace {

QString transferHelp()
{
    return QStringLiteral(
        "TRANSFER STATION: If you would like to transfer a map to a different folder, simply highlight the folder "
        "you'd like the map to transfer to from this box, then click and drag the map to the box!     You can also "
        "transfer external pngs to here!");
}

} // namespace

MapHelpPanel::MapHelpPanel(Desktop& desktop, QWidget* window)
    : QObject(window)
    , m_lblDesc(new QLabel(transferHelp(), window))
    , m_downloadSites(new QGroupBox(QStringLiteral("Map Download Sites"), window))
    , m_helpChoices(new QGroupBox(window))
{
    m_lblDesc->setObjectName(QStringLiteral("lblDesc"));
    m_lblDesc->setGeometry(MapsLayout::transferHelp);
    m_lblDesc->setWordWrap(true);
    m_lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblDesc->setFont(designFont(QStringLiteral("Verdana"), 7));
    m_lblDesc->setMargin(2);
    setBackground(m_lblDesc, bgrColor(0x00C0FFFF));
    m_lblDesc->setVisible(false);

    // The download sites.
    m_downloadSites->setObjectName(QStringLiteral("Frame3"));
    m_downloadSites->setGeometry(MapsLayout::downloadSites);
    setBackground(m_downloadSites, bgrColor(0x00FFFFFF)); // the window's white
    auto site = [&](const char* name, const QString& text, const QRect& where, const QString& address) {
        auto* label = new ClickLabel(text, m_downloadSites);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(where);
        label->setForeColor(bgrColor(0x00C00000));
        label->setCursor(Qt::PointingHandCursor);
        QFont font = label->font();
        font.setUnderline(true);
        label->setFont(font);
        connect(label, &ClickLabel::clicked, this, [&desktop, address] { desktop.openUrl(QUrl(address)); });
    };
    site("lblWMDB", QStringLiteral("Worms Map Database 'WMDB'"), MapsLayout::mapDatabaseLink, mapDatabaseAddress());
    site("lblOxbel", QStringLiteral("Worms Knowledge Base 'Oxbel'"), MapsLayout::mapMakingLink, mapMakingAddress());
    m_downloadSites->setVisible(false);

    // The two check boxes that show the help text and the sites.
    m_helpChoices->setObjectName(QStringLiteral("Frame2"));
    m_helpChoices->setGeometry(MapsLayout::helpChoices);
    auto* howToTransfer = new QCheckBox(QStringLiteral("How to Transfer"), m_helpChoices);
    howToTransfer->setObjectName(QStringLiteral("Check1"));
    howToTransfer->setGeometry(MapsLayout::howToTransferChoice);
    auto* downloadSites = new QCheckBox(QStringLiteral("Map Download Sites"), m_helpChoices);
    downloadSites->setObjectName(QStringLiteral("Check2"));
    downloadSites->setGeometry(MapsLayout::downloadSitesChoice);
    for (QCheckBox* check : {howToTransfer, downloadSites})
        check->setFont(designFont(QStringLiteral("Verdana"), 7));
    connect(howToTransfer, &QCheckBox::toggled, m_lblDesc, &QWidget::setVisible);
    connect(downloadSites, &QCheckBox::toggled, m_downloadSites, &QWidget::setVisible);

    // Help and sites lie over the army picture when they show.
    m_lblDesc->raise();
    m_downloadSites->raise();
}

QString MapHelpPanel::mapDatabaseAddress()
{
    return QStringLiteral("https://www.wmdb.org/");
}

QString MapHelpPanel::mapMakingAddress()
{
    return QStringLiteral("https://worms2d.info/Colour_map");
}

void MapHelpPanel::moveChoicesTo(int top)
{
    m_helpChoices->move(m_helpChoices->x(), top);
}
