#include "sounds/core/SoundClip.h"

#include "common/core/SafeFile.h"
#include "sounds/core/WavFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <limits>
#include <sndfile.h>
#include <soxr.h>

namespace SoundClip {

namespace {

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// libsndfile reads through a QFile, so that every file name Qt can open works
// (Unicode names on Windows included).
sf_count_t fileLength(void* file)
{
    return static_cast<QFile*>(file)->size();
}
sf_count_t fileSeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<QFile*>(user);
    const qint64 base = whence == SEEK_CUR ? file->pos() : whence == SEEK_END ? file->size() : 0;
    return file->seek(base + offset) ? file->pos() : -1;
}
sf_count_t fileRead(void* data, sf_count_t count, void* file)
{
    return static_cast<QFile*>(file)->read(static_cast<char*>(data), count);
}
sf_count_t fileWrite(const void*, sf_count_t, void*)
{
    return 0;
}
sf_count_t fileTell(void* file)
{
    return static_cast<QFile*>(file)->pos();
}

// An open libsndfile reader over a file, closed on destruction.
class Reader {
public:
    bool open(const QString& path, QString* error)
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::ReadOnly))
            return fail(error, QDir::toNativeSeparators(path) + QStringLiteral(" cannot be opened (") +
                                   m_file.errorString() + QLatin1Char(')'));
        static SF_VIRTUAL_IO io{fileLength, fileSeek, fileRead, fileWrite, fileTell};
        m_sndfile = sf_open_virtual(&io, SFM_READ, &m_info, &m_file);
        if (!m_sndfile) {
            QString reason = QString::fromUtf8(sf_strerror(nullptr)).trimmed();
            if (reason.endsWith(QLatin1Char('.')))
                reason.chop(1);
            return fail(error, QDir::toNativeSeparators(path) +
                                   QStringLiteral(" is not a sound file that can be read (") + reason +
                                   QLatin1Char(')'));
        }
        return true;
    }
    ~Reader()
    {
        if (m_sndfile)
            sf_close(m_sndfile);
    }
    SNDFILE* handle() const { return m_sndfile; }
    const SF_INFO& info() const { return m_info; }

private:
    QFile m_file;
    SF_INFO m_info{};
    SNDFILE* m_sndfile = nullptr;
};

double toDbfs(double magnitude)
{
    return magnitude > 0 ? 20.0 * std::log10(magnitude) : -std::numeric_limits<double>::infinity();
}

} // namespace

bool decode(const QString& path, Audio* out, QString* error)
{
    Reader reader;
    if (!reader.open(path, error))
        return false;
    const SF_INFO& info = reader.info();
    if (info.channels < 1 || info.samplerate < 1)
        return fail(error, QDir::toNativeSeparators(path) + QStringLiteral(" holds no sound"));
    Audio audio;
    audio.rate = info.samplerate;
    audio.channels = info.channels;
    const qint64 maxFrames = qint64(kMaxSeconds) * info.samplerate;
    // Integer samples are scaled to [-1, 1); float files may exceed it and
    // are clipped when written, as any player would.
    constexpr sf_count_t block = 4096;
    std::vector<float> buffer(size_t(block) * size_t(info.channels));
    for (;;) {
        const sf_count_t n = sf_readf_float(reader.handle(), buffer.data(), block);
        if (n <= 0)
            break;
        audio.samples.insert(audio.samples.end(), buffer.begin(), buffer.begin() + n * info.channels);
        if (audio.frames() > maxFrames)
            return fail(error, QDir::toNativeSeparators(path) + QStringLiteral(" lasts more than %1 minutes, too long "
                                                                               "for a sound byte")
                                                                    .arg(kMaxSeconds / 60));
    }
    if (sf_error(reader.handle()) != SF_ERR_NO_ERROR)
        return fail(error, QDir::toNativeSeparators(path) + QStringLiteral(" could not be read to its end (") +
                               QString::fromUtf8(sf_strerror(reader.handle())) + QLatin1Char(')'));
    *out = std::move(audio);
    return true;
}

Audio convert(const Audio& in, int rate, int channels)
{
    // Channels first, at the source rate.
    Audio mixed;
    mixed.rate = in.rate;
    mixed.channels = channels;
    const qint64 frames = in.frames();
    mixed.samples.resize(size_t(frames) * size_t(channels));
    for (qint64 f = 0; f < frames; ++f) {
        const float* from = in.samples.data() + f * in.channels;
        float* to = mixed.samples.data() + f * channels;
        if (channels == 1 && in.channels > 1) {
            double sum = 0;
            for (int c = 0; c < in.channels; ++c)
                sum += from[c];
            to[0] = float(sum / in.channels);
        } else {
            for (int c = 0; c < channels; ++c)
                to[c] = from[c % in.channels];
        }
    }
    if (rate == in.rate || frames == 0) {
        mixed.rate = rate;
        return mixed;
    }

    Audio out;
    out.rate = rate;
    out.channels = channels;
    const size_t outFrames = size_t(std::ceil(double(frames) * rate / in.rate)) + 1;
    out.samples.resize(outFrames * size_t(channels));
    size_t done = 0;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    const soxr_error_t failed = soxr_oneshot(in.rate, rate, unsigned(channels), mixed.samples.data(), size_t(frames),
                                             nullptr, out.samples.data(), outFrames, &done, &io, &quality, nullptr);
    out.samples.resize(failed ? 0 : done * size_t(channels));
    return out;
}

