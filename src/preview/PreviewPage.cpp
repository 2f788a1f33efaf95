#include "preview/PreviewPage.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "preview/PreviewRules.h"
#include "platform/FileProbe.h"
#include "platform/FlagScope.h"
#include "platform/Handles.h"
#include "resource.h"

namespace pictavo {

// A plain child window whose messages a member of the page answers.
class TPreviewPage::Child : public Window {
public:
    using Handler = std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)>;
    Child(const char* className, HWND parent, DWORD style, Handler handler)
        : handler_(std::move(handler)) {
        Create(className, 0, WS_CHILD | WS_CLIPSIBLINGS | style, "", 0, 0, 10, 10, parent);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        bool handled = false;
        LRESULT result = handler_(message, wParam, lParam, handled);
        return handled ? result : Window::HandleMessage(message, wParam, lParam);
    }

private:
    Handler handler_;
};

namespace {

constexpr int kButtonSize = 25;
constexpr int kPanelBorder = 4;
constexpr int kStatusColumnWidth = 20;

struct ButtonDef {
    int image;  // in res/toolbar.bmp; -1 for a separator
    int id;
    const char* hint;
};

constexpr ButtonDef kButtons[] = {
    {0, TPreviewPage::idFindInList, "Find current wallpaper in list"},
    {1, TPreviewPage::idSetWallpaper, "Set wallpaper to currently selected"},
    {2, TPreviewPage::idNone, "Set wallpaper to (none)"},
    {-1, 0, nullptr},
    {3, TPreviewPage::idAddFiles, "Add files to list"},
    {4, TPreviewPage::idMove, "Move or rename file on disk"},
    {5, TPreviewPage::idRemove, "Remove picture from list"},
    {6, TPreviewPage::idDelete, "Delete file from disk"},
    {-1, 0, nullptr},
    {7, TPreviewPage::idFirst, "First in list"},
    {8, TPreviewPage::idPrev, "Previous in list"},
    {9, TPreviewPage::idNext, "Next in list"},
    {10, TPreviewPage::idLast, "Last in list"},
};

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

// The list view's rows are ints; past that many the grid shows the first ones.
int RowCount(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, 100000000));
}

}  // namespace

TPreviewPage::TPreviewPage(HWND parent, const RECT& area, Services services)
    : s_(services) {
    Create("TPreviewPage", WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
           "tsPreview", area.left, area.top, area.right - area.left, area.bottom - area.top,
           parent);
    CreateControls();
    frmProperties_ = std::make_unique<TfrmProperties>(
        s_.ui.MainWindow(), s_.inventory, s_.prompts, [this] {
            SyncList();
            cdtDataAfterScroll();
        });
}

TPreviewPage::~TPreviewPage() {
    FreePicture();
    if (mnuGrid) ::DestroyMenu(mnuGrid);
    if (imglstGridStatus) ImageList_Destroy(imglstGridStatus);
    if (messageFont_) ::DeleteObject(messageFont_);
    if (messageFontBold_) ::DeleteObject(messageFontBold_);
}

