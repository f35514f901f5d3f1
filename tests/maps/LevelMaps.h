#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>

// Maps the way the game saves them: an indexed (paletted) PNG carrying the
// level settings in a chunk of the game's own ("waLV" or "w2lv"), placed
// between IHDR and PLTE.
namespace LevelMaps {

// The PNG bytes of a `size` map filled with `colour`, with a level chunk of
// type `chunkType` holding `levelData`.
QByteArray png(QSize size, const QColor& colour, const QByteArray& chunkType = QByteArrayLiteral("waLV"),
               const QByteArray& levelData = QByteArrayLiteral("level settings \x01\x02\x03"));

// True when `bytes` hold a chunk of type `chunkType` with `levelData`.
bool hasLevelChunk(const QByteArray& bytes, const QByteArray& chunkType = QByteArrayLiteral("waLV"),
                   const QByteArray& levelData = QByteArrayLiteral("level settings \x01\x02\x03"));

} // namespace LevelMaps
