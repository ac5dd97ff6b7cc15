// Clips: the timing of frames, the records a clip holds, the GIF palette, the clip's
// arguments, and files decoded back with the same libraries and compared with the
// picture export.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <atomic>
#include <cmath>
#include <filesystem>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "display/DisplayPalette.h"
#include "export/ClipPalette.h"
#include "export/ClipSource.h"
#include "export/PngExport.h"
#include "export/VideoExport.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

const std::string kDemoGame = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";

QStringList args(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) list << QString::fromLatin1(item);
    return list;
}

TEST(ClipTimingTest, ClipLastsThePlaybackTimeFromFirstToLastRecord) {
    // Cycles 100..130: 31 records, 30 steps of 100 ms.
    EXPECT_EQ(clipFrameCount(31, 1.0, 30), 90);
    EXPECT_EQ(clipFrameCount(31, 2.0, 30), 45);
    EXPECT_EQ(clipFrameCount(31, 0.5, 25), 150);
    // One record still makes a picture, shown for one step.
    EXPECT_EQ(clipFrameCount(1, 1.0, 30), 3);
    EXPECT_EQ(clipFrameCount(2, 64.0, 1), 1);
}

TEST(ClipTimingTest, FramesRepeatOrSkipRecordsToKeepTime) {
    for (const auto& [records, speed, fps] :
         {std::tuple{31, 1.0, 30}, std::tuple{31, 2.0, 30}, std::tuple{601, 4.0, 30}, std::tuple{7, 0.5, 24}}) {
        SCOPED_TRACE(testing::Message() << records << " records at " << speed << "x, " << fps << " fps");
        const int frames = clipFrameCount(static_cast<std::size_t>(records), speed, fps);
        EXPECT_EQ(clipRecordOfFrame(0, frames, static_cast<std::size_t>(records)), 0u);
        EXPECT_EQ(clipRecordOfFrame(frames - 1, frames, static_cast<std::size_t>(records)),
                  static_cast<std::size_t>(records - 1));
        std::size_t previous = 0;
        for (int k = 0; k < frames; ++k) {
            const std::size_t record = clipRecordOfFrame(k, frames, static_cast<std::size_t>(records));
            EXPECT_GE(record, previous);
            // Within one frame (and the rounding to a record) of where the clock of
            // playback stands at the frame's time.
            const double perFrame = kRecordsPerSecond * speed / fps;
            EXPECT_NEAR(static_cast<double>(record), k * perFrame, perFrame + 0.5) << "frame " << k;
            previous = record;
        }
    }
    // At speed 1 and 30 frames a second no record is skipped.
    QSet<std::size_t> shown;
    for (int k = 0; k < 90; ++k) shown.insert(clipRecordOfFrame(k, 90, 31));
    EXPECT_EQ(shown.size(), 31);
}

TEST(ClipRangeTest, RunsFromTheFirstRecordOfOneCycleToTheLastOfAnother) {
    std::vector<cycle_info_t> frames;
    // A cycle repeated while the clock stands (a set play at 5) and a gap (8, 9 missing).
    for (int cycle : {3, 4, 5, 5, 5, 6, 7, 10, 11}) frames.push_back(showRecord(ShowBuilder(cycle).build()));
    const auto all = clipRange(frames, 5, 5);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->first, 2u);
    EXPECT_EQ(all->last, 4u);
    EXPECT_EQ(all->size(), 3u);
    const auto gap = clipRange(frames, 8, 10);
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap->first, 7u);
    EXPECT_EQ(gap->last, 7u);
    EXPECT_FALSE(clipRange(frames, 8, 9));
    EXPECT_FALSE(clipRange(frames, 12, 40));
    const auto wide = clipRange(frames, -5, 400);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->size(), frames.size());
}

