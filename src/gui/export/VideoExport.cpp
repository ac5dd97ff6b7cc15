#include "export/VideoExport.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "display/DisplayOptions.h"
#include "export/ClipPalette.h"
#include "export/ClipSource.h"
#include "export/PngExport.h"
#include "files/PathText.h"
#include "record/LogPlayer.h"
#include "settings/Profile.h"

namespace tessarin {

std::optional<ClipFormat> clipFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("mp4")) return ClipFormat::Mp4;
    if (suffix == QStringLiteral("webm")) return ClipFormat::WebM;
    if (suffix == QStringLiteral("gif")) return ClipFormat::Gif;
    return std::nullopt;
}

int clipFrameCount(std::size_t records, double speed, int fps) {
    const std::size_t steps = records > 1 ? records - 1 : 1;
    const double seconds = static_cast<double>(steps) / (kRecordsPerSecond * speed);
    return std::max(1, static_cast<int>(std::lround(seconds * fps)));
}

std::size_t clipRecordOfFrame(int frame, int frames, std::size_t records) {
    if (frames <= 1 || records <= 1 || frame <= 0) return 0;
    if (frame >= frames - 1) return records - 1;
    // The nearest record to the frame's time, with the last frame on the last record.
    const auto span = static_cast<std::uint64_t>(records - 1);
    const auto k = static_cast<std::uint64_t>(frame);
    const auto n = static_cast<std::uint64_t>(frames - 1);
    return static_cast<std::size_t>((2 * k * span + n) / (2 * n));
}

namespace {

QString avText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

}  // namespace

struct VideoEncoder::Impl {
    ~Impl() {
        sws_freeContext(sws);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb) avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
    // Sends `input` (null flushes) and writes every packet the encoder has ready.
    bool encode(const AVFrame* input, QString& error);

    ClipFormat kind = ClipFormat::Mp4;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwsContext* sws = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    ClipPalette palette;
    std::int64_t pts = 0;
    bool headerWritten = false;
    // The picture whose colours the frame holds: a record shown for several frames is
    // converted once.
    std::optional<qint64> converted;
};

bool VideoEncoder::Impl::encode(const AVFrame* input, QString& error) {
    int code = avcodec_send_frame(codec, input);
    if (code < 0) {
        error = QStringLiteral("cannot encode a frame: %1").arg(avText(code));
        return false;
    }
    for (;;) {
        code = avcodec_receive_packet(codec, packet);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
        if (code < 0) {
            error = QStringLiteral("cannot encode a frame: %1").arg(avText(code));
            return false;
        }
        // Each frame lasts one frame time; the last one too, so that the file lasts the clip.
        if (packet->duration == 0) packet->duration = 1;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        code = av_interleaved_write_frame(format, packet);
        if (code < 0) {
            error = QStringLiteral("cannot write: %1").arg(avText(code));
            return false;
        }
    }
}

