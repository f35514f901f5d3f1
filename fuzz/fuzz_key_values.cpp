// SPDX-License-Identifier: GPL-3.0-or-later
// Valve's KeyValues text (Steam's libraryfolders.vdf and app manifests) on
// arbitrary bytes: what is read is written back and read again, and must come
// back the same; the stream walk and the library and manifest readers run
// over the same bytes.
//
// Input: the text of the file.

#include "FuzzSupport.h"

#include "installs/core/KeyValues.h"
#include "installs/core/SteamLibrary.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text = FuzzSupport::bytes(data, size);
    const QList<KeyValue> entries = KeyValues::parse(text);
    // Text held to the cap may grow past it once bytes that are no UTF-8 are
    // written back as U+FFFD; below a third of it nothing can be cut.
    if (text.size() < KeyValues::kMaxText / 3)
        FuzzSupport::require(KeyValues::parse(KeyValues::write(entries)) == entries,
                             "what is written reads back the same");

    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    KeyValues::walk(buffer, [](const QStringList& keys, const QString&) {
        FuzzSupport::require(!keys.isEmpty(), "a value has a key");
        return true;
    });
    for (const QString& library : SteamLibrary::listedLibraries(text))
        FuzzSupport::require(!library.isEmpty(), "a library listed has a path");
    const QString folder = SteamLibrary::installFolder(text);
    FuzzSupport::require(!folder.contains(QLatin1Char('/')) && folder != QLatin1String(".."),
                         "the game's folder stays inside the library");
    return 0;
}