TEST(ClipPaletteTest, KeepsFewColoursExactly) {
    QImage picture(40, 10, QImage::Format_RGB32);
    picture.fill(qRgb(0, 96, 0));
    for (int x = 0; x < 40; ++x) picture.setPixel(x, 4, qRgb(255, 255, 255));
    picture.setPixel(3, 3, qRgb(200, 0, 0));
    ClipPalette palette;
    palette.count(picture);
    palette.finish();
    ASSERT_EQ(palette.colours().size(), 3u);
    EXPECT_EQ(palette.colours().front(), qRgb(0, 96, 0));  // the most frequent first
    std::vector<std::uint8_t> indices(40 * 10);
    palette.map(picture, indices.data(), 40);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 40; ++x) {
            EXPECT_EQ(palette.colours()[indices[static_cast<std::size_t>(y * 40 + x)]], picture.pixel(x, y));
        }
    }
}

TEST(ClipPaletteTest, ManyColoursKeepTheFrequentAndSnapTheRestToTheNearest) {
    // 300 greys, grey 0 the most frequent; the rarest 44 snap to a neighbour.
    QImage picture(300, 2, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x) {
        picture.setPixel(x, 0, qRgb(x % 256, x / 256 * 100, 0));
        picture.setPixel(x, 1, x < 256 ? qRgb(x % 256, 0, 0) : qRgb(0, 0, 0));
    }
    ClipPalette palette;
    palette.count(picture);
    palette.finish();
    EXPECT_EQ(palette.colours().size(), kMaxPaletteColours);
    std::vector<std::uint8_t> indices(300 * 2);
    palette.map(picture, indices.data(), 300);
    for (int x = 0; x < 256; ++x) EXPECT_EQ(palette.colours()[indices[300 + x]], picture.pixel(x, 1));
    // (x, 100, 0) for x >= 256 is rare and absent: it becomes a colour near it, not noise.
    for (int x = 256; x < 300; ++x) {
        const QRgb got = palette.colours()[indices[static_cast<std::size_t>(x)]];
        EXPECT_LE(std::abs(qGreen(got) - 100) + std::abs(qRed(got) - (x % 256)), 100) << x;
    }
}

TEST(VideoExportArgumentsTest, AcceptsTheClipForm) {
    QString error;
    const auto plain = parseExportArguments(args({"--export-video", "clip.mp4", "game.rcg"}), error);
    ASSERT_TRUE(plain) << error.toStdString();
    EXPECT_TRUE(plain->video);
    EXPECT_EQ(plain->width, 1280);
    EXPECT_EQ(plain->height, 720);
    EXPECT_EQ(plain->fps, 30);
    EXPECT_DOUBLE_EQ(plain->speed, 1.0);
    EXPECT_FALSE(plain->from || plain->to);

    const auto full =
        parseExportArguments(args({"--export-video", "c.GIF", "--from", "100", "--to", "120", "--speed", "2.5", "--fps",
                                   "12", "--size", "641x401", "--select", "3", "--option", "Number=0", "g.rcg"}),
                             error);
    ASSERT_TRUE(full) << error.toStdString();
    EXPECT_EQ(*full->from, 100);
    EXPECT_EQ(*full->to, 120);
    EXPECT_DOUBLE_EQ(full->speed, 2.5);
    EXPECT_EQ(full->fps, 12);
    EXPECT_EQ(full->width, 641);  // a GIF may have odd sides
    EXPECT_EQ(*full->select, 3);
    EXPECT_EQ(full->options.size(), 1u);
}