namespace {

struct FormatChoice {
    const char* muxer;
    const char* encoder;
    AVPixelFormat pixels;
};

FormatChoice choiceFor(ClipFormat format) {
    switch (format) {
        case ClipFormat::Mp4:
            return {"mp4", "libx264", AV_PIX_FMT_YUV420P};
        case ClipFormat::WebM:
            return {"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P};
        case ClipFormat::Gif:
            return {"gif", "gif", AV_PIX_FMT_PAL8};
    }
    return {"mp4", "libx264", AV_PIX_FMT_YUV420P};
}

// Codec settings: a field of flat colours compresses well, so a constant quality that
// keeps lines and labels sharp stays small (a minute at 720p is a few megabytes), and
// fast presets keep the export well ahead of real time. H.264's fastest preset: the
// encoder is nearly all of an export's work, and the next one up doubles it to halve
// a file that is small already (about 4 MB instead of 2 for a minute at 720p).
void setCodecOptions(ClipFormat format, AVCodecContext* codec, AVDictionary** options) {
    switch (format) {
        case ClipFormat::Mp4:
            av_dict_set(options, "preset", "ultrafast", 0);
            av_dict_set(options, "tune", "animation", 0);
            av_dict_set(options, "crf", "23", 0);
            break;
        case ClipFormat::WebM:
            codec->bit_rate = 0;
            av_dict_set(options, "deadline", "realtime", 0);
            av_dict_set(options, "cpu-used", "8", 0);
            av_dict_set(options, "crf", "32", 0);
            av_dict_set(options, "row-mt", "1", 0);
            break;
        case ClipFormat::Gif:
            break;
    }
    if (format != ClipFormat::Gif) {
        // Pictures of this size are high definition: say so, so that players convert
        // the colours back as they were converted here.
        codec->colorspace = AVCOL_SPC_BT709;
        codec->color_primaries = AVCOL_PRI_BT709;
        codec->color_trc = AVCOL_TRC_BT709;
        codec->color_range = AVCOL_RANGE_MPEG;
        codec->gop_size = codec->framerate.num * 10;
    }
}

}  // namespace

std::unique_ptr<VideoEncoder> VideoEncoder::open(const QString& path, ClipFormat format, int width, int height, int fps,
                                                 const std::vector<QRgb>& palette, QString& error) {
    // The libraries report each encoder's settings and statistics on stderr; only their
    // errors are of use to someone who asked for a clip.
    av_log_set_level(AV_LOG_ERROR);
    const FormatChoice choice = choiceFor(format);
    auto impl = std::make_unique<Impl>();
    impl->kind = format;
    const QByteArray file = QFile::encodeName(path);
    int code = avformat_alloc_output_context2(&impl->format, nullptr, choice.muxer, file.constData());
    if (code < 0 || !impl->format) {
        error = QStringLiteral("no %1 writer in the FFmpeg libraries").arg(QLatin1StringView(choice.muxer));
        return nullptr;
    }
    const AVCodec* encoder = avcodec_find_encoder_by_name(choice.encoder);
    if (!encoder) {
        error = QStringLiteral("no %1 encoder in the FFmpeg libraries").arg(QLatin1StringView(choice.encoder));
        return nullptr;
    }
    impl->stream = avformat_new_stream(impl->format, nullptr);
    impl->codec = avcodec_alloc_context3(encoder);
    impl->frame = av_frame_alloc();
    impl->packet = av_packet_alloc();
    if (!impl->stream || !impl->codec || !impl->frame || !impl->packet) {
        error = QStringLiteral("out of memory");
        return nullptr;
    }
    AVCodecContext* codec = impl->codec;
    codec->width = width;
    codec->height = height;
    codec->pix_fmt = choice.pixels;
    codec->time_base = AVRational{1, fps};
    codec->framerate = AVRational{fps, 1};
    impl->stream->time_base = codec->time_base;
    if (impl->format->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    setCodecOptions(format, codec, &options);
    code = avcodec_open2(codec, encoder, &options);
    av_dict_free(&options);
    if (code < 0) {
        error = QStringLiteral("cannot start the %1 encoder: %2").arg(QLatin1StringView(choice.encoder), avText(code));
        return nullptr;
    }
    if (avcodec_parameters_from_context(impl->stream->codecpar, codec) < 0) {
        error = QStringLiteral("cannot set up the %1 stream").arg(QLatin1StringView(choice.muxer));
        return nullptr;
    }
    code = avio_open(&impl->format->pb, file.constData(), AVIO_FLAG_WRITE);
    if (code < 0) {
        error = QStringLiteral("cannot write %1: %2").arg(path, avText(code));
        return nullptr;
    }
    AVDictionary* muxing = nullptr;
    // The index at the front, so that a player can start before it has the whole file.
    if (format == ClipFormat::Mp4) av_dict_set(&muxing, "movflags", "+faststart", 0);
    code = avformat_write_header(impl->format, &muxing);
    av_dict_free(&muxing);
    if (code < 0) {
        error = QStringLiteral("cannot write %1: %2").arg(path, avText(code));
        return nullptr;
    }
    impl->headerWritten = true;

    impl->frame->format = choice.pixels;
    impl->frame->width = width;
    impl->frame->height = height;
    if (av_frame_get_buffer(impl->frame, 0) < 0) {
        error = QStringLiteral("out of memory");
        return nullptr;
    }
    if (format == ClipFormat::Gif) {
        impl->palette.setColours(palette);
    } else {
        // QImage's RGB32 is 0xffRRGGBB in native order: B, G, R, A bytes on this machine.
        impl->sws = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, choice.pixels,
                                   SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr, nullptr);
        if (!impl->sws) {
            error = QStringLiteral("cannot convert the pictures' colours");
            return nullptr;
        }
        const int* rgb = sws_getCoefficients(SWS_CS_DEFAULT);
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(impl->sws, rgb, 1, bt709, 0, 0, 1 << 16, 1 << 16);
    }
    return std::unique_ptr<VideoEncoder>(new VideoEncoder(std::move(impl)));
}

VideoEncoder::VideoEncoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

VideoEncoder::~VideoEncoder() = default;

bool VideoEncoder::write(const QImage& picture, QString& error) {
    Impl& impl = *impl_;
    const QImage image =
        picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    if (image.width() != impl.codec->width || image.height() != impl.codec->height) {
        error = QStringLiteral("a frame of the wrong size");
        return false;
    }
    const bool same = impl.converted == picture.cacheKey();
    // Keeps the pixels: when the encoder still holds the frame, they are copied.
    if (av_frame_make_writable(impl.frame) < 0) {
        error = QStringLiteral("out of memory");
        return false;
    }
    if (!same && impl.kind == ClipFormat::Gif) {
        impl.palette.map(image, impl.frame->data[0], impl.frame->linesize[0]);
        auto* colours = reinterpret_cast<std::uint32_t*>(impl.frame->data[1]);
        const std::vector<QRgb>& palette = impl.palette.colours();
        for (std::size_t i = 0; i < kMaxPaletteColours; ++i) colours[i] = i < palette.size() ? palette[i] : 0xff000000u;
    } else if (!same) {
        const std::uint8_t* const source[] = {image.constBits()};
        const int stride[] = {static_cast<int>(image.bytesPerLine())};
        sws_scale(impl.sws, source, stride, 0, image.height(), impl.frame->data, impl.frame->linesize);
    }
    impl.converted = picture.cacheKey();
    impl.frame->pts = impl.pts++;
    return impl.encode(impl.frame, error);
}

bool VideoEncoder::finish(QString& error) {
    Impl& impl = *impl_;
    if (!impl.encode(nullptr, error)) return false;
    int code = av_write_trailer(impl.format);
    if (code < 0) {
        error = QStringLiteral("cannot write: %1").arg(avText(code));
        return false;
    }
    code = avio_closep(&impl.format->pb);
    if (code < 0) {
        error = QStringLiteral("cannot write: %1").arg(avText(code));
        return false;
    }
    return true;
}

}  // namespace tessarin

