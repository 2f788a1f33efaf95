// The data directory beside the program and the picture list in it.
#include <gtest/gtest.h>

#include "harness/Harness.h"
#include "inventory/InventoryTable.h"
#include "inventory/TableFile.h"

using namespace e2e;

TEST(DataDirectory, AFolderThatCannotBeCreatedIsReportedAndTheProgramRuns) {
    Program program;
    program.QuietSettings();
    WriteFile(program.DataDir(), "a file where the folder should be");
    program.Start();
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text.rfind("Error: Unable to create data directory (", 0), 0u) << box->text;
    box->Press(IDOK);
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_TRUE(program.Running());
}

TEST(DataDirectory, RecordsFollowTheirFilesWhenTheDataDirectoryMoved) {
    Program program;
    program.QuietSettings();
    const std::string old = program.Folder() + "\\OldImages";
    ::CreateDirectoryA(old.c_str(), nullptr);
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    // kept.bmp was moved along with the program's data; lost.bmp was not.
    WriteFile(program.DataDir() + "\\kept.bmp", "BM");
    {
        pictavo::InventoryTable table;
        for (const char* name : {"kept.bmp", "lost.bmp"}) {
            pictavo::InventoryRecord record;
            record.Enabled = true;
            record.FileName = name;
            record.Location = old;
            table.Append(record);
        }
        WriteFile(program.TablePath(), pictavo::SerializeTable(table));
    }
    program.SetIni("Directories", "DataDir", old);
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    // The relocation hands its save to the deferred action.
    const auto saved =
        program.WaitForSavedList([](const auto& list) { return list.Records.size() == 1; });
    ASSERT_TRUE(saved) << program.SavedList().Records.size() << " pictures listed";
    EXPECT_EQ(saved->Records[0].FileName, "kept.bmp");
    EXPECT_EQ(pictavo::LowerCase(saved->Records[0].Location), pictavo::LowerCase(program.DataDir()));
    EXPECT_FALSE(program.MessageBoxOpen());
}

TEST(DataDirectory, SplashShowsAtStartAndGoesAfterItsTime) {
    Program program;
    program.SetIni("General", "Verbose", "1");
    program.SetIni("Slideshow", "ChangeOnStartup", "0");
    program.Start();
    auto splash = [&] {
        for (HWND hwnd : TopLevelWindows(program.ProcessId())) {
            if (ClassOf(hwnd) == "TFrmSplash" && ::IsWindowVisible(hwnd)) return true;
        }
        return false;
    };
    ASSERT_TRUE(WaitFor(splash));
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_TRUE(WaitFor([&] { return !splash(); }));
}

TEST(DataDirectory, AStoredDirectoryDifferingOnlyInCaseIsNoMove) {
    Program program;
    program.QuietSettings();
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    {
        // A listed picture whose file is gone: a relocation would drop it.
        pictavo::InventoryTable table;
        pictavo::InventoryRecord record;
        record.Enabled = true;
        record.FileName = "gone.bmp";
        record.Location = program.DataDir();
        table.Append(record);
        WriteFile(program.TablePath(), pictavo::SerializeTable(table));
    }
    std::string upper = program.DataDir();
    for (char& c : upper) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    program.SetIni("Directories", "DataDir", upper);
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    ASSERT_TRUE(ClickButton(main, "&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    pictavo::TableParseResult saved = pictavo::ParseTable(ReadFile(program.TablePath()));
    ASSERT_TRUE(saved.Ok());
    EXPECT_EQ(saved.Records.size(), 1u);
    // The folder beside the program, as the system spells it: the stored one in
    // another case names the same folder.
    EXPECT_EQ(program.Ini("Directories", "DataDir"), program.DataDir());
}