TEST(VideoExportArgumentsTest, RejectsUnusableClips) {
    const std::initializer_list<const char*> bad[] = {
        {"--export-video", "c.mp4", "--fps", "0", "g.rcg"},
        {"--export-video", "c.mp4", "--fps", "121", "g.rcg"},
        {"--export-video", "c.mp4", "--size", "10x10", "g.rcg"},
        {"--export-video", "c.mp4", "--size", "1281x720", "g.rcg"},  // yuv420p needs even sides
        {"--export-video", "c.avi", "g.rcg"},
        {"--export-video", "clip", "g.rcg"},
        {"--export-video", "c.mp4", "--from", "200", "--to", "100", "g.rcg"},
        {"--export-video", "c.mp4", "--from", "x", "g.rcg"},
        {"--export-video", "c.mp4", "--speed", "0", "g.rcg"},
        {"--export-video", "c.mp4", "--speed", "inf", "g.rcg"},
        {"--export-video", "c.mp4", "--cycle", "5", "g.rcg"},
        {"--export-video", "c.mp4", "--export-png", "p.png", "g.rcg"},
        {"--export-png", "p.png", "--from", "5", "g.rcg"},
        {"--export-video", "c.mp4"},
    };
    for (const auto& list : bad) {
        QString error;
        const QStringList arguments = args(list);
        EXPECT_FALSE(parseExportArguments(arguments, error)) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    QString error;
    EXPECT_FALSE(parseViewerArguments(args({"--fps", "30", "g.rcg"}), error));
}

// A clip decoded with the FFmpeg libraries: its frames as RGB pictures and its duration.
struct DecodedClip {
    std::vector<QImage> frames;
    double seconds = 0.0;
};

std::optional<DecodedClip> decodeClip(const std::string& path) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return std::nullopt;
    std::unique_ptr<AVFormatContext*, void (*)(AVFormatContext**)> closeFormat(&format, avformat_close_input);
    if (avformat_find_stream_info(format, nullptr) < 0) return std::nullopt;
    const int streamIndex = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (streamIndex < 0) return std::nullopt;
    const AVStream* stream = format->streams[streamIndex];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    std::unique_ptr<AVCodecContext*, void (*)(AVCodecContext**)> freeCodec(&codec, avcodec_free_context);
    avcodec_parameters_to_context(codec, stream->codecpar);
    if (avcodec_open2(codec, decoder, nullptr) < 0) return std::nullopt;

    DecodedClip clip;
    clip.seconds = static_cast<double>(format->duration) / AV_TIME_BASE;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    auto receive = [&] {
        while (avcodec_receive_frame(codec, frame) == 0) {
            QImage image(frame->width, frame->height, QImage::Format_RGB32);
            SwsContext* sws =
                sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
                               frame->height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr);
            if (frame->colorspace == AVCOL_SPC_BT709) {
                sws_setColorspaceDetails(sws, sws_getCoefficients(SWS_CS_ITU709), 0,
                                         sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
            }
            std::uint8_t* const target[] = {image.bits()};
            const int stride[] = {static_cast<int>(image.bytesPerLine())};
            sws_scale(sws, frame->data, frame->linesize, 0, frame->height, target, stride);
            sws_freeContext(sws);
            clip.frames.push_back(image);
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == streamIndex) avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        receive();
    }
    avcodec_send_packet(codec, nullptr);
    receive();
    av_packet_free(&packet);
    av_frame_free(&frame);
    return clip;
}

// Whether the 9×9 pixels around (x, y) all have one colour: away from edges, where the
// codec's halved colour resolution and the decoder's smooth upsampling do not reach.
bool flatAround(const QImage& image, int x, int y) {
    constexpr int kReach = 4;
    if (x < kReach || y < kReach || x + kReach >= image.width() || y + kReach >= image.height()) return false;
    for (int dy = -kReach; dy <= kReach; ++dy) {
        for (int dx = -kReach; dx <= kReach; ++dx) {
            if (image.pixel(x + dx, y + dy) != image.pixel(x, y)) return false;
        }
    }
    return true;
}

