// SPDX-License-Identifier: GPL-3.0-or-later
// The scheme reader on arbitrary file bytes: the settings, the JSON object
// of --scheme-info and the comparison with itself.

#include "FuzzSupport.h"

#include "schemes/core/Scheme.h"
#include "schemes/core/SchemeCompare.h"
#include "schemes/core/SchemeJson.h"

#include <QJsonArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file = FuzzSupport::bytes(data, size);
    const Scheme scheme = SchemeReader::read(file);
    FuzzSupport::require(scheme.signature ==
                             (file.size() >= 5 && file.startsWith("SCHM") && file.size() <= SchemeReader::maxFileSize),
                         "a scheme is what begins with its signature");
    FuzzSupport::require(scheme.readable() == (scheme.signature && scheme.problems.isEmpty()),
                         "the game reads a scheme exactly when nothing is wrong with it");
    FuzzSupport::require(scheme.weapons.size() <= 45 && scheme.superWeapons.size() <= 19, "no weapon is made up");
    FuzzSupport::require(scheme.extended.isEmpty() || scheme.version == 3, "only version 3 has extended options");
    for (const SchemeSetting& s : scheme.options + scheme.extended)
        FuzzSupport::require(!s.text.isEmpty() && s.json.contains(s.key), "every setting has words and a value");
    const QJsonObject object = SchemeJson::toJson(scheme);
    FuzzSupport::require(object.value(QStringLiteral("problems")).toArray().size() == scheme.problems.size(),
                         "every problem is reported");
    FuzzSupport::require(SchemeCompare::differences(scheme, scheme).isEmpty(), "a scheme equals itself");
    return 0;
}
