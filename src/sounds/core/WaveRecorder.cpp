// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/WaveRecorder.h"

#include "common/core/PathCase.h"
#include "common/core/Prompter.h"
#include "common/core/SafeFile.h"
#include "sounds/core/CommandDevice.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cmath>
#include <limits>

namespace {
const QString crlf = QStringLiteral("\r\n");
constexpr int statusBufferSize = 255;
constexpr int unusedBufferSize = 260;
} // namespace

WaveRecorder::WaveRecorder(CommandDevice& device, Prompter& prompter)
    : m_device(device)
    , m_prompter(prompter)
{
}

void WaveRecorder::report(const QString& text)
{
    m_prompter.tell(text);
}

int WaveRecorder::send(const QString& command, const QString& failure, Reporting reporting, QByteArray* reply)
{
    QByteArray unused = CommandDevice::blankBuffer(unusedBufferSize);
    const int code = m_device.send(command, reply ? reply : &unused);
    if (code == CommandDevice::Ok) {
        m_quiet.remove(failure);
        return code;
    }
    if (reporting == Reporting::OncePerFailure) {
        if (m_quiet.contains(failure))
            return code;
        m_quiet.insert(failure);
    }
    report(failure);
    return code;
}

void WaveRecorder::openCaptureDevice()
{
    send(QStringLiteral("close all"), QStringLiteral("Closing all MCI operations failed!"));
    send(QStringLiteral("open new type waveaudio alias capture"), QStringLiteral("Opening new wave failed!"));
}

QString WaveRecorder::formatCommand(qint32 rate, qint16 channels, qint16 resolution)
{
    // Resolution × Channels ÷ 8, rounded to a whole number as the stored
    // 16-bit value would be; computed wide so that no setting can overflow.
    const qint64 alignment = qint64(std::nearbyint(double(resolution) * double(channels) / 8.0));
    const qint64 bytesPerSecond = alignment * rate;
    return QStringLiteral("set capture alignment %1 bitspersample %2 samplespersec %3 channels %4 bytespersec %5")
        .arg(alignment)
        .arg(resolution)
        .arg(rate)
        .arg(channels)
        .arg(bytesPerSecond);
}

void WaveRecorder::applyRecordingFormat()
{
    send(QStringLiteral("seek capture to start"), QStringLiteral("Starting recording failed!"));
    send(formatCommand(m_settings.rate, m_settings.channels, m_settings.resolution),
         QStringLiteral("Settings for recording not consistent"));
}

bool WaveRecorder::startRecording()
{
    QByteArray unused = CommandDevice::blankBuffer(unusedBufferSize);
    const int code = m_device.send(QStringLiteral("record capture"), &unused);
    if (code == CommandDevice::NoInputDevice)
        report(noInputMessage());
    else if (code != CommandDevice::Ok)
        report(QStringLiteral("Recording not possible, please restart your computer..."));
    return code == CommandDevice::Ok;
}

void WaveRecorder::stopRecording()
{
    send(QStringLiteral("stop capture"), QStringLiteral("Stopping recording failed!"));
}

bool WaveRecorder::saveRecording(const QString& fileName)
{
    // The name as the user's system writes it (backslashes on Windows).
    const QString failure = QStringLiteral("Saving file failed, file name was: ") + QDir::toNativeSeparators(fileName);
    const QFileInfo target(fileName);
    // A hidden file beside the target: same folder, so the final replace
    // never crosses file systems.
    QTemporaryFile temp(
        PathCase::join(target.absolutePath(), QLatin1Char('.') + target.fileName() + QStringLiteral(".XXXXXX")));
    if (!temp.open()) {
        report(failure);
        return false;
    }
    temp.close();
    if (send(QStringLiteral("save capture ") + temp.fileName(), failure) != CommandDevice::Ok)
        return false;
    // The sound byte is replaced only by a complete copy; the temporary file
    // goes when `temp` does, and a failure to remove it does not undo a save.
    if (!FileOps::copyReplacing(temp.fileName(), fileName)) {
        report(failure);
        return false;
    }
    return true;
}

void WaveRecorder::readDeviceMode(Reporting reporting)
{
    QByteArray buffer = CommandDevice::blankBuffer(statusBufferSize);
    send(QStringLiteral("status capture mode"), QStringLiteral("Failure getting wave status..."), reporting, &buffer);
    const QString mode = CommandDevice::replyText(buffer);
    m_stopped = mode.contains(QLatin1String("stopped"));
    m_statusLine = (QStringLiteral("The Quillane SoundBank Editor: ") + mode).left(statusBufferSize);
    // A failed query leaves the buffer blank; the caption need not carry that.
    while (m_statusLine.endsWith(QLatin1Char(' ')))
        m_statusLine.chop(1);
}

