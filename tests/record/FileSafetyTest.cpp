// Opening only regular files for reading, and outputs that are replaced whole or not at all.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "record/AtomicFile.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::FakeHost;
using test::TempDir;

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A FIFO without a writer would block a plain open() for ever; a directory opens but is
// no file. Neither is a game file or a decision file.
TEST(ReadOpen, FifosAndDirectoriesAreRefusedWithoutBlocking) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("G-pass.dec").c_str(), 0600), 0);
    fs::create_directory(dir.file("G-intercept.dec"));
    test::V3LogBuilder b;
    b.playMode(3).show(1).show(2);
    const std::string log = dir.write("G-x.rcg", b.bytes());
    FakeHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, log);
    player.waitForParser();
    EXPECT_EQ(player.size(), 2u);
    EXPECT_FALSE(player.decisionsLoaded(DecisionFile::Pass));
    EXPECT_FALSE(player.decisionsLoaded(DecisionFile::Intercept));

    player.command(kCmdLoad, dir.file("G-pass.dec"));
    EXPECT_EQ(player.loadOutcome(), LoadOutcome::CannotOpen);
    EXPECT_EQ(player.loadError(), kNotRegularFileError);
    player.command(kCmdLoad, dir.file("G-intercept.dec"));
    EXPECT_EQ(player.loadOutcome(), LoadOutcome::CannotOpen);
    EXPECT_EQ(player.loadError(), EISDIR);

    // A regular file opened this way reads normally: the non-blocking flag is gone.
    LogFile file(log, LogFile::Mode::Read);
    char magic[4] = {};
    EXPECT_EQ(file.read(magic, 4), 4u);
    EXPECT_EQ(std::string(magic, 3), "ULG");
}

// Outputs and side files that are FIFOs are refused at once instead of waiting for a
// reader for ever; a device such as /dev/null is still written.
TEST(WriteOpen, FifosAreRefusedWithoutBlocking) {
    TempDir dir;
    const std::string fifo = dir.file("o.rcg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int error = 0;
    EXPECT_FALSE(writeFileAtomically(fifo, std::string_view("x"), &error));
    EXPECT_EQ(error, kNotRegularFileError);
    FakeHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, test::demoGamePath());
    player.waitForParser();
    EXPECT_FALSE(player.save(fifo, &error));
    EXPECT_EQ(error, kNotRegularFileError);
    EXPECT_FALSE(writeFileAtomically(dir.path().string(), std::string_view("x"), &error));
    EXPECT_EQ(error, EISDIR);

    LogFile direct(fifo, LogFile::Mode::Write);
    EXPECT_FALSE(direct.isOpen());

    errno = 0;
    EXPECT_EQ(openSideFile(fifo, true), nullptr);
    EXPECT_NE(errno, 0);
    EXPECT_EQ(openSideFile(fifo, false), nullptr);
    std::FILE* side = openSideFile(dir.file("record.txt"), true);
    ASSERT_NE(side, nullptr);
    EXPECT_GE(std::fputs("line\n", side), 0);
    std::fclose(side);
    side = openSideFile(dir.file("record.txt"), true);
    ASSERT_NE(side, nullptr);
    std::fputs("more\n", side);
    std::fclose(side);
    EXPECT_EQ(test::readFile(dir.file("record.txt")), (Bytes{'l', 'i', 'n', 'e', '\n', 'm', 'o', 'r', 'e', '\n'}));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(AtomicFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    const std::string target = dir.write("out.txt", Bytes{'o', 'l', 'd'});
    ::chmod(target.c_str(), 0640);
    EXPECT_FALSE(writeFileAtomically(target, [](LogFile& f) { return f.write("new", 3) && false; }));
    EXPECT_EQ(test::readFile(target), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"out.txt"});

    // A link is followed: the file it points to is replaced, with its permissions.
    fs::create_symlink(target, dir.file("link.txt"));
    ASSERT_TRUE(writeFileAtomically(dir.file("link.txt"), std::string_view("new")));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(test::readFile(target), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"link.txt", "out.txt"}));

    // Devices are written in place, never replaced.
    EXPECT_TRUE(writeFileAtomically("/dev/null", std::string_view("x")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    int error = 0;
    EXPECT_FALSE(writeFileAtomically(dir.file("missing/x.txt"), std::string_view("x"), &error));
    EXPECT_EQ(error, ENOENT);
}

// A save cut off by the file size limit (a full disk behaves the same) must not leave a
// shorter game where the old one was.
TEST(AtomicFile, ASaveCutOffByTheFileSizeLimitKeepsTheOldGame) {
    TempDir dir;
    FakeHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, test::demoGamePath());
    player.waitForParser();
    const std::string target = dir.file("game.rcg");
    ASSERT_TRUE(player.save(target));
    const Bytes saved = test::readFile(target);

    bool result = true;
    {
        const test::FileSizeLimit limit(256 << 10);
        ASSERT_TRUE(limit.active());
        result = player.save(target);
    }

    EXPECT_FALSE(result);
    EXPECT_EQ(test::readFile(target), saved);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"game.rcg"});
}

}  // namespace
}  // namespace tessarin
