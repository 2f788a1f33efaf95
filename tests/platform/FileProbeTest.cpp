#include "platform/FileProbe.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/AnsiCodePage.h"
#include "support/TempDir.h"
#include "support/UnmappedDrive.h"

namespace pictavo {
namespace {

using State = FileProbe::State;

using pictavo::testing::UnmappedDrive;

TEST(FileProbe, PathRoot) {
    const struct {
        const char* path;
        const char* root;
    } cases[] = {
        {"c:\\pics\\a.bmp", "c:\\"},
        {"C:a.bmp", "C:\\"},
        {"\\\\server\\share\\pics\\a.bmp", "\\\\server\\share\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"//server/share/a.bmp", "\\\\server\\share\\"},
        {"\\\\server", ""},
        {"\\\\server\\", ""},
        {"\\\\\\share\\a.bmp", ""},
        {"pics\\a.bmp", ""},
        {"\\pics\\a.bmp", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FileProbe::PathRoot(c.path), c.root) << c.path;
    // At code page 932 a share's name may end in a character whose second
    // byte is 0x5C: 発表 (0x94 0xAD 0x95 0x5C).
    const ScopedAnsiCodePage japanese(932);
    EXPECT_EQ(FileProbe::PathRoot("\\\\server\\\x94\xad\x95\x5c\\a.bmp"),
              "\\\\server\\\x94\xad\x95\x5c\\");
}

TEST(FileProbe, TellsPresentVanishedAndUnreachableApart) {
    testing::TempDir dir;
    const std::string file = dir.Write("a.bmp", "BM");
    ASSERT_TRUE(::CreateDirectoryA((dir / "sub").c_str(), nullptr));
    const std::string drive = UnmappedDrive();
    ASSERT_FALSE(drive.empty());

    const struct {
        std::string path;
        State state;
    } cases[] = {
        {file, State::Present},
        {dir / "gone.bmp", State::Vanished},
        {dir / "no folder\\gone.bmp", State::Vanished},
        {dir / "sub", State::Vanished},  // a folder is no picture
        {drive + "\\pics\\a.bmp", State::Unreachable},
        {"\\\\no-such-server.invalid\\pics\\a.bmp", State::Unreachable},
        {"pics\\a.bmp", State::Unreachable},  // no root to ask
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileProbe::Probe(c.path), c.state) << c.path;
        EXPECT_EQ(FileProbe::Exists(c.path), c.state == State::Present) << c.path;
        EXPECT_EQ(FileProbe::Vanished(c.path), c.state == State::Vanished) << c.path;
        EXPECT_EQ(FileProbe::Unreachable(c.path), c.state == State::Unreachable) << c.path;
    }
    // One batch remembers which roots answer: the same answers, also the
    // second time round, when they come from what it remembers.
    FileProbe::Batch batch;
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) EXPECT_EQ(batch.Probe(c.path), c.state) << round << c.path;
    }
}

}  // namespace
}  // namespace pictavo
