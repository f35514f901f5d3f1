// SPDX-License-Identifier: GPL-3.0-or-later
#include "schemes/core/SchemeJson.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace {

QJsonObject settingsObject(const QList<SchemeSetting>& settings)
{
    QJsonObject object;
    for (const SchemeSetting& s : settings) {
        for (auto it = s.json.constBegin(); it != s.json.constEnd(); ++it)
            object.insert(it.key(), it.value());
    }
    return object;
}

QJsonArray weaponsArray(const QList<SchemeWeapon>& weapons)
{
    QJsonArray array;
    for (const SchemeWeapon& w : weapons) {
        array.append(QJsonObject{{QStringLiteral("name"), w.name},
                                 {QStringLiteral("ammo"), w.ammo},
                                 {QStringLiteral("power"), w.power},
                                 {QStringLiteral("delay"), w.delay},
                                 {QStringLiteral("crateChance"), w.crateChance}});
    }
    return array;
}

void writeLine(const QJsonObject& object, QTextStream& out)
{
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
}

} // namespace

namespace SchemeJson {

QJsonObject toJson(const Scheme& scheme)
{
    QJsonObject object;
    if (scheme.signature)
        object.insert(QStringLiteral("version"), scheme.version);
    object.insert(QStringLiteral("size"), scheme.size);
    object.insert(QStringLiteral("options"), settingsObject(scheme.options));
    object.insert(QStringLiteral("weapons"), weaponsArray(scheme.weapons));
    if (scheme.version == 2 || scheme.version == 3)
        object.insert(QStringLiteral("superWeapons"), weaponsArray(scheme.superWeapons));
    if (scheme.version == 3)
        object.insert(QStringLiteral("extended"), settingsObject(scheme.extended));
    object.insert(QStringLiteral("problems"), QJsonArray::fromStringList(scheme.problems));
    return object;
}

int schemeInfoCommand(const QStringList& files, QTextStream& out)
{
    if (files.isEmpty()) {
        out << "--scheme-info: name the scheme files to read.\n";
        out.flush();
        return 2;
    }
    int status = 0;
    for (const QString& file : files) {
        QByteArray bytes;
        QString error;
        if (!SchemeReader::readFile(file, &bytes, &error)) {
            writeLine(QJsonObject{{QStringLiteral("file"), file}, {QStringLiteral("error"), error}}, out);
            status = 2;
            continue;
        }
        const Scheme scheme = SchemeReader::read(bytes);
        QJsonObject object = toJson(scheme);
        object.insert(QStringLiteral("file"), file);
        if (bytes.size() > SchemeReader::maxFileSize)
            object.insert(QStringLiteral("size"), QFileInfo(file).size());
        writeLine(object, out);
        if (!scheme.readable() && status == 0)
            status = 1;
    }
    out.flush();
    return status;
}

} // namespace SchemeJson
