// SPDX-License-Identifier: GPL-3.0-or-later
#include "clips/core/ClipEncoder.h"

#include "common/core/FileSystem.h"
#include "common/core/PathContainment.h"
#include "common/core/SafeFile.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr int kIoBufferSize = 64 * 1024;

QString ffmpegText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

// The muxer writes through the SafeFile. Every block is flushed at once, since
// the MP4 muxer reads the file back by its name to move its index to the front.
int writeBlock(void* opaque, uint8_t* data, int size)
{
    auto* file = static_cast<FileOps::SafeFile*>(opaque);
    if (!file->write(reinterpret_cast<const char*>(data), size) || !file->device().flush())
        return AVERROR(EIO);
    return size;
}

int64_t seekTo(void* opaque, int64_t offset, int whence)
{
    QFile& file = static_cast<FileOps::SafeFile*>(opaque)->device();
    if (whence & AVSEEK_SIZE)
        return file.size();
    qint64 position = -1;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET:
        position = offset;
        break;
    case SEEK_CUR:
        position = file.pos() + offset;
        break;
    case SEEK_END:
        position = file.size() + offset;
        break;
    default:
        break;
    }
    if (position < 0 || !file.seek(position))
        return AVERROR(EIO);
    return position;
}

} // namespace

struct ClipEncoder::State {
    ClipRequest::Format kind = ClipRequest::Format::Mp4;
    int width = 0;
    int height = 0;
    int frames = 0;
    bool headerWritten = false;
    QString destination;
    QString error;
    std::unique_ptr<FileOps::SafeFile> file;
    AVFormatContext* muxer = nullptr;
    AVIOContext* io = nullptr;
    AVStream* stream = nullptr;
    AVCodecContext* encoder = nullptr;
    AVCodecContext* decoder = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* decoded = nullptr;
    AVFrame* scaled = nullptr;
    AVFrame* filtered = nullptr;
    AVPacket* packet = nullptr;
    AVFilterGraph* graph = nullptr;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;

    ~State() { release(); }

    bool fail(const QString& what, int code = 0)
    {
        error = code ? what + QStringLiteral(" (") + ffmpegText(code) + QStringLiteral(")") : what;
        release();
        return false;
    }

    void release()
    {
        avfilter_graph_free(&graph);
        source = sink = nullptr;
        av_frame_free(&decoded);
        av_frame_free(&scaled);
        av_frame_free(&filtered);
        av_packet_free(&packet);
        sws_freeContext(scaler);
        scaler = nullptr;
        avcodec_free_context(&decoder);
        avcodec_free_context(&encoder);
        if (muxer) {
            // This FFmpeg's GIF muxer frees the frame it holds back only in
            // its trailer, which goes to the temporary file that is dropped.
            if (headerWritten && kind == ClipRequest::Format::Gif)
                av_write_trailer(muxer);
            muxer->pb = nullptr;
            avformat_free_context(muxer);
            muxer = nullptr;
        }
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (file)
            file->cancel();
        file.reset();
        headerWritten = false;
    }

    bool openGifFilters(int fps);
    bool encode(AVFrame* frame);
};

bool ClipEncoder::State::openGifFilters(int fps)
{
    graph = avfilter_graph_alloc();
    if (!graph)
        return false;
    const QByteArray sourceArguments = QStringLiteral("video_size=%1x%2:pix_fmt=%3:time_base=1/%4:pixel_aspect=1/1")
                                           .arg(width)
                                           .arg(height)
                                           .arg(int(AV_PIX_FMT_RGB24))
                                           .arg(fps)
                                           .toLatin1();
    if (avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", sourceArguments.constData(),
                                     nullptr, graph) < 0 ||
        avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr, graph) < 0)
        return false;
    const AVPixelFormat paletted[] = {AV_PIX_FMT_PAL8, AV_PIX_FMT_NONE};
    if (av_opt_set_int_list(sink, "pix_fmts", paletted, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN) < 0)
        return false;
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    bool ok = outputs && inputs;
    if (ok) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink;
        // Each frame gets the palette of its own colours, so the GIF is made
        // as the frames come, with one frame of delay at most. The game draws
        // in 256 colours, so a frame's own palette holds every colour of it
        // exactly: no slot is kept for transparency, and no dithering is
        // needed (it would only cost time).
        ok = avfilter_graph_parse_ptr(graph,
                                      "split[a][b];[a]palettegen=stats_mode=single:reserve_transparent=0[p];"
                                      "[b][p]paletteuse=new=1:dither=none",
                                      &inputs, &outputs, nullptr) >= 0 &&
             avfilter_graph_config(graph, nullptr) >= 0;
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    return ok;
}

