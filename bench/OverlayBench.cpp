// One full paint of the field display with the analytic overlays on, each alone and all
// at once, over a play-on cycle of the demo game: the offside lines, the 22 control
// areas, a long pass course (the longest that playing the whole game shows) and the
// ball's track over the whole game. The base case draws the same cycle with every
// display option on and no overlay; what an overlay costs is its case less the base.
// Target for everything at once: under a third of the fastest playback period
// (6.25 ms), that is under 2 ms at 1920x1080; the last case adds smooth drawing.
// The copy of the overlays' inputs out of the analysis, which each paint makes before
// it draws, is measured on its own. The wall time also counts the time the painting
// thread waits, for a core on a busy machine or for Qt's thread pool, which the raster
// engine hands large fills to; the CPU time is the painting thread's alone.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "display/DisplayOptions.h"
#include "display/FieldRenderer.h"
#include "display/FieldScene.h"
#include "display/OverlayGeometry.h"
#include "display/OverlayPainter.h"
#include "display/OverlaySources.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

const std::string kDemo = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";
constexpr double kFastestPeriodMs = 6.25;

// The demo game, loaded and analysed once.
struct AnalysedGame {
    NullPlaybackHost host;
    BehaviorAnalyzer analyzer;
    GameAnalysis analysis{analyzer, nullptr};
    LogPlayer player{host, &analysis};
    FieldScene scene;
    bool loaded = false;

    AnalysedGame() {
        player.command(kCmdLoad, kDemo);
        player.waitForParser();
        if (player.size() == 0) return;
        const std::size_t index = player.find(3000);
        scene.setCurrent(player.withStore([&](const std::vector<cycle_info_t>& frames) { return frames[index]; }));
        scene.setPlayerTypes(player.player_types(), player.ball_size());
        scene.selected = kSelectBall;
        loaded = true;
    }
};

AnalysedGame& game() {
    static AnalysedGame instance;
    return instance;
}

enum Overlays : int {
    kNone = 0,
    kOffside = 1,
    kControlAreas = 2,
    kPassCourse = 3,
    kTrack = 4,
    kAll = 5,
    kAllSmooth = 6,
};

void BM_PaintOverlays(benchmark::State& state) {
    AnalysedGame& g = game();
    if (!g.loaded) {
        state.SkipWithError("demo game missing");
        return;
    }
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const int which = static_cast<int>(state.range(2));
    DisplayOptions options;
    options.Number = options.Kickmargin = options.Viewarea = options.Velocity = options.Stamina = true;
    options.BallDetail = true;
    const bool all = which == kAll || which == kAllSmooth;
    options.OffsideLine = which == kOffside || all;
    options.ControlArea = which == kControlAreas || all;
    options.ControlCourse = which == kPassCourse || all;
    options.SmoothDrawing = which == kAllSmooth;
    options.PlayerScale = 5.0;

    FieldRenderer renderer;
    if (!renderer.prepare(width, height)) {
        state.SkipWithError("area too small");
        return;
    }
    FieldOverlays overlays(renderer);
    PresentInputs present;
    g.player.withStore([&](const std::vector<cycle_info_t>& frames) {
        // The longest pass course that playing the whole game shows, built cycle by cycle
        // as the display builds it.
        PassCourse course;
        std::vector<BasicBehaviorEvent> longest;
        for (const cycle_info_t& record : frames) {
            course.append(courseEventsAt(g.analyzer, recordCycle(record)));
            if (course.events().size() > longest.size()) longest = course.events();
        }
        overlays.passCourse().append(longest);
        if (which == kTrack || all) {
            present.mode = kPresentPosition;
            present.track = presentTrack(g.analyzer.Frames(), kSelectBall);
        }
    });
    state.counters["course"] = static_cast<double>(overlays.passCourse().events().size());
    state.counters["track"] = static_cast<double>(present.track.size());
    overlays.setPresent(std::move(present));

    QImage window(width, height, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&window);
        renderer.paint(painter, g.scene, options);
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
    }
    state.counters["period_ms"] = kFastestPeriodMs;
}
BENCHMARK(BM_PaintOverlays)
    ->ArgNames({"w", "h", "overlays"})
    ->ArgsProduct({{1920}, {1080}, {kNone, kOffside, kControlAreas, kPassCourse, kTrack, kAll, kAllSmooth}})
    ->Unit(benchmark::kMicrosecond);

// What a paint copies out of the analysis under the log player's lock: the pass course's
// actions of the cycle and the ball's track over the whole game.
void BM_GatherOverlayInputs(benchmark::State& state) {
    AnalysedGame& g = game();
    if (!g.loaded) {
        state.SkipWithError("demo game missing");
        return;
    }
    FieldRenderer renderer;
    FieldOverlays overlays(renderer);
    DisplayOptions options;
    options.ControlCourse = true;
    for (auto _ : state) {
        gatherOverlayInputs(overlays, &g.player, &g.analyzer, g.scene, options, kPresentPosition);
        benchmark::DoNotOptimize(overlays.present().track.data());
    }
}
BENCHMARK(BM_GatherOverlayInputs)->Unit(benchmark::kMicrosecond);

}  // namespace