namespace tessarin {

namespace {

// Pictures of the clip counted for its GIF palette: spread evenly over the clip, enough
// to meet every colour a game shows (the teams, the ball, the labels, the overlays).
constexpr std::size_t kPaletteSamples = 64;

std::vector<QRgb> clipColours(ClipPainter& painter, const ClipSnapshot& snapshot, const std::atomic<bool>& stop) {
    ClipPalette palette;
    const std::size_t records = snapshot.records.size();
    const std::size_t samples = std::min(records, kPaletteSamples);
    std::optional<std::size_t> previous;
    for (std::size_t i = 0; i < samples && !stop.load(); ++i) {
        const std::size_t record = samples > 1 ? i * (records - 1) / (samples - 1) : 0;
        if (record == previous) continue;
        palette.count(painter.draw(record));
        previous = record;
    }
    palette.finish();
    return palette.colours();
}

// New files get the permissions the user's umask gives, not the temporary file's 0600.
void giveUsualPermissions(const QString& path) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(QFile::encodeName(path).constData(), 0666 & ~mask);
}

ClipOutcome failed(QString message) { return {ClipStatus::Failed, std::move(message)}; }

}  // namespace

ClipOutcome writeClip(const ClipSnapshot& snapshot, const QString& output, double speed, int fps,
                      const ClipProgress& progress, const std::atomic<bool>& stop) {
    const auto format = clipFormatOf(output);
    if (!format) return failed(QStringLiteral("%1: the name must end in .mp4, .webm or .gif").arg(output));
    if (snapshot.records.empty()) return failed(QStringLiteral("the clip holds no records"));
    const int width = snapshot.look.width;
    const int height = snapshot.look.height;
    if (*format != ClipFormat::Gif && (width % 2 != 0 || height % 2 != 0)) {
        return failed(QStringLiteral("a video needs an even width and height, not %1x%2").arg(width).arg(height));
    }
    // A symbolic link keeps pointing where it did: the file it names is replaced.
    const QFileInfo named(output);
    QString path = output;
    if (named.isSymLink())
        path = named.canonicalFilePath().isEmpty() ? named.symLinkTarget() : named.canonicalFilePath();
    const QFileInfo target(path);
    if (target.isDir()) return failed(QStringLiteral("cannot write %1: it is a folder").arg(output));
    // Renaming over a device or a pipe would replace it, not write into it.
    if (target.exists() && !target.isFile()) {
        return failed(QStringLiteral("cannot write %1: it is not a regular file").arg(output));
    }
    // Written beside the target and renamed over it once complete, so that a failed or
    // stopped export leaves no cut-off file (and an old clip stays as it was).
    QTemporaryFile temporary(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(target.fileName())));
    if (!temporary.open()) return failed(QStringLiteral("cannot write %1: %2").arg(output, temporary.errorString()));
    temporary.close();

    std::vector<QRgb> palette;
    if (*format == ClipFormat::Gif) {
        ClipPainter sampler(snapshot, &stop);
        if (!sampler.failure().isEmpty()) return failed(sampler.failure());
        palette = clipColours(sampler, snapshot, stop);
    }
    if (stop.load()) return {ClipStatus::Stopped, QStringLiteral("stopped")};

    ClipPainter painter(snapshot, &stop);
    if (!painter.failure().isEmpty()) return failed(painter.failure());
    if (stop.load()) return {ClipStatus::Stopped, QStringLiteral("stopped")};
    QString error;
    auto encoder = VideoEncoder::open(temporary.fileName(), *format, width, height, fps, palette, error);
    if (!encoder) return failed(error);
    const std::size_t records = snapshot.records.size();
    const int frames = clipFrameCount(records, speed, fps);
    std::optional<std::size_t> drawn;
    QImage picture;
    for (int frame = 0; frame < frames; ++frame) {
        if (stop.load()) return {ClipStatus::Stopped, QStringLiteral("stopped")};
        const std::size_t record = clipRecordOfFrame(frame, frames, records);
        if (record != drawn) {
            picture = painter.draw(record);
            drawn = record;
        }
        if (!encoder->write(picture, error)) return failed(QStringLiteral("%1: %2").arg(output, error));
        if (progress) progress(frame + 1, frames);
    }
    if (!encoder->finish(error)) return failed(QStringLiteral("%1: %2").arg(output, error));
    encoder.reset();
    giveUsualPermissions(temporary.fileName());
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        return failed(QStringLiteral("cannot write %1: %2").arg(output, QString::fromLocal8Bit(std::strerror(errno))));
    }
    temporary.setAutoRemove(false);
    return {ClipStatus::Written, {}};
}