bool ClipEncoder::State::encode(AVFrame* frame)
{
    int code = avcodec_send_frame(encoder, frame);
    if (code < 0)
        return fail(QStringLiteral("The encoder refused a frame"), code);
    while ((code = avcodec_receive_packet(encoder, packet)) >= 0) {
        if (packet->duration == 0)
            packet->duration = 1;
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        code = av_interleaved_write_frame(muxer, packet);
        if (code < 0)
            return fail(QStringLiteral("Cannot write the clip"), code);
    }
    if (code != AVERROR(EAGAIN) && code != AVERROR_EOF)
        return fail(QStringLiteral("The encoder failed"), code);
    return true;
}

ClipEncoder::ClipEncoder()
    : m(std::make_unique<State>())
{
}

ClipEncoder::~ClipEncoder() = default;

bool ClipEncoder::open(const QString& destination, ClipRequest::Format format, int width, int height, int fps)
{
    m->release();
    // The encoders' own chatter stays off the terminal; errors are told here.
    av_log_set_level(AV_LOG_ERROR);
    m->kind = format;
    m->frames = 0;
    m->destination = destination;
    // H.264 and VP9 in yuv420p take even sides only.
    const bool gif = format == ClipRequest::Format::Gif;
    m->width = gif ? width : width & ~1;
    m->height = gif ? height : height & ~1;

    m->file = std::make_unique<FileOps::SafeFile>(destination);
    if (!m->file->open())
        return m->fail(QStringLiteral("Cannot write %1: %2").arg(destination, m->file->errorString()));

    const char* muxerName = format == ClipRequest::Format::Mp4 ? "mp4" : gif ? "gif" : "webm";
    const QByteArray url = "file:" + QFile::encodeName(m->file->device().fileName());
    int code = avformat_alloc_output_context2(&m->muxer, nullptr, muxerName, url.constData());
    if (code < 0)
        return m->fail(QStringLiteral("Cannot make a %1 file").arg(QLatin1String(muxerName)), code);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    m->io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 1, m->file.get(), nullptr, writeBlock, seekTo) : nullptr;
    if (!m->io) {
        av_free(buffer);
        return m->fail(QStringLiteral("Out of memory"));
    }
    m->muxer->pb = m->io;
    m->muxer->flags |= AVFMT_FLAG_CUSTOM_IO;

    const AVCodec* codec = format == ClipRequest::Format::Mp4    ? avcodec_find_encoder_by_name("libx264")
                           : format == ClipRequest::Format::WebM ? avcodec_find_encoder_by_name("libvpx-vp9")
                                                                 : avcodec_find_encoder(AV_CODEC_ID_GIF);
    if (!codec)
        return m->fail(QStringLiteral("This system's FFmpeg has no %1 encoder")
                           .arg(QLatin1String(format == ClipRequest::Format::Mp4    ? "H.264"
                                              : format == ClipRequest::Format::WebM ? "VP9"
                                                                                    : "GIF")));
    m->encoder = avcodec_alloc_context3(codec);
    if (!m->encoder)
        return m->fail(QStringLiteral("Out of memory"));
    m->encoder->width = m->width;
    m->encoder->height = m->height;
    m->encoder->time_base = AVRational{1, fps};
    m->encoder->framerate = AVRational{fps, 1};
    m->encoder->sample_aspect_ratio = AVRational{1, 1};
    m->encoder->pix_fmt = gif ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_YUV420P;
    if (!gif)
        m->encoder->gop_size = fps * 2;
    if (m->muxer->oformat->flags & AVFMT_GLOBALHEADER)
        m->encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    if (format == ClipRequest::Format::Mp4) {
        // Fast enough to keep pace with the game on a small machine, with a
        // short look-ahead so that memory stays small at any size.
        av_dict_set(&options, "preset", "veryfast", 0);
        av_dict_set(&options, "crf", "20", 0);
        av_dict_set(&options, "profile", "high", 0);
    } else if (format == ClipRequest::Format::WebM) {
        av_dict_set(&options, "deadline", "realtime", 0);
        av_dict_set(&options, "cpu-used", "8", 0);
        av_dict_set(&options, "row-mt", "1", 0);
        av_dict_set(&options, "crf", "32", 0);
        av_dict_set(&options, "b", "0", 0);
    }
    code = avcodec_open2(m->encoder, codec, &options);
    av_dict_free(&options);
    if (code < 0)
        return m->fail(QStringLiteral("Cannot start the encoder"), code);

    m->stream = avformat_new_stream(m->muxer, nullptr);
    if (!m->stream || avcodec_parameters_from_context(m->stream->codecpar, m->encoder) < 0)
        return m->fail(QStringLiteral("Out of memory"));
    m->stream->time_base = m->encoder->time_base;
    m->stream->avg_frame_rate = m->encoder->framerate;
    AVDictionary* muxerOptions = nullptr;
    if (format == ClipRequest::Format::Mp4)
        av_dict_set(&muxerOptions, "movflags", "+faststart", 0);
    code = avformat_write_header(m->muxer, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (code < 0)
        return m->fail(QStringLiteral("Cannot write the clip"), code);
    m->headerWritten = true;

    const AVCodec* png = avcodec_find_decoder(AV_CODEC_ID_PNG);
    m->decoder = png ? avcodec_alloc_context3(png) : nullptr;
    if (!m->decoder)
        return m->fail(QStringLiteral("This system's FFmpeg cannot read PNG pictures"));
    m->decoder->thread_count = 1;
    code = avcodec_open2(m->decoder, png, nullptr);
    if (code < 0)
        return m->fail(QStringLiteral("Cannot start the PNG reader"), code);

    m->decoded = av_frame_alloc();
    m->scaled = av_frame_alloc();
    m->filtered = av_frame_alloc();
    m->packet = av_packet_alloc();
    if (!m->decoded || !m->scaled || !m->filtered || !m->packet)
        return m->fail(QStringLiteral("Out of memory"));
    if (gif && !m->openGifFilters(fps))
        return m->fail(QStringLiteral("Cannot make the GIF's palettes"));
    return true;
}

