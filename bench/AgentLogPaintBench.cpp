// Drawing one cycle of 2,000 debug-log drawings at 1920x1080 over an empty field, beside
// the same paint without them; the difference is the painter's cost (goal: 2 ms or less).

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
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

void paint(benchmark::State& state, bool withDrawings, int onlyForm = -1) {
    FieldRenderer renderer;
    if (!renderer.prepare(1920, 1080)) return state.SkipWithError("area too small");
    AgentLogPainter painter;
    painter.setDrawings(drawings(2000, onlyForm));
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

// 2,000 drawings of one kind: 0 circles, 1 lines, 2 texts, 3 filled circles, 4 arcs,
// 5 rectangles, 6 points, 7 filled sectors.
void BM_Paint2000OfOneKind1920x1080(benchmark::State& state) { paint(state, true, static_cast<int>(state.range(0))); }
BENCHMARK(BM_Paint2000OfOneKind1920x1080)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

}  // namespace
