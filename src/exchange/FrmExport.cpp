#include "exchange/FrmExport.h"

#include <commctrl.h>

#include <vector>

#include "exchange/ListFile.h"
#include "platform/Controls.h"
#include "platform/Files.h"
#include "platform/FlagScope.h"
#include "platform/Handles.h"
#include "platform/Trace.h"

namespace pictavo {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 282;
constexpr int kClientHeight = 122;
// Milliseconds between two looks at the waiting messages during the copies.
constexpr DWORD kPumpEvery = 15;

enum ControlId { idExportFileName = 400, idSubDir };

}  // namespace

TFrmExport::TFrmExport(HWND owner, std::string baseFolder, Services services)
    : owner_(owner), baseFolder_(std::move(baseFolder)), s_(services) {
    SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
    POINT at = CenteredOnScreen(size.cx, size.cy);
    Create("TFrmExport", kExStyle, kStyle, "Export Manager", at.x, at.y, size.cx, size.cy, owner);
    HWND self = Handle();
    ControlBuilder b(self);
    Label1 = b.Label("File Name:", 10, 14, 80);
    edtExportFileName = CreateControl(self, "EDIT", "pvo.pvi",
                                      WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 96, 10,
                                      176, 21, idExportFileName, WS_EX_CLIENTEDGE);
    Label2 = b.Label("Sub Directory:", 10, 42, 80);
    edtSubDir = CreateControl(self, "EDIT", "Export1",
                              WS_VISIBLE | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 96, 38, 176, 21,
                              idSubDir, WS_EX_CLIENTEDGE);
    pbrExport = CreateControl(self, PROGRESS_CLASSA, "", 0, 10, 66, 262, 14);
    btnExport = CreateControl(self, "BUTTON", "Export Files",
                              WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 96, 88, 90, 25,
                              IDOK);
    btnCancel = CreateControl(self, "BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                              192, 88, 80, 25, IDCANCEL);
}

TFrmExport::~TFrmExport() = default;

void TFrmExport::ShowModal() {
    done_ = false;
    ::SendMessageA(edtExportFileName, EM_SETSEL, 0, -1);
    RunModal(owner_, edtExportFileName, [this] { return done_; }, true);
}

bool TFrmExport::Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (::IsDialogMessageA(Handle(), &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

void TFrmExport::Abandon(const char* why) {
    if (!underway_ || underway_->abandoned) return;
    Underway& made = *underway_;
    made.abandoned = true;
    // The list first: copies without a list are plainly unfinished, should the
    // system end the process in the middle of this.
    made.list.Reset();
    ::DeleteFileA(made.listPath.c_str());
    for (const std::string& copy : made.copies) ::DeleteFileA(copy.c_str());
    ::RemoveDirectoryA(made.folder.c_str());
    SendTrace(std::string("Export Manager: ") + why + "; removed the unfinished export " +
                  made.folder,
              Handle());
}

void TFrmExport::btnExportClick() {
    if (exporting_) return;
    if (Export(ControlText(edtExportFileName), ControlText(edtSubDir))) done_ = true;
}

void TFrmExport::btnCancelClick() {
    // The export runs to its end: its list must name what it copied.
    if (!exporting_) done_ = true;
}

bool TFrmExport::Export(const std::string& fileName, const std::string& subDir) {
    HWND self = Handle();
    // The list goes into the new folder and nowhere else: a name that leads
    // out of it could write over any file (the inventory's own, say).
    if (fileName.empty() || !IsPlainListName(fileName)) {
        s_.prompts.Message(self, "Invalid list file name, pick another name");
        return false;
    }
    const std::string folder = baseFolder_ + "\\" + subDir;
    if (::GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
        s_.prompts.Message(self, "Directory already exists, pick another name");
        return false;
    }
    if (!::CreateDirectoryA(folder.c_str(), nullptr)) {
        s_.prompts.Message(self, "Error creating export directory");
        return false;
    }
    const std::string listPath = folder + "\\" + fileName;
    Underway made;
    made.folder = folder;
    made.listPath = listPath;
    made.list.Reset(::CreateFileA(listPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!made.list) {
        const DWORD code = ::GetLastError();
        throw FileError("Unable to create " + listPath + ": " + SystemErrorText(code), code);
    }

    // The table's records as they stand now: messages run during the copies
    // and may change the table, the list must not follow.
    std::vector<ExportSource> records;
    records.reserve(s_.inventory.Table().Count());
    s_.inventory.Table().ForEachInOrder([&](RecordId, const RecordView& r) {
        records.push_back({std::string(r.FileName), std::string(r.Location), r.Enabled, r.Tile});
    });
    const ExportPlan plan = PlanExport(records);

    FlagHold exporting(exporting_);
    underway_ = &made;
    struct Forget {
        Underway*& underway;
        ~Forget() { underway = nullptr; }
    } forget{underway_};
    ::EnableWindow(btnExport, FALSE);
    ::EnableWindow(btnCancel, FALSE);
    struct Enable {
        TFrmExport& form;
        ~Enable() {
            ::EnableWindow(form.btnExport, TRUE);
            ::EnableWindow(form.btnCancel, TRUE);
            ::ShowWindow(form.pbrExport, SW_HIDE);
        }
    } enable{*this};
    const int maximum = plan.pictures.empty() ? 0 : static_cast<int>(plan.pictures.size() - 1);
    ::SendMessageA(pbrExport, PBM_SETRANGE32, 0, maximum);
    ::SendMessageA(pbrExport, PBM_SETPOS, 0, 0);
    ::ShowWindow(pbrExport, SW_SHOW);

    std::string text;
    int leftOut = plan.leftOut;
    copied_ = 0;
    int shownPercent = 0;
    // The first pictures pump at once: the progress shows from the start.
    DWORD lastPump = ::GetTickCount() - kPumpEvery;
    for (size_t i = 0; i < plan.pictures.size(); ++i) {
        const ExportSource& picture = plan.pictures[i];
        const std::string source = picture.location + "\\" + picture.fileName;
        const std::string target = folder + "\\" + picture.fileName;
        // Nothing is there in a new folder; a name taken twice was left out above.
        if (::CopyFileA(source.c_str(), target.c_str(), TRUE)) {
            made.copies.push_back(target);
            text += ListLine(picture.fileName, picture.tile);
            ++copied_;
        } else {
            ++leftOut;
        }
        const int percent = maximum > 0 ? static_cast<int>(static_cast<long long>(i) * 100 / maximum) : 100;
        if (percent != shownPercent) {
            shownPercent = percent;
            ::SendMessageA(pbrExport, PBM_SETPOS, static_cast<WPARAM>(i), 0);
        }
        // Often enough for the eye and for other programs asking; asking the
        // system for messages after every small copy would cost as much again.
        if (::GetTickCount() - lastPump >= kPumpEvery) {
            if (!Pump()) Abandon("the program ended during the export");
            lastPump = ::GetTickCount();
            if (made.abandoned) return true;
        }
    }

    WriteAll(made.list.Get(), text, listPath);
    made.list.Reset();
    s_.prompts.Message(self, ExportResultText(leftOut));
    return true;
}

LRESULT TFrmExport::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                btnExportClick();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                btnCancelClick();
                return 0;
            }
            break;
        case WM_CLOSE:
            btnCancelClick();
            return 0;
        // The system may end the process as soon as the session's end has been
        // told: what an export left half done is taken away now.
        case WM_ENDSESSION:
            if (wParam) Abandon("the session ended during the export");
            return 0;
        case WM_DESTROY:
            Abandon("the window was closed during the export");
            break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void ShowExportManager(HWND owner, const std::string& baseFolder, TFrmExport::Services services) {
    TFrmExport form(owner, baseFolder, services);
    form.ShowModal();
}

}  // namespace pictavo
