// SPDX-License-Identifier: GPL-3.0-or-later
// The replay reader on arbitrary file bytes, from memory and from a file, and
// the --replay-info object made of what it read.

#include "FuzzSupport.h"

#include "replays/core/ReplayInfoCommand.h"
#include "replays/core/ReplayReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using FuzzSupport::require;
    const QByteArray file = FuzzSupport::bytes(data, size);
    const ReplayInfo info = ReplayReader::readBytes(file);
    require(info.replay == file.startsWith("WA"), "a replay is what begins with \"WA\"");
    require(info.replay || info.problems.size() == 1, "a file that is no replay says so once");
    require(info.mapData.isEmpty() || file.mid(12, info.mapData.size()) == info.mapData,
            "the map is the bytes after the map's type");
    require(info.scheme.isEmpty() || file.contains(info.scheme), "the scheme is bytes of the file");
    require(info.colours <= 255, "no more colours than a palette holds, entry 0 aside");
    require(info.mapComplete || info.mapData.isEmpty() || !info.problems.isEmpty(), "a cut map is a problem");

    const QString path = FuzzSupport::writeScratchFile(QStringLiteral("game.WAgame"), file);
    ReplayInfo fromFile;
    QString error;
    require(ReplayReader::readFile(path, &fromFile, &error), "a regular file is read");
    require(fromFile.problems == info.problems && fromFile.mapData == info.mapData && fromFile.scheme == info.scheme,
            "the file gives what its bytes give");
    int status = -1;
    const QJsonObject json = ReplayInfoCommand::fileJson(path, &status);
    require(status == (info.replay && info.problems.isEmpty() ? 0 : 1), "the status follows the problems");
    require(json.value(QStringLiteral("replay")).isNull() != info.replay, "a replay has its object");
    return 0;
}
