// Start-up, single instance and every way the real program ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "app/SingleInstance.h"
#include "harness/Harness.h"
#include "inventory/InventoryTable.h"
#include "inventory/TableFile.h"

using namespace e2e;

namespace {

// The lines of `expected` appear in `lines` in this order (others may come between).
::testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                   const std::vector<std::string>& expected) {
    auto at = lines.begin();
    for (const std::string& want : expected) {
        at = std::find(at, lines.end(), want);
        if (at == lines.end()) {
            std::string got;
            for (const auto& l : lines) got += "\n  " + l;
            return ::testing::AssertionFailure() << "missing or out of order: \"" << want
                                                 << "\"; received:" << got;
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(Lifecycle, StartsHiddenWithATableFileAndEndsOnTheShutdownMessage) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_TRUE(Exists(program.TablePath())) << program.TablePath();
    HWND main = program.MainWindow();
    EXPECT_EQ(Caption(main), "Pictavo");
    EXPECT_FALSE(::IsWindowVisible(main));
    // The main window's first line opens its creation, and carries its handle.
    ASSERT_TRUE(trace.WaitForLine("FormCreate"));
    auto lines = trace.Lines();
    auto first = std::find_if(lines.begin(), lines.end(),
                              [&](const TraceCollector::Line& l) { return l.sender == main; });
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(first->text, "FormCreate");

    program.Shutdown();
    ASSERT_TRUE(program.WaitForExit());
    // Every line, the last ones too, has arrived before the process ended.
    EXPECT_TRUE(InOrder(trace.Texts(), {"FrmMain.WndProc = msgPrivateShutdown",
                                        "FrmMain: FormCloseQuery - booCloseWindows",
                                        "FrmMain: FormClose", "FrmMain: CloseProcessing Begun",
                                        "FrmMain: CloseProcessing Done", "FormDestroy"}));
    // The shutdown work wrote the wallpaper of the moment.
    EXPECT_NE(program.Ini("Slideshow", "LastWallpaper"), "<missing>");
}

TEST(Lifecycle, ColonArgumentShowsTheWindowAtStart) {
    Program program;
    program.QuietSettings();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_TRUE(::IsWindowVisible(program.MainWindow()));
}

TEST(Lifecycle, SecondCopyBringsUpTheFirstAndEnds) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    ASSERT_FALSE(::IsWindowVisible(main));

    HANDLE second = program.StartAnother();
    ASSERT_EQ(::WaitForSingleObject(second, 30000), WAIT_OBJECT_0);
    DWORD secondExit = 1;
    ::GetExitCodeProcess(second, &secondExit);
    DWORD secondId = ::GetProcessId(second);
    ::CloseHandle(second);
    EXPECT_EQ(secondExit, 0u);

    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main); }));
    EXPECT_TRUE(trace.WaitForLine("FrmMain.WndProc = msgMyWindowMessageHandle"));
    EXPECT_TRUE(TopLevelWindows(secondId).empty());
    EXPECT_TRUE(program.Running());
}

// Every file of a folder and of its subfolders with its size and times.
static std::vector<std::string> FolderStamps(const std::string& folder) {
    std::vector<std::string> stamps;
    WIN32_FIND_DATAA found{};
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return stamps;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        stamps.push_back(name + " " + FileStamp(path));
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (const std::string& inner : FolderStamps(path)) {
                stamps.push_back(name + "\\" + inner);
            }
        }
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
    return stamps;
}

// Another user's copy of the same program folder runs in a session of its
// own. Its desktop's mutex is out of this session's sight; what this session
// meets is the folder's machine-wide mutex, held here by the test itself:
// one this user may open, and one made with rights this user lacks, as
// another user's default rights are.
TEST(Lifecycle, ACopyOfTheFolderRunningForAnotherUserIsToldAndItsFilesAreLeftAlone) {
    for (bool closedToOthers : {false, true}) {
        SCOPED_TRACE(closedToOthers ? "closed to this user" : "open to this user");
        Program program;
        program.QuietSettings();
        // The other copy's list and the bitmap its user's desktop shows.
        ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
        {
            pictavo::InventoryTable table;
            pictavo::InventoryRecord record;
            record.Enabled = true;
            record.FileName = "beach.bmp";
            record.Location = program.DataDir();
            table.Append(record);
            WriteFile(program.TablePath(), pictavo::SerializeTable(table));
        }
        WriteFile(program.Folder() + "\\pictavo.bmp", "BM the other desktop's bitmap");
        const std::vector<std::string> before = FolderStamps(program.Folder());

        // An empty access list lets no one in.
        SECURITY_DESCRIPTOR closed{};
        ::InitializeSecurityDescriptor(&closed, SECURITY_DESCRIPTOR_REVISION);
        ACL empty{};
        ::InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
        ::SetSecurityDescriptorDacl(&closed, TRUE, &empty, FALSE);
        SECURITY_ATTRIBUTES rights{sizeof(rights), &closed, FALSE};
        HANDLE other = ::CreateMutexA(closedToOthers ? &rights : nullptr, TRUE,
                                      pictavo::ProgramFolderMutexName(program.Folder()).c_str());
        ASSERT_NE(other, nullptr);
        struct Release {
            HANDLE mutex;
            ~Release() {
                ::ReleaseMutex(mutex);
                ::CloseHandle(mutex);
            }
        } release{other};

        TraceCollector trace;
        program.Start();
        auto box = program.WaitForMessageBox();
        EXPECT_TRUE(box.has_value());
        if (box) {
            EXPECT_EQ(box->text, "Pictavo is already running for another user.");
            EXPECT_EQ(box->caption, "Pictavo");
            ASSERT_TRUE(box->Press(IDOK));
        }
        const bool ended = program.WaitForExit();
        EXPECT_TRUE(ended);
        if (!ended) {
            // A copy that ran after all touches the files at its exit at the latest.
            program.Shutdown();
            ASSERT_TRUE(program.WaitForExit());
        }
        EXPECT_EQ(FolderStamps(program.Folder()), before);
        EXPECT_TRUE(trace.Texts().empty());
    }
}

