// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/WaveDevice.h"

#include "sounds/core/WavFile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <utility>

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

// "4 GiB", "1.5 MiB": a size as the user reads it.
QString sizeText(quint64 bytes)
{
    for (const auto& [shift, unit] : {std::pair{30, "GiB"}, std::pair{20, "MiB"}, std::pair{10, "KiB"}}) {
        if (bytes > 0 && bytes % (quint64(1) << shift) == 0)
            return QStringLiteral("%1 %2").arg(bytes >> shift).arg(QLatin1String(unit));
    }
    return QLocale::c().formattedDataSize(qint64(bytes), 1, QLocale::DataSizeIecFormat);
}

// "30 minutes", "1 minute", "2.5 seconds".
QString durationText(qint64 ms)
{
    if (ms > 0 && ms % 60000 == 0)
        return ms == 60000 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(ms / 60000);
    return ms == 1000 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(double(ms) / 1000.0);
}

const QString kept = QStringLiteral("; what was recorded until then is kept.");

} // namespace

WaveDevice::WaveDevice(std::unique_ptr<AudioBackend> backend, RecordingLimits limits, QString folder)
    : m_backend(std::move(backend))
    , m_limits(limits)
    , m_folder(folder.isEmpty() ? QDir::tempPath() : std::move(folder))
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
        m_store.reset();
        m_length = 0;
        m_end = End::None;
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
    if (m_length > 0 && format != m_format)
        return Busy;
    m_format = format;
    return Ok;
}

int WaveDevice::record()
{
    stop();
    // Every take gets a file of its own; the held recording stays until the
    // new one has started.
    // Unbuffered, so that a full disk shows at the write that meets it and a
    // playback reads everything recorded.
    auto store = std::make_unique<QTemporaryFile>(m_folder + QStringLiteral("/quillane-recording-XXXXXX.pcm"));
    if (!static_cast<QIODevice*>(store.get())->open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return InputFailed;
    switch (m_backend->startCapture(m_format)) {
    case AudioBackend::Result::Ok:
        break;
    case AudioBackend::Result::NoDevice:
        return NoInputDevice;
    case AudioBackend::Result::Failed:
        return InputFailed;
    }
    m_store = std::move(store);
    m_length = 0;
    const qint64 bySize = qint64(WavFile::maxDataBytes(m_format, m_limits.fileBytes));
    const qint64 byTime = m_format.msToBytes(m_limits.ms);
    m_capacity = qMin(bySize, byTime);
    m_capacityEnd = byTime < bySize ? End::TimeLimit : End::SizeLimit;
    m_end = End::None;
    m_writeError.clear();
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
        m_position = m_length;
    } else if (m_mode == Mode::Playing) {
        m_position = qMin<qint64>(m_playStart + m_backend->playedBytes(), m_length);
        m_backend->stopPlayback();
    }
    m_mode = Mode::Stopped;
}

int WaveDevice::play(qint64 from)
{
    stop();
    const qint64 start = m_milliseconds ? m_format.msToBytes(from) : from - from % qMax(1, m_format.alignment());
    if (start > m_length)
        return OutOfRange;
    if (start == m_length) {
        // Nothing left to play: the play ends at once.
        m_position = start;
        return Ok;
    }
    auto pcm = std::make_unique<QFile>(m_store->fileName());
    if (!pcm->open(QIODevice::ReadOnly) || !pcm->seek(start))
        return OutputFailed;
    switch (m_backend->startPlayback(m_format, std::move(pcm))) {
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
    if (!m_store)
        return WavFile::write(fileName, m_format, QByteArray()) ? Ok : CannotWriteFile;
    QFile pcm(m_store->fileName());
    if (!pcm.open(QIODevice::ReadOnly))
        return CannotWriteFile;
    return WavFile::write(fileName, m_format, pcm, quint64(m_length)) ? Ok : CannotWriteFile;
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
            bytes = m_length;
        else if (m_mode == Mode::Playing)
            bytes = qMin<qint64>(m_playStart + m_backend->playedBytes(), m_length);
        answer = QString::number(toUnits(bytes));
    } else if (item == QLatin1String("length")) {
        answer = QString::number(toUnits(m_length));
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
    m_store.reset();
    m_length = 0;
    m_end = End::None;
    m_position = 0;
}

void WaveDevice::poll()
{
    if (m_mode == Mode::Recording) {
        capture();
    } else if (m_mode == Mode::Playing && !m_backend->isPlaying()) {
        // The playback reached its end.
        m_position = m_length;
        m_backend->stopPlayback();
        m_mode = Mode::Stopped;
    }
}

void WaveDevice::capture()
{
    // Everything the input has delivered goes to the file, piece by piece,
    // up to the recording's limit.
    for (QByteArray piece = m_backend->takeCaptured(); !piece.isEmpty(); piece = m_backend->takeCaptured()) {
        const bool full = piece.size() >= m_capacity - m_length;
        if (full)
            piece.truncate(qsizetype(m_capacity - m_length));
        m_level.feed(piece);
        // A short write is retried, so that a failure comes with its reason.
        qint64 written = 0;
        while (written < piece.size()) {
            const qint64 n = m_store->write(piece.constData() + written, piece.size() - written);
            if (n <= 0)
                break;
            written += n;
        }
        if (written != piece.size()) {
            endRecording(End::WriteFailed);
            return;
        }
        m_length += piece.size();
        if (full) {
            endRecording(m_capacityEnd);
            return;
        }
    }
    if (!m_backend->isCapturing())
        endRecording(End::InputLost); // the recording ends with what it has
}

void WaveDevice::endRecording(End why)
{
    m_backend->stopCapture();
    if (why == End::WriteFailed) {
        // Back to the last whole piece, which is what the recording holds.
        m_writeError = m_store->errorString();
        m_store->resize(m_length);
        m_store->seek(m_length);
    }
    m_position = m_length;
    m_mode = Mode::Stopped;
    m_end = why;
}

QString WaveDevice::takeEndNotice()
{
    poll();
    QString text;
    switch (std::exchange(m_end, End::None)) {
    case End::None:
        break;
    case End::InputLost:
        text = QStringLiteral("The recording stopped because the sound input went away") + kept;
        break;
    case End::SizeLimit:
        text = QStringLiteral("The recording stopped at %1, the largest a WAV file can be")
                   .arg(sizeText(m_limits.fileBytes)) +
               kept;
        break;
    case End::TimeLimit:
        text = QStringLiteral("The recording stopped after %1, the longest a recording can be")
                   .arg(durationText(m_limits.ms)) +
               kept;
        break;
    case End::WriteFailed:
        text = QStringLiteral("The recording stopped because its temporary file could not be written (%1)")
                   .arg(m_writeError) +
               kept;
        break;
    }
    return text;
}

qint64 WaveDevice::toUnits(qint64 bytes) const
{
    return m_milliseconds ? m_format.bytesToMs(bytes) : bytes;
}
