#include "sounds/core/WaveDevice.h"

#include "sounds/core/WavFile.h"

#include <QRegularExpression>

namespace {

// A plain decimal number: no sign, no blanks, no leading zeros.
const QString number = QStringLiteral("(0|[1-9][0-9]{0,9})");

const QRegularExpression& formatCommand()
{
    static const QRegularExpression re(QStringLiteral("^set capture alignment %1 bitspersample %1 samplespersec %1 "
                                                      "channels %1 bytespersec %1$")
                                           .arg(number));
    return re;
}

const QRegularExpression& playCommand()
{
    static const QRegularExpression re(QStringLiteral("^play capture from %1$").arg(number));
    return re;
}

const QRegularExpression& statusCommand()
{
    static const QRegularExpression re(
        QStringLiteral("^status capture (mode|position|length|channels|bitspersample|samplespersec|level|silence)$"));
    return re;
}

} // namespace

WaveDevice::WaveDevice(std::unique_ptr<AudioBackend> backend)
    : m_backend(std::move(backend))
{
}

WaveDevice::~WaveDevice()
{
    close();
}

int WaveDevice::send(const QString& command, QByteArray* reply)
{
    if (command == QLatin1String("close all")) {
        close();
        return Ok;
    }
    if (command == QLatin1String("open new type waveaudio alias capture")) {
        if (m_open)
            return AliasInUse;
        m_open = true;
        m_mode = Mode::Stopped;
        m_format = PcmFormat();
        m_data.clear();
        m_position = 0;
        m_milliseconds = true;
        return Ok;
    }

    // Every other command addresses the open device.
    const bool recognised =
        command == QLatin1String("seek capture to start") || command == QLatin1String("record capture") ||
        command == QLatin1String("stop capture") || command == QLatin1String("close capture") ||
        command == QLatin1String("set capture time format ms") ||
        command == QLatin1String("set capture time format bytes") || formatCommand().match(command).hasMatch() ||
        playCommand().match(command).hasMatch() || statusCommand().match(command).hasMatch() ||
        command.startsWith(QLatin1String("save capture "));
    if (!recognised)
        return UnrecognizedCommand;
    if (!m_open)
        return UnknownDevice;

    if (command == QLatin1String("close capture")) {
        close();
        return Ok;
    }
    if (command == QLatin1String("seek capture to start")) {
        stop();
        m_position = 0;
        return Ok;
    }
    if (command == QLatin1String("record capture"))
        return record();
    if (command == QLatin1String("stop capture")) {
        stop();
        return Ok;
    }
    if (command == QLatin1String("set capture time format ms") ||
        command == QLatin1String("set capture time format bytes")) {
        m_milliseconds = command.endsWith(QLatin1String(" ms"));
        return Ok;
    }
    if (command.startsWith(QLatin1String("save capture ")))
        return save(command.mid(int(qstrlen("save capture "))));
    if (const auto m = formatCommand().match(command); m.hasMatch())
        return setFormat(m.capturedTexts().mid(1));
    if (const auto m = playCommand().match(command); m.hasMatch())
        return play(m.captured(1).toLongLong());
    return status(statusCommand().match(command).captured(1), reply);
}

int WaveDevice::setFormat(const QStringList& numbers)
{
    if (m_mode != Mode::Stopped)
        return Busy;
    const qint64 alignment = numbers[0].toLongLong();
    PcmFormat format;
    format.bits = numbers[1].toInt();
    format.rate = numbers[2].toInt();
    format.channels = numbers[3].toInt();
    const qint64 bytesPerSecond = numbers[4].toLongLong();
    const bool supported = (format.bits == 8 || format.bits == 16) && format.channels >= 1 && format.channels <= 8 &&
                           format.rate >= 1000 && format.rate <= 192000;
    if (!supported || alignment != format.alignment() || bytesPerSecond != format.bytesPerSecond())
        return InconsistentFormat;
    // A held recording keeps the format it was recorded in.
    if (!m_data.isEmpty() && format != m_format)
        return Busy;
    m_format = format;
    return Ok;
}

