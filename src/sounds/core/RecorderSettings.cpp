// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/RecorderSettings.h"

#include "common/core/AppInfo.h"

#include <QSettings>
#include <limits>

namespace {
const QString group = QStringLiteral("StartUp");
const QString editingGroup = QStringLiteral("Editing");
const QString trimKey = QStringLiteral("TrimSilence");
const QString normaliseKey = QStringLiteral("NormalisePeak");
const QString devicesGroup = QStringLiteral("Devices");
const QString microphoneKey = QStringLiteral("Microphone");
const QString microphoneNameKey = QStringLiteral("MicrophoneName");

QString text(QSettings& store, const QString& key, const QString& defaultText)
{
    const QVariant value = store.value(key);
    return value.isValid() ? value.toString() : defaultText;
}
} // namespace

void RecorderSettings::read()
{
    QSettings store(QSettings::UserScope, AppInfo::organisation(), QStringLiteral("AudioRecorder"));
    read(store);
}

void RecorderSettings::write() const
{
    QSettings store(QSettings::UserScope, AppInfo::organisation(), QStringLiteral("AudioRecorder"));
    write(store);
}

SoundClip::Editing RecorderSettings::readEditing()
{
    QSettings store(QSettings::UserScope, AppInfo::organisation(), QStringLiteral("AudioRecorder"));
    return readEditing(store);
}

void RecorderSettings::writeEditing(const SoundClip::Editing& editing)
{
    QSettings store(QSettings::UserScope, AppInfo::organisation(), QStringLiteral("AudioRecorder"));
    writeEditing(store, editing);
}

RecorderSettings::Microphone RecorderSettings::readMicrophone()
{
    QSettings store(QSettings::UserScope, AppInfo::organisation(), QStringLiteral("AudioRecorder"));
    return readMicrophone(store);
}

void RecorderSettings::writeMicrophone(const Microphone& microphone)
{
    QSettings store(QSettings::UserScope, AppInfo::organisation(), QStringLiteral("AudioRecorder"));
    writeMicrophone(store, microphone);
}

RecorderSettings::Microphone RecorderSettings::readMicrophone(QSettings& store)
{
    store.beginGroup(devicesGroup);
    Microphone microphone{text(store, microphoneKey, QString()).toUtf8(), text(store, microphoneNameKey, QString())};
    store.endGroup();
    return microphone;
}

void RecorderSettings::writeMicrophone(QSettings& store, const Microphone& microphone)
{
    store.beginGroup(devicesGroup);
    store.setValue(microphoneKey, QString::fromUtf8(microphone.id));
    store.setValue(microphoneNameKey, microphone.name);
    store.endGroup();
}

SoundClip::Editing RecorderSettings::readEditing(QSettings& store)
{
    SoundClip::Editing editing;
    store.beginGroup(editingGroup);
    editing.trimSilence = toBoolean(text(store, trimKey, QString()), false);
    editing.normalisePeak = toBoolean(text(store, normaliseKey, QString()), false);
    store.endGroup();
    return editing;
}

void RecorderSettings::writeEditing(QSettings& store, const SoundClip::Editing& editing)
{
    store.beginGroup(editingGroup);
    store.setValue(trimKey, fromBoolean(editing.trimSilence));
    store.setValue(normaliseKey, fromBoolean(editing.normalisePeak));
    store.endGroup();
    store.sync();
}

void RecorderSettings::read(QSettings& store)
{
    const RecorderSettings defaults;
    store.beginGroup(group);
    rate = qint32(toInteger(text(store, QStringLiteral("Rate"), QStringLiteral("11025")),
                            std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), defaults.rate));
    channels =
        qint16(toInteger(text(store, QStringLiteral("Channels"), QStringLiteral("1")),
                         std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max(), defaults.channels));
    resolution =
        qint16(toInteger(text(store, QStringLiteral("Resolution"), QStringLiteral("16")),
                         std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max(), defaults.resolution));
    waveFileName = text(store, QStringLiteral("WaveFileName"), defaults.waveFileName);
    waveAutomaticSave =
        toBoolean(text(store, QStringLiteral("WaveAutomaticSave"), QStringLiteral("True")), defaults.waveAutomaticSave);
    store.endGroup();
}

void RecorderSettings::write(QSettings& store) const
{
    store.beginGroup(group);
    store.setValue(QStringLiteral("Rate"), QString::number(rate));
    store.setValue(QStringLiteral("Channels"), QString::number(channels));
    store.setValue(QStringLiteral("Resolution"), QString::number(resolution));
    store.setValue(QStringLiteral("WaveFileName"), waveFileName);
    store.setValue(QStringLiteral("WaveAutomaticSave"), fromBoolean(waveAutomaticSave));
    store.endGroup();
    store.sync();
}

qint64 RecorderSettings::toInteger(const QString& text, qint64 min, qint64 max, qint64 fallback)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    return ok && value >= min && value <= max ? value : fallback;
}

bool RecorderSettings::toBoolean(const QString& text, bool fallback)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}