class VideoExportTest : public ::testing::Test {
protected:
    ExportRequest clipRequest(const std::string& name, int from, int to) const {
        ExportRequest request;
        request.video = true;
        request.input = QString::fromStdString(kDemoGame);
        request.output = QString::fromStdString(dir.file(name));
        request.from = from;
        request.to = to;
        request.width = 640;
        request.height = 360;
        request.options = options;
        return request;
    }
    ClipOutcome run(const ExportRequest& request, const ClipProgress& progress = {}) {
        const auto profile = settings.open();
        return exportVideo(request, *profile, progress, stop);
    }
    QImage png(int cycle, int width, int height) {
        ExportRequest request;
        request.input = QString::fromStdString(kDemoGame);
        request.output = QString::fromStdString(dir.file("cycle.png"));
        request.cycle = cycle;
        request.width = width;
        request.height = height;
        request.options = options;
        const auto profile = settings.open();
        EXPECT_EQ(exportPng(request, *profile), QString());
        return QImage(request.output);
    }
    // Only the given files are in the folder: no temporary file was left behind.
    QStringList filesLeft() const {
        return QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files | QDir::Hidden);
    }

    TempDir dir;
    TempProfile settings;
    std::atomic<bool> stop{false};
    // Players as large as they can be drawn, so that their fills hold flat patches.
    std::vector<std::pair<QString, double>> options{{QStringLiteral("PlayerScale"), 5.5}};
};

TEST_F(VideoExportTest, Mp4HoldsTheFramesAndTimeOfTheClip) {
    const ClipOutcome normal = run(clipRequest("normal.mp4", 100, 130));
    ASSERT_EQ(normal.status, ClipStatus::Written) << normal.message.toStdString();
    const auto decoded = decodeClip(dir.file("normal.mp4"));
    ASSERT_TRUE(decoded);
    EXPECT_NEAR(static_cast<double>(decoded->frames.size()), 90.0, 1.0);
    EXPECT_NEAR(decoded->seconds, 3.0, 0.05);
    for (const QImage& frame : decoded->frames) ASSERT_EQ(frame.size(), QSize(640, 360));

    ExportRequest fast = clipRequest("fast.mp4", 100, 130);
    fast.speed = 2.0;
    ASSERT_EQ(run(fast).status, ClipStatus::Written);
    const auto quick = decodeClip(dir.file("fast.mp4"));
    ASSERT_TRUE(quick);
    EXPECT_NEAR(quick->seconds, 1.5, 0.05);
    EXPECT_NEAR(static_cast<double>(quick->frames.size()), 45.0, 1.0);
    EXPECT_THAT(filesLeft(), testing::UnorderedElementsAre(QStringLiteral("normal.mp4"), QStringLiteral("fast.mp4")));
}

TEST_F(VideoExportTest, DecodedFramesMatchThePictureExportOfTheirCycles) {
    ExportRequest request = clipRequest("clip.mp4", 100, 130);
    request.width = 1920;
    request.height = 1080;
    ASSERT_EQ(run(request).status, ClipStatus::Written);
    const auto decoded = decodeClip(dir.file("clip.mp4"));
    ASSERT_TRUE(decoded);
    ASSERT_GE(decoded->frames.size(), 2u);
    // The first frame shows cycle 100, the last cycle 130.
    for (const auto& [frame, cycle] :
         {std::pair{decoded->frames.front(), 100}, std::pair{decoded->frames.back(), 130}}) {
        SCOPED_TRACE(cycle);
        const QImage reference = png(cycle, 1920, 1080);
        ASSERT_EQ(reference.size(), frame.size());
        int compared = 0;
        int players = 0;
        // Every flat patch of the picture on a grid: grass, the header band, team fills.
        for (int y = 0; y < reference.height(); y += 2) {
            for (int x = 0; x < reference.width(); x += 2) {
                if (!flatAround(reference, x, y)) continue;
                const QColor want = reference.pixelColor(x, y);
                const QColor got = frame.pixelColor(x, y);
                // What the codec loses on a flat patch of a frame it predicts from others;
                // the drawing's colours lie 96 or more apart in some channel.
                constexpr int kLoss = 40;
                ASSERT_NEAR(got.red(), want.red(), kLoss) << x << "," << y;
                ASSERT_NEAR(got.green(), want.green(), kLoss) << x << "," << y;
                ASSERT_NEAR(got.blue(), want.blue(), kLoss) << x << "," << y;
                ++compared;
                if (want == QColor(255, 255, 10) || want == QColor(200, 0, 0)) ++players;
            }
        }
        EXPECT_GT(compared, 10000);
        EXPECT_GT(players, 0) << "no player's fill was compared";
    }
}

