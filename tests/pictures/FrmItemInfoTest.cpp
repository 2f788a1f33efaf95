// The real "Add Wallpaper" dialog: its controls show the entries, the user's
// changes come back, and OK, Cancel and Escape end it.
#include <gtest/gtest.h>

#include <functional>

#include "pictures/FrmItemInfo.h"
#include "platform/Controls.h"
#include "platform/Window.h"

namespace pictavo {
namespace {

// Runs a piece of work from inside the dialog's own message loop.
class Poster : public Window {
public:
    std::function<void()> work;
    Poster() { Create("FrmItemInfoTestPoster", 0, WS_POPUP, "", 0, 0, 1, 1, nullptr); }
    void Post() { ::PostMessageA(Handle(), WM_APP, 0, 0); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP && work) {
            work();
            return 0;
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
};

TEST(FrmItemInfo, ShowsTheEntriesAndGivesBackTheUsersChoice) {
    Poster owner;
    TfrmItemInfo dialog(owner.Handle());
    WallpaperOptionsState state;
    state.caption = "Add Wallpaper";
    state.fromDir = "C:\\Pics";
    state.fileName = "my.photo";
    state.extension = ".jpeg";
    state.tile = false;
    state.enabledOptions = kOptionMove | kOptionCopy;
    state.option = kOptionMove;
    state.applyToAllEnabled = true;

    owner.work = [&] {
        EXPECT_TRUE(dialog.Visible());
        EXPECT_FALSE(::IsWindowEnabled(owner.Handle()));
        EXPECT_EQ(WindowText(dialog.Handle()), "Add Wallpaper");
        EXPECT_EQ(ControlText(dialog.edtFromDir), "C:\\Pics");
        EXPECT_EQ(ControlText(dialog.edtFileName), "my.photo");
        EXPECT_EQ(WindowText(dialog.Label1), ".jpeg");
        EXPECT_TRUE(Checked(dialog.rdoCenter));
        EXPECT_FALSE(::IsWindowEnabled(dialog.rdoLeave));
        EXPECT_TRUE(Checked(dialog.rdoMove));
        EXPECT_TRUE(::IsWindowEnabled(dialog.chkApplyToAll));
        EXPECT_EQ(::GetFocus(), dialog.edtFileName);
        SetControlText(dialog.edtFileName, "renamed");
        ::SendMessageA(dialog.rdoCopy, BM_CLICK, 0, 0);
        ::SendMessageA(dialog.rdoTiled, BM_CLICK, 0, 0);
        ::SendMessageA(dialog.chkApplyToAll, BM_CLICK, 0, 0);
        ::SendMessageA(dialog.btnOK, BM_CLICK, 0, 0);
    };
    owner.Post();
    EXPECT_TRUE(dialog.ShowModal(state));
    EXPECT_FALSE(dialog.Visible());
    EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(state.fileName, "renamed");
    EXPECT_EQ(state.option, kOptionCopy);
    EXPECT_TRUE(state.tile);
    EXPECT_TRUE(state.applyToAll);

    // Reused: Cancel, and Escape in the name box, decline.
    for (auto decline :
         {std::function<void()>([&] { ::SendMessageA(dialog.btnCancel, BM_CLICK, 0, 0); }),
          std::function<void()>(
              [&] { ::PostMessageA(dialog.edtFileName, WM_KEYDOWN, VK_ESCAPE, 0); })}) {
        owner.work = decline;
        owner.Post();
        EXPECT_FALSE(dialog.ShowModal(state));
    }
}

}  // namespace
}  // namespace pictavo