void trimSilence(Audio& audio, double thresholdDbfs)
{
    const float threshold = float(std::pow(10.0, thresholdDbfs / 20.0));
    const auto loud = [threshold](float v) { return std::fabs(v) >= threshold; };
    const auto first = std::find_if(audio.samples.begin(), audio.samples.end(), loud);
    if (first == audio.samples.end())
        return;
    const auto last = std::find_if(audio.samples.rbegin(), audio.samples.rend(), loud);
    const qint64 firstFrame = (first - audio.samples.begin()) / audio.channels;
    const qint64 lastFrame = (audio.samples.rend() - last - 1) / audio.channels;
    audio.samples.erase(audio.samples.begin() + (lastFrame + 1) * audio.channels, audio.samples.end());
    audio.samples.erase(audio.samples.begin(), audio.samples.begin() + firstFrame * audio.channels);
}

double peakDbfs(const Audio& audio)
{
    float peak = 0;
    for (float v : audio.samples)
        peak = std::max(peak, std::fabs(v));
    return toDbfs(peak);
}

void normalisePeak(Audio& audio, double peakTarget)
{
    const double peak = peakDbfs(audio);
    if (!std::isfinite(peak))
        return;
    const float gain = float(std::pow(10.0, (peakTarget - peak) / 20.0));
    for (float& v : audio.samples)
        v *= gain;
}

QByteArray toPcm(const Audio& audio, int bits)
{
    const int bytes = bits / 8;
    QByteArray pcm(int(audio.samples.size()) * bytes, Qt::Uninitialized);
    char* out = pcm.data();
    for (float v : audio.samples) {
        const double clipped = std::clamp(double(v), -1.0, 1.0);
        if (bytes == 1) {
            *out++ = char(quint8(std::clamp(std::lround(clipped * 128.0) + 128, 0L, 255L)));
        } else {
            const qint16 s = qint16(std::clamp(std::lround(clipped * 32768.0), -32768L, 32767L));
            *out++ = char(s & 0xff);
            *out++ = char((s >> 8) & 0xff);
        }
    }
    return pcm;
}

bool isBankFormat(const PcmFormat& format)
{
    // What the wave device records, so that every sound byte of a bank can
    // be made either way.
    return (format.bits == 8 || format.bits == 16) && format.channels >= 1 && format.channels <= 8 &&
           format.rate >= 1000 && format.rate <= 192000;
}

bool isWavIn(const QString& path, const PcmFormat& format)
{
    Reader reader;
    if (!reader.open(path, nullptr))
        return false;
    const SF_INFO& info = reader.info();
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    const int wantSub = format.bits == 8 ? SF_FORMAT_PCM_U8 : format.bits == 16 ? SF_FORMAT_PCM_16 : -1;
    // Mono and stereo in the plain format, more channels in the extensible
    // one, as WavFile writes them.
    const int wantMajor = format.channels > 2 ? SF_FORMAT_WAVEX : SF_FORMAT_WAV;
    return major == wantMajor && sub == wantSub && info.samplerate == format.rate && info.channels == format.channels;
}

bool store(const QString& source, const QString& target, const PcmFormat& format, const Editing& editing,
           QString* error)
{
    if (!isBankFormat(format))
        return fail(error, QStringLiteral("the recorder settings (%1 samples per second, %2 channels, %3 bits) are "
                                          "not a format for sound bytes")
                               .arg(format.rate)
                               .arg(format.channels)
                               .arg(format.bits));
    if (!editing.any() && isWavIn(source, format))
        return FileOps::copyReplacing(source, target, error);
    Audio audio;
    if (!decode(source, &audio, error))
        return false;
    if (editing.trimSilence)
        trimSilence(audio);
    audio = convert(audio, format.rate, format.channels);
    if (editing.normalisePeak)
        normalisePeak(audio);
    QString reason;
    if (!WavFile::write(target, format, toPcm(audio, format.bits), &reason))
        return fail(error, QDir::toNativeSeparators(target) + QStringLiteral(" could not be written (") + reason +
                               QLatin1Char(')'));
    return true;
}

QString fileFilter()
{
    return QStringLiteral("Sound files|*.wav;*.flac;*.ogg;*.oga;*.opus;*.mp3|WAV file (*.wav*)|*.wav|"
                          "All files|*");
}

} // namespace SoundClip