TEST_F(VideoExportTest, GifKeepsTheFieldsColoursUndithered) {
    ExportRequest request = clipRequest("clip.gif", 200, 219);
    request.fps = 10;
    ASSERT_EQ(run(request).status, ClipStatus::Written);
    const auto decoded = decodeClip(dir.file("clip.gif"));
    ASSERT_TRUE(decoded);
    ASSERT_FALSE(decoded->frames.empty());
    QSet<QRgb> colours;
    for (const QImage& frame : decoded->frames) {
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) colours.insert(frame.pixel(x, y) | 0xff000000u);
        }
    }
    EXPECT_LE(colours.size(), 256);
    const QImage reference = png(200, 640, 360);
    const QImage& first = decoded->frames.front();
    int grass = 0;
    for (int y = 0; y < reference.height(); y += 2) {
        for (int x = 0; x < reference.width(); x += 2) {
            if (reference.pixelColor(x, y) != kFieldColour) continue;
            ASSERT_EQ(first.pixelColor(x, y), kFieldColour) << x << "," << y;
            ++grass;
        }
    }
    EXPECT_GT(grass, 20000);
}

TEST_F(VideoExportTest, BadRangeOrTargetFailsWithAMessageAndNoFile) {
    struct Case {
        ExportRequest request;
        const char* says;
    };
    ExportRequest unwritable = clipRequest("clip.mp4", 100, 110);
    unwritable.output = QString::fromStdString(dir.file("missing-folder/clip.mp4"));
    ExportRequest folder = clipRequest("clip.mp4", 100, 110);
    folder.output = QString::fromStdString(dir.file("sub.mp4"));
    QDir(QString::fromStdString(dir.path().string())).mkdir(QStringLiteral("sub.mp4"));
    const Case cases[] = {
        {clipRequest("late.mp4", 30000, 30010), "beyond the last cycle"},
        {clipRequest("early.mp4", -100, -50), "before the first cycle"},
        {unwritable, "cannot write"},
        {folder, "folder"},
    };
    for (const Case& c : cases) {
        const ClipOutcome outcome = run(c.request);
        EXPECT_EQ(outcome.status, ClipStatus::Failed) << c.says;
        EXPECT_THAT(outcome.message.toStdString(), testing::HasSubstr(c.says));
        EXPECT_FALSE(outcome.message.contains(QLatin1Char('\n')));
    }
    EXPECT_THAT(filesLeft(), testing::IsEmpty());
}

TEST_F(VideoExportTest, RefusesToWriteOverTheGameItReads) {
    // A game under a clip's name: the export must not replace it with its clip.
    const std::string game = dir.file("game.mp4");
    std::filesystem::copy_file(kDemoGame, game);
    ExportRequest request = clipRequest("game.mp4", 100, 110);
    request.input = QString::fromStdString(game);
    const ClipOutcome outcome = run(request);
    EXPECT_EQ(outcome.status, ClipStatus::Failed);
    EXPECT_THAT(outcome.message.toStdString(), testing::HasSubstr("refusing"));
    EXPECT_EQ(std::filesystem::file_size(game), std::filesystem::file_size(kDemoGame));
    EXPECT_THAT(filesLeft(), testing::ElementsAre(QStringLiteral("game.mp4")));
}

