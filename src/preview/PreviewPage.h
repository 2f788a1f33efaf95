#pragma once
// The "&Preview" page: a preview of the selected picture at the top, the
// splitter, the toolbar, and the list of pictures below (a virtual list view
// over the list's cursor, so a hundred thousand rows cost nothing until they
// are drawn), with its context menu, keys and the properties dialog. The page
// handles its own controls' notices.
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <memory>
#include <string>

#include "imaging/PictureDecoder.h"
#include "preview/FrmProperties.h"
#include "inventory/InventoryStore.h"
#include "pictures/PictureCommands.h"
#include "pictures/PictureAdder.h"
#include "platform/Prompts.h"
#include "platform/UserInterface.h"
#include "platform/Window.h"

namespace pictavo {

// The settings the page reads and the neighbours its keys reach.
class IPreviewHost {
public:
    virtual ~IPreviewHost() = default;
    // "Limit &preview size to:" and its number of thousands of bytes.
    virtual bool LimitPreviewSize() const = 0;
    virtual int MaxPreviewSize() const = 0;
    // "Show &hints for toolbar buttons".
    virtual bool ToolbarHints() const = 0;
    virtual void ShowNextSlide() = 0;
    // The Export Manager on the data directory.
    virtual void OpenExportManager() = 0;
};

// The height of the preview area, which the settings file keeps.
class IPreviewPanelHeight {
public:
    virtual ~IPreviewPanelHeight() = default;
    virtual int PreviewPanelHeight() const = 0;
    virtual void SetPreviewPanelHeight(int height) = 0;
};

class TPreviewPage : public Window, public IPreviewRefresh, public IPreviewPanelHeight {
public:
    struct Services {
        TInventoryStore& inventory;
        IUserInterface& ui;
        IListWallpaperCommands& desktop;
        TPictureAdder& adder;
        IPreviewHost& host;
        IPictureCommands& commands;
        ProgramFlags& flags;
        IPrompts& prompts;
    };

    enum CommandId {
        idFindInList = 400,
        idSetWallpaper,
        idNone,
        idAddFiles,
        idMove,
        idRemove,
        idDelete,
        idFirst,
        idPrev,
        idNext,
        idLast,
        idMnuEnabled = 450,
        idMnuTile,
        idMnuSetWallpaper,
        idMnuEdit,
        idMnuProperties,
        idGrid = 470,
    };

    static constexpr int kDefaultPreviewHeight = 185;
    static constexpr int kSplitterHeight = 3;
    static constexpr int kSplitterMinSize = 45;
    static constexpr int kToolbarHeight = 29;

    // A hidden child of the parent, covering the area.
    TPreviewPage(HWND parent, const RECT& area, Services services);
    ~TPreviewPage() override;

    // Controls, with the designed names.
    HWND pnlPreviewImage = nullptr;
    HWND pnlImageMessage = nullptr;
    HWND imgDesktop = nullptr;
    HWND Splitter1 = nullptr;
    HWND tbrMainToolbar = nullptr;
    HWND dbgrdInventory = nullptr;
    HMENU mnuGrid = nullptr;
    HIMAGELIST imglstGridStatus = nullptr;
    TfrmProperties& frmProperties() { return *frmProperties_; }

    // "PreviewPanelHeight": read and written with the other settings.
    int PreviewPanelHeight() const override { return previewHeight_; }
    void SetPreviewPanelHeight(int height) override;

    // What the store tells the list: its current picture, or its records, changed.
    void RefreshPreview() override { RefreshPreview(false); }
    void InventoryChanged() override { SyncList(); }

    void RefreshPreview(bool force);
    void ShowClickToPreview();
    void cdtDataAfterScroll();
    // The list's rows and selection follow the table and the list's cursor;
    // every row is drawn again unless only the selection may have moved.
    void SyncList(bool redrawRows = true);
    // The "Enabled" and "Tile" columns narrow, "Wallpaper File" takes the rest.
    void RefreshInventoryColumns();
    // The grid's status images depend on the wallpaper size limit.
    void RecomputeTooBig();
    // A key pressed while the page has the keyboard; true when it is consumed.
    bool FormKeyDown(UINT key);

    void pnlImageMessageClick();
    void imgDesktopClick();
    void dbgrdInventoryDblClick();
    void tbnFirstClick();
    void tbnPrevClick();
    void tbnNextClick();
    void tbnLastClick();
    void mnuGridPopup();
    void mnuEnabled1Click();
    void mnuTile1Click();
    void mnuProperties1Click();
    void Splitter1Moved();

    // What the preview shows, for the window's own checks and tests.
    const std::string& PreviewMessage() const { return message_; }
    bool MessageBold() const { return messageBold_; }
    bool ClickToPreviewShown() const { return clickToPreview_; }
    bool PictureShown() const { return imgDesktop && ::IsWindowVisible(imgDesktop); }
    bool PictureStretched() const { return stretch_; }
    // The picture's full size, upright, and the size it was decoded at.
    SIZE PictureSize() const { return pictureSize_; }
    SIZE BitmapSize() const { return bitmapSize_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class Child;
    void CreateControls();
    void CreateToolbar();
    void CreateGrid();
    void Layout();
    void PlacePicture();
    void SetMessage(const std::string& text, bool bold);
    void FreePicture();
    void HidePicture();
    void Repaint();
    // The list's cursor moved to the row the user chose.
    void SelectRow(int row);
    void MoveCursor(void (InventoryCursor::*move)());
    void ToggleField(bool InventoryRecord::*field, UINT menuId);
    bool OnCommand(int id, int code);
    bool OnNotify(NMHDR& header);
    void OnGetDispInfo(NMLVDISPINFOA& info);
    bool HasCurrentRecord() const;
    // The preview found the picture's file gone for good: the list forgets it.
    void ForgetVanishedRecord();

    LRESULT ImageMessageProc(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT PictureProc(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT SplitterProc(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    static LRESULT CALLBACK GridProc(HWND, UINT, WPARAM, LPARAM);
    WNDPROC gridDefaultProc_ = nullptr;

    Services s_;
    std::unique_ptr<TPanel> previewPanel_;
    std::unique_ptr<Child> messagePanel_, picture_, splitter_;
    std::unique_ptr<TfrmProperties> frmProperties_;
    HFONT messageFont_ = nullptr, messageFontBold_ = nullptr;
    TPictureDecoder decoder_;
    HBITMAP bitmap_ = nullptr;
    SIZE pictureSize_{};
    SIZE bitmapSize_{};
    int previewHeight_ = kDefaultPreviewHeight;
    std::string message_ = "File Not Found";
    bool messageBold_ = true;
    bool clickToPreview_ = false;
    bool stretch_ = true;
    bool syncing_ = false;  // the program moves the selection: no preview per change
    bool refreshing_ = false;  // a preview is loading: a layout meanwhile only places it
    int selectedRow_ = -1;  // the list's selected row, as its notices told it
    int dragOffset_ = -1;   // where in the splitter the drag began; -1 when none
    char textBuffer_[LocationWidth + FileNameWidth + 8] = {};
};

}  // namespace pictavo