int WaveDevice::record()
{
    stop();
    switch (m_backend->startCapture(m_format)) {
    case AudioBackend::Result::Ok:
        break;
    case AudioBackend::Result::NoDevice:
        return NoInputDevice;
    case AudioBackend::Result::Failed:
        return InputFailed;
    }
    m_data.clear();
    m_level.reset(m_format);
    m_position = 0;
    m_mode = Mode::Recording;
    return Ok;
}

void WaveDevice::stop()
{
    poll();
    if (m_mode == Mode::Recording) {
        m_backend->stopCapture();
        m_position = m_data.size();
    } else if (m_mode == Mode::Playing) {
        m_position = qMin<qint64>(m_playStart + m_backend->playedBytes(), m_data.size());
        m_backend->stopPlayback();
    }
    m_mode = Mode::Stopped;
}

int WaveDevice::play(qint64 from)
{
    stop();
    const qint64 start = m_milliseconds ? m_format.msToBytes(from) : from - from % qMax(1, m_format.alignment());
    if (start > m_data.size())
        return OutOfRange;
    if (start == m_data.size()) {
        // Nothing left to play: the play ends at once.
        m_position = start;
        return Ok;
    }
    switch (m_backend->startPlayback(m_format, m_data.mid(int(start)))) {
    case AudioBackend::Result::Ok:
        break;
    case AudioBackend::Result::NoDevice:
        return NoOutputDevice;
    case AudioBackend::Result::Failed:
        return OutputFailed;
    }
    m_playStart = start;
    m_position = start;
    m_mode = Mode::Playing;
    return Ok;
}

int WaveDevice::save(const QString& fileName)
{
    if (fileName.isEmpty())
        return MissingFileName;
    stop();
    return WavFile::write(fileName, m_format, m_data) ? Ok : CannotWriteFile;
}

int WaveDevice::status(const QString& item, QByteArray* reply)
{
    poll();
    QString answer;
    if (item == QLatin1String("mode")) {
        answer = m_mode == Mode::Recording ? QStringLiteral("recording")
                 : m_mode == Mode::Playing ? QStringLiteral("playing")
                                           : QStringLiteral("stopped");
    } else if (item == QLatin1String("position")) {
        qint64 bytes = m_position;
        if (m_mode == Mode::Recording)
            bytes = m_data.size();
        else if (m_mode == Mode::Playing)
            bytes = qMin<qint64>(m_playStart + m_backend->playedBytes(), m_data.size());
        answer = QString::number(toUnits(bytes));
    } else if (item == QLatin1String("length")) {
        answer = QString::number(toUnits(m_data.size()));
    } else if (item == QLatin1String("level")) {
        answer = QString::number(m_mode == Mode::Recording ? m_level.peak() : 0);
    } else if (item == QLatin1String("silence")) {
        answer = QString::number(m_mode == Mode::Recording ? m_level.silentMs() : 0);
    } else if (item == QLatin1String("channels")) {
        answer = QString::number(m_format.channels);
    } else if (item == QLatin1String("bitspersample")) {
        answer = QString::number(m_format.bits);
    } else {
        answer = QString::number(m_format.rate);
    }
    return writeReply(reply, answer);
}

void WaveDevice::close()
{
    stop();
    m_open = false;
    m_data.clear();
    m_position = 0;
}

void WaveDevice::poll()
{
    if (m_mode == Mode::Recording) {
        const QByteArray captured = m_backend->takeCaptured();
        m_level.feed(captured);
        m_data.append(captured);
        if (!m_backend->isCapturing()) {
            // The input went away: the recording ends with what it has.
            m_backend->stopCapture();
            m_position = m_data.size();
            m_mode = Mode::Stopped;
        }
    } else if (m_mode == Mode::Playing && !m_backend->isPlaying()) {
        // The playback reached its end.
        m_position = m_data.size();
        m_backend->stopPlayback();
        m_mode = Mode::Stopped;
    }
}

qint64 WaveDevice::toUnits(qint64 bytes) const
{
    return m_milliseconds ? m_format.bytesToMs(bytes) : bytes;
}