// A copy that died leaves its folder's mutex abandoned, not held: the next one runs.
TEST(Lifecycle, AFolderWhoseCopyDiedIsFreeForTheNextOne) {
    Program program;
    program.QuietSettings();
    HANDLE abandoned = nullptr;
    std::thread([&] {
        abandoned = ::CreateMutexA(nullptr, TRUE,
                                   pictavo::ProgramFolderMutexName(program.Folder()).c_str());
    }).join();
    ASSERT_NE(abandoned, nullptr);
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_NE(program.MainWindow(), nullptr);
    EXPECT_FALSE(program.MessageBoxOpen());
    ::CloseHandle(abandoned);
}

TEST(Lifecycle, EndOfSessionIsAllowedWithoutAQuestionAfterTheShutdownWork) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    trace.Clear();

    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(program.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL,
                                      30000, &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    // The shutdown work had run when the answer came (its lines follow a moment later).
    EXPECT_TRUE(trace.WaitForLine("FrmMain: CloseProcessing Done"));
    EXPECT_TRUE(InOrder(trace.Texts(), {"TFrmMain.WMQueryEndSession  17",
                                        "FrmMain: FormCloseQuery - booCloseWindows",
                                        "FrmMain: CloseProcessing Begun",
                                        "FrmMain: CloseProcessing Done"}));
    EXPECT_NE(program.Ini("Slideshow", "LastWallpaper"), "<missing>");
    // Nothing asked afterwards either, once the program has handled all it had.
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_FALSE(program.MessageBoxOpen());
}

TEST(Lifecycle, OkHidesTheWindowAndWritesSettingsAndTableAtOnce) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    ASSERT_TRUE(::IsWindowVisible(main));
    ASSERT_TRUE(::DeleteFileA(program.TablePath().c_str()));

    ASSERT_TRUE(ClickButton(main, "&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    // Written before the window went, not 2.25 s later.
    EXPECT_TRUE(Exists(program.TablePath()));
    EXPECT_EQ(program.Ini("Confirmation", "ConfirmExit"), "1");
    EXPECT_TRUE(program.Running());
}

TEST(Lifecycle, CloseButtonOnlyHidesTheWindow) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
    HWND main = program.MainWindow();
    ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    EXPECT_TRUE(trace.WaitForLine("FrmMain: FormCloseQuery - else"));
    EXPECT_TRUE(program.WaitUntilIdle());
    EXPECT_TRUE(program.Running());
    // Lines arrive in order: once a later one is in, so is any shutdown work.
    ::PostMessageA(TrayIconWindow(program), WM_USER + 1, 1, WM_MOUSEMOVE);
    EXPECT_TRUE(trace.WaitForLine("TrayIcon: WndProc ELSE msg=1025"));
    EXPECT_FALSE(trace.Contains("FrmMain: CloseProcessing Begun"));
}

TEST(Lifecycle, CorruptTableFileIsKeptAsideAndTheListStartsEmpty) {
    Program program;
    program.QuietSettings();
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    const std::string garbage = "not a picture list";
    WriteFile(program.TablePath(), garbage);
    program.Start();

    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    const std::string aside = program.TablePath() + ".bad";
    EXPECT_NE(Lower(box->text).find(Lower(aside)), std::string::npos) << box->text;
    EXPECT_EQ(box->caption, "Pictavo");
    box->Press(IDOK);

    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_EQ(ReadFile(aside), garbage);
    pictavo::TableParseResult table = pictavo::ParseTable(ReadFile(program.TablePath()));
    EXPECT_TRUE(table.Ok()) << table.Error;
    EXPECT_TRUE(table.Records.empty());
}

TEST(Lifecycle, FirstRunExplainsTheSlideshowInterval) {
    Program program;  // no settings file: never run here before
    program.SetIni("General", "Verbose", "0");
    ::DeleteFileA(program.IniPath().c_str());
    program.Start();
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text,
              "Slideshow will change your wallpaper every 5 minutes.\r"
              "You can change this interval on the Slideshow page.");
    box->Press(IDOK);
    // No help file beside the program: said once, not for the contents and
    // again for the first-run topic; then the first slide finds the list empty.
    box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "Unable to find the help file " + program.HelpPath() + ".");
    box->Press(IDOK);
    box = program.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "No images selected for slideshow!");
    box->Press(IDOK);
    ASSERT_TRUE(program.WaitUntilIdle());
    EXPECT_FALSE(program.MessageBoxOpen());
}
