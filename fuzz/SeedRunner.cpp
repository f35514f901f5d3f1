// SPDX-License-Identifier: GPL-3.0-or-later
// main() of the fuzz targets outside a libFuzzer build: feeds every file of
// the folders (or files) named on the command line through the target once.

#include "FuzzSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QFile::decodeName(argv[i]);
        if (QFileInfo(argument).isDir()) {
            QDirIterator it(argument, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                inputs << it.next();
        } else {
            inputs << argument;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.isEmpty()) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER_OR_FILE...\n", argv[0]);
        return 2;
    }
    for (const QString& input : std::as_const(inputs)) {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(input), qPrintable(file.errorString()));
            return 1;
        }
        const QByteArray data = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    }
    std::printf("%lld inputs passed\n", static_cast<long long>(inputs.size()));
    return 0;
}
