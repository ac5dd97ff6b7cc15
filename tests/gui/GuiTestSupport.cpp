#include "gui/GuiTestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <fstream>

namespace tessarin::test {

namespace {

// The viewer's tests need a QApplication; they draw offscreen, without a display server.
class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void TempProfile::writeText(const std::string& text) const {
    std::ofstream out(path_.toStdString(), std::ios::binary | std::ios::trunc);
    out << text;
}

bool eventuallyInGui(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    // Qt's own wait for a condition, pumping the event loop between looks.
    return QTest::qWaitFor(condition, static_cast<int>(limit.count()));
}

cycle_info_t showRecord(const show_info_t& show) {
    cycle_info_t record;
    record.kind = kShowRecord;
    record.setShow(show);
    record.cycle = static_cast<std::int16_t>(recordCycle(record));
    return record;
}

std::string writeGame(const TempDir& dir, const std::string& name, int count, const std::string& left,
                      const std::string& right) {
    V3LogBuilder log;
    log.playMode(PM_PlayOn).teams(left, 0, right, 0);
    for (int cycle = 1; cycle <= count; ++cycle) {
        log.show(ShowBuilder(cycle).player(0, 1, 0, -20.0 + cycle * 0.1, 0).ball(0, 0).build());
    }
    return dir.write(name, log.bytes());
}

}  // namespace tessarin::test
