// The real confirmation dialog, answered by a timer that runs inside its modal
// loop as a user's clicks would arrive.
#include <gtest/gtest.h>

#include "pictures/FrmConfirmation.h"
#include "support/ModalAnswer.h"

namespace pictavo {
namespace {

std::string TextOf(HWND hwnd) {
    char text[512] = {};
    ::GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

// The dialog's controls by identifier: the four values are 400 to 403, the box 404.
HWND Control(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }

InventoryRecord Cat() {
    InventoryRecord record;
    record.FileName = "My Cat.bmp";
    record.Location = "C:\\Pics";
    record.Size = 1234567;
    return record;
}

TEST(FrmConfirmation, ShowsThePictureAndHandsEachClickOnTheBoxOver) {
    const struct {
        const char* name;
        int clicks;   // on "&Don't show this message again."
        int finalId;  // IDOK, IDCANCEL, or 0 for the close button
        bool confirmed;
        std::vector<bool> handed;
    } cases[] = {
        {"ticked, OK", 1, IDOK, true, {true}},
        {"ticked and unticked, Cancel", 2, IDCANCEL, false, {true, false}},
        {"closed", 0, 0, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        struct Seen {
            std::string title, name, folder, size;
            bool asks = false;
            bool tickedAtFirst = true;
            bool focusOnOk = false;
        } seen;
        testing::ModalAnswer answer("TfrmConfirmation", [&](HWND dialog) {
            seen.title = TextOf(dialog);
            seen.asks = ::FindWindowExA(dialog, nullptr, "STATIC", "Remove this file from list?");
            HWND box = Control(dialog, 404);
            seen.name = TextOf(Control(dialog, 400));
            seen.folder = TextOf(Control(dialog, 401));
            seen.size = TextOf(Control(dialog, 402));
            seen.tickedAtFirst = ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
            seen.focusOnOk = ::GetFocus() == Control(dialog, IDOK);
            for (int i = 0; i < c.clicks; ++i) ::SendMessageA(box, BM_CLICK, 0, 0);
            if (c.finalId) {
                ::SendMessageA(Control(dialog, c.finalId), BM_CLICK, 0, 0);
            } else {
                ::SendMessageA(dialog, WM_CLOSE, 0, 0);
            }
        });
        std::vector<bool> handed;
        TConfirmationDialogs dialogs(nullptr);
        const bool confirmed =
            dialogs.Ask(nullptr, {"Remove File", "Remove this file from list?", Cat()},
                        [&](bool dontShowAgain) { handed.push_back(dontShowAgain); });

        EXPECT_TRUE(answer.Answered());
        EXPECT_EQ(confirmed, c.confirmed);
        EXPECT_EQ(handed, c.handed);
        EXPECT_EQ(seen.title, "Remove File");
        EXPECT_TRUE(seen.asks);
        EXPECT_EQ(seen.name, "My Cat.bmp");
        EXPECT_EQ(seen.folder, "C:\\Pics");
        EXPECT_EQ(seen.size, "1,234,567");
        EXPECT_FALSE(seen.tickedAtFirst);
        EXPECT_TRUE(seen.focusOnOk);
        EXPECT_FALSE(::FindWindowA("TfrmConfirmation", nullptr))
            << "the dialog outlived its question";
    }
}

TEST(FrmConfirmation, SizesShowThousandsSeparators) {
    const struct {
        long long value;
        const char* text;
    } cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}, {-1234, "-1,234"}};
    for (const auto& c : cases) EXPECT_EQ(FormatThousands(c.value), c.text);
}

}  // namespace
}  // namespace pictavo
