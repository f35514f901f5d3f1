// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <zip.h>

// Zip archives for tests, written with libzip (tests that use it link libzip).
namespace TestZips {

struct ZipEntry {
    QByteArray name;
    QByteArray data;
    bool link = false;
};

// Writes the entries with libzip, stored without compression so that a test
// can rewrite the sizes in the headers afterwards.
inline bool makeZip(const QString& path, const QList<ZipEntry>& entries)
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return false;
    for (const ZipEntry& e : entries) {
        zip_source_t* source = zip_source_buffer(archive, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        const zip_int64_t index = zip_file_add(archive, e.name.constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
        if (e.link)
            zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, 0120777u << 16);
    }
    return zip_close(archive) == 0;
}

} // namespace TestZips
