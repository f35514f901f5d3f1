#pragma once

#include "support/TestMaps.h"

#include <QColor>

// Maps as the game saves them (indexed, with its level chunk), filled with one
// colour so that a preview tells which map it shows.
namespace LevelMaps {

inline QByteArray solid(QSize size, const QColor& colour, const QByteArray& chunkType = QByteArrayLiteral("waLV"))
{
    QImage image(size, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), colour.rgb()});
    image.fill(1);
    return TestMaps::levelMapPng(image, chunkType);
}

inline bool hasLevelChunk(const QByteArray& bytes, const QByteArray& chunkType = QByteArrayLiteral("waLV"))
{
    return bytes.contains(TestMaps::chunk(chunkType, TestMaps::levelData()));
}

} // namespace LevelMaps
