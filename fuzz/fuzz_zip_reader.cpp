// SPDX-License-Identifier: GPL-3.0-or-later
// The zip reader on arbitrary archive bytes: opened and checked, then every
// file entry unpacked, as Import Bank does.
//
// Input: the archive file.

#include "FuzzSupport.h"

#include "common/core/ZipReader.h"

#include <QDir>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString archive = FuzzSupport::writeScratchFile(QStringLiteral("bank.zip"), FuzzSupport::bytes(data, size));
    // A small budget, so that the fuzzer meets the limits quickly.
    ZipReader reader(archive, ZipReader::Limits{20, 1 << 20});
    if (reader.open()) {
        for (int i = 0; i < reader.entries().size(); ++i) {
            FuzzSupport::require(ZipReader::unsafeName(reader.entries().at(i).name).isEmpty(),
                                 "an accepted entry has a safe name");
            if (reader.entries().at(i).isFolder)
                continue;
            const QString out = QDir(FuzzSupport::scratchFolder()).filePath(QStringLiteral("entry"));
            if (reader.extract(i, out))
                QFile::remove(out);
            else
                FuzzSupport::require(!QFile::exists(out), "a failed entry leaves no file");
        }
    } else {
        FuzzSupport::require(!reader.errorString().isEmpty(), "a refusal says why");
    }
    QFile::remove(archive);
    return 0;
}