void TPreviewPage::CreateControls() {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    previewPanel_ = std::make_unique<TPanel>(Handle(), RECT{0, 0, client.right, previewHeight_},
                                             "pnlPreviewImage", true);
    pnlPreviewImage = previewPanel_->Handle();
    ::SetWindowLongPtrA(pnlPreviewImage, GWL_STYLE,
                        ::GetWindowLongPtrA(pnlPreviewImage, GWL_STYLE) | WS_CLIPCHILDREN);

    auto font = [](bool bold) {
        return ::CreateFontA(-15, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
    };
    messageFont_ = font(false);
    messageFontBold_ = font(true);

    using namespace std::placeholders;
    messagePanel_ = std::make_unique<Child>(
        "TPreviewMessage", pnlPreviewImage, WS_VISIBLE | WS_CLIPCHILDREN,
        [this](UINT m, WPARAM w, LPARAM l, bool& h) { return ImageMessageProc(m, w, l, h); });
    pnlImageMessage = messagePanel_->Handle();
    ::SetWindowTextA(pnlImageMessage, message_.c_str());
    picture_ = std::make_unique<Child>(
        "TPreviewPicture", pnlImageMessage, 0,
        [this](UINT m, WPARAM w, LPARAM l, bool& h) { return PictureProc(m, w, l, h); });
    imgDesktop = picture_->Handle();
    splitter_ = std::make_unique<Child>(
        "TPreviewSplitter", Handle(), WS_VISIBLE,
        [this](UINT m, WPARAM w, LPARAM l, bool& h) { return SplitterProc(m, w, l, h); });
    Splitter1 = splitter_->Handle();

    CreateToolbar();
    CreateGrid();

    mnuGrid = ::CreatePopupMenu();
    ::AppendMenuA(mnuGrid, MF_STRING, idMnuEnabled, "&Enabled");
    ::AppendMenuA(mnuGrid, MF_STRING, idMnuTile, "&Tiled");
    ::AppendMenuA(mnuGrid, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(mnuGrid, MF_STRING, idMnuSetWallpaper, "Set as Wallpaper");
    ::AppendMenuA(mnuGrid, MF_STRING, idMnuEdit, "E&dit Image");
    ::AppendMenuA(mnuGrid, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(mnuGrid, MF_STRING, idMnuProperties, "P&roperties");
    Layout();
}

void TPreviewPage::CreateToolbar() {
    tbrMainToolbar = CreateControl(Handle(), TOOLBARCLASSNAMEA, "",
                                   WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NORESIZE | CCS_NOPARENTALIGN,
                                   0, 0, 10, kToolbarHeight);
    ::SendMessageA(tbrMainToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(tbrMainToolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    HIMAGELIST images = ImageList_LoadImageA(::GetModuleHandleA(nullptr),
                                             MAKEINTRESOURCEA(IDB_TOOLBAR), 16, 0,
                                             RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    // The toolbar does not free its image list; the page keeps it for the program's life.
    ::SendMessageA(tbrMainToolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    ::SendMessageA(tbrMainToolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(kButtonSize, kButtonSize));
    TBBUTTON buttons[std::size(kButtons)] = {};
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const ButtonDef& d = kButtons[i];
        buttons[i].iBitmap = d.image < 0 ? 6 : d.image;
        buttons[i].idCommand = d.id;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = d.image < 0 ? BTNS_SEP : BTNS_BUTTON;
    }
    ::SendMessageA(tbrMainToolbar, TB_ADDBUTTONS, std::size(buttons),
                   reinterpret_cast<LPARAM>(buttons));
}

void TPreviewPage::CreateGrid() {
    dbgrdInventory = CreateControl(Handle(), WC_LISTVIEWA, "",
                                   WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                       LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                   0, 0, 10, 10, idGrid);
    ::SendMessageA(dbgrdInventory, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    imglstGridStatus = ImageList_LoadImageA(::GetModuleHandleA(nullptr),
                                            MAKEINTRESOURCEA(IDB_GRIDSTATUS), 16, 0,
                                            RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    ::SendMessageA(dbgrdInventory, LVM_SETIMAGELIST, LVSIL_SMALL,
                   reinterpret_cast<LPARAM>(imglstGridStatus));
    struct Column {
        const char* title;
        int width;
    } columns[] = {{"Enabled", kStatusColumnWidth},
                   {" Tile Mode ", kStatusColumnWidth},
                   {"Wallpaper File", 200}};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(columns[i].title);
        column.cx = columns[i].width;
        column.iSubItem = i;
        ::SendMessageA(dbgrdInventory, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    // The page's keys reach it from the grid, which has the keyboard on this page.
    // Subclassed through the window procedure itself, with the page in the
    // list's user data: comctl32's subclass chain looks its data up as a
    // window property on every message, which under Wine is a server call
    // for each row the list draws.
    ::SetWindowLongPtrA(dbgrdInventory, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    gridDefaultProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        dbgrdInventory, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TPreviewPage::GridProc)));
}

void TPreviewPage::Layout() {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int width = client.right;
    const int height = client.bottom;
    const int maxPreview = std::max(kSplitterMinSize,
                                    height - kSplitterHeight - kToolbarHeight - kSplitterMinSize);
    previewHeight_ = std::clamp(previewHeight_, kSplitterMinSize, maxPreview);
    const int ph = previewHeight_;
    ::MoveWindow(pnlPreviewImage, 0, 0, width, ph, TRUE);
    ::MoveWindow(pnlImageMessage, kPanelBorder, kPanelBorder, width - 2 * kPanelBorder,
                 ph - 2 * kPanelBorder, TRUE);
    ::MoveWindow(Splitter1, 0, ph, width, kSplitterHeight, TRUE);
    ::MoveWindow(tbrMainToolbar, 0, ph + kSplitterHeight, width, kToolbarHeight, TRUE);
    const int gridTop = ph + kSplitterHeight + kToolbarHeight;
    ::MoveWindow(dbgrdInventory, 0, gridTop, width, std::max(0, height - gridTop), TRUE);
    // A shown picture keeps its place in the resized area. It was decoded no
    // larger than the area was: once a drag of the splitter has ended, it is
    // decoded again for the new one rather than stretched from fewer pixels.
    if (!PictureShown()) return;
    RECT area{};
    ::GetClientRect(pnlImageMessage, &area);
    const PixelSize wanted = ClampWithin(
        PixelSize{static_cast<std::uint32_t>(pictureSize_.cx), static_cast<std::uint32_t>(pictureSize_.cy)},
        PixelSize{static_cast<std::uint32_t>(std::max<LONG>(area.right, 1)),
                  static_cast<std::uint32_t>(std::max<LONG>(area.bottom, 1))});
    if (dragOffset_ < 0 && !refreshing_ &&
        (wanted.width != static_cast<std::uint32_t>(bitmapSize_.cx) ||
         wanted.height != static_cast<std::uint32_t>(bitmapSize_.cy))) {
        RefreshPreview(true);
    } else {
        PlacePicture();
    }
}

void TPreviewPage::PlacePicture() {
    // Larger than the area in either direction: it fills the area, stretched
    // (the aspect is not kept). Otherwise its own size, centred.
    RECT area{};
    ::GetClientRect(pnlImageMessage, &area);
    if (pictureSize_.cx > area.right || pictureSize_.cy > area.bottom) {
        stretch_ = true;
        ::MoveWindow(imgDesktop, 0, 0, area.right, area.bottom, TRUE);
    } else {
        stretch_ = false;
        ::MoveWindow(imgDesktop, (area.right - pictureSize_.cx) / 2,
                     (area.bottom - pictureSize_.cy) / 2, pictureSize_.cx, pictureSize_.cy, TRUE);
    }
}

void TPreviewPage::SetPreviewPanelHeight(int height) {
    previewHeight_ = height;
    Layout();
}

void TPreviewPage::RefreshInventoryColumns() {
    RECT client{};
    ::GetClientRect(dbgrdInventory, &client);
    ::SendMessageA(dbgrdInventory, LVM_SETCOLUMNWIDTH, 0, kStatusColumnWidth);
    ::SendMessageA(dbgrdInventory, LVM_SETCOLUMNWIDTH, 1, kStatusColumnWidth);
    const int rest = client.right - ::GetSystemMetrics(SM_CXVSCROLL) - 50 - 2 * kStatusColumnWidth;
    ::SendMessageA(dbgrdInventory, LVM_SETCOLUMNWIDTH, 2, std::max(rest, 20));
    SyncList();
}

void TPreviewPage::RecomputeTooBig() { ::InvalidateRect(dbgrdInventory, nullptr, FALSE); }

bool TPreviewPage::HasCurrentRecord() const {
    return s_.inventory.Open() && s_.inventory.HasClones() &&
           s_.inventory.cdtInventory().HasRecord();
}

namespace {

// Marks the page's own changes of the list's selection for the length of a scope.
struct SyncingScope {
    bool& flag;
    bool before;
    explicit SyncingScope(bool& f) : flag(f), before(f) { flag = true; }
    ~SyncingScope() { flag = before; }
};

}  // namespace

void TPreviewPage::SyncList(bool redrawRows) {
    if (!dbgrdInventory) return;
    SyncingScope syncing(syncing_);
    const int count = s_.inventory.Open() ? RowCount(s_.inventory.Table().Count()) : 0;
    if (count != static_cast<int>(::SendMessageA(dbgrdInventory, LVM_GETITEMCOUNT, 0, 0))) {
        ::SendMessageA(dbgrdInventory, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
        selectionStale_ = true;
    }
    // The window is hidden nearly all the time, and the cursor moves while
    // it is (tray commands, captures, slides that pass over vanished
    // pictures): selecting and scrolling a list nobody sees is work for nothing.
    if (!::IsWindowVisible(Handle())) {
        listBehind_ = true;
        return;
    }
    ShowCurrentRow(redrawRows);
}

void TPreviewPage::ListShown() {
    // Its window shown while another page is the active one: that page shows.
    if (!(::GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE)) return;
    BringListUpToDate();
}

void TPreviewPage::BringListUpToDate() {
    if (!dbgrdInventory || !listBehind_) return;
    SyncingScope syncing(syncing_);
    ShowCurrentRow(true);
}

void TPreviewPage::ShowCurrentRow(bool redrawRows) {
    listBehind_ = false;
    const int count = static_cast<int>(::SendMessageA(dbgrdInventory, LVM_GETITEMCOUNT, 0, 0));
    const int row = HasCurrentRecord()
                        ? static_cast<int>(s_.inventory.cdtInventory().RecNo()) - 1
                        : -1;
    // The selected row as the page last saw it: asking the list would walk
    // its rows one by one (Wine's owner-data list does) at every move.
    if (row != selectedRow_ || selectionStale_) {
        selectionStale_ = false;
        LVITEMA clear{};
        clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        if (selectedRow_ >= 0 && selectedRow_ != row && selectedRow_ < count) {
            ::SendMessageA(dbgrdInventory, LVM_SETITEMSTATE, selectedRow_,
                           reinterpret_cast<LPARAM>(&clear));
        }
        if (row >= 0) {
            LVITEMA set{};
            set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            set.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageA(dbgrdInventory, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&set));
            ::SendMessageA(dbgrdInventory, LVM_SETSELECTIONMARK, 0, row);
            ::SendMessageA(dbgrdInventory, LVM_ENSUREVISIBLE, row, FALSE);
        }
        selectedRow_ = row;
    }
    // Only a change of the records needs every row drawn again; a move of
    // the selection redraws its own rows.
    if (redrawRows) ::InvalidateRect(dbgrdInventory, nullptr, FALSE);
}

// ---------------------------------------------------------------------------
// The preview

void TPreviewPage::SetMessage(const std::string& text, bool bold) {
    message_ = text;
    messageBold_ = bold;
    ::SetWindowTextA(pnlImageMessage, text.c_str());
    ::InvalidateRect(pnlImageMessage, nullptr, TRUE);
}

void TPreviewPage::FreePicture() {
    if (bitmap_) {
        ::DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    pictureSize_ = SIZE{};
    bitmapSize_ = SIZE{};
}

void TPreviewPage::HidePicture() {
    if (imgDesktop) ::ShowWindow(imgDesktop, SW_HIDE);
}

void TPreviewPage::Repaint() {
    ::UpdateWindow(pnlImageMessage);
    ::UpdateWindow(imgDesktop);
}

void TPreviewPage::RefreshPreview(bool force) {
    FlagHold refreshing(refreshing_);
    SyncList(false);
    if (!HasCurrentRecord()) {
        HidePicture();
        FreePicture();
        clickToPreview_ = false;
        SetMessage("No Wallpaper Available", true);
        Repaint();
        return;
    }
    const InventoryRecord record = s_.inventory.cdtInventory().Record();
    const std::string path = FullPath(record);

    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    struct RestoreCursor {
        HCURSOR cursor;
        ~RestoreCursor() { ::SetCursor(cursor); }
    } restore{previous};

    if (!force && OverPreviewLimit(record.Size, s_.host.LimitPreviewSize(),
                                   s_.host.MaxPreviewSize())) {
        ShowClickToPreview();
        return;
    }

    clickToPreview_ = false;
    HidePicture();
    FreePicture();
    SetMessage("Loading image file...", true);
    Repaint();

    // Decoded no larger than the area on either side: a larger picture is
    // stretched to fill it, a smaller one shown at its own size.
    RECT area{};
    ::GetClientRect(pnlImageMessage, &area);
    DecodedPicture picture = decoder_.Decode(
        path,
        PixelSize{static_cast<std::uint32_t>(std::max<LONG>(area.right, 1)),
                  static_cast<std::uint32_t>(std::max<LONG>(area.bottom, 1))},
        ClampWithin);
    if (!picture.Succeeded()) {
        s_.ui.Trace("Preview: " + path + " " + picture.reason + ": " +
                    DescribeHResult(picture.result));
        // Only a file that is truly gone leaves the list: one on a drive that
        // does not answer, or one that is there but no picture we can read,
        // keeps its record.
        if (ForWantOfMemory(picture.result)) {
            SetMessage(NotEnoughMemoryToPreviewText(record.FileName, picture.upright), true);
        } else if (FileProbe::Probe(path) == FileProbe::State::Vanished) {
            SetMessage("File Not Found", true);
            ForgetVanishedRecord();
        } else {
            SetMessage(UnableToPreviewText(record.FileName), true);
        }
        Repaint();
        return;
    }
    bitmap_ = static_cast<HBITMAP>(picture.bitmap.Release());
    bitmapSize_ = SIZE{static_cast<LONG>(picture.size.width), static_cast<LONG>(picture.size.height)};
    pictureSize_ = SIZE{static_cast<LONG>(picture.upright.width),
                        static_cast<LONG>(picture.upright.height)};
    PlacePicture();
    SetMessage("", true);
    ::ShowWindow(imgDesktop, SW_SHOW);
    ::InvalidateRect(imgDesktop, nullptr, FALSE);
    Repaint();
}

void TPreviewPage::ForgetVanishedRecord() {
    ::SetForegroundWindow(s_.ui.MainWindow());
    InventoryCursor& data = s_.inventory.cdtData();
    data.GoTo(s_.inventory.cdtInventory().Id());
    data.Delete();
    s_.inventory.ScheduleSave();
    s_.inventory.ShowPictureCount();
    SyncList();
}

void TPreviewPage::ShowClickToPreview() {
    HidePicture();
    FreePicture();
    if (!HasCurrentRecord()) {
        clickToPreview_ = false;
        SetMessage("No Wallpaper Available", true);
        Repaint();
        return;
    }
    const InventoryRecord record = s_.inventory.cdtInventory().Record();
    SetMessage(ClickToPreviewText(record.FileName, record.Size), false);
    clickToPreview_ = true;
    Repaint();
}

void TPreviewPage::cdtDataAfterScroll() {
    if (!s_.flags.previewSuspended) RefreshPreview(false);
}

void TPreviewPage::pnlImageMessageClick() {
    if (!clickToPreview_) return;
    clickToPreview_ = false;
    RefreshPreview(true);
}

void TPreviewPage::imgDesktopClick() { s_.desktop.mnuSetWallpaper1Click(); }

void TPreviewPage::dbgrdInventoryDblClick() { s_.desktop.mnuSetWallpaper1Click(); }

// ---------------------------------------------------------------------------
// Moving through the list

void TPreviewPage::SelectRow(int row) {
    if (!s_.inventory.HasClones() || row < 0) return;
    InventoryCursor& cursor = s_.inventory.cdtInventory();
    if (cursor.HasRecord() && static_cast<int>(cursor.RecNo()) - 1 == row) return;
    if (!cursor.MoveTo(static_cast<std::size_t>(row))) return;
    cdtDataAfterScroll();
}

void TPreviewPage::MoveCursor(void (InventoryCursor::*move)()) {
    if (!HasCurrentRecord()) return;
    InventoryCursor& cursor = s_.inventory.cdtInventory();
    const RecordId before = cursor.Id();
    (cursor.*move)();
    SyncList(false);
    if (cursor.Id() != before) cdtDataAfterScroll();
}

void TPreviewPage::tbnFirstClick() { MoveCursor(&InventoryCursor::First); }
void TPreviewPage::tbnPrevClick() { MoveCursor(&InventoryCursor::Prior); }
void TPreviewPage::tbnNextClick() { MoveCursor(&InventoryCursor::Next); }
void TPreviewPage::tbnLastClick() { MoveCursor(&InventoryCursor::Last); }

// ---------------------------------------------------------------------------
// The context menu and its toggles

void TPreviewPage::mnuGridPopup() {
    bool enabled = false, tile = false;
    if (HasCurrentRecord()) {
        const RecordView view = s_.inventory.cdtInventory().View();
        enabled = view.Enabled;
        tile = view.Tile;
    }
    ::CheckMenuItem(mnuGrid, idMnuEnabled, MF_BYCOMMAND | (enabled ? MF_CHECKED : MF_UNCHECKED));
    ::CheckMenuItem(mnuGrid, idMnuTile, MF_BYCOMMAND | (tile ? MF_CHECKED : MF_UNCHECKED));
}

void TPreviewPage::ToggleField(bool InventoryRecord::*field, UINT menuId) {
    if (!HasCurrentRecord()) return;
    InventoryCursor& cursor = s_.inventory.cdtInventory();
    InventoryRecord record = cursor.Record();
    record.*field = !(record.*field);
    const bool now = record.*field;
    cursor.Post(std::move(record));
    ::CheckMenuItem(mnuGrid, menuId, MF_BYCOMMAND | (now ? MF_CHECKED : MF_UNCHECKED));
    s_.inventory.ScheduleSave();
    const int row = static_cast<int>(cursor.RecNo()) - 1;
    ::SendMessageA(dbgrdInventory, LVM_REDRAWITEMS, row, row);
}

void TPreviewPage::mnuEnabled1Click() { ToggleField(&InventoryRecord::Enabled, idMnuEnabled); }

void TPreviewPage::mnuTile1Click() { ToggleField(&InventoryRecord::Tile, idMnuTile); }

void TPreviewPage::mnuProperties1Click() { frmProperties_->ShowModal(); }

void TPreviewPage::Splitter1Moved() {
    Layout();
    ::UpdateWindow(tbrMainToolbar);
    ::RedrawWindow(s_.ui.MainWindow(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---------------------------------------------------------------------------
// Keys

bool TPreviewPage::FormKeyDown(UINT key) {
    s_.ui.Trace("FrmMain: FormKeyDown");
    if (!s_.inventory.Open() || !s_.inventory.HasClones() || !::IsWindowVisible(Handle())) {
        return false;
    }
    switch (DecodePreviewKey(key, KeyDown(VK_SHIFT), KeyDown(VK_CONTROL), KeyDown(VK_MENU))) {
        case PreviewKey::None:
            return false;
        case PreviewKey::Properties:
            mnuProperties1Click();
            return true;
        case PreviewKey::SetWallpaper:
            dbgrdInventoryDblClick();
            return true;
        case PreviewKey::NextSlide: {
            s_.host.ShowNextSlide();
            InventoryCursor& slides = s_.inventory.cdtSlideShow();
            if (slides.HasRecord()) s_.inventory.cdtInventory().MoveTo(slides.RecNo() - 1);
            RefreshPreview(false);
            return true;
        }
        case PreviewKey::Remove:
            s_.commands.tbnRemoveClick();
            return true;
        case PreviewKey::DeleteFromDisk:
            s_.commands.tbnDeleteClick();
            return true;
        case PreviewKey::MoveOrRename:
            s_.commands.tbnMoveClick();
            return true;
        case PreviewKey::ToggleEnabled:
            mnuEnabled1Click();
            return true;
        case PreviewKey::ToggleTile:
            mnuTile1Click();
            return true;
        case PreviewKey::ExportManager:
            s_.host.OpenExportManager();
            return true;
    }
    return false;
}

LRESULT CALLBACK TPreviewPage::GridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* page = reinterpret_cast<TPreviewPage*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!page) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    const WNDPROC next = page->gridDefaultProc_;
    switch (message) {
        case WM_GETDLGCODE:
            // Enter with Ctrl (or Alt) is the page's; plain Enter stays the main
            // window's "&OK".
            if (lParam) {
                const MSG* msg = reinterpret_cast<const MSG*>(lParam);
                if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
                    (KeyDown(VK_CONTROL) || KeyDown(VK_MENU))) {
                    return ::CallWindowProcA(next, hwnd, message, wParam, lParam) |
                           DLGC_WANTMESSAGE;
                }
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            bool consumed = false;
            try {
                consumed = page->FormKeyDown(static_cast<UINT>(wParam));
            } catch (const std::exception& e) {
                page->s_.ui.ShowError("Exception: " + std::string(e.what()));
                consumed = true;
            }
            if (consumed) return 0;
            break;
        }
        case WM_CHAR:
        case WM_SYSCHAR:
            // The characters of consumed Enter and Space keys.
            if (wParam == '\r' || wParam == '\n' || wParam == ' ') return 0;
            break;
        case WM_NCDESTROY:
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return ::CallWindowProcA(next, hwnd, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// The children's messages

LRESULT TPreviewPage::ImageMessageProc(UINT message, WPARAM, LPARAM, bool& handled) {
    switch (message) {
        case WM_ERASEBKGND:
            handled = true;
            return 1;
        case WM_PAINT: {
            handled = true;
            PaintScope paint(pnlImageMessage);
            HDC dc = paint.Get();
            RECT r{};
            ::GetClientRect(pnlImageMessage, &r);
            ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, RGB(255, 0, 0));
            SelectedObject font(dc, messageBold_ ? messageFontBold_ : messageFont_);
            ::DrawTextA(dc, message_.c_str(), static_cast<int>(message_.size()), &r,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            return 0;
        }
        case WM_LBUTTONUP:
            handled = true;
            pnlImageMessageClick();
            return 0;
    }
    return 0;
}

LRESULT TPreviewPage::PictureProc(UINT message, WPARAM, LPARAM lParam, bool& handled) {
    switch (message) {
        case WM_ERASEBKGND:
            handled = true;
            return 1;
        case WM_PAINT: {
            handled = true;
            PaintScope paint(imgDesktop);
            HDC dc = paint.Get();
            RECT r{};
            ::GetClientRect(imgDesktop, &r);
            if (bitmap_) {
                MemoryDC source(dc);
                SelectedObject picture(source.Get(), bitmap_);
                ::SetStretchBltMode(dc, COLORONCOLOR);
                ::StretchBlt(dc, 0, 0, r.right, r.bottom, source.Get(), 0, 0, bitmapSize_.cx,
                             bitmapSize_.cy, SRCCOPY);
            } else {
                ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            }
            return 0;
        }
        case WM_SETCURSOR:
            handled = true;
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
            return TRUE;
        case WM_LBUTTONUP:
            handled = true;
            imgDesktopClick();
            return 0;
    }
    return 0;
}

LRESULT TPreviewPage::SplitterProc(UINT message, WPARAM, LPARAM lParam, bool& handled) {
    switch (message) {
        case WM_ERASEBKGND:
            handled = true;
            return 1;
        case WM_PAINT: {
            handled = true;
            PaintScope paint(Splitter1);
            RECT r{};
            ::GetClientRect(Splitter1, &r);
            ::FillRect(paint.Get(), &r, ::GetSysColorBrush(COLOR_BTNSHADOW));
            return 0;
        }
        case WM_SETCURSOR:
            handled = true;
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZENS)));
            return TRUE;
        case WM_LBUTTONDOWN:
            handled = true;
            dragOffset_ = static_cast<short>(HIWORD(lParam));
            ::SetCapture(Splitter1);
            return 0;
        case WM_MOUSEMOVE:
            if (dragOffset_ >= 0 && ::GetCapture() == Splitter1) {
                handled = true;
                POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                ::MapWindowPoints(Splitter1, Handle(), &p, 1);
                const int wanted = p.y - dragOffset_;
                if (wanted != previewHeight_) {
                    previewHeight_ = wanted;
                    Splitter1Moved();
                }
            }
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (dragOffset_ >= 0) {
                handled = true;
                dragOffset_ = -1;
                if (message == WM_LBUTTONUP) ::ReleaseCapture();
                Splitter1Moved();
            }
            return 0;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// The page's own notices

void TPreviewPage::OnGetDispInfo(NMLVDISPINFOA& info) {
    LVITEMA& item = info.item;
    const RecordId id = s_.inventory.Table().At(static_cast<std::size_t>(item.iItem));
    if (id == NoRecord) {
        if (item.mask & LVIF_TEXT && item.cchTextMax > 0) item.pszText[0] = '\0';
        return;
    }
    const RecordView view = s_.inventory.Table().View(id);
    if (item.mask & LVIF_IMAGE) {
        if (item.iSubItem == 0) {
            InventoryRecord sizeOnly;
            sizeOnly.Size = view.Size;
            item.iImage = EnabledImageIndex(view.Enabled, s_.inventory.cdtInventoryCalcFields(sizeOnly));
        } else if (item.iSubItem == 1) {
            item.iImage = TileImageIndex(view.Tile);
        } else {
            item.iImage = I_IMAGENONE;
        }
    }
    if ((item.mask & LVIF_TEXT) && item.cchTextMax > 0) {
        if (item.iSubItem == 2) {
            const std::size_t n =
                std::min<std::size_t>(view.FileName.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
            std::memcpy(item.pszText, view.FileName.data(), n);
            item.pszText[n] = '\0';
        } else {
            item.pszText[0] = '\0';
        }
    }
}

bool TPreviewPage::OnNotify(NMHDR& header) {
    if (header.hwndFrom == dbgrdInventory) {
        switch (header.code) {
            case LVN_GETDISPINFOA:
                OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA&>(header));
                return true;
            case LVN_ITEMCHANGED: {
                auto& change = reinterpret_cast<NMLISTVIEW&>(header);
                if (!(change.uChanged & LVIF_STATE)) return true;
                const bool selected = change.uNewState & LVIS_SELECTED;
                const bool was = change.uOldState & LVIS_SELECTED;
                if (!selected && was && (change.iItem < 0 || change.iItem == selectedRow_)) {
                    selectedRow_ = -1;
                }
                if (selected && !was && change.iItem >= 0) {
                    selectedRow_ = change.iItem;
                    if (!syncing_) SelectRow(change.iItem);
                }
                return true;
            }
            case NM_DBLCLK:
                if (reinterpret_cast<NMITEMACTIVATE&>(header).iItem >= 0) dbgrdInventoryDblClick();
                return true;
        }
        return false;
    }
    if (header.code == TTN_GETDISPINFOA) {
        auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
        for (const ButtonDef& d : kButtons) {
            if (d.hint && static_cast<int>(info.hdr.idFrom) == d.id) {
                info.lpszText = const_cast<char*>(s_.host.ToolbarHints() ? d.hint : "");
                return true;
            }
        }
    }
    return false;
}

bool TPreviewPage::OnCommand(int id, int code) {
    if (code != BN_CLICKED && code != 0) return false;
    switch (id) {
        case idFindInList: s_.desktop.tbnFindInListClick(); break;
        case idSetWallpaper: s_.desktop.tbnSetWallpaperClick(); break;
        case idNone: s_.desktop.tbnNoneClick(); break;
        case idAddFiles: s_.adder.mnuAdd1Click(); break;
        case idMove: s_.commands.tbnMoveClick(); break;
        case idRemove: s_.commands.tbnRemoveClick(); break;
        case idDelete: s_.commands.tbnDeleteClick(); break;
        case idFirst: tbnFirstClick(); break;
        case idPrev: tbnPrevClick(); break;
        case idNext: tbnNextClick(); break;
        case idLast: tbnLastClick(); break;
        case idMnuEnabled: mnuEnabled1Click(); break;
        case idMnuTile: mnuTile1Click(); break;
        case idMnuSetWallpaper: s_.desktop.mnuSetWallpaper1Click(); break;
        case idMnuEdit: s_.commands.mnuEdit1Click(); break;
        case idMnuProperties: mnuProperties1Click(); break;
        default: return false;
    }
    return true;
}

LRESULT TPreviewPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_NOTIFY:
            if (OnNotify(*reinterpret_cast<NMHDR*>(lParam))) return 0;
            break;
        case WM_CONTEXTMENU: {
            if (reinterpret_cast<HWND>(wParam) != dbgrdInventory) break;
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (at.x == -1 && at.y == -1) {
                RECT r{};
                ::GetWindowRect(dbgrdInventory, &r);
                at = POINT{r.left + 20, r.top + 20};
            }
            mnuGridPopup();
            ::TrackPopupMenu(mnuGrid, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(),
                             nullptr);
            return 0;
        }
        case WM_SIZE:
            Layout();
            return 0;
        case WM_SHOWWINDOW:
            // Sent before the page shows, so its list is right when first drawn.
            if (wParam) BringListUpToDate();
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace pictavo
