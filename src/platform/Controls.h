#pragma once
// Small helpers over standard controls: check boxes, radio buttons, edit boxes
// with up-down spinners, group boxes and labels.
#include <windows.h>

#include <string>

namespace pictavo {

bool Checked(HWND button);
// Sets the state; when it changes, the owner hears a click, as if the user had clicked.
void SetChecked(HWND button, bool checked);

// An up-down control's position, read as a signed 16-bit number.
int SpinPosition(HWND upDown);
// Moves the spinner; its edit box shows the number and raises its change notice.
void SetSpinPosition(HWND upDown, int position);

std::string ControlText(HWND control);
void SetControlText(HWND control, const std::string& text);

// Builds controls on a parent with the standard font, left to right, top to bottom.
class ControlBuilder {
public:
    explicit ControlBuilder(HWND parent) : parent_(parent) {}
    HWND Group(const std::string& caption, int x, int y, int w, int h);
    HWND Label(const std::string& caption, int x, int y, int w, int h = 13);
    HWND Check(const std::string& caption, int id, int x, int y, int w, bool checked);
    HWND Radio(const std::string& caption, int id, int x, int y, int w, bool first, bool checked);
    HWND Edit(const std::string& text, int id, int x, int y, int w, int h = 21);
    HWND Button(const std::string& caption, int id, int x, int y, int w, int h = 25);
    // An up-down spinner tied to the edit box, with range, step and position.
    HWND Spin(HWND buddy, int id, int minimum, int maximum, int step, int position);
    HWND ListBox(int id, int x, int y, int w, int h);

private:
    HWND parent_;
};

}  // namespace pictavo
