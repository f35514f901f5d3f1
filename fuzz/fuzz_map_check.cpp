// SPDX-License-Identifier: GPL-3.0-or-later
// The map checks on arbitrary file bytes: the game's level chunk, the
// settings line, the rule findings, and the text chunks the thumbnail cache
// adds after IHDR.

#include "FuzzSupport.h"

#include "imaging/PngChunks.h"
#include "maps/core/MapCheck.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file = FuzzSupport::bytes(data, size);
    const MapCheck::Report report = MapCheck::inspectBytes(file);
    FuzzSupport::require(report.readable, "bytes in memory always read");
    FuzzSupport::require(!report.settingsLine().isEmpty(), "every map has a settings line");
    const bool refused = std::any_of(report.findings.cbegin(), report.findings.cend(), [](const QString& finding) {
        return finding.endsWith(QStringLiteral(": the game will not load this map."));
    });
    FuzzSupport::require(report.loads == !refused, "a map loads exactly when no finding refuses it");
    FuzzSupport::require(report.colours <= 255, "no more colours than a palette holds, entry 0 aside");

    const auto chunk = PngChunks::findChunk(file, {QByteArrayLiteral("w2lv"), QByteArrayLiteral("waLV")});
    if (report.png) {
        FuzzSupport::require(chunk.has_value() == (report.settings != MapCheck::Report::Settings::None),
                             "the settings come from the level chunk");
        MapCheck::LevelSettings level;
        FuzzSupport::require(!chunk || MapCheck::parseLevelSettings(*chunk, &level) ==
                                           (report.settings == MapCheck::Report::Settings::Present),
                             "only 40 or 41 bytes are settings");
    }

    const QByteArray tagged = PngChunks::withTextChunks(file, {{QByteArrayLiteral("Thumb::URI"), file.left(16)}});
    if (!tagged.isEmpty()) {
        const auto text = PngChunks::findChunk(tagged, {QByteArrayLiteral("tEXt")});
        FuzzSupport::require(text && *text == "Thumb::URI" + QByteArray(1, '\0') + file.left(16),
                             "the text chunk comes first after IHDR");
    }
    return 0;
}