TEST_F(VideoExportTest, DrawsTheSelectedPlayersDebugLogInEachFrame) {
    const std::string logs = std::string(TESSARIN_TEST_DATA_DIR) + "/agent-debug";
    const auto exportClip = [&](std::initializer_list<const char*> extra) {
        QStringList arguments = {QStringLiteral("--export-video"), QString::fromStdString(dir.file("debug.gif")),
                                 QStringLiteral("--from"),         QStringLiteral("3"),
                                 QStringLiteral("--to"),           QStringLiteral("4"),
                                 QStringLiteral("--size"),         QStringLiteral("1150x850")};
        arguments << args(extra) << QString::fromStdString(logs + "/20261210040211-HELIOS_L_0-vs-HELIOS_R_0.rcg.gz");
        QString error;
        const auto request = parseExportArguments(arguments, error);
        if (!request) return ClipOutcome{ClipStatus::Failed, error};
        return run(*request);
    };
    // Right player 7's blue line of cycle 3, mirrored onto the field: its middle is the
    // pixel (682, 528) at 10 pixels per metre about the centre (575, 460).
    const auto blueAtTheLine = [&] {
        const auto decoded = decodeClip(dir.file("debug.gif"));
        if (!decoded || decoded->frames.empty()) return false;
        const QImage& first = decoded->frames.front();
        for (int y = 527; y <= 529; ++y) {
            for (int x = 681; x <= 683; ++x) {
                if (first.pixelColor(x, y) == QColor(0, 0, 255)) return true;
            }
        }
        return false;
    };
    ASSERT_EQ(exportClip({"--select", "17"}).status, ClipStatus::Written);
    EXPECT_FALSE(blueAtTheLine());
    const std::string folder = logs;
    const ClipOutcome drawn = exportClip({"--select", "17", "--debug-logs", folder.c_str()});
    ASSERT_EQ(drawn.status, ClipStatus::Written) << drawn.message.toStdString();
    EXPECT_TRUE(blueAtTheLine());

    // Left player 4 wrote no log: said, and nothing written.
    std::filesystem::remove(dir.file("debug.gif"));
    const ClipOutcome missing = exportClip({"--select", "3", "--debug-logs", folder.c_str()});
    EXPECT_EQ(missing.status, ClipStatus::Failed);
    EXPECT_THAT(missing.message.toStdString(), testing::HasSubstr("no debug log"));
    EXPECT_THAT(filesLeft(), testing::IsEmpty());
}

TEST_F(VideoExportTest, WritingThroughASymbolicLinkReplacesTheFileItNames) {
    const std::string text = "an older clip";
    dir.write("real.gif", Bytes(text.begin(), text.end()));
    std::filesystem::create_symlink("real.gif", dir.file("link.gif"));
    ExportRequest request = clipRequest("link.gif", 100, 102);
    ASSERT_EQ(run(request).status, ClipStatus::Written);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.gif")));
    EXPECT_GT(std::filesystem::file_size(dir.file("real.gif")), text.size());
    const auto decoded = decodeClip(dir.file("link.gif"));
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded->frames.empty());
    EXPECT_THAT(filesLeft(), testing::UnorderedElementsAre(QStringLiteral("real.gif"), QStringLiteral("link.gif")));
}

TEST_F(VideoExportTest, StoppingLeavesNoFileAndKeepsAnOldOne) {
    const std::string text = "an older clip";
    const std::string old = dir.write("clip.mp4", Bytes(text.begin(), text.end()));
    int seen = 0;
    const ClipOutcome outcome = run(clipRequest("clip.mp4", 100, 200), [&](int done, int total) {
        EXPECT_LE(done, total);
        seen = done;
        if (done == 5) stop.store(true);
    });
    EXPECT_EQ(outcome.status, ClipStatus::Stopped);
    EXPECT_EQ(seen, 5);
    EXPECT_THAT(filesLeft(), testing::ElementsAre(QStringLiteral("clip.mp4")));
    EXPECT_EQ(QFileInfo(QString::fromStdString(old)).size(), 13);
}

}  // namespace
}  // namespace tessarin::test
