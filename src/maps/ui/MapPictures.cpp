// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/ui/MapPictures.h"

#include "common/ui/WorkProgress.h"
#include "maps/core/MapThumbnails.h"
#include "maps/core/MapsSettings.h"

#include <QAbstractButton>
#include <QDir>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>

namespace {

constexpr auto thumbnailSize = MapThumbnails::Size::Normal;
// Thumbnails of the game's usual 1920 x 696 maps are 128 x 46; icons of up to
// 128 x 64 leave tall maps their shape at a smaller size.
const QSize iconSize(128, 64);

} // namespace

MapPictures::MapPictures(QListWidget* list, QAbstractButton* toggle, QWidget* covered, QObject* parent)
    : QObject(parent)
    , m_list(list)
    , m_toggle(toggle)
    , m_covered(covered)
    , m_loader(new MapThumbnailLoader(thumbnailSize, this))
{
    m_toggle->setCheckable(true);
    connect(m_toggle, &QAbstractButton::toggled, this, [this](bool on) {
        MapsSettings::setPicturesView(on);
        setActive(on);
    });
    connect(m_loader, &MapThumbnailLoader::ready, this, &MapPictures::apply);
}

void MapPictures::restore()
{
    m_toggle->setChecked(MapsSettings::picturesView());
}

bool MapPictures::active() const
{
    return m_list->viewMode() == QListView::IconMode;
}

int MapPictures::pending() const
{
    return m_loader->pending();
}

void MapPictures::cancel()
{
    m_loader->cancel();
    endProgress();
}

void MapPictures::endProgress()
{
    if (m_progress)
        m_progress->finish();
    m_progress = nullptr;
}

void MapPictures::setActive(bool on)
{
    if (on == active())
        return;
    if (on) {
        m_namesWidth = m_list->width();
        m_list->resize(std::max(m_namesWidth, m_covered->geometry().right() + 1 - m_list->x()), m_list->height());
        m_covered->hide();
        m_list->setViewMode(QListView::IconMode);
        m_list->setMovement(QListView::Static); // items stay in order; drags are the list's own
        m_list->setResizeMode(QListView::Adjust);
        m_list->setIconSize(iconSize);
        const int textHeight = m_list->fontMetrics().height();
        m_list->setGridSize(QSize(iconSize.width() + 8, iconSize.height() + 2 * textHeight + 8));
        m_list->setWordWrap(true);
        refilled(m_folder);
    } else {
        cancel();
        m_rows.clear();
        m_list->setViewMode(QListView::ListMode);
        m_list->setGridSize(QSize());
        m_list->setIconSize(QSize());
        m_list->setWordWrap(false);
        m_list->setUniformItemSizes(false);
        for (int row = 0; row < m_list->count(); ++row)
            m_list->item(row)->setIcon(QIcon());
        m_list->resize(m_namesWidth, m_list->height());
        m_covered->show();
    }
    if (QListWidgetItem* current = m_list->currentItem())
        m_list->scrollToItem(current);
}

void MapPictures::refilled(const QString& folder)
{
    m_folder = folder;
    cancel();
    m_rows.clear();
    if (!active())
        return;
    // The list keeps the first item's size for all once it has measured one,
    // and a size taken without a picture leaves room for the name only: the
    // sizes are measured afresh once every map holds its picture's place.
    m_list->setUniformItemSizes(false);
    QStringList files;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    // Until its thumbnail comes, each map holds the thumbnail's place.
    QPixmap waiting(MapThumbnails::fitted(QSize(1920, 696), thumbnailSize));
    waiting.fill(Qt::transparent);
    const QIcon placeholder(waiting);
    for (int row = 0; row < m_list->count(); ++row) {
        m_list->item(row)->setIcon(placeholder);
        const QString file = prefix + m_list->item(row)->text();
        m_rows.insert(file, row);
        files << file;
    }
    m_list->setUniformItemSizes(true);
    m_list->doItemsLayout();
    m_loader->request(files);
    if (m_loader->pending() > 0) {
        m_made = int(files.size()) - m_loader->pending();
        m_progress = new WorkProgress(m_list->window(), QStringLiteral("Pictures"), QStringLiteral("thumbnails made"));
        m_progress->reporter()(m_made, int(files.size()));
    }
}

void MapPictures::apply(const QList<QPair<QString, QImage>>& thumbnails)
{
    for (const auto& [file, image] : thumbnails) {
        const auto row = m_rows.constFind(file);
        if (row == m_rows.cend())
            continue;
        if (QListWidgetItem* item = m_list->item(*row))
            item->setIcon(QIcon(QPixmap::fromImage(image.isNull() ? m_unreadable : image)));
    }
    if (!m_progress)
        return;
    m_made += int(thumbnails.size());
    // Cancel keeps the thumbnails made; the others keep their places empty.
    if (!m_progress->reporter()(m_made, int(m_rows.size())))
        cancel();
    else if (m_loader->pending() == 0)
        endProgress();
}
