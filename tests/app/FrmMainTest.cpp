// The main window's ways of closing, with message boxes answered by script.
#include "app/FrmMain.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "app/Application.h"
#include "inventory/TableFile.h"
#include "platform/Files.h"
#include "platform/Controls.h"
#include "platform/Guard.h"
#include "platform/Window.h"
#include "shell/FrmTray.h"
#include "support/FakeWallpaper.h"
#include "support/RecordingHelpViewer.h"
#include "support/ModalAnswer.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "support/VirtualTimers.h"

namespace pictavo {
namespace {

constexpr char kExitQuestion[] =
    "Exiting Pictavo will disable Slideshow and Wallpaper Detection.\rExit Now?";

// The window reads its settings beside the running program, and keeps its
// picture list in Images there: beside the test program here.
class FrmMainTest : public ::testing::Test {
protected:
    const std::string ini = ChangeFileExt(ExePath(), ".INI");
    const std::string images = ExtractFileDir(ExePath()) + "\\Images";
    // The window makes Images the current directory, which holds the folder.
    const std::string formerDirectory = CurrentDirectory();
    testing::VirtualTimers clock;
    testing::ScriptedPrompts prompts;
    TApplication application;
    testing::FakeWallpaper wallpaper;
    TWebPages webPages{prompts};
    testing::RecordingHelpViewer help;
    std::unique_ptr<TFrmTray> tray;
    std::unique_ptr<TFrmMain> main;

    void Start(bool confirmExit) { Start(confirmExit, application); }
    // A run of the program with an application of its own: one test may hold several.
    void Start(bool confirmExit, TApplication& application) {
        ::DeleteFileA(ini.c_str());
        ::WritePrivateProfileStringA("General", "Verbose", "0", ini.c_str());
        ::WritePrivateProfileStringA("Slideshow", "ChangeOnStartup", "0", ini.c_str());
        // No start-up shortcut to the test program.
        ::WritePrivateProfileStringA("General", "StartWithWindows", "0", ini.c_str());
        ::WritePrivateProfileStringA("Confirmation", "ConfirmExit", confirmExit ? "1" : "0",
                                     ini.c_str());
        tray = std::make_unique<TFrmTray>();
        main = std::make_unique<TFrmMain>(
            TFrmMain::Services{application, *tray, prompts, clock, wallpaper, ":", webPages, help});
        ASSERT_TRUE(main->Visible());
        EXPECT_TRUE(tray->TrayIcon1->CanShowMenu());
    }
    void TearDown() override {
        main.reset();
        tray.reset();
        ::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(ini.c_str());
        ::DeleteFileA((images + "\\GDB.CDS").c_str());
        ::SetCurrentDirectoryA(formerDirectory.c_str());
        ::RemoveDirectoryA(images.c_str());
    }
    static std::string CurrentDirectory() {
        char path[MAX_PATH] = {};
        ::GetCurrentDirectoryA(MAX_PATH, path);
        return path;
    }
    void MakeSettingsReadOnly() { ::SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY); }
    std::string WriteFailure() const { return "Unable to write to " + ini; }
    bool Closed() { return Closed(application); }
    bool Closed(TApplication& application) {
        application.ProcessMessages();
        return main->Handle() == nullptr && application.Terminated();
    }
};

TEST_F(FrmMainTest, MenuCloseAsksAndOnlyYesEndsTheProgram) {
    Start(true);
    for (int answer : {IDNO, IDCANCEL}) {
        prompts.answers = {answer};
        main->mnuClose1Click();
        EXPECT_FALSE(Closed());
        EXPECT_FALSE(main->booCloseFromMenu);
    }
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{kExitQuestion, kExitQuestion}));

    // The question's flag is gone: the close button hides the window again.
    ::SendMessageA(main->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(main->Visible());
    EXPECT_FALSE(Closed());

    prompts.answers = {IDYES};
    main->mnuClose1Click();
    EXPECT_TRUE(Closed());
    EXPECT_NE(ReadWholeFile(ini).find("LastWallpaper="), std::string::npos);
}

TEST_F(FrmMainTest, MenuCloseWithoutTheQuestionSetting) {
    Start(false);
    main->mnuClose1Click();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(Closed());
}

TEST_F(FrmMainTest, EndOfSessionNeverAsks) {
    Start(true);
    EXPECT_EQ(::SendMessageA(main->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_NE(ReadWholeFile(ini).find("LastWallpaper="), std::string::npos);
}

TEST_F(FrmMainTest, UnhandledErrorsAreShownAndTheProgramGoesOn) {
    Start(true);
    Guarded([] { throw std::runtime_error("disk on fire"); });
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"Exception: disk on fire"});
    EXPECT_FALSE(Closed());
}