ClipOutcome exportVideo(const ExportRequest& request, const Profile& profile, const ClipProgress& progress,
                        const std::atomic<bool>& stop) {
    DisplayOptions options;
    if (QString error = exportOptions(request, profile, options); !error.isEmpty()) return failed(error);
    const bool analyse = options.ControlCourse || request.present != kPresentClear;
    BehaviorAnalyzer analyzer;
    GameAnalysis analysis(analyzer, nullptr);
    NullPlaybackHost host;
    LogPlayer player(host, analyse ? &analysis : nullptr);
    if (QString error = loadExportGame(request, profile, player); !error.isEmpty()) return failed(error);

    const int first = player.first_cycle();
    const int last = player.last_cycle();
    const int from = request.from.value_or(first);
    const int to = request.to.value_or(last);
    if (from > last) {
        return failed(
            QStringLiteral("--from %1 is beyond the last cycle of %2 (%3)").arg(from).arg(request.input).arg(last));
    }
    if (to < first) {
        return failed(
            QStringLiteral("--to %1 is before the first cycle of %2 (%3)").arg(to).arg(request.input).arg(first));
    }
    const auto range =
        player.withStore([&](const std::vector<cycle_info_t>& frames) { return clipRange(frames, from, to); });
    if (!range)
        return failed(QStringLiteral("%1 has no record from cycle %2 to %3").arg(request.input).arg(from).arg(to));
    ClipSnapshot snapshot =
        takeClipSnapshot(player, analyse ? &analyzer : nullptr, *range, exportLook(request, options));
    if (QString error = addExportDebugLogs(request, snapshot); !error.isEmpty()) return failed(error);
    return writeClip(snapshot, request.output, request.speed, request.fps, progress, stop);
}

}  // namespace tessarin
