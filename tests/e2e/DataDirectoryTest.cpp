// The data directory beside the program and the picture list in it.
#include <gtest/gtest.h>

#include <string>

#include "harness/Harness.h"
#include "inventory/InventoryTable.h"
#include "inventory/TableFile.h"
#include "platform/Files.h"

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

namespace {

// Starts a Linux program, as Wine lets a Windows program do.
bool StartLinuxProgram(const char* program, const std::string& arguments) {
    std::string commandLine = std::string(program) + " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return false;
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return true;
}

// Where Wine keeps a file on the Linux side; empty outside Wine.
std::string LinuxName(const std::string& path) {
    using Convert = char*(CDECL*)(const WCHAR*);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(),
                                      static_cast<int>(wide.size())));
    char* name = convert(wide.c_str());
    if (!name) return {};
    std::string result = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

DWORD AttributesError(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? ::GetLastError()
                                                                         : ERROR_SUCCESS;
}

// A name the system finds but cannot resolve: a symbolic link to itself,
// whose attributes cannot be read, as on a drive that is not ready or in a
// folder one may not look into. Wine makes no such link itself; it is made on
// the Linux side, and removed again at the end.
class LoopingLink {
public:
    explicit LoopingLink(const std::string& path) : path_(path), linux_(LinuxName(path)) {
        made_ = !linux_.empty() &&
                StartLinuxProgram("/bin/ln", "-s " + path.substr(path.find_last_of('\\') + 1) +
                                                 " \"" + linux_ + "\"") &&
                WaitFor([&] { return AttributesError(path_) == ERROR_CANT_RESOLVE_FILENAME; });
    }
    ~LoopingLink() {
        if (linux_.empty()) return;
        StartLinuxProgram("/bin/rm", "-f \"" + linux_ + "\"");
        WaitFor([&] { return AttributesError(path_) == ERROR_FILE_NOT_FOUND; });
    }
    LoopingLink(const LoopingLink&) = delete;
    LoopingLink& operator=(const LoopingLink&) = delete;
    bool Made() const { return made_; }

private:
    std::string path_;
    std::string linux_;
    bool made_ = false;
};

}  // namespace

// Only a list file that is not there makes a first run: one whose attributes
// cannot be read is told, and no empty list is saved over it.
TEST(DataDirectory, AListFileThatCannotBeLookedAtIsToldAndNeverSavedOver) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
    LoopingLink list(program.TablePath());
    ASSERT_TRUE(list.Made());

    program.Start(":");
    auto box = program.WaitForMessageBox();
    EXPECT_TRUE(box.has_value());
    if (box) {
        const std::string told = "Unable to read db " + program.TablePath() + " (" +
                                 pictavo::SystemErrorText(ERROR_CANT_RESOLVE_FILENAME) + ").";
        EXPECT_EQ(box->text.substr(0, told.size()), told) << box->text;
        ASSERT_TRUE(box->Press(IDOK));
    }
    ASSERT_TRUE(program.WaitUntilIdle());

    // "&OK" saves the settings and the list at once.
    HWND main = program.MainWindow();
    ASSERT_TRUE(ClickButton(main, "&OK"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    EXPECT_TRUE(trace.WaitForLine(
        "SaveInventory: the table file could not be read at start; not overwritten"));
    EXPECT_EQ(AttributesError(program.TablePath()), ERROR_CANT_RESOLVE_FILENAME);
    EXPECT_FALSE(Exists(program.TablePath() + ".~new"));
    EXPECT_FALSE(program.MessageBoxOpen());
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