TEST_F(FrmMainTest, ASettingsFileThatCannotBeWrittenIsToldOnceAndTheExitGoesOn) {
    Start(false);
    // A setting changed just before: its save is still pending at the exit.
    ::SendMessageA(main->SlideshowPage().chkRandom, BM_CLICK, 0, 0);
    MakeSettingsReadOnly();
    wallpaper.calls.clear();
    main->mnuClose1Click();
    EXPECT_TRUE(Closed());
    // Once, as itself: not as an unexpected error, not once per failed write.
    EXPECT_EQ(prompts.shown, std::vector<std::string>{WriteFailure()});
    // The wallpaper of the moment was still made to stay after the program.
    ASSERT_FALSE(wallpaper.calls.empty());
    EXPECT_TRUE(wallpaper.calls.back().fWinIni & SPIF_UPDATEINIFILE);
}

// Nobody may be there to answer a box while the session ends: the failure
// goes to the trace, and the answer comes at once.
TEST_F(FrmMainTest, EndOfSessionIsAllowedWithAReadOnlySettingsFileAndShowsNoBox) {
    Start(true);
    MakeSettingsReadOnly();
    EXPECT_EQ(::SendMessageA(main->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(prompts.shown.empty());
    // The session went on after all: someone is there to answer boxes and
    // dialogs again, and the close button hides the window again.
    ::SendMessageA(main->Handle(), WM_ENDSESSION, FALSE, 0);
    Guarded([] { throw std::runtime_error("disk on fire"); });
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"Exception: disk on fire"});
    EXPECT_FALSE(ModalLoopsEnded());
    ::SendMessageA(main->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Closed());
    EXPECT_FALSE(main->Visible());
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"Exception: disk on fire", WriteFailure()}));
}

// Setup asks a running copy to end before it replaces its file, and waits.
TEST_F(FrmMainTest, TheShutdownMessageEndsTheProgramWithoutABoxWhateverTheSettingsFileDoes) {
    Start(true);
    // A setting changed just before: its save is still pending at the exit.
    ::SendMessageA(main->SlideshowPage().chkRandom, BM_CLICK, 0, 0);
    MakeSettingsReadOnly();
    ::SendMessageA(main->Handle(), main->msgPrivateShutdown, 0, 0);
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(prompts.shown.empty());
}

