// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapPreviewPane.h"

#include "common/core/Pictures.h"
#include "common/ui/ClickLabel.h"
#include "maps/core/MapInspector.h"
#include "maps/core/MapPreview.h"
#include "maps/ui/MapSettingsStrip.h"
#include "maps/ui/MapsLayout.h"

#include <QLabel>
#include <QPixmap>

MapPreviewPane::MapPreviewPane(const UserPaths& paths, QWidget* window)
    : QObject(window)
    , m_paths(paths)
    , m_lblMapName(new QLabel(window))
    , m_picPreview(new QLabel(window))
    , m_settingsStrip(new MapSettingsStrip(m_picPreview))
    , m_preview(new MapPreviewLoader(this))
    , m_inspector(new MapInspector(true, this))
{
    m_lblMapName->setObjectName(QStringLiteral("lblMapName"));
    m_lblMapName->setGeometry(MapsLayout::mapName);
    m_lblMapName->setFont(designFont(QStringLiteral("Verdana"), 12, true));
    m_lblMapName->setAlignment(Qt::AlignCenter);

    m_picPreview->setObjectName(QStringLiteral("picPreview"));
    m_picPreview->setGeometry(MapsLayout::preview);
    m_picPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackground(m_picPreview, Qt::black);

    connect(m_preview, &MapPreviewLoader::finished, this, &MapPreviewPane::previewFinished);
    connect(m_inspector, &MapInspector::inspected, this, &MapPreviewPane::showSettings);
}

void MapPreviewPane::showMap(const QString& file, const QString& displayName)
{
    m_lblMapName->setText(displayName);
    m_file = file;
    m_inspector->request({file});
    const qreal ratio = m_picPreview->devicePixelRatioF();
    const QSize box = m_picPreview->contentsRect().size();
    m_preview->request(file, QSize(qRound(box.width() * ratio), qRound(box.height() * ratio)));
}

void MapPreviewPane::showNone()
{
    cancel();
    m_file.clear();
    showNoMap();
    m_settingsStrip->clear();
}

void MapPreviewPane::cancel()
{
    m_preview->cancel();
    m_inspector->cancel();
}

bool MapPreviewPane::busy() const
{
    return m_preview->busy() || m_inspector->busy();
}

// A map that cannot be shown keeps the settings strip: the check of the same
// file, which comes on its own and in either order, says what is wrong with it.
// A map beyond what the preview can draw is not called missing or damaged.
void MapPreviewPane::previewFinished(const QString& file, const QImage& picture, bool tooLarge)
{
    Q_UNUSED(file)
    if (picture.isNull()) {
        showNoMap();
        if (tooLarge)
            m_lblMapName->setText(QStringLiteral("Too large to preview"));
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(picture);
    pixmap.setDevicePixelRatio(m_picPreview->devicePixelRatioF());
    m_picPreview->setPixmap(pixmap);
}

void MapPreviewPane::showNoMap()
{
    const QImage black = Pictures::userOrBuiltIn(m_paths, QStringLiteral("black.bmp"));
    m_picPreview->setPixmap(QPixmap::fromImage(
        black.scaled(m_picPreview->contentsRect().size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    m_lblMapName->setText(QStringLiteral("No Map Selected!"));
}

void MapPreviewPane::showSettings(const QStringList& files, const QList<MapCheck::Report>& reports)
{
    if (m_file.isEmpty() || reports.isEmpty() || files.first() != m_file || !reports.first().readable) {
        m_settingsStrip->clear();
        return;
    }
    m_settingsStrip->showReport(reports.first());
}
