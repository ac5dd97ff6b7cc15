// One full paint of the field display into a window-sized surface standing in for the
// window's backing store: the markings, then the header, all 22 players
// and the ball of a demo-game cycle with every option on, and 20 of the user's drawings;
// and the same for a version-2 sight record with 22 seen players. This content, without
// the analytic overlays, is to take under 1 ms at 1920x1080, and the whole paint with
// them under 2 ms (overlay_bench): a third of the fastest playback period (6.25 ms).

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "display/DisplayOptions.h"
#include "display/FieldRenderer.h"
#include "display/FieldScene.h"
#include "display/VisualObject.h"
#include "record/ByteOrder.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

const std::string kDemo = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";
constexpr double kFastestPeriodMs = 6.25;

// The log player's host for a load without windows.
using NullHost = NullPlaybackHost;

// A play-on cycle of the demo game with its player types; empty when the game is missing.
std::optional<FieldScene> demoScene() {
    NullHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, kDemo);
    player.waitForParser();
    if (player.size() == 0) return std::nullopt;
    const std::size_t index = player.find(3000);
    FieldScene scene;
    scene.setCurrent(player.withStore([&](const std::vector<cycle_info_t>& frames) { return frames[index]; }));
    scene.setPlayerTypes(player.player_types(), player.ball_size());
    scene.selected = 9;  // a player, so that its view cone is drawn too
    scene.drawCircle = true;
    return scene;
}

// A version-2 sight record that saw all 22 players, the observer among them at the centre.
FieldScene sightScene() {
    cycle_info_t record;
    record.kind = kSightRecordV2;
    std::uint8_t* d = record.data.data();
    putLe32(d, 22);
    d[12] = 'l';
    d[13] = 7;
    d[15] = 2;
    putLef32(d + 24, 1.0f);
    putLef32(d + 48, 5000.0f);
    putLef32(d + 52, 3.0f);
    putLef32(d + 60, 0.9f);
    for (int i = 0; i < 22; ++i) {
        std::uint8_t* p = d + 84 + 56 * i;
        putLef32(p, static_cast<float>(-50 + 4.5 * i));
        putLef32(p + 4, static_cast<float>((i % 5) * 12 - 24));
        putLef32(p + 8, 0.8f);
        p[32] = i < 11 ? 'l' : 'r';
        p[33] = static_cast<std::uint8_t>(i % 11 + 1);
        putLe32(p + 36, static_cast<std::uint32_t>(i * 350));
        putLef32(p + 40, static_cast<float>(i * 17));
    }
    FieldScene scene;
    scene.setCurrent(record);
    scene.selected = 4;
    scene.drawCircle = true;
    return scene;
}

// Twenty finished drawings of the four kinds spread over the field.
void addDrawings(VisualObjectList& list, const FieldRenderer& renderer, int width, int height) {
    for (int i = 0; i < 20; ++i) {
        const QPoint a(width * (i + 1) / 22, height / 4 + (i % 4) * height / 8);
        auto object = makeVisualObject(i % 4 + 1, renderer, a);
        object->Track(Qt::NoModifier, a + QPoint(60 + i, 40));
        list.append(std::move(object));
    }
}

DisplayOptions everyOption() {
    DisplayOptions options;
    options.Number = options.Kickmargin = options.Viewarea = options.Velocity = options.Stamina = true;
    options.OffsideLine = options.BallDetail = options.ControlArea = options.ControlCourse = true;
    options.PlayerScale = 5.0;
    return options;
}

void paintLoop(benchmark::State& state, const FieldScene& scene, bool withDrawings = true) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const DisplayOptions options = everyOption();
    FieldRenderer renderer;
    if (!renderer.prepare(width, height)) {
        state.SkipWithError("area too small");
        return;
    }
    VisualObjectList drawings;
    if (withDrawings) addDrawings(drawings, renderer, width, height);
    renderer.addOverlay(OverlayStage::VisualObjects, &drawings);
    // Stands in for the window's backing store.
    QImage window(width, height, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&window);
        renderer.paint(painter, scene, options);
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["period_ms"] = kFastestPeriodMs;
    renderer.removeOverlay(&drawings);
}

void BM_Paint(benchmark::State& state) {
    const auto scene = demoScene();
    if (!scene) {
        state.SkipWithError("demo game missing");
        return;
    }
    paintLoop(state, *scene);
}
BENCHMARK(BM_Paint)->Args({1280, 800})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

void BM_PaintSightRecord(benchmark::State& state) { paintLoop(state, sightScene()); }
BENCHMARK(BM_PaintSightRecord)->Args({1280, 800})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// The floor of a full paint: the cached markings copied into the window, nothing drawn
// on them. A full paint costs this plus what it draws; compare the two within one run.
void BM_PaintNothing(benchmark::State& state) { paintLoop(state, FieldScene{}, false); }
BENCHMARK(BM_PaintNothing)->Args({1280, 800})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// The same, zoomed in as far as the display goes: the markings' arcs are at their largest.
void BM_PaintNothingZoomed(benchmark::State& state) {
    FieldRenderer renderer;
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    if (!renderer.prepare(width, height)) return state.SkipWithError("area too small");
    for (int i = 0; i < 40; ++i) renderer.zoom(width / 2, height / 3, true);
    QImage window(width, height, QImage::Format_ARGB32_Premultiplied);
    const FieldScene scene;
    const DisplayOptions options;
    for (auto _ : state) {
        QPainter painter(&window);
        renderer.paint(painter, scene, options);
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
    }
}
BENCHMARK(BM_PaintNothingZoomed)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace
