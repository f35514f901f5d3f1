// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/audio/QtAudioBackend.h"

#include "sounds/audio/AudioInputs.h"
#include "sounds/core/RecorderSettings.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>

// Receives what the audio source records until the device takes it (every
// poll, a fraction of a second), and hands it out a piece at a time.
class CaptureStore : public QIODevice {
public:
    CaptureStore() { open(QIODevice::WriteOnly); }
    QByteArray take(int alignment)
    {
        if (alignment <= 0)
            return QByteArray();
        constexpr qsizetype piece = 1 << 20;
        const qsizetype available = qMin(m_data.size(), piece);
        const qsizetype whole = available - available % alignment;
        const QByteArray out = m_data.left(whole);
        m_data.remove(0, whole);
        return out;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        m_data.append(data, qsizetype(size));
        return size;
    }

private:
    QByteArray m_data;
};

namespace {

QAudioFormat toQt(const PcmFormat& format)
{
    QAudioFormat f;
    f.setSampleRate(format.rate);
    f.setChannelCount(format.channels);
    f.setSampleFormat(format.bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return f;
}

bool representable(const PcmFormat& format)
{
    return format.bits == 8 || format.bits == 16;
}

AudioBackend::Result fail(QString* detail, const QString& text,
                          AudioBackend::Result result = AudioBackend::Result::Failed)
{
    if (detail)
        *detail = text;
    return result;
}

// Whether `device` (an input or an output) exists and takes `format`.
AudioBackend::Result check(const QAudioDevice& device, const PcmFormat& format, const QString& what, QString* detail)
{
    if (device.isNull())
        return fail(detail, QStringLiteral("no audio %1 device").arg(what), AudioBackend::Result::NoDevice);
    if (!representable(format) || !device.isFormatSupported(toQt(format)))
        return fail(detail, QStringLiteral("the %1 %2 does not take this format").arg(what, device.description()));
    return AudioBackend::Result::Ok;
}

QAudioDevice pick(const QList<QAudioDevice>& devices, const QByteArray& wanted, const QAudioDevice& fallback)
{
    if (devices.isEmpty())
        return QAudioDevice();
    if (!wanted.isEmpty()) {
        for (const QAudioDevice& d : devices) {
            if (d.id() == wanted)
                return d;
        }
    }
    for (const QAudioDevice& d : devices) {
        if (d.isDefault())
            return d;
    }
    if (!fallback.isNull()) {
        for (const QAudioDevice& d : devices) {
            if (d.id() == fallback.id())
                return d;
        }
    }
    return devices.first();
}

} // namespace

QtAudioBackend::QtAudioBackend(QByteArray inputId, QByteArray outputId)
    : m_inputId(std::move(inputId))
    , m_outputId(std::move(outputId))
{
}

QtAudioBackend::~QtAudioBackend()
{
    stopCapture();
    stopPlayback();
}

void QtAudioBackend::preferSafeMediaBackend()
{
#ifdef Q_OS_LINUX
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
#endif
}

QAudioDevice QtAudioBackend::inputDevice() const
{
    // The input asked for, else the one chosen in the recorder settings, while
    // it is there; else the system's default as the sound server names it.
    const QByteArray wanted = m_inputId.isEmpty() ? RecorderSettings::readMicrophone().id : m_inputId;
    const QByteArray id = AudioInputs::choice().resolve(wanted).id;
    return pick(QMediaDevices::audioInputs(), id, QMediaDevices::defaultAudioInput());
}

QAudioDevice QtAudioBackend::outputDevice() const
{
    return pick(QMediaDevices::audioOutputs(), m_outputId, QMediaDevices::defaultAudioOutput());
}

AudioBackend::Result QtAudioBackend::startCapture(const PcmFormat& format, QString* detail)
{
    stopCapture();
    const QAudioDevice device = inputDevice();
    const Result usable = check(device, format, QStringLiteral("input"), detail);
    if (usable != Result::Ok)
        return usable;
    m_captureFormat = format;
    m_store = std::make_unique<CaptureStore>();
    m_source = std::make_unique<QAudioSource>(device, toQt(format));
    m_source->start(m_store.get());
    if (m_source->error() != QAudio::NoError || m_source->state() == QAudio::StoppedState) {
        stopCapture();
        return fail(detail, QStringLiteral("the input %1 did not start").arg(device.description()));
    }
    return Result::Ok;
}

QByteArray QtAudioBackend::takeCaptured()
{
    return m_store ? m_store->take(m_captureFormat.alignment()) : QByteArray();
}

bool QtAudioBackend::isCapturing()
{
    return m_source && m_source->state() != QAudio::StoppedState;
}

void QtAudioBackend::stopCapture()
{
    if (m_source) {
        m_source->stop();
        m_source.reset();
    }
    m_store.reset();
}

AudioBackend::Result QtAudioBackend::startPlayback(const PcmFormat& format, std::unique_ptr<QIODevice> pcm,
                                                   QString* detail)
{
    stopPlayback();
    const QAudioDevice device = outputDevice();
    const Result usable = check(device, format, QStringLiteral("output"), detail);
    if (usable != Result::Ok)
        return usable;
    if (!pcm || !pcm->isReadable())
        return fail(detail, QStringLiteral("the sound to play cannot be read"));
    m_playFormat = format;
    m_playSize = pcm->size() - pcm->pos();
    m_playSource = std::move(pcm);
    m_sink = std::make_unique<QAudioSink>(device, toQt(format));
    m_sink->start(m_playSource.get());
    if (m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState) {
        stopPlayback();
        return fail(detail, QStringLiteral("the output %1 did not start").arg(device.description()));
    }
    m_playing = true;
    return Result::Ok;
}

qint64 QtAudioBackend::playedBytes()
{
    if (!m_sink)
        return 0;
    const qint64 bytes = m_playFormat.msToBytes(m_sink->processedUSecs() / 1000);
    return qMin<qint64>(bytes, m_playSize);
}

bool QtAudioBackend::isPlaying()
{
    if (!m_playing || !m_sink)
        return false;
    // The sink falls idle once the buffer is used up, and stops on an error.
    const bool drained = m_playSource->atEnd() && m_sink->state() != QAudio::ActiveState;
    if (drained || m_sink->state() == QAudio::StoppedState)
        m_playing = false;
    return m_playing;
}

void QtAudioBackend::stopPlayback()
{
    m_playing = false;
    if (m_sink) {
        m_sink->stop();
        m_sink.reset();
    }
    m_playSource.reset();
    m_playSize = 0;
}
