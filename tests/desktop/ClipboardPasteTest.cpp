// Wallpaper from the clipboard over the real clipboard and real files: the
// "Add Wallpaper" question answered from a script, the wallpaper call faked.
#include <gtest/gtest.h>

#include <cstring>

#include "desktop/ClipboardPaste.h"
#include "desktop/DibFile.h"
#include "inventory/ListingLimits.h"
#include "platform/Files.h"
#include "support/AddFixture.h"
#include "support/FakeWallpaper.h"
#include "support/StandInFaces.h"

namespace pictavo {
namespace {

using namespace pictavo::testing;

struct PasteRig : AddRig {
    FakeWallpaper wallpaper;
    StandInDesktopHost desktopHost{false, false};
    TDesktopWallpaper desktop{wallpaper, store, ui, desktopHost, desktopHost, "Pictavo"};
    TClipboardPaste paste{{adder, store, desktop, flags, ui}};
    ~PasteRig() {
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
    }
};

// A 40-byte-header bitmap of the given depth whose pixel bytes count up.
std::string TestDib(int width, int height, unsigned bits) {
    const size_t colours = bits <= 8 ? (size_t{1} << bits) : 0;
    const size_t masks = bits == 16 ? 12 : 0;
    std::string dib(sizeof(BITMAPINFOHEADER) + masks + colours * 4 +
                        static_cast<size_t>(DibPixelBytes(width, height, bits)),
                    '\0');
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bits);
    h->biCompression = bits == 16 ? BI_BITFIELDS : BI_RGB;
    size_t at = sizeof(BITMAPINFOHEADER);
    if (bits == 16) {
        const DWORD m[] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(dib.data() + at, m, sizeof(m));
    }
    for (size_t i = at + masks; i < dib.size(); ++i) dib[i] = static_cast<char>(i * 13 + 5);
    return dib;
}

void PutOnClipboard(UINT format, const std::string& bytes) {
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(::GlobalLock(memory), bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    ::SetClipboardData(format, memory);
    ::CloseClipboard();
}

TEST(ClipboardPaste, EachPasteBecomesTheNextClipboardFileListedAndAppliedUnpersisted) {
    PasteRig rig;
    const std::string dib = TestDib(7, -5, 24);  // top-down
    PutOnClipboard(CF_DIB, dib);
    rig.dialog.answers.push_back(Ok());
    rig.dialog.answers.push_back(Ok([](WallpaperOptionsState& s) { s.tile = false; }));
    rig.paste.mnuSetWallpaperfromClipboardClick();
    rig.paste.mnuSetWallpaperfromClipboardClick();

    ASSERT_EQ(rig.dialog.shown.size(), 2u);
    EXPECT_EQ(rig.dialog.shown[0].fromDir, "(Clipboard)");
    EXPECT_EQ(rig.dialog.shown[0].fileName, "v1 of Clipboard");
    EXPECT_EQ(rig.dialog.shown[1].fileName, "v2 of Clipboard");
    EXPECT_FALSE(rig.dialog.shown[0].copyModeEnabled);
    const std::string first = rig.data + "\\v1 of Clipboard.bmp";
    const std::string second = rig.data + "\\v2 of Clipboard.bmp";
    // The file holds the clipboard's bitmap unchanged, behind a file header.
    const std::string file = AddRig::Content(first);
    ASSERT_EQ(file.size(), 14 + dib.size());
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(file.substr(14 + 40), dib.substr(40));
    EXPECT_EQ(AddRig::Content(second), file);
    EXPECT_TRUE(rig.Record(first).Tile);
    EXPECT_FALSE(rig.Record(second).Tile);
    ASSERT_EQ(rig.wallpaper.calls.size(), 2u);
    EXPECT_EQ(LowerCase(rig.wallpaper.calls[1].path), LowerCase(second));
    EXPECT_EQ(rig.wallpaper.calls[1].fWinIni & SPIF_UPDATEINIFILE, 0u);  // not persisted
    EXPECT_EQ(rig.wallpaper.tileWallpaper, "0");
    EXPECT_FALSE(rig.flags.previewSuspended);
}

TEST(ClipboardPaste, EveryCommonDepthIsWrittenAsAFileThatLoads) {
    for (unsigned bits : {1u, 4u, 8u, 16u, 24u, 32u}) {
        for (int height : {6, -6}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, height " + std::to_string(height));
            PasteRig rig;
            PutOnClipboard(CF_DIB, TestDib(9, height, bits));
            const std::string path = rig.data + "\\pasted.bmp";
            ASSERT_TRUE(rig.paste.SaveClipboardBitmap(path));
            // The system reads the file back as a picture of the same size.
            HBITMAP loaded = static_cast<HBITMAP>(::LoadImageA(
                nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
            ASSERT_NE(loaded, nullptr);
            BITMAP info{};
            ::GetObjectA(loaded, sizeof(info), &info);
            EXPECT_EQ(info.bmWidth, 9);
            EXPECT_EQ(info.bmHeight, 6);
            ::DeleteObject(loaded);
        }
    }
}

TEST(ClipboardPaste, ANameTakenIsReplacedOnlyAfterTheOverwriteQuestion) {
    PasteRig rig;
    const std::string taken = AddRig::Put(rig.data + "\\taken.bmp", "earlier picture");
    PutOnClipboard(CF_DIB, TestDib(4, 4, 24));
    rig.dialog.answers.push_back(Ok([](WallpaperOptionsState& s) { s.fileName = "taken"; }));
    rig.dialog.answers.push_back(Cancel());
    rig.prompts.answers = {IDNO};
    rig.paste.mnuSetWallpaperfromClipboardClick();

    EXPECT_EQ(rig.prompts.shown,
              std::vector<std::string>{"Overwrite existing file " + taken + " ?"});
    EXPECT_EQ(rig.dialog.shown.size(), 2u);
    EXPECT_EQ(AddRig::Content(taken), "earlier picture");
    EXPECT_EQ(rig.store.Table().Count(), 0u);
    EXPECT_TRUE(rig.wallpaper.calls.empty());
}

TEST(ClipboardPaste, CancelOrABadBitmapWritesNoFileAndAFailedWriteKeepsTheEarlierFile) {
    PasteRig rig;
    PutOnClipboard(CF_DIB, TestDib(4, 4, 24));
    rig.dialog.answers.push_back(Cancel());
    rig.paste.mnuSetWallpaperfromClipboardClick();
    EXPECT_FALSE(AddRig::Exists(rig.data + "\\v1 of Clipboard.bmp"));

    // A header whose sizes wrap in 32 bits to something small.
    std::string absurd = TestDib(4, 4, 32);
    reinterpret_cast<BITMAPINFOHEADER*>(absurd.data())->biWidth = 0x40000001;
    PutOnClipboard(CF_DIB, absurd);
    rig.dialog.answers.push_back(Ok());
    rig.paste.mnuSetWallpaperfromClipboardClick();
    EXPECT_EQ(rig.ui.errors,
              (std::vector<std::string>{
                  "Cannot paste this picture from clipboard",
                  "Clipboard does not contain a valid bitmap.  File not saved."}));
    EXPECT_FALSE(AddRig::Exists(rig.data + "\\v1 of Clipboard.bmp"));

    // A full disk while writing over an existing picture: it stays whole, nothing half-written.
    rig.ui.errors.clear();
    const std::string earlier = AddRig::Put(rig.data + "\\kept.bmp", "earlier picture");
    PutOnClipboard(CF_DIB, TestDib(64, 64, 24));
    {
        DiskFullAfterForTesting full(100);
        EXPECT_FALSE(rig.paste.SaveClipboardBitmap(earlier));
    }
    EXPECT_EQ(rig.ui.errors, std::vector<std::string>{"Cannot paste this picture from clipboard"});
    EXPECT_EQ(AddRig::Content(earlier), "earlier picture");
    WIN32_FIND_DATAA found{};
    HANDLE find = ::FindFirstFileA((rig.data + "\\*").c_str(), &found);
    std::vector<std::string> names;
    do {
        if (found.cFileName[0] != '.') names.push_back(found.cFileName);
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
    EXPECT_EQ(names, std::vector<std::string>{"kept.bmp"});
    EXPECT_EQ(rig.store.Table().Count(), 0u);
}

// The name is checked before the file is written: a refused record must not
// leave a picture behind in the data directory that the list does not know.
TEST(ClipboardPaste, ANameTooLongToListWritesNoFile) {
    PasteRig rig;
    PutOnClipboard(CF_DIB, TestDib(4, 4, 24));
    const std::string name(126, 'n');
    rig.dialog.answers.push_back(Ok([&](WallpaperOptionsState& s) { s.fileName = name; }));
    rig.paste.mnuSetWallpaperfromClipboardClick();

    EXPECT_EQ(rig.ui.errors, std::vector<std::string>{ListingRefusal(rig.data + "\\" + name + ".bmp")});
    EXPECT_FALSE(AddRig::Exists(rig.data + "\\" + name + ".bmp"));
    EXPECT_EQ(rig.store.Table().Count(), 0u);
    EXPECT_TRUE(rig.wallpaper.calls.empty());
}

// The tray menu answers while a batch runs (inside its dialog, between two
// files): a paste then is refused with a word, and the batch keeps its state.
TEST(ClipboardPaste, APasteWhileABatchRunsIsRefusedAndTheBatchKeepsItsChoices) {
    PasteRig rig;
    PutOnClipboard(CF_DIB, TestDib(4, 4, 24));
    const std::vector<std::string> files = {AddRig::Put(rig.pics + "\\a.bmp"),
                                            AddRig::Put(rig.pics + "\\b.bmp")};
    rig.dialog.answers.push_back(Ok([&](WallpaperOptionsState&) {
        rig.paste.mnuSetWallpaperfromClipboardClick();
    }));
    rig.dialog.answers.push_back(Ok());
    rig.progress.onPosition = [&](int position) {
        if (position == 0) rig.paste.mnuSetWallpaperfromClipboardClick();
    };
    rig.adder.AddPictureFiles(files, false);

    const std::string busy =
        "Pictavo is busy adding pictures. Please paste the wallpaper again when it is done.";
    EXPECT_EQ(rig.ui.errors, (std::vector<std::string>{busy, busy}));
    ASSERT_EQ(rig.dialog.shown.size(), 2u);
    EXPECT_TRUE(rig.dialog.shown[1].applyToAllEnabled);
    EXPECT_FALSE(AddRig::Exists(rig.data + "\\v1 of Clipboard.bmp"));
    EXPECT_TRUE(rig.Listed(files[0]));
    EXPECT_TRUE(rig.Listed(files[1]));

    // Once the batch is over, the paste works again.
    rig.dialog.answers.push_back(Ok());
    rig.paste.mnuSetWallpaperfromClipboardClick();
    EXPECT_TRUE(rig.Listed(rig.data + "\\v1 of Clipboard.bmp"));
}

}  // namespace
}  // namespace pictavo
