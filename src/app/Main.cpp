// Program entry: one copy per desktop and one per program folder; a second
// copy on the desktop asks the first to show itself and ends, one started by
// another user while a copy of the folder runs says so and ends.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>
#include <memory>

#include "app/Application.h"
#include "app/FrmMain.h"
#include "app/FrmSplash.h"
#include "app/SingleInstance.h"
#include "app/VersionInfo.h"
#include "platform/Files.h"
#include "platform/Prompts.h"
#include "platform/Trace.h"
#include "shell/FrmTray.h"
#include "shell/LaunchRules.h"
#include "shell/WebPages.h"

using namespace pictavo;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const UINT msgMyWindowMessageHandle = ::RegisterWindowMessageA("RestorePictavo");
    // Never released: the system lets go of them when the process ends.
    TSingleInstance instance;
    switch (instance.Take(ExtractFileDir(ExePath()))) {
        case TSingleInstance::Claim::RunningHere: {
            // Every top-level window hears it; one that has stopped answering
            // must not keep this copy alive, so each gets a bounded time.
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutA(HWND_BROADCAST, msgMyWindowMessageHandle, 0, 0,
                                  SMTO_NORMAL | SMTO_ABORTIFHUNG, 2000, &answer);
            return 0;
        }
        case TSingleInstance::Claim::RunningForAnotherUser:
            // The other copy's files are left exactly as they are.
            WinPrompts("Pictavo").Message(nullptr, "Pictavo is already running for another user.");
            return 0;
        case TSingleInstance::Claim::First:
            break;
    }

    ReadVersionStrings();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&controls);
    ::OleInitialize(nullptr);

    TApplication& application = Application();
    WinPrompts prompts(application.Title);
    TWebPages webPages(prompts);
    webPages.FindWebBrowser();
    SetSplashLinkHandler([&webPages](HWND splash) {
        webPages.OpenWebPage(WebPageAddress("splash"), splash);
    });
    std::unique_ptr<TFrmTray> tray;
    std::unique_ptr<TFrmMain> main;

    const bool created = application.CreateForms(
        [&] {
            struct EndSplashOnExit {
                ~EndSplashOnExit() { EndSplash(); }
            } endSplash;
            BeginSplash();
            application.Title = "Pictavo";
            application.ShowMainForm = false;
            tray = std::make_unique<TFrmTray>();
            std::string argument = __argc > 1 ? __argv[1] : "";
            main = std::make_unique<TFrmMain>(TFrmMain::Services{
                application, *tray, prompts, SystemTimers(), SystemWallpaper(), argument, webPages,
                SystemHelpViewer()});
        },
        prompts);

    if (created && !application.Terminated()) application.Run();

    // The main window first: its last steps still read the tray form. Then the
    // tray form, which removes the tray icon.
    main.reset();
    tray.reset();
    // The last lines (the tray's among them) reach a viewer before the process
    // goes, within a bounded time: a viewer that hangs must not hold the end.
    TraceChannel().Close(2000);
    ::OleUninitialize();
    return 0;
}
