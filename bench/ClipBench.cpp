// A clip of a minute of the demo game (600 cycles) at 1280x720 and 30 frames a second,
// written as H.264 in an MP4: the whole export must run at least four times faster than
// real time (under 15 s). The two halves are measured apart too: drawing the 600
// records, and encoding the 1800 frames of pictures already drawn.

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>

#include "export/ClipSource.h"
#include "export/VideoExport.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

const std::string kDemo = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";
constexpr int kFps = 30;

// Cycles 1000..1599 of the demo game with the display's default look; empty when the
// game is missing.
const ClipSnapshot& minuteOfPlay() {
    static const ClipSnapshot snapshot = [] {
        NullPlaybackHost host;
        LogPlayer player(host);
        player.command(kCmdLoad, kDemo);
        player.waitForParser();
        ClipLook look;
        look.width = 1280;
        look.height = 720;
        const auto range =
            player.withStore([](const std::vector<cycle_info_t>& frames) { return clipRange(frames, 1000, 1599); });
        return range ? takeClipSnapshot(player, nullptr, *range, look) : ClipSnapshot{};
    }();
    return snapshot;
}

void BM_WholeClip(benchmark::State& state) {
    const ClipSnapshot& snapshot = minuteOfPlay();
    if (snapshot.records.empty()) {
        state.SkipWithError("the demo game is missing");
        return;
    }
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("minute.mp4"));
    const std::atomic<bool> stop{false};
    for (auto _ : state) {
        const ClipOutcome outcome = writeClip(snapshot, output, 1.0, kFps, {}, stop);
        if (outcome.status != ClipStatus::Written) state.SkipWithError(outcome.message.toStdString().c_str());
    }
    state.counters["records"] = static_cast<double>(snapshot.records.size());
    state.counters["MB"] = static_cast<double>(QFileInfo(output).size()) / 1e6;
}
BENCHMARK(BM_WholeClip)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_DrawRecords(benchmark::State& state) {
    const ClipSnapshot& snapshot = minuteOfPlay();
    if (snapshot.records.empty()) {
        state.SkipWithError("the demo game is missing");
        return;
    }
    for (auto _ : state) {
        ClipPainter painter(snapshot);
        for (std::size_t i = 0; i < snapshot.records.size(); ++i) benchmark::DoNotOptimize(painter.draw(i));
    }
}
BENCHMARK(BM_DrawRecords)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_EncodeFrames(benchmark::State& state) {
    const ClipSnapshot& snapshot = minuteOfPlay();
    if (snapshot.records.empty()) {
        state.SkipWithError("the demo game is missing");
        return;
    }
    // Every record drawn beforehand, so that only the conversion and encoding are timed.
    std::vector<QImage> pictures;
    ClipPainter painter(snapshot);
    for (std::size_t i = 0; i < snapshot.records.size(); ++i) pictures.push_back(painter.draw(i));
    const int frames = clipFrameCount(pictures.size(), 1.0, kFps);
    QTemporaryDir dir;
    for (auto _ : state) {
        QString error;
        auto encoder =
            VideoEncoder::open(dir.filePath(QStringLiteral("e.mp4")), ClipFormat::Mp4, 1280, 720, kFps, {}, error);
        for (int k = 0; encoder && k < frames; ++k)
            encoder->write(pictures[clipRecordOfFrame(k, frames, pictures.size())], error);
        if (!encoder || !encoder->finish(error)) state.SkipWithError(error.toStdString().c_str());
    }
}
BENCHMARK(BM_EncodeFrames)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace
