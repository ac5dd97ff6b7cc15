// Drawing one cycle of 2,000 debug-log drawings at 1920x1080 over an empty field, beside
// the same paint without them; the difference is the painter's cost (goal: 2 ms or less).
//
// Two mixes. The first has every kind in equal numbers, spread over a square of 100 m
// (a fifth of them partly or wholly above or below the picture), its lines joining two
// random points (52 m long on average, about 660 pixels) and its arcs and sectors 5 m
// across. The second follows what helios-base players write: the sample game's logs of
// four players hold circles (99 %: 0.5 m, black), lines (1 to 8 m) and short texts
// ("-1"), about a dozen a cycle; the team's sources add small markers (circles of 0.1 to
// 0.3 m, filled squares of 0.2 m for candidate points) with their scores as texts, and
// lines of up to 20 m. Its 2,000 drawings lie on the field: 60 % black circles of 0.5 m,
// 10 % coloured circles of 0.1 to 0.3 m, 10 % filled squares of 0.2 m, 10 % numbers as
// texts, 10 % lines of 1 to 20 m; no arcs, sectors or triangles, which neither writes.
// Each kind alone is measured too, as in the first mix.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "agentlog/Record.h"
#include "display/AgentLogPainter.h"
#include "display/FieldRenderer.h"

namespace {

using namespace tessarin;

// Shapes of every kind, spread over the field, as a player's intentions are drawn.
std::vector<agentlog::Record> drawings(int count, int onlyForm = -1) {
    std::mt19937 random(9);
    const auto coordinate = [&] { return std::to_string(static_cast<double>(random() % 10000) / 100.0 - 50.0); };
    const char* forms[] = {"c %x %y 0.5 #000000", "l %x %y %x %y #0000ff",   "m %x %y (c #0000ff) pass 7",
                           "C %x %y 0.3 red",     "a %x %y 5 -45 90 yellow", "r %x %y 3 2 #ff00ff",
                           "p %x %y #ffffff",     "S %x %y 1 4 30 60 navy"};
    std::vector<agentlog::Record> records;
    for (int i = 0; i < count; ++i) {
        std::string line = "100,0 1 ";
        for (const char* c = forms[onlyForm >= 0 ? onlyForm : i % 8]; *c; ++c) {
            if (c[0] == '%' && (c[1] == 'x' || c[1] == 'y')) {
                line += coordinate();
                ++c;
            } else {
                line += *c;
            }
        }
        agentlog::Record record;
        if (agentlog::parseRecord(line, record)) records.push_back(std::move(record));
    }
    return records;
}

// The second mix: what helios-base players draw, on the field.
std::vector<agentlog::Record> drawingsLikeTheLogs(int count) {
    std::mt19937 random(11);
    const auto uniform = [&](double low, double high) {
        return low + (high - low) * static_cast<double>(random() % 100001) / 100000.0;
    };
    const char* colours[] = {"#ff0000", "#0000ff", "#00ff00", "#ff00ff", "#ffff00", "#00ffff", "#ff8000", "#8000ff"};
    std::vector<agentlog::Record> records;
    char line[160];
    for (int i = 0; i < count; ++i) {
        const double x = uniform(-52.5, 52.5), y = uniform(-34, 34);
        const char* colour = colours[random() % 8];
        const int kind = i % 10;
        if (kind < 6) {
            std::snprintf(line, sizeof line, "100,0 65536 c %.4f %.4f 0.5000 #000000", x, y);
        } else if (kind == 6) {
            std::snprintf(line, sizeof line, "100,0 1024 c %.4f %.4f %.4f %s", x, y, uniform(0.1, 0.3), colour);
        } else if (kind == 7) {
            std::snprintf(line, sizeof line, "100,0 16 R %.4f %.4f 0.2000 0.2000 %s", x - 0.1, y - 0.1, colour);
        } else if (kind == 8) {
            std::snprintf(line, sizeof line, "100,0 16 m %.4f %.4f (c %s) %.2f", x, y, colour, uniform(-1, 1));
        } else {
            const double length = uniform(1, 20), angle = uniform(-3.14159, 3.14159);
            std::snprintf(line, sizeof line, "100,0 256 l %.4f %.4f %.4f %.4f #0000ff", x, y,
                          x + length * std::cos(angle), y + length * std::sin(angle));
        }
        agentlog::Record record;
        if (agentlog::parseRecord(line, record)) records.push_back(std::move(record));
    }
    return records;
}

void paint(benchmark::State& state, bool withDrawings, int onlyForm = -1, bool likeTheLogs = false) {
    FieldRenderer renderer;
    if (!renderer.prepare(1920, 1080)) return state.SkipWithError("area too small");
    AgentLogPainter painter;
    painter.setDrawings(likeTheLogs ? drawingsLikeTheLogs(2000) : drawings(2000, onlyForm));
    if (painter.drawings().size() != 2000) return state.SkipWithError("a drawing did not parse");
    if (withDrawings) renderer.addOverlay(OverlayStage::DebugLog, &painter);
    QImage image(1920, 1080, QImage::Format_RGB32);
    const FieldScene scene;
    const DisplayOptions options;
    for (auto _ : state) {
        QPainter p(&image);
        renderer.paint(p, scene, options);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintEmptyField1920x1080(benchmark::State& state) { paint(state, false); }
BENCHMARK(BM_PaintEmptyField1920x1080)->Unit(benchmark::kMicrosecond);

void BM_Paint2000DebugDrawings1920x1080(benchmark::State& state) { paint(state, true); }
BENCHMARK(BM_Paint2000DebugDrawings1920x1080)->Unit(benchmark::kMicrosecond);

void BM_Paint2000DrawingsLikeTheLogs1920x1080(benchmark::State& state) { paint(state, true, -1, true); }
BENCHMARK(BM_Paint2000DrawingsLikeTheLogs1920x1080)->Unit(benchmark::kMicrosecond);

// The first paint of a cycle never shown before, by a painter that has drawn nothing yet:
// texts measured and sprites drawn for the first time (the copy of the records is not
// counted). Argument 0 is the first mix, 1 the second.
void BM_FirstPaintOf2000Drawings1920x1080(benchmark::State& state) {
    FieldRenderer renderer;
    if (!renderer.prepare(1920, 1080)) return state.SkipWithError("area too small");
    const std::vector<agentlog::Record> records = state.range(0) ? drawingsLikeTheLogs(2000) : drawings(2000);
    QImage image(1920, 1080, QImage::Format_RGB32);
    const FieldScene scene;
    const DisplayOptions options;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<agentlog::Record> copy = records;
        auto painter = std::make_unique<AgentLogPainter>();
        renderer.addOverlay(OverlayStage::DebugLog, painter.get());
        state.ResumeTiming();
        painter->setDrawings(std::move(copy));
        QPainter p(&image);
        renderer.paint(p, scene, options);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
        state.PauseTiming();
        renderer.removeOverlay(painter.get());
        painter.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstPaintOf2000Drawings1920x1080)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

// 2,000 drawings of one kind: 0 circles, 1 lines, 2 texts, 3 filled circles, 4 arcs,
// 5 rectangles, 6 points, 7 filled sectors.
void BM_Paint2000OfOneKind1920x1080(benchmark::State& state) { paint(state, true, static_cast<int>(state.range(0))); }
BENCHMARK(BM_Paint2000OfOneKind1920x1080)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

}  // namespace
