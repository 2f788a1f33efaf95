// The Export Manager on a real inventory of small files: the window made for
// real, its buttons pressed, the messages answered from a script.
#include <gtest/gtest.h>

#include "exchange/FrmExport.h"
#include "platform/Controls.h"
#include "support/AddFixture.h"

namespace pictavo {
namespace {

using namespace pictavo::testing;

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
