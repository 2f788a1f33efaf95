// The Export Manager on a real inventory of small files: the window made for
// real, its buttons pressed, the messages answered from a script.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "exchange/FrmExport.h"
#include "platform/Controls.h"
#include "support/AddFixture.h"

namespace pictavo {
namespace {

using namespace pictavo::testing;

// A window of the test's own that acts when a message posted to it comes:
// the export handles it between two pictures, as it does the system's.
class Moment : public Window {
public:
    explicit Moment(std::function<void()> action) : action_(std::move(action)) {
        Create("ExportTestMoment", 0, WS_POPUP, "", 0, 0, 1, 1, nullptr);
    }
    void Post() { ::PostMessageA(Handle(), WM_APP, 0, 0); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) action_();
        return Window::HandleMessage(message, wParam, lParam);
    }

private:
    std::function<void()> action_;
};

// The names in a folder; nothing when the folder is gone.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
    return names;
}

struct ExportRig : AddRig {
    std::string base = dir / "Base";
    ScriptedPrompts exportPrompts;
    ExportRig() { ::CreateDirectoryA(base.c_str(), nullptr); }
    // A listed picture with its content.
    void List(const std::string& path, bool tile, bool enabled = true) {
        Put(path, "picture " + path);
        ASSERT_TRUE(store.StorePictureRecord(path, path, false, enabled, tile));
    }
};

TEST(FrmExport, CopiesEnabledPicturesAndWritesTheListInTableOrderByteForByte) {
    ExportRig rig;
    rig.List(rig.pics + "\\Sunset.bmp", true);
    rig.List(rig.pics + "\\alpha.bmp", false);
    rig.List(rig.other + "\\Hidden.bmp", true, false);
    rig.List(rig.other + "\\beta.bmp", true);
    TFrmExport form(nullptr, rig.base, {rig.store, rig.exportPrompts});
    EXPECT_EQ(ControlText(form.edtExportFileName), "pvo.pvi");
    EXPECT_EQ(ControlText(form.edtSubDir), "Export1");
    EXPECT_EQ(WindowText(form.Handle()), "Export Manager");
    form.btnExportClick();

    const std::string folder = rig.base + "\\Export1";
    EXPECT_EQ(AddRig::Content(folder + "\\pvo.pvi"),
              "\"alpha.bmp\",\"C\"\r\n\"beta.bmp\",\"T\"\r\n\"Sunset.bmp\",\"T\"\r\n");
    EXPECT_EQ(AddRig::Content(folder + "\\beta.bmp"), "picture " + rig.other + "\\beta.bmp");
    EXPECT_FALSE(AddRig::Exists(folder + "\\Hidden.bmp"));
    EXPECT_EQ(rig.exportPrompts.shown, std::vector<std::string>{"Export Successful"});

    // The same sub-directory again: refused, the dialog stays.
    form.btnExportClick();
    EXPECT_EQ(rig.exportPrompts.shown.back(), "Directory already exists, pick another name");
}

TEST(FrmExport, PicturesThatCannotArriveAreCountedAndLeftOutOfTheList) {
    ExportRig rig;
    rig.List(rig.other + "\\SAME.bmp", false);  // "...\\other" comes first in the table
    rig.List(rig.pics + "\\same.bmp", true);
    rig.List(rig.pics + "\\gone.bmp", true);
    rig.List(rig.pics + "\\kept.bmp", false);
    ::DeleteFileA((rig.pics + "\\gone.bmp").c_str());
    TFrmExport form(nullptr, rig.base, {rig.store, rig.exportPrompts});
    form.btnExportClick();

    const std::string folder = rig.base + "\\Export1";
    EXPECT_EQ(AddRig::Content(folder + "\\pvo.pvi"),
              "\"kept.bmp\",\"C\"\r\n\"SAME.bmp\",\"C\"\r\n");
    // The earlier of the two same-name pictures, not overwritten by the later.
    EXPECT_EQ(AddRig::Content(folder + "\\same.bmp"), "picture " + rig.other + "\\SAME.bmp");
    EXPECT_EQ(rig.exportPrompts.shown,
              std::vector<std::string>{"Export finished, but 2 pictures could not be copied; "
                                       "their lines were left out of the list."});
}

// The session ends, or the program closes the dialog, while pictures are
// being copied: nothing of the export is left to pass for a whole one, at the
// moment the system may end the process. A session end called off changes nothing.
TEST(FrmExport, AnExportCutShortLeavesNothingBehindWhenTheSystemMayEndTheProcess) {
    enum class Cut { SessionEnds, WindowCloses, SessionGoesOn };
    for (Cut cut : {Cut::SessionEnds, Cut::WindowCloses, Cut::SessionGoesOn}) {
        SCOPED_TRACE(static_cast<int>(cut));
        ExportRig rig;
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}) rig.List(rig.pics + "\\" + name, true);
        TFrmExport form(nullptr, rig.base, {rig.store, rig.exportPrompts});
        const std::string folder = rig.base + "\\Export1";
        std::optional<std::vector<std::string>> left;
        Moment moment([&] {
            if (cut == Cut::WindowCloses) ::DestroyWindow(form.Handle());
            left = NamesIn(folder);
        });
        if (cut != Cut::WindowCloses) {
            ::PostMessageA(form.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            ::PostMessageA(form.Handle(), WM_ENDSESSION, cut == Cut::SessionEnds, ENDSESSION_LOGOFF);
        }
        moment.Post();
        form.btnExportClick();

        ASSERT_TRUE(left.has_value()) << "the export ended before the moment came";
        if (cut == Cut::SessionGoesOn) {
            EXPECT_EQ(AddRig::Content(folder + "\\pvo.pvi"),
                      "\"a.bmp\",\"T\"\r\n\"b.bmp\",\"T\"\r\n\"c.bmp\",\"T\"\r\n\"d.bmp\",\"T\"\r\n");
            EXPECT_EQ(rig.exportPrompts.shown, std::vector<std::string>{"Export Successful"});
            continue;
        }
        EXPECT_EQ(*left, std::vector<std::string>{});
        EXPECT_FALSE(AddRig::Exists(folder));
        EXPECT_TRUE(rig.exportPrompts.shown.empty());
        EXPECT_EQ(AddRig::Content(rig.pics + "\\a.bmp"), "picture " + rig.pics + "\\a.bmp");
    }
}

TEST(FrmExport, ListNamesLeadingOutOfTheNewFolderAreRefusedBeforeAnythingIsMade) {
    // A device name (nul.pvi) would take the list and lose it, reported as done.
    for (const char* name : {"..\\GDB.CDS", "../x.pvi", "sub\\x.pvi", "C:x.pvi", "..", "",
                             "nul.pvi", "CON", "a?.pvi"}) {
        SCOPED_TRACE(name);
        ExportRig rig;
        rig.List(rig.pics + "\\a.bmp", true);
        const std::string table = AddRig::Put(rig.base + "\\GDB.CDS", "the table");
        TFrmExport form(nullptr, rig.base, {rig.store, rig.exportPrompts});
        SetControlText(form.edtExportFileName, name);
        form.btnExportClick();
        EXPECT_EQ(rig.exportPrompts.shown,
                  std::vector<std::string>{"Invalid list file name, pick another name"});
        EXPECT_EQ(AddRig::Content(table), "the table");
        EXPECT_FALSE(AddRig::Exists(rig.base + "\\Export1"));
    }
}

}  // namespace
}  // namespace pictavo
