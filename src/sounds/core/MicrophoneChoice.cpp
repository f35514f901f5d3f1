// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/MicrophoneChoice.h"

#include <utility>

MicrophoneChoice::MicrophoneChoice(QList<AudioInput> inputs, QByteArray serverDefault)
    : m_inputs(std::move(inputs))
    , m_serverDefault(std::move(serverDefault))
{
}

QString MicrophoneChoice::systemDefaultCaption()
{
    return QStringLiteral("System default");
}

const AudioInput* MicrophoneChoice::find(const QByteArray& id) const
{
    if (id.isEmpty())
        return nullptr;
    for (const AudioInput& input : m_inputs) {
        if (input.id == id)
            return &input;
    }
    return nullptr;
}

QByteArray MicrophoneChoice::systemDefault() const
{
    if (const AudioInput* input = find(m_serverDefault))
        return input->id;
    for (const AudioInput& input : m_inputs) {
        if (input.isDefault)
            return input.id;
    }
    return m_inputs.isEmpty() ? QByteArray() : m_inputs.first().id;
}

QList<MicrophoneChoice::Entry> MicrophoneChoice::entries() const
{
    QList<Entry> entries;
    QString first = systemDefaultCaption();
    if (const AudioInput* input = find(systemDefault()))
        first += QStringLiteral(" (%1)").arg(input->description);
    entries.append({QByteArray(), first});
    for (const AudioInput& input : m_inputs)
        entries.append({input.id, input.description.isEmpty() ? QString::fromUtf8(input.id) : input.description});
    return entries;
}

MicrophoneChoice::Resolved MicrophoneChoice::resolve(const QByteArray& remembered, const QString& rememberedName) const
{
    if (remembered.isEmpty())
        return {systemDefault(), QByteArray(), QString()};
    if (find(remembered))
        return {remembered, remembered, QString()};
    // The choice is kept: the microphone may be plugged in again.
    return {systemDefault(), remembered,
            QStringLiteral("The microphone \"%1\" is not there; recording from the system default.")
                .arg(rememberedName.isEmpty() ? QString::fromUtf8(remembered) : rememberedName)};
}