// A list save that failed, then no further change: each later save point
// writes the list once the failure is gone. The failure is told once, and
// never while the program ends on another's behalf.
TEST_F(FrmMainTest, AFailedListSaveIsWrittenByEachLaterSavePoint) {
    testing::TempDir dir;
    const std::string sky = dir.Write("Sky.bmp", "BMpicture");
    const std::string table = images + "\\GDB.CDS";
    const struct {
        const char* name;
        std::function<void(TFrmMain&)> savePoint;
        bool ends;
    } cases[] = {
        {"OK", [](TFrmMain& m) { ::SendMessageA(m.Handle(), WM_COMMAND, IDOK, 0); }, false},
        {"end of session",
         [](TFrmMain& m) { ::SendMessageA(m.Handle(), WM_QUERYENDSESSION, 0, 0); }, false},
        {"shutdown message",
         [](TFrmMain& m) { ::SendMessageA(m.Handle(), m.msgPrivateShutdown, 0, 0); }, true},
        {"tray close", [](TFrmMain& m) { m.mnuClose1Click(); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TApplication run;
        Start(false, run);
        ASSERT_TRUE(main->Inventory().StorePictureRecord(sky, sky, false, true, true));
        ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY);
        clock.Advance(2250);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(LowerCase(prompts.shown[0]).rfind(LowerCase("Unable to save db " + table + " ("), 0), 0u)
            << prompts.shown[0];

        ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
        c.savePoint(*main);
        EXPECT_EQ(Closed(run), c.ends);
        const TableParseResult saved = ParseTable(ReadWholeFile(table));
        ASSERT_EQ(saved.Records.size(), 1u);
        EXPECT_EQ(saved.Records[0].FileName, "Sky.bmp");
        EXPECT_EQ(prompts.shown.size(), 1u);

        main.reset();
        tray.reset();
        prompts.shown.clear();
        ::DeleteFileA(table.c_str());
        // The quit of this run is not the next run's.
        MSG quit;
        while (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
}

// Still failing when the program ends on another's behalf: no box, and the end comes.
TEST_F(FrmMainTest, AListThatCannotBeSavedDoesNotHoldUpTheShutdownMessage) {
    Start(false);
    testing::TempDir dir;
    const std::string sky = dir.Write("Sky.bmp", "BMpicture");
    const std::string table = images + "\\GDB.CDS";
    ASSERT_TRUE(main->Inventory().StorePictureRecord(sky, sky, false, true, true));
    ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY);
    ::SendMessageA(main->Handle(), main->msgPrivateShutdown, 0, 0);
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(prompts.shown.empty());
    ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The shutdown message while a box of start-up is open (the first run's
// notice): the start-up ends without another box or dialog, then the program ends.
TEST_F(FrmMainTest, TheShutdownMessageDuringAStartUpBoxEndsTheProgramWithoutMoreBoxes) {
    prompts.whileShown = [](HWND owner, const std::string&) {
        ::SendMessageA(owner, ::RegisterWindowMessageA("ShutdownPictavo"), 0, 0);
    };
    ::DeleteFileA(ini.c_str());
    // Only the start-up choice, as setup leaves it: a first run.
    ::WritePrivateProfileStringA("General", "StartWithWindows", "0", ini.c_str());
    tray = std::make_unique<TFrmTray>();
    main = std::make_unique<TFrmMain>(
        TFrmMain::Services{application, *tray, prompts, clock, wallpaper, "", webPages, help});
    EXPECT_TRUE(Closed());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].rfind("Slideshow will change your wallpaper", 0), 0u);
    EXPECT_TRUE(help.calls.empty());
}

// The shutdown message while the exit question of "&Close" is open: the
// program ends, and its shutdown work runs once.
TEST_F(FrmMainTest, TheShutdownMessageDuringTheExitQuestionEndsTheProgramOnce) {
    Start(true);
    prompts.answers = {IDNO};
    prompts.whileShown = [this](HWND, const std::string&) {
        ::SendMessageA(main->Handle(), main->msgPrivateShutdown, 0, 0);
    };
    wallpaper.calls.clear();
    main->mnuClose1Click();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kExitQuestion});
    const auto persisted = std::count_if(wallpaper.calls.begin(), wallpaper.calls.end(),
                                         [](const auto& call) { return call.fWinIni & SPIF_UPDATEINIFILE; });
    EXPECT_EQ(persisted, 1);
}

// A deferred settings save meets a read-only file: the user reads what failed
// and where, not an unexpected exception.
TEST_F(FrmMainTest, ADeferredSettingsSaveThatFailsIsToldAsItself) {
    Start(true);
    ::SendMessageA(main->SlideshowPage().chkRandom, BM_CLICK, 0, 0);
    MakeSettingsReadOnly();
    // A real tick runs guarded, as every call from Windows does.
    Guarded([this] { clock.Advance(2250); });
    EXPECT_EQ(prompts.shown, std::vector<std::string>{WriteFailure()});
}

TEST_F(FrmMainTest, OkHidesTheWindowWhenTheSettingsFileCannotBeWritten) {
    Start(true);
    MakeSettingsReadOnly();
    ::SendMessageA(main->Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(main->Visible());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{WriteFailure()});
    EXPECT_FALSE(Closed());
}