bool ClipEncoder::addPng(const QByteArray& png)
{
    if (!m->headerWritten)
        return m->fail(m->error.isEmpty() ? QStringLiteral("The clip is not open") : m->error);
    if (png.isEmpty() || png.size() > maxPngBytes)
        return m->fail(QStringLiteral("Frame %1 is not a picture the clip can use").arg(m->frames));
    int code = av_new_packet(m->packet, int(png.size()));
    if (code < 0)
        return m->fail(QStringLiteral("Out of memory"), code);
    memcpy(m->packet->data, png.constData(), size_t(png.size()));
    // Each file is a whole picture: without the key mark, FFmpeg's PNG reader
    // takes it as a difference to the previous one.
    m->packet->flags |= AV_PKT_FLAG_KEY;
    code = avcodec_send_packet(m->decoder, m->packet);
    av_packet_unref(m->packet);
    if (code >= 0)
        code = avcodec_receive_frame(m->decoder, m->decoded);
    if (code < 0)
        return m->fail(QStringLiteral("Frame %1 is not a PNG picture the clip can use").arg(m->frames), code);

    const bool gif = m->kind == ClipRequest::Format::Gif;
    const AVPixelFormat target = gif ? AV_PIX_FMT_RGB24 : AV_PIX_FMT_YUV420P;
    m->scaler =
        sws_getCachedContext(m->scaler, m->decoded->width, m->decoded->height, AVPixelFormat(m->decoded->format),
                             m->width, m->height, target, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!m->scaler)
        return m->fail(QStringLiteral("Frame %1 has a picture format the clip cannot take").arg(m->frames));
    if (!m->scaled->buf[0]) {
        m->scaled->format = target;
        m->scaled->width = m->width;
        m->scaled->height = m->height;
        code = av_frame_get_buffer(m->scaled, 0);
    } else {
        code = av_frame_make_writable(m->scaled);
    }
    if (code < 0)
        return m->fail(QStringLiteral("Out of memory"), code);
    sws_scale(m->scaler, m->decoded->data, m->decoded->linesize, 0, m->decoded->height, m->scaled->data,
              m->scaled->linesize);
    av_frame_unref(m->decoded);
    m->scaled->pts = m->frames;
    ++m->frames;

    if (!gif)
        return m->encode(m->scaled);
    code = av_buffersrc_add_frame_flags(m->source, m->scaled, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (code < 0)
        return m->fail(QStringLiteral("Cannot make the GIF's palettes"), code);
    while (av_buffersink_get_frame(m->sink, m->filtered) >= 0) {
        const bool ok = m->encode(m->filtered);
        av_frame_unref(m->filtered);
        if (!ok)
            return false;
    }
    return true;
}

bool ClipEncoder::finish()
{
    if (!m->headerWritten)
        return m->fail(m->error.isEmpty() ? QStringLiteral("The clip is not open") : m->error);
    if (m->frames == 0)
        return m->fail(QStringLiteral("The clip has no frame"));
    if (m->graph) {
        int code = av_buffersrc_add_frame_flags(m->source, nullptr, 0);
        if (code < 0)
            return m->fail(QStringLiteral("Cannot make the GIF's palettes"), code);
        while ((code = av_buffersink_get_frame(m->sink, m->filtered)) >= 0) {
            const bool ok = m->encode(m->filtered);
            av_frame_unref(m->filtered);
            if (!ok)
                return false;
        }
    }
    if (!m->encode(nullptr))
        return false;
    m->headerWritten = false; // the trailer is written once, come what may
    const int code = av_write_trailer(m->muxer);
    if (code < 0)
        return m->fail(QStringLiteral("Cannot write the clip"), code);
    avio_flush(m->io);
    if (m->io->error < 0)
        return m->fail(QStringLiteral("Cannot write the clip"), m->io->error);
    if (!m->file->commit())
        return m->fail(QStringLiteral("Cannot write %1: %2").arg(m->destination, m->file->errorString()));
    m->file.reset();
    m->release();
    return true;
}

void ClipEncoder::cancel()
{
    m->release();
}

int ClipEncoder::frames() const
{
    return m->frames;
}

QString ClipEncoder::errorString() const
{
    return m->error;
}