double WaveRecorder::query(const QString& command, const QString& failure, Reporting reporting)
{
    QByteArray buffer = CommandDevice::blankBuffer(statusBufferSize);
    if (send(command, failure, reporting, &buffer) != CommandDevice::Ok)
        return 0;
    return leadingNumber(CommandDevice::replyText(buffer));
}

WaveRecorder::Level WaveRecorder::inputLevel(Reporting reporting)
{
    Level level;
    const double peak =
        query(QStringLiteral("status capture level"), QStringLiteral("Finding the input level failed!"), reporting);
    level.dbfs = peak > 0 ? 20.0 * std::log10(peak / 32768.0) : -std::numeric_limits<double>::infinity();
    level.silentMs = qint64(
        query(QStringLiteral("status capture silence"), QStringLiteral("Finding the input level failed!"), reporting));
    return level;
}

qint64 WaveRecorder::recordedMs(Reporting reporting)
{
    send(QStringLiteral("set capture time format ms"), QStringLiteral("Setting time format in milliseconds failed!"),
         reporting);
    return qint64(query(QStringLiteral("status capture length"),
                        QStringLiteral("Finding length recording in milliseconds failed!"), reporting));
}

void WaveRecorder::buildStatistics(Reporting reporting)
{
    send(QStringLiteral("set capture time format ms"), QStringLiteral("Setting time format in milliseconds failed!"),
         reporting);
    const double ms = query(QStringLiteral("status capture length"),
                            QStringLiteral("Finding length recording in milliseconds failed!"), reporting);
    QString text = QStringLiteral("Length recording ") + statisticsNumber(ms / 1000.0) + QStringLiteral(" s");
    send(QStringLiteral("set capture time format bytes"), QStringLiteral("Setting time format in bytes failed!"),
         reporting);
    const double bytes = query(QStringLiteral("status capture length"),
                               QStringLiteral("Finding length recording in bytes failed!"), reporting);
    text += QStringLiteral(" (") + statisticsNumber(bytes) + QStringLiteral(" bytes)") + crlf;
    const double channels = query(QStringLiteral("status capture channels"),
                                  QStringLiteral("Finding number of channels failed!"), reporting);
    if (channels == 1)
        text += QStringLiteral("Mono - ");
    else if (channels == 2)
        text += QStringLiteral("Stereo - ");
    const double bits =
        query(QStringLiteral("status capture bitspersample"), QStringLiteral("Finding resolution failed!"), reporting);
    text += statisticsNumber(bits) + QStringLiteral(" bits - ");
    const double rate =
        query(QStringLiteral("status capture samplespersec"), QStringLiteral("Finding sample rate failed!"), reporting);
    text += statisticsNumber(rate) + QStringLiteral(" samples per second ") + crlf + crlf;
    m_statistics = text;
}

qint32 WaveRecorder::getCapturePosition()
{
    send(QStringLiteral("set capture time format ms"), QStringLiteral("Setting format in milliseconds failed!"));
    QByteArray buffer = CommandDevice::blankBuffer(statusBufferSize);
    if (send(QStringLiteral("status capture position"), QStringLiteral("Finding position failed!"),
             Reporting::EveryFailure, &buffer) != CommandDevice::Ok) {
        report(QStringLiteral("Error in position"));
        return 0;
    }
    const double value = leadingNumber(CommandDevice::replyText(buffer));
    return value > 2147483647.0 || value < -2147483648.0 ? 0 : qint32(value);
}

void WaveRecorder::playFromPosition(qint32 ms)
{
    send(QStringLiteral("set capture time format ms"), QStringLiteral("Setting format in milliseconds failed!"));
    QByteArray unused = CommandDevice::blankBuffer(unusedBufferSize);
    const int code = m_device.send(QStringLiteral("play capture from ") + QString::number(ms), &unused);
    if (code == CommandDevice::NoOutputDevice) {
        report(noOutputMessage());
    } else if (code != CommandDevice::Ok) {
        report(QStringLiteral("Playing from indicated position failed!"));
        report(QStringLiteral("Play from position doesn't work...."));
    }
}

void WaveRecorder::closeCaptureDevice()
{
    send(QStringLiteral("close capture"), QStringLiteral("Closing MCI failed!"));
}

QString WaveRecorder::takeEndNotice()
{
    return m_device.takeEndNotice();
}

QString WaveRecorder::statisticsNumber(double value)
{
    QString digits = QString::number(std::fabs(value), 'f', 6);
    if (digits.contains(QLatin1Char('.'))) {
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        if (digits.endsWith(QLatin1Char('.')))
            digits.chop(1);
    }
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits;
}

double WaveRecorder::leadingNumber(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([-+]?[0-9]+(\\.[0-9]+)?)"));
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

QString WaveRecorder::noInputMessage()
{
    return QStringLiteral("Nothing can be recorded: this computer has no microphone or other sound input "
                          "that can be used right now.");
}

QString WaveRecorder::noOutputMessage()
{
    return QStringLiteral("Nothing can be played: this computer has no speakers or other sound output "
                          "that can be used right now.");
}