// The picture commands as the main window wires them: the real dialogs,
// answered from inside their loops, the real option boxes and settings file.
TEST_F(FrmMainTest, RenamingTheCurrentWallpaperKeepsTheNewFileOnTheDesktopAfterExit) {
    Start(false);
    testing::TempDir dir;
    const std::string sky = dir.Write("Sky.bmp", "BMpicture");
    ASSERT_TRUE(main->Inventory().StorePictureRecord(sky, sky, false, true, true));
    ASSERT_TRUE(main->Inventory().SelectInList(sky));
    main->Desktop().tbnSetWallpaperClick();
    ASSERT_EQ(wallpaper.wallpaper, sky);

    testing::ModalAnswer rename("TfrmItemInfo", [](HWND dialog) {
        ::SetWindowTextA(::GetDlgItem(dialog, 300), "Sky at Night");
        ::SendMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    main->PictureActions().tbnMoveClick();
    ASSERT_TRUE(rename.Answered());
    const std::string renamed = dir / "Sky at Night.bmp";
    EXPECT_TRUE(FileExists(renamed));

    main->mnuClose1Click();
    EXPECT_TRUE(Closed());
    EXPECT_EQ(wallpaper.wallpaper, renamed);
    EXPECT_NE(ReadWholeFile(ini).find("LastWallpaper=" + renamed), std::string::npos);
}

TEST_F(FrmMainTest, DontShowAgainUnticksTheOptionAndTheSettingsFileKeepsIt) {
    Start(false);
    testing::TempDir dir;
    const std::string sky = dir.Write("Sky.bmp", "BMpicture");
    ASSERT_TRUE(main->Inventory().StorePictureRecord(sky, sky, false, true, true));
    ASSERT_TRUE(main->Inventory().SelectInList(sky));
    ASSERT_TRUE(Checked(main->OptionsPage().chkAskBeforeRemoving));

    testing::ModalAnswer tickAndCancel("TfrmConfirmation", [](HWND dialog) {
        ::SendMessageA(::GetDlgItem(dialog, 404), BM_CLICK, 0, 0);
        ::SendMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    main->PictureActions().tbnRemoveClick();
    ASSERT_TRUE(tickAndCancel.Answered());
    EXPECT_FALSE(Checked(main->OptionsPage().chkAskBeforeRemoving));
    EXPECT_TRUE(main->Inventory().IsInInventory(sky));

    // Asked no more.
    main->PictureActions().tbnRemoveClick();
    EXPECT_FALSE(main->Inventory().IsInInventory(sky));
    EXPECT_TRUE(FileExists(sky));

    main->mnuClose1Click();
    EXPECT_TRUE(Closed());
    EXPECT_NE(ReadWholeFile(ini).find("ConfirmRemoveList=0"), std::string::npos);
}

TEST_F(FrmMainTest, DeletingAReadOnlyFileIsRefusedWithTheMessage) {
    Start(false);
    testing::TempDir dir;
    const std::string sky = dir.Write("Sky.bmp", "BMpicture");
    ASSERT_TRUE(main->Inventory().StorePictureRecord(sky, sky, false, true, true));
    ASSERT_TRUE(main->Inventory().SelectInList(sky));
    ASSERT_TRUE(::SetFileAttributesA(sky.c_str(), FILE_ATTRIBUTE_READONLY));

    testing::ModalAnswer ok("TfrmConfirmation", [](HWND dialog) {
        ::SendMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    main->PictureActions().tbnDeleteClick();
    EXPECT_TRUE(ok.Answered());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"Unable to delete " + sky});
    EXPECT_TRUE(FileExists(sky));
    EXPECT_TRUE(main->Inventory().IsInInventory(sky));
    ::SetFileAttributesA(sky.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FrmMainTest, HelpOpensTheContentsOrThePageOnShowAndClosesAtExit) {
    Start(false);
    using Call = testing::RecordingHelpViewer::Call;
    const std::string helpFile = ChangeFileExt(ExePath(), ".chm");
    HWND window = main->Handle();
    HWND pages = ::FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr);
    HWND helpButton = ::FindWindowExA(window, nullptr, "BUTTON", "Help");
    ASSERT_TRUE(pages && helpButton);
    auto pressF1 = [&] {
        HELPINFO info{sizeof(info), HELPINFO_WINDOW, 0, window, 0, {0, 0}};
        return ::SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    };

    // No help file: said once per request, and HTML Help is never asked.
    EXPECT_EQ(pressF1(), TRUE);
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>{"Unable to find the help file " + helpFile + "."});
    EXPECT_TRUE(help.calls.empty());

    WriteFileAtomically(helpFile, "help");
    struct Remove {
        std::string path;
        ~Remove() { ::DeleteFileA(path.c_str()); }
    } remove{helpFile};
    std::vector<Call> expected;
    const char* topics[] = {"preview_page.htm", "slideshow_page.htm", "options_page.htm",
                            "online_page.htm"};
    for (int page : {1, 3, 2, 0}) {
        ::SendMessageA(pages, TCM_SETCURFOCUS, page, 0);  // as a click on the tab
        pressF1();
        expected.push_back({HelpCommand::Topic, helpFile + "::/" + topics[page]});
    }
    ::SendMessageA(helpButton, BM_CLICK, 0, 0);
    expected.push_back({HelpCommand::Contents, helpFile});
    EXPECT_EQ(help.calls, expected);

    main->mnuClose1Click();
    ASSERT_TRUE(Closed());
    expected.push_back({HelpCommand::CloseAll, ""});
    EXPECT_EQ(help.calls, expected);
    EXPECT_EQ(prompts.shown.size(), 1u);
}

}  // namespace
}  // namespace pictavo
