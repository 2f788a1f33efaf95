// The "&Preview" page over a real inventory in a window of the test's own:
// the virtual list, the preview and its failures, the toggles, the keys and
// the properties dialog.
#include "preview/PreviewPage.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "desktop/DesktopWallpaper.h"
#include "platform/Controls.h"
#include "support/AddFixture.h"
#include "support/BitmapFile.h"
#include "support/ComApartment.h"
#include "support/FakeWallpaper.h"
#include "support/PictureFiles.h"
#include "support/StandInFaces.h"

namespace pictavo {
namespace {

using testing::AddRig;

// A 24-bit bitmap of the given size.
std::string Bitmap(int width, int height) { return testing::Bitmap24(width, height, 0x404040); }

class PreviewPageTest : public ::testing::Test {
protected:
    testing::ComApartment com;
    AddRig rig;
    testing::FakeWallpaper wallpaper;
    testing::StandInDesktopHost desktopHost;
    TDesktopWallpaper desktop{wallpaper, rig.store, rig.ui, desktopHost, desktopHost, "Pictavo"};
    std::vector<std::string> log;
    testing::StandInPreviewHost host;
    testing::StandInPictureCommands commands;
    HWND parent = nullptr;
    std::unique_ptr<TPreviewPage> page;

    void SetUp() override {
        host.log = &log;
        commands.log = &log;
        parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr,
                                   nullptr, ::GetModuleHandleA(nullptr), nullptr);
        page = std::make_unique<TPreviewPage>(
            parent, RECT{0, 0, 390, 370},
            TPreviewPage::Services{rig.store, rig.ui, desktop, rig.adder, host, commands,
                                   rig.flags, rig.prompts});
        ::ShowWindow(page->Handle(), SW_SHOWNOACTIVATE);
    }
    void TearDown() override {
        rig.store.AttachPreview(nullptr);
        page.reset();
        ::DestroyWindow(parent);
        ModifiersHeld(false, false, false);
    }

