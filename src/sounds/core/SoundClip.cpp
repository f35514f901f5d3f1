// SPDX-License-Identifier: GPL-3.0-or-later
#include "sounds/core/SoundClip.h"

#include "common/core/OutsideFile.h"
#include "common/core/SafeFile.h"
#include "sounds/core/WavFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
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
        QString reason;
        if (!OutsideFile::open(path, m_file, &reason))
            return fail(error, QDir::toNativeSeparators(path) + QStringLiteral(" cannot be opened (") + reason +
                                   QLatin1Char(')'));
        static SF_VIRTUAL_IO io{fileLength, fileSeek, fileRead, fileWrite, fileTell};
        m_sndfile = sf_open_virtual(&io, SFM_READ, &m_info, &m_file);
        if (!m_sndfile) {
            QString why = QString::fromUtf8(sf_strerror(nullptr)).trimmed();
            if (why.endsWith(QLatin1Char('.')))
                why.chop(1);
            return fail(error, QDir::toNativeSeparators(path) +
                                   QStringLiteral(" is not a sound file that can be read (") + why + QLatin1Char(')'));
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

namespace {

QString tooLong(const QString& path)
{
    return QDir::toNativeSeparators(path) +
           QStringLiteral(" lasts more than %1 seconds, too long for a sound byte").arg(kMaxSeconds);
}

// The reason to refuse what the file declares, or "" when it may be read.
QString refusal(const QString& path, const SF_INFO& info)
{
    const QString name = QDir::toNativeSeparators(path);
    if (info.channels < 1 || info.samplerate < 1)
        return name + QStringLiteral(" holds no sound");
    if (info.samplerate < kMinRate || info.samplerate > kMaxRate)
        return name + QStringLiteral(" declares %1 samples per second; a sound has between %2 and %3")
                          .arg(info.samplerate)
                          .arg(kMinRate)
                          .arg(kMaxRate);
    // A file that does not know its length (a stream) says SF_COUNT_MAX: it
    // is measured while it is read.
    if (info.frames != SF_COUNT_MAX && info.frames > sf_count_t(kMaxSeconds) * info.samplerate)
        return tooLong(path);
    return QString();
}

// Reads the file block by block into `sink` (interleaved floats of the
// file's channels); false with the reason once it is longer than allowed or
// cannot be read to its end.
template <class Sink> bool readBlocks(Reader& reader, const QString& path, Sink sink, QString* error)
{
    const SF_INFO& info = reader.info();
    const QString refused = refusal(path, info);
    if (!refused.isEmpty())
        return fail(error, refused);
    const qint64 maxFrames = qint64(kMaxSeconds) * info.samplerate;
    // Integer samples are scaled to [-1, 1); float files may exceed it and
    // are clipped when written, as any player would.
    constexpr sf_count_t block = 4096;
    std::vector<float> buffer(size_t(block) * size_t(info.channels));
    qint64 frames = 0;
    for (;;) {
        const sf_count_t n = sf_readf_float(reader.handle(), buffer.data(), block);
        if (n <= 0)
            break;
        frames += n;
        if (frames > maxFrames)
            return fail(error, tooLong(path));
        if (!sink(buffer.data(), n))
            return fail(error, QDir::toNativeSeparators(path) + QStringLiteral(" could not be converted"));
    }
    if (sf_error(reader.handle()) != SF_ERR_NO_ERROR)
        return fail(error, QDir::toNativeSeparators(path) + QStringLiteral(" could not be read to its end (") +
                               QString::fromUtf8(sf_strerror(reader.handle())) + QLatin1Char(')'));
    return true;
}

} // namespace

bool decode(const QString& path, Audio* out, QString* error)
{
    Reader reader;
    if (!reader.open(path, error))
        return false;
    Audio audio;
    audio.rate = reader.info().samplerate;
    audio.channels = reader.info().channels;
    const auto append = [&audio](const float* samples, sf_count_t frames) {
        audio.samples.insert(audio.samples.end(), samples, samples + frames * audio.channels);
        return true;
    };
    if (!readBlocks(reader, path, append, error))
        return false;
    *out = std::move(audio);
    return true;
}

namespace {

// Mixes frames of `from` channels into `to` channels, as convert() says.
void mixFrames(const float* in, int from, qint64 frames, float* out, int to)
{
    for (qint64 f = 0; f < frames; ++f) {
        const float* src = in + f * from;
        float* dst = out + f * to;
        if (to == 1 && from > 1) {
            double sum = 0;
            for (int c = 0; c < from; ++c)
                sum += src[c];
            dst[0] = float(sum / from);
        } else {
            for (int c = 0; c < to; ++c)
                dst[c] = src[c % from];
        }
    }
}

// A streaming resampler: blocks in, blocks out, the state of libsoxr between.
class Resampler {
public:
    Resampler(double from, double to, int channels)
        : m_ratio(to / from)
        , m_channels(channels)
    {
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        soxr_error_t failed = nullptr;
        m_soxr = soxr_create(from, to, unsigned(channels), &failed, &io, &quality, nullptr);
        if (failed)
            m_soxr = nullptr;
    }
    ~Resampler()
    {
        if (m_soxr)
            soxr_delete(m_soxr);
    }
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Feeds `frames` frames (none: the end, which flushes what is held back)
    // and appends what comes out to `out`.
    bool process(const float* in, size_t frames, std::vector<float>& out)
    {
        if (!m_soxr)
            return false;
        const size_t room = size_t(std::ceil(double(frames) * m_ratio)) + 256;
        m_out.resize(room * size_t(m_channels));
        for (;;) {
            size_t used = 0, made = 0;
            if (soxr_process(m_soxr, in, frames, &used, m_out.data(), room, &made))
                return false;
            out.insert(out.end(), m_out.begin(), m_out.begin() + qsizetype(made * size_t(m_channels)));
            in = in ? in + used * size_t(m_channels) : nullptr;
            frames -= used;
            // Input fed whole; at the end, until nothing more comes out.
            if ((in && frames == 0) || (!in && made == 0))
                return true;
        }
    }

private:
    double m_ratio;
    int m_channels;
    soxr_t m_soxr = nullptr;
    std::vector<float> m_out;
};

} // namespace

bool decodeAs(const QString& path, int rate, int channels, Audio* out, QString* error)
{
    Reader reader;
    if (!reader.open(path, error))
        return false;
    const int from = reader.info().channels;
    const int fromRate = reader.info().samplerate;
    Audio audio;
    audio.rate = rate;
    audio.channels = channels;
    std::vector<float> mixed;
    std::unique_ptr<Resampler> resampler;
    if (fromRate != rate && fromRate > 0 && from > 0)
        resampler = std::make_unique<Resampler>(fromRate, rate, channels);
    const auto convertBlock = [&](const float* samples, sf_count_t frames) {
        if (!resampler) {
            const size_t at = audio.samples.size();
            audio.samples.resize(at + size_t(frames) * size_t(channels));
            mixFrames(samples, from, frames, audio.samples.data() + at, channels);
            return true;
        }
        mixed.resize(size_t(frames) * size_t(channels));
        mixFrames(samples, from, frames, mixed.data(), channels);
        return resampler->process(mixed.data(), size_t(frames), audio.samples);
    };
    if (!readBlocks(reader, path, convertBlock, error))
        return false;
    if (resampler && !resampler->process(nullptr, 0, audio.samples)) {
        return fail(error, QDir::toNativeSeparators(path) + QStringLiteral(" could not be converted"));
    }
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
    // The memory taken is that of the sound byte, never of the file.
    Audio audio;
    if (!decodeAs(source, format.rate, format.channels, &audio, error))
        return false;
    if (editing.trimSilence)
        trimSilence(audio);
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
