// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

const QString& scratchFolder()
{
    static const QTemporaryDir folder;
    static const QString path = folder.path();
    if (!folder.isValid()) {
        std::fprintf(stderr, "fuzz: no scratch folder: %s\n", qPrintable(folder.errorString()));
        std::abort();
    }
    return path;
}

QString writeScratchFile(const QString& name, const QByteArray& bytes)
{
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        std::abort();
    }
    return path;
}

void require(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz: broken property: %s\n", what);
    std::abort();
}

} // namespace FuzzSupport
