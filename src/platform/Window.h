#pragma once
// A window owned by a C++ object: the window procedure forwards each message
// to the object (found through the window's user data, set at WM_NCCREATE)
// and keeps exceptions from unwinding into Windows.
#include <windows.h>

#include <functional>
#include <string>

namespace pictavo {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    bool Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

protected:
    // Registers the class once per name and creates the window with this object behind it.
    void Create(const char* className, DWORD exStyle, DWORD style, const std::string& caption, int x,
                int y, int width, int height, HWND parent, HICON icon = nullptr);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    // Shows this window as a modal dialog of its owner, with the keyboard in
    // `focus`: the owner takes no input meanwhile and dialog keys work. The
    // loop ends when `done` holds, when the window is destroyed (its owner
    // went), or on WM_QUIT, which is posted again for the main loop. Then the
    // owner works again before the window hides, so the activation comes back
    // to this program; `activateOwner` brings the owner to the front as well.
    // True when `done` ended it.
    bool RunModal(HWND owner, HWND focus, const std::function<bool()>& done,
                  bool activateOwner = false);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// While the program ends with no one to answer (the session ends, another
// program asks it to end): every modal loop of this thread ends as cancelled,
// the open message and file boxes too, and no new one starts until allowed
// again (the session went on after all).
void EndModalLoops();
void AllowModalLoops();
bool ModalLoopsEnded();

// A child panel (a page, a group of controls) that passes its controls'
// notices on to its parent, where the handlers live.
class TPanel : public Window {
public:
    TPanel(HWND parent, const RECT& area, const std::string& name, bool visible = false);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The windows' standard font (MS Sans Serif) at a given height; shared, never freed.
HFONT StandardFont(int height = -11, bool bold = false);

// A child control with the standard font.
HWND CreateControl(HWND parent, const char* className, const std::string& text, DWORD style, int x,
                   int y, int width, int height, int id = 0, DWORD exStyle = 0,
                   HFONT font = StandardFont());

std::string WindowText(HWND hwnd);

// Size of the whole window for a wanted client area.
SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// Puts a window of the given size in the middle of the primary screen's work area.
POINT CenteredOnScreen(int width, int height);

}  // namespace pictavo
