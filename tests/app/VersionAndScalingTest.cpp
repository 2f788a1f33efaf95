#include <gtest/gtest.h>

#include "app/FormScaling.h"
#include "app/FrmAbout.h"
#include "app/VersionInfo.h"
#include "platform/Window.h"

namespace pictavo {
namespace {

// This test program carries the program's own version resource.
TEST(VersionStrings, ReadFromTheProgramsResource) {
    ReadVersionStrings();
    EXPECT_EQ(GetVersionString("ProductVersion"), "Version 1.1");
    EXPECT_EQ(GetVersionString("FileVersion"), "1.1.0.636");
    EXPECT_EQ(GetVersionString("LegalTradeMarks"), "");  // not in the resource: absent
    ASSERT_FALSE(VersionStrings().empty());
    EXPECT_EQ(VersionStrings().front().first, "CompanyName");  // in the designed order
}

TEST(VersionStrings, AFileWithoutVersionInformationGivesNone) {
    char windows[MAX_PATH];
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    ReadVersionStrings(std::string(windows) + "\\win.ini");
    EXPECT_TRUE(VersionStrings().empty());
    EXPECT_EQ(GetVersionString("ProductVersion"), "");
    ReadVersionStrings();
}

TEST(AboutBox, ShowsTheVersionStrings) {
    ReadVersionStrings();
    TFrmAbout about;
    EXPECT_EQ(WindowText(about.Handle()), "About Pictavo");
    EXPECT_EQ(WindowText(about.lblCompany), "Norvex Software Inc.");
    EXPECT_EQ(WindowText(about.lblProduct), "Pictavo");
    EXPECT_EQ(WindowText(about.lblVersionName), "Version 1.1");
    EXPECT_EQ(WindowText(about.lblVersionAndBuild), "Build 1.1.0.636");
    EXPECT_FALSE(::IsWindowVisible(about.lblVersionAndBuild));
    EXPECT_NE(WindowText(about.lblCopyright), "");
}

// A window with two direct controls and one inside a panel.
struct ScalingFixture {
    struct Form : Window {
        Form() { Create("ScalingTestForm", 0, WS_OVERLAPPEDWINDOW, "f", 0, 0, 200, 200, nullptr); }
    } form;
    HWND first = CreateControl(form.Handle(), "STATIC", "a", WS_VISIBLE, 0, 0, 50, 20);
    HWND second = CreateControl(form.Handle(), "STATIC", "b", WS_VISIBLE, 0, 20, 50, 20);
    RECT area{0, 50, 100, 100};
    TPanel panel{form.Handle(), area, "panel", true};
    HWND inner = CreateControl(panel.Handle(), "STATIC", "c", WS_VISIBLE, 0, 0, 50, 20);

    static int Height(HWND control) {
        LOGFONTA font{};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)),
                     sizeof(font), &font);
        return font.lfHeight;
    }
};

TEST(FormScaling, FactorIsTheFormFontOverTheDesignFont) {
    struct Case {
        int pixelsPerInch, formFont, expectDirect;
    } cases[] = {
        {96, -22, -11},   // the design resolution: nothing changes
        {120, -11, -11},  // factor 1
        {120, -22, -22},  // factor 2
        {120, -10, 0},    // factor 0: the platform's default size
    };
    for (const Case& c : cases) {
        ScalingFixture f;
        AdjustFormScalingAt(f.form.Handle(), c.formFont, c.pixelsPerInch);
        EXPECT_EQ(ScalingFixture::Height(f.first), c.expectDirect) << c.pixelsPerInch << c.formFont;
        EXPECT_EQ(ScalingFixture::Height(f.second), c.expectDirect);
        EXPECT_EQ(ScalingFixture::Height(f.inner), -11);  // inside a panel: untouched
    }
    AdjustFormScalingAt(nullptr, -11, 120);  // no window: nothing, no crash
}

TEST(FormScaling, FormsMadeAgainShareTheirScaledFontsInsteadOfMakingMore) {
    auto fontOf = [](HWND control) { return ::SendMessageA(control, WM_GETFONT, 0, 0); };
    LRESULT firstFont = 0;
    for (int round = 0; round < 3; ++round) {  // as an About box opened three times
        ScalingFixture f;
        AdjustFormScalingAt(f.form.Handle(), -22, 120);
        if (round == 0) firstFont = fontOf(f.first);
        EXPECT_EQ(fontOf(f.first), firstFont);
        EXPECT_EQ(fontOf(f.second), firstFont);
    }
}

}  // namespace
}  // namespace pictavo