    // A picture file listed in the inventory, with the size the record gives it.
    std::string List(const std::string& name, const std::string& content, bool create = true) {
        const std::string path = rig.pics + "\\" + name;
        AddRig::Put(path, content);
        EXPECT_TRUE(rig.store.StorePictureRecord("", path, false, true, false));
        if (!create) ::DeleteFileA(path.c_str());
        // As the main window passes the store's change on.
        page->SyncList();
        return path;
    }
    static void ModifiersHeld(bool shift, bool ctrl, bool alt) {
        BYTE state[256] = {};
        ::GetKeyboardState(state);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        ::SetKeyboardState(state);
    }
    int Rows() const {
        return static_cast<int>(::SendMessageA(page->dbgrdInventory, LVM_GETITEMCOUNT, 0, 0));
    }
    std::string RowName(int row) const {
        char text[260] = {};
        LVITEMA item{};
        item.iSubItem = 2;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        ::SendMessageA(page->dbgrdInventory, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    int RowImage(int row, int column) const {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iSubItem = column;
        ::SendMessageA(page->dbgrdInventory, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    void ClickRow(int row) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageA(page->dbgrdInventory, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    bool MenuChecked(UINT id) const {
        return (::GetMenuState(page->mnuGrid, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
};

TEST_F(PreviewPageTest, TheListShowsTheTableThroughTheCursor) {
    List("b.bmp", Bitmap(8, 8));
    List("a.bmp", std::string(300000, 'x'));
    List("c.bmp", Bitmap(8, 8));
    page->RefreshInventoryColumns();
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(RowName(0), "a.bmp");
    EXPECT_EQ(RowName(2), "c.bmp");
    // Enabled and centred.
    EXPECT_EQ(RowImage(0, 0), 1);
    EXPECT_EQ(RowImage(0, 1), 6);

    // The user picks a row: the list's cursor follows and the preview loads it.
    ClickRow(2);
    EXPECT_EQ(rig.store.cdtInventory().RecNo(), 3u);
    EXPECT_TRUE(page->PictureShown());
    ClickRow(0);
    EXPECT_EQ(page->PreviewMessage(), "Click Here to Preview a.bmp (300K)");
    EXPECT_FALSE(page->MessageBold());
    EXPECT_TRUE(page->ClickToPreviewShown());

    // The navigation buttons move the cursor and the selection with it.
    page->tbnLastClick();
    EXPECT_EQ(::SendMessageA(page->dbgrdInventory, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 2);
    page->tbnPrevClick();
    EXPECT_EQ(rig.store.cdtInventory().RecNo(), 2u);
    page->tbnFirstClick();
    EXPECT_EQ(::SendMessageA(page->dbgrdInventory, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 0);
}

// The tray moves the list's cursor while the window is hidden; the list view
// is brought up to date when it shows, not at every move.
TEST_F(PreviewPageTest, AHiddenListCatchesUpWithTheCursorWhenShown) {
    rig.store.AttachPreview(page.get());
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        char name[16];
        std::snprintf(name, sizeof(name), "p%02d.bmp", i);
        paths.push_back(List(name, Bitmap(8 + i, 8)));  // each its own width
    }
    page->RefreshInventoryColumns();
    page->tbnFirstClick();
    HWND list = page->dbgrdInventory;
    auto selected = [&] { return ::SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED); };
    auto top = [&] { return ::SendMessageA(list, LVM_GETTOPINDEX, 0, 0); };
    ASSERT_EQ(selected(), 0);

    // The main window hides; the tray finds the wallpaper in the list, and
    // a capture adds a picture (ahead of every other in the list's order).
    ::ShowWindow(parent, SW_HIDE);
    ASSERT_TRUE(rig.store.SelectInList(paths[30]));
    EXPECT_EQ(page->PictureSize().cx, 38);  // the preview follows at once
    paths.insert(paths.begin(), rig.pics + "\\a.bmp");
    AddRig::Put(paths.front(), Bitmap(8, 8));
    ASSERT_TRUE(rig.store.StorePictureRecord("", paths.front(), false, true, false));
    EXPECT_EQ(Rows(), 41);  // the count is kept, for whoever asks
    EXPECT_EQ(selected(), 0);
    EXPECT_EQ(top(), 0);

    // Shown again: the picture's row is selected, in view and focused, and
    // the arrow keys go on from there.
    ::ShowWindow(parent, SW_SHOWNOACTIVATE);
    page->ListShown();
    EXPECT_EQ(selected(), 31);
    const LRESULT perPage = ::SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_GT(perPage, 0);
    EXPECT_TRUE(top() <= 31 && 31 < top() + perPage) << "top row " << top();
    EXPECT_EQ(::SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 31);
    ::SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(selected(), 32);
    EXPECT_EQ(rig.store.cdtInventory().RecNo(), 33u);

    // The same when the page itself was away (another page was chosen).
    ::ShowWindow(page->Handle(), SW_HIDE);
    page->tbnLastClick();
    EXPECT_EQ(selected(), 32);
    ::ShowWindow(page->Handle(), SW_SHOWNOACTIVATE);
    EXPECT_EQ(selected(), 40);
}

TEST_F(PreviewPageTest, AnEmptyListHasNoPreviewAndTheTogglesChangeNothing) {
    page->RefreshPreview(false);
    EXPECT_EQ(page->PreviewMessage(), "No Wallpaper Available");
    EXPECT_TRUE(page->MessageBold());
    rig.timeout.Flush();
    EXPECT_TRUE(page->FormKeyDown(VK_F3));
    EXPECT_TRUE(page->FormKeyDown(VK_F4));
    page->mnuEnabled1Click();
    EXPECT_FALSE(rig.timeout.Pending());
    EXPECT_EQ(Rows(), 0);
}

TEST_F(PreviewPageTest, ThePreviewSuspensionFlagKeepsMovesFromLoading) {
    List("a.bmp", Bitmap(8, 8));
    List("b.bmp", Bitmap(8, 8));
    page->RefreshPreview(false);
    ASSERT_TRUE(page->PictureShown());
    rig.flags.previewSuspended = true;
    page->tbnNextClick();
    page->ShowClickToPreview();
    page->tbnFirstClick();
    EXPECT_FALSE(page->PictureShown());
    rig.flags.previewSuspended = false;
    page->tbnNextClick();
    EXPECT_TRUE(page->PictureShown());
}

TEST_F(PreviewPageTest, OnlyAVanishedFileLeavesTheList) {
    const std::string unreadable = List("a.bmp", "no picture in here");
    const std::string vanished = List("b.bmp", Bitmap(8, 8), false);
    // Stored after the vanished one: the record taken out must be the one shown.
    const std::string later = List("c.bmp", Bitmap(8, 8));
    rig.timeout.Flush();

    page->RefreshPreview(false);
    EXPECT_EQ(page->PreviewMessage(), "Unable to preview a.bmp");
    EXPECT_EQ(rig.store.Table().Count(), 3u);
    EXPECT_FALSE(rig.timeout.Pending());

    page->tbnNextClick();
    EXPECT_EQ(page->PreviewMessage(), "File Not Found");
    EXPECT_FALSE(page->PictureShown());
    EXPECT_EQ(rig.store.Table().Count(), 2u);
    EXPECT_FALSE(rig.Listed(vanished));
    EXPECT_TRUE(rig.Listed(unreadable));
    EXPECT_TRUE(rig.Listed(later));
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(rig.timeout.Pending());
    EXPECT_EQ(rig.ui.hint, "2 Pictures in List");
}

TEST_F(PreviewPageTest, EveryKindOfPictureIsDecodedToTheAreaAndOneThatCannotBeSaysSo) {
    using testing::PictureFormat;
    // A photo larger than the area: decoded no larger than the area, its
    // full upright size kept for the placement (stretched to fill).
    List("photo.jpg", testing::WithExifOrientation(
                          testing::EncodePicture(PictureFormat::Jpeg, 1200, 400, 0x3060A0), 6));
    List("small.png", testing::EncodePicture(PictureFormat::Png, 30, 20, 0x20A040));
    List("broken.jpg", testing::CorruptJpeg());
    List("huge.png", testing::HugePng(20000, 20000));
    rig.timeout.Flush();
    RECT area{};
    ::GetClientRect(page->pnlImageMessage, &area);

    rig.store.cdtInventory().First();
    page->RefreshPreview(true);  // broken.jpg, the first by name
    EXPECT_EQ(page->PreviewMessage(), "Unable to preview broken.jpg");
    EXPECT_FALSE(page->PictureShown());
    ASSERT_FALSE(rig.ui.traces.empty());
    EXPECT_NE(rig.ui.traces.back().find("broken.jpg"), std::string::npos) << rig.ui.traces.back();
    EXPECT_NE(rig.ui.traces.back().find("0x"), std::string::npos) << rig.ui.traces.back();

    page->tbnNextClick();  // huge.png: more than memory can hold, told with its size, and kept
    EXPECT_EQ(page->PreviewMessage(), "Not enough memory to show 20000 by 20000 pixels");
    EXPECT_NE(rig.ui.traces.back().find("0x88982F51"), std::string::npos) << rig.ui.traces.back();

    page->tbnNextClick();  // photo.jpg, turned upright: 400 x 1200
    ASSERT_TRUE(page->PictureShown()) << page->PreviewMessage();
    EXPECT_EQ(page->PictureSize().cx, 400);
    EXPECT_EQ(page->PictureSize().cy, 1200);
    EXPECT_TRUE(page->PictureStretched());
    EXPECT_EQ(page->BitmapSize().cx, std::min<LONG>(400, area.right));
    EXPECT_EQ(page->BitmapSize().cy, std::min<LONG>(1200, area.bottom));

    page->tbnNextClick();  // small.png at its own size
    ASSERT_TRUE(page->PictureShown());
    EXPECT_FALSE(page->PictureStretched());
    EXPECT_EQ(page->PictureSize().cx, 30);
    EXPECT_EQ(page->BitmapSize().cy, 20);
    EXPECT_EQ(rig.store.Table().Count(), 4u);
}

TEST_F(PreviewPageTest, ALargerAreaDecodesTheShownPictureAgainToFillIt) {
    List("photo.png", testing::EncodePicture(testing::PictureFormat::Png, 1200, 800, 0x3060A0));
    rig.store.cdtInventory().First();
    page->RefreshPreview(true);
    ASSERT_TRUE(page->PictureShown());
    RECT area{};
    ::GetClientRect(page->pnlImageMessage, &area);
    EXPECT_EQ(page->BitmapSize().cy, area.bottom);

    // The splitter dragged down (or the height read from the settings): the
    // picture is not left stretched up from the smaller area's pixels.
    page->SetPreviewPanelHeight(page->PreviewPanelHeight() + 80);
    ::GetClientRect(page->pnlImageMessage, &area);
    ASSERT_TRUE(page->PictureShown());
    EXPECT_EQ(page->BitmapSize().cx, area.right);
    EXPECT_EQ(page->BitmapSize().cy, area.bottom);
    EXPECT_EQ(page->PictureSize().cy, 800);
}

TEST_F(PreviewPageTest, TogglesFlipTheRecordAndTheMenuShowsIt) {
    List("a.bmp", Bitmap(8, 8));
    EXPECT_EQ(RowImage(0, 1), 6);
    page->mnuGridPopup();
    EXPECT_TRUE(MenuChecked(TPreviewPage::idMnuEnabled));
    EXPECT_FALSE(MenuChecked(TPreviewPage::idMnuTile));
    rig.timeout.Flush();
    EXPECT_TRUE(page->FormKeyDown(VK_F3));
    EXPECT_FALSE(rig.store.cdtInventory().Record().Enabled);
    EXPECT_FALSE(MenuChecked(TPreviewPage::idMnuEnabled));
    page->mnuTile1Click();
    EXPECT_TRUE(rig.store.cdtInventory().Record().Tile);
    EXPECT_TRUE(MenuChecked(TPreviewPage::idMnuTile));
    EXPECT_TRUE(rig.timeout.Pending());
    EXPECT_EQ(RowImage(0, 0), 0);
    EXPECT_EQ(RowImage(0, 1), 5);
}

TEST_F(PreviewPageTest, KeysReachTheirCommandsOnlyWithExactlyTheirModifiers) {
    List("a.bmp", Bitmap(8, 8));
    struct Case {
        UINT key;
        bool shift, ctrl, alt;
        const char* command;  // nullptr: nothing happens
    } cases[] = {
        {VK_DELETE, false, false, false, "Remove"},
        {VK_DELETE, false, true, false, "Delete"},
        {VK_DELETE, true, false, false, nullptr},
        {VK_F2, false, false, false, "Move"},
        {VK_F2, true, false, false, nullptr},
        {VK_SPACE, false, false, false, "ShowNextSlide"},
        {VK_F11, true, true, true, "OpenExportManager"},
        {VK_F11, false, true, true, nullptr},
    };
    for (const Case& c : cases) {
        log.clear();
        ModifiersHeld(c.shift, c.ctrl, c.alt);
        page->FormKeyDown(c.key);
        if (c.command) {
            EXPECT_EQ(log, std::vector<std::string>{c.command}) << c.key;
        } else {
            EXPECT_TRUE(log.empty()) << c.key;
        }
    }
    ModifiersHeld(false, false, false);

    // F3 with Ctrl held changes nothing.
    ModifiersHeld(false, true, false);
    EXPECT_FALSE(page->FormKeyDown(VK_F3));
    EXPECT_TRUE(rig.store.cdtInventory().Record().Enabled);

    // Every key is traced; on another page nothing acts.
    ModifiersHeld(false, false, false);
    ::ShowWindow(page->Handle(), SW_HIDE);
    log.clear();
    rig.ui.traces.clear();
    EXPECT_FALSE(page->FormKeyDown(VK_DELETE));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(rig.ui.traces, std::vector<std::string>{"FrmMain: FormKeyDown"});
}

TEST_F(PreviewPageTest, PropertiesShowTheRecordAndTheNavigatorDeletesAfterAsking) {
    List("a.bmp", std::string(1234567, 'x'));
    List("b.bmp", Bitmap(8, 8));
    TfrmProperties& properties = page->frmProperties();
    properties.LoadRecord();
    EXPECT_EQ(ControlText(properties.edtFileName), "a.bmp");
    EXPECT_EQ(ControlText(properties.edtLocation), rig.pics);
    EXPECT_EQ(ControlText(properties.edtSize), "1,234,567");
    EXPECT_EQ(::SendMessageA(properties.chkEnabled, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::GetWindowLongPtrA(properties.edtFileName, GWL_STYLE) & ES_READONLY, ES_READONLY);

    EXPECT_FALSE(properties.NavigatorShown());
    ::SendMessageA(properties.Handle(), WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_TRUE(properties.NavigatorShown());
    EXPECT_EQ(ControlText(properties.lblLCFilename), "a.bmp");

    // Next moves the list's selection; delete asks first.
    ::SendMessageA(properties.btnNavNext, BM_CLICK, 0, 0);
    EXPECT_EQ(ControlText(properties.edtFileName), "b.bmp");
    EXPECT_EQ(::SendMessageA(page->dbgrdInventory, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 1);
    rig.timeout.Flush();
    rig.prompts.answers = {IDCANCEL};
    ::SendMessageA(properties.btnNavDelete, BM_CLICK, 0, 0);
    EXPECT_EQ(rig.store.Table().Count(), 2u);
    rig.prompts.answers = {IDOK};
    ::SendMessageA(properties.btnNavDelete, BM_CLICK, 0, 0);
    EXPECT_EQ(rig.store.Table().Count(), 1u);
    EXPECT_TRUE(rig.timeout.Pending());
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(rig.prompts.shown, (std::vector<std::string>{"Delete record?", "Delete record?"}));
}

TEST_F(PreviewPageTest, ThePreviewHeightStaysWithinTheSplitterLimits) {
    page->SetPreviewPanelHeight(120);
    EXPECT_EQ(page->PreviewPanelHeight(), 120);
    page->SetPreviewPanelHeight(5);
    EXPECT_EQ(page->PreviewPanelHeight(), TPreviewPage::kSplitterMinSize);
    page->SetPreviewPanelHeight(100000);
    EXPECT_EQ(page->PreviewPanelHeight(), 370 - 3 - TPreviewPage::kToolbarHeight - 45);
    RECT grid{};
    ::GetWindowRect(page->dbgrdInventory, &grid);
    EXPECT_EQ(grid.bottom - grid.top, 45);
}

}  // namespace
}  // namespace pictavo
