// SPDX-License-Identifier: GPL-3.0-or-later
#include "maps/core/MapDrag.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace MapDrag {

QString mimeType()
{
    return QStringLiteral("application/x-quillane-map");
}

QMimeData* mimeFor(const QString& mapPath)
{
    auto* mime = new QMimeData;
    mime->setData(mimeType(), mapPath.toUtf8());
    mime->setUrls({QUrl::fromLocalFile(mapPath)});
    return mime;
}

static bool isUnder(const QString& path, const QString& root)
{
    if (root.isEmpty())
        return false;
    QString prefix = QDir::cleanPath(root);
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    const QString clean = QDir::cleanPath(path);
    return clean.startsWith(prefix) && clean.size() > prefix.size();
}

Drag read(const QMimeData& mime, const QString& mapsRoot)
{
    Drag drag;
    if (mime.hasFormat(mimeType())) {
        const QString path = QString::fromUtf8(mime.data(mimeType()));
        if (isUnder(path, mapsRoot)) {
            drag.kind = Kind::OwnMap;
            drag.mapPath = QDir::cleanPath(path);
            return drag;
        }
    }
    if (mime.hasUrls()) {
        const QList<QUrl> urls = mime.urls();
        for (const QUrl& url : urls) {
            if (url.isLocalFile())
                drag.files.append(url.toLocalFile());
        }
        if (!drag.files.isEmpty())
            drag.kind = Kind::OutsideFiles;
    }
    return drag;
}

Action decide(Target target, Kind kind, Entry entry)
{
    if (kind == Kind::Nothing)
        return Action::Ignore;
    if (target == Target::MapList)
        return kind == Kind::OutsideFiles ? Action::CopyIntoMapFolder : Action::Ignore;
    const bool highlighted = entry == Entry::Root || entry == Entry::Folder;
    if (kind == Kind::OwnMap)
        return highlighted ? Action::MoveMap : Action::AskToSelect;
    return highlighted ? Action::CopyIntoTarget : Action::AskToHighlight;
}

bool accepts(Target target, Kind kind)
{
    // The transfer list takes every usable drag, also while no folder is
    // highlighted: the drop then says what to do.
    return decide(target, kind, Entry::Folder) != Action::Ignore;
}

} // namespace MapDrag
