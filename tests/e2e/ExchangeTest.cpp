// Picture lists between two installations, files dropped on the main window
// from outside the program, and wallpaper pasted from the clipboard: the real
// program, driven as a user and the shell would.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>

#include "harness/Desktop.h"
#include "harness/Harness.h"
#include "inventory/TableFile.h"
#include "preview/PreviewPage.h"
#include "support/PictureFiles.h"

using namespace e2e;

namespace {

std::string TextOf(HWND control) {
    char text[1024] = {};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                          SMTO_NORMAL, 5000, &result);
    return text;
}

std::vector<HWND> Edits(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) WINAPI -> BOOL {
            if (ClassOf(hwnd) == "Edit") reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The "Add Wallpaper" dialog once its name box offers the name; null when it
// did not, so that a caller's ASSERT stops before it reads the dialog's boxes.
HWND WaitForAddDialog(const Program& program, const std::string& proposedName) {
    HWND dialog = nullptr;
    const bool offered = WaitFor([&] {
        dialog = WaitForWindow(program, "TfrmItemInfo", "Add Wallpaper", 1s);
        if (!dialog) return false;
        std::vector<HWND> edits = Edits(dialog);
        return edits.size() == 2 && TextOf(edits[1]) == proposedName;
    });
    return offered ? dialog : nullptr;
}

void Tick(HWND dialog, const std::string& caption) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(FindChildByText(dialog, caption), BM_CLICK, 0, 0, SMTO_NORMAL, 5000,
                          &result);
}

// A drop as the shell makes it: the DROPFILES block written into the
// program's own memory, and WM_DROPFILES posted with its address.
void DropFiles(const Program& program, const std::vector<std::string>& names) {
    std::string block(sizeof(DROPFILES), '\0');
    for (const std::string& name : names) block += name + '\0';
    block += '\0';
    auto* header = reinterpret_cast<DROPFILES*>(block.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, program.ProcessId());
    ASSERT_NE(process, nullptr);
    void* remote = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE,
                                    PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ASSERT_TRUE(::WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
    ::CloseHandle(process);
    ::PostMessageA(program.MainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

// A program with its main window shown, nothing polling, and the given table.
void StartWith(Program& program, const pictavo::InventoryTable* table = nullptr) {
    program.QuietSettings();
    program.SetIni("AutoDetect", "Polling", "0");
    if (table) {
        ::CreateDirectoryA(program.DataDir().c_str(), nullptr);
        WriteFile(program.TablePath(), pictavo::SerializeTable(*table));
    }
    program.Start(":");
    ASSERT_TRUE(program.WaitUntilIdle());
}

const pictavo::InventoryRecord* Find(const pictavo::TableParseResult& saved, const std::string& path) {
    for (const auto& r : saved.Records) {
        if (Lower(r.Location + "\\" + r.FileName) == Lower(path)) return &r;
    }
    return nullptr;
}

// Keys as the user types them, into the window that has the keyboard.
void Type(WORD key, std::initializer_list<WORD> held) {
    for (WORD m : held) ::keybd_event(static_cast<BYTE>(m), 0, 0, 0);
    ::keybd_event(static_cast<BYTE>(key), 0, 0, 0);
    ::keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
    for (auto m = std::rbegin(held); m != std::rend(held); ++m)
        ::keybd_event(static_cast<BYTE>(*m), 0, KEYEVENTF_KEYUP, 0);
}

// Ctrl+Alt+Shift+F11 opens the Export Manager on the data directory; null when it did not.
HWND OpenExportManager(const Program& program) {
    HWND main = program.MainWindow();
    ::SetForegroundWindow(main);
    if (!WaitFor([&] { return ::GetForegroundWindow() == main; })) return nullptr;
    Type(VK_F11, {VK_CONTROL, VK_MENU, VK_SHIFT});
    return WaitForWindow(program, "TFrmExport", "Export Manager");
}

// "Export Files" pressed: the text of the message that ends the export, once
// it has been answered and the manager has closed; empty when none of that came.
std::string ExportFiles(const Program& program, HWND exporter) {
    if (!ClickButton(exporter, "Export Files")) return {};
    const auto box = program.WaitForMessageBox();
    if (!box || !box->Press(IDOK) || !WaitFor([&] { return !::IsWindow(exporter); })) return {};
    return box->text;
}

}  // namespace

TEST(Exchange, ExportFromOneInstallationAndDropTheListOnAnother) {
    // The first installation lists three pictures, one of them disabled and
    // one a JPEG, which travels as it is.
    Program from;
    const std::string pics = from.Folder() + "\\Pics";
    ::CreateDirectoryA(pics.c_str(), nullptr);
    pictavo::InventoryTable table;
    const struct {
        const char* name;
        bool enabled, tile;
    } pictures[] = {{"Sunset.bmp", true, true}, {"dawn.jpg", true, false}, {"Off.bmp", false, true}};
    unsigned char shade = 40;
    for (const auto& p : pictures) {
        WriteFile(pics + "\\" + p.name,
                  Lower(p.name).ends_with(".jpg")
                      ? pictavo::testing::EncodePicture(pictavo::testing::PictureFormat::Jpeg, 64,
                                                        48, 0x3060A0u)
                      : Bitmap(shade, 100, 200));
        shade += 70;
        pictavo::InventoryRecord record;
        record.Enabled = p.enabled;
        record.Tile = p.tile;
        record.FileName = p.name;
        record.Location = pics;
        table.Append(record);
    }
    StartWith(from, &table);
    HWND exporter = OpenExportManager(from);
    ASSERT_NE(exporter, nullptr);
    std::vector<HWND> edits = Edits(exporter);
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(TextOf(edits[0]), "pvo.pvi");
    EXPECT_EQ(TextOf(edits[1]), "Export1");
    SaveScreenshot("export-manager");
    EXPECT_EQ(ExportFiles(from, exporter), "Export Successful");

    const std::string exported = from.DataDir() + "\\Export1";
    EXPECT_EQ(ReadFile(exported + "\\pvo.pvi"), "\"dawn.jpg\",\"C\"\r\n\"Sunset.bmp\",\"T\"\r\n");
    EXPECT_EQ(ReadFile(exported + "\\Sunset.bmp"), ReadFile(pics + "\\Sunset.bmp"));
    EXPECT_EQ(ReadFile(exported + "\\dawn.jpg"), ReadFile(pics + "\\dawn.jpg"));
    EXPECT_FALSE(Exists(exported + "\\Off.bmp"));

    // The second installation takes the list dropped on its window. One copy
    // of the program runs at a time: the first ends.
    from.Shutdown();
    ASSERT_TRUE(from.WaitForExit());
    Program to;
    StartWith(to);
    EXPECT_TRUE(::GetWindowLongA(to.MainWindow(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    DropFiles(to, {exported + "\\pvo.pvi"});
    HWND dialog = WaitForAddDialog(to, "dawn");
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(FindChildByText(dialog, ".jpg"), nullptr);
    EXPECT_FALSE(::SendMessageA(FindChildByText(dialog, "&Tile"), BM_GETCHECK, 0, 0));
    Tick(dialog, "&Apply these options to all remaining files.");
    ASSERT_TRUE(ClickButton(dialog, "OK"));
    const auto saved = to.WaitForSavedList([](const auto& t) { return t.Records.size() == 2; });
    ASSERT_TRUE(saved) << to.SavedList().Records.size() << " pictures listed";
    const auto* dawn = Find(*saved, exported + "\\dawn.jpg");
    const auto* sunset = Find(*saved, exported + "\\Sunset.bmp");
    ASSERT_TRUE(dawn && sunset);
    EXPECT_FALSE(dawn->Tile);
    EXPECT_TRUE(sunset->Tile);
    EXPECT_FALSE(to.MessageBoxOpen());
}

// Every kind of picture is taken from a drop under its own name; one whose
// name lost characters to the code page is told, and the rest go on.
TEST(Exchange, DroppedJpegPngGifAndTiffAreListedAndALostNameIsTold) {
    using pictavo::testing::PictureFormat;
    Program program;
    StartWith(program);
    const std::string pics = program.Folder() + "\\Pics";
    ::CreateDirectoryA(pics.c_str(), nullptr);
    const struct {
        const char* name;
        PictureFormat format;
    } pictures[] = {{"photo.jpg", PictureFormat::Jpeg},
                    {"logo.png", PictureFormat::Png},
                    {"anim.gif", PictureFormat::Gif},
                    {"scan.TIFF", PictureFormat::Tiff}};
    std::vector<std::string> dropped = {pics + "\\caf?.jpg"};
    for (const auto& p : pictures) {
        dropped.push_back(pics + "\\" + p.name);
        pictavo::testing::WritePicture(dropped.back(), p.format, 40, 30, 0xC08020u);
    }

    DropFiles(program, dropped);
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Error: caf?.jpg cannot be added: its name holds characters that this "
                         "system's code page cannot show.");
    ASSERT_TRUE(box->Press(IDOK));
    HWND dialog = WaitForAddDialog(program, "photo");
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(FindChildByText(dialog, ".jpg"), nullptr);
    EXPECT_EQ(FindChildByText(dialog, ".bmp"), nullptr);
    Tick(dialog, "&Apply these options to all remaining files.");
    ASSERT_TRUE(ClickButton(dialog, "OK"));

    const auto saved =
        program.WaitForSavedList([](const auto& t) { return t.Records.size() == 4; });
    ASSERT_TRUE(saved) << program.SavedList().Records.size() << " pictures listed";
    for (const auto& p : pictures) EXPECT_TRUE(Find(*saved, pics + "\\" + p.name)) << p.name;
    EXPECT_FALSE(program.MessageBoxOpen());
}

TEST(Exchange, DroppedPictureComesBeforeTheListAndNoListLineReachesOutside) {
    Program program;
    StartWith(program);
    const std::string lists = program.Folder() + "\\Lists";
    ::CreateDirectoryA(lists.c_str(), nullptr);
    const std::string outside = program.Folder() + "\\x.bmp";
    WriteFile(outside, Bitmap(10, 20, 30));
    WriteFile(lists + "\\listed.bmp", Bitmap(30, 20, 10));
    WriteFile(lists + "\\LIST.PVI", "\"..\\x.bmp\",\"T\"\r\n\"listed.bmp\",\"C\"\r\n");
    // A dropped picture whose path has 150 characters; its first 126 name another picture.
    const std::string cut =
        program.Folder() + "\\" + std::string(126 - program.Folder().size() - 5, 'a') + ".bmp";
    ASSERT_EQ(cut.size(), 126u);
    WriteFile(cut, Bitmap(1, 2, 3));
    const std::string longName = cut + std::string(20, 'z') + ".bmp";
    ASSERT_EQ(longName.size(), 150u);
    WriteFile(longName, Bitmap(3, 2, 1));
    const std::string longStem =
        longName.substr(program.Folder().size() + 1, longName.size() - program.Folder().size() - 5);

    // The list is dropped first, yet the picture is added first.
    DropFiles(program, {lists + "\\LIST.PVI", longName});
    HWND dialog = WaitForAddDialog(program, longStem);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ClickButton(dialog, "OK"));
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "File not found to import: ..\\x.bmp");
    ASSERT_TRUE(box->Press(IDOK));
    dialog = WaitForAddDialog(program, "listed");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ClickButton(dialog, "OK"));

    const auto saved =
        program.WaitForSavedList([](const auto& t) { return t.Records.size() == 2; });
    ASSERT_TRUE(saved) << program.SavedList().Records.size() << " pictures listed";
    EXPECT_TRUE(Find(*saved, longName));
    EXPECT_FALSE(Find(*saved, outside));
    EXPECT_FALSE(Find(*saved, cut));
    EXPECT_TRUE(Exists(outside));
    const auto* listed = Find(*saved, lists + "\\listed.bmp");
    ASSERT_TRUE(listed);
    EXPECT_FALSE(listed->Tile);
}

namespace {

// Opens the tray menu and presses the key; Escape closes it if the key did not.
void PressInTrayMenu(HWND icon, char key, const char* screenshot = nullptr) {
    ::PostMessageA(icon, WM_USER + 1, 1, WM_RBUTTONUP);
    ASSERT_TRUE(WaitFor(MenuOpen));
    if (screenshot) SaveScreenshot(screenshot);
    ::PostMessageA(icon, WM_CHAR, key, 0);
    ::PostMessageA(icon, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([] { return !MenuOpen(); }));
}

void PutOnClipboard(UINT format, const std::string& bytes) {
    ASSERT_TRUE(WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(::GlobalLock(memory), bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    ::SetClipboardData(format, memory);
    ::CloseClipboard();
}

void EmptyTheClipboard() {
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

}  // namespace

TEST(Exchange, ClipboardBitmapBecomesNumberedClipboardFilesAndTextGreysTheItem) {
    Program program;
    StartWith(program);
    HWND icon = TrayIconWindow(program);
    ASSERT_NE(icon, nullptr);
    // The bitmap of a test picture, without its file header, as CF_DIB.
    const std::string picture = Bitmap(200, 50, 25);
    const std::string dib = picture.substr(14);
    PutOnClipboard(CF_DIB, dib);

    for (const std::string name : {"v1 of Clipboard", "v2 of Clipboard"}) {
        PressInTrayMenu(icon, 'p');
        HWND dialog = WaitForAddDialog(program, name);
        ASSERT_NE(dialog, nullptr) << name;
        EXPECT_EQ(TextOf(Edits(dialog)[0]), "(Clipboard)");
        ASSERT_TRUE(ClickButton(dialog, "OK"));
        // The paste has ended once the caption names its picture, the last
        // thing it does. Applying the wallpaper lets waiting messages run, so
        // a menu opened before then would paste again in the middle of it.
        ASSERT_TRUE(WaitFor([&] {
            return Caption(program.MainWindow()) == name + ".bmp - Pictavo";
        })) << Caption(program.MainWindow());
        const std::string path = program.DataDir() + "\\" + name + ".bmp";
        // The same picture: the same bitmap behind a file header.
        ASSERT_EQ(ReadFile(path).size(), picture.size()) << path;
        EXPECT_EQ(ReadFile(path).substr(14 + 40), picture.substr(14 + 40));
    }
    const auto saved =
        program.WaitForSavedList([](const auto& t) { return t.Records.size() == 2; });
    ASSERT_TRUE(saved) << program.SavedList().Records.size() << " pictures listed";
    EXPECT_TRUE(Find(*saved, program.DataDir() + "\\v2 of Clipboard.bmp"));

    // Cancel writes nothing.
    PressInTrayMenu(icon, 'p');
    HWND dialog = WaitForAddDialog(program, "v3 of Clipboard");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ClickButton(dialog, "Cancel"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));

    // Text on the clipboard: the item is greyed and pressing its key does nothing.
    PutOnClipboard(CF_TEXT, std::string("not a picture") + '\0');
    PressInTrayMenu(icon, 'p', "tray-menu-text-on-clipboard");
    // A later bitmap paste is the next question the program asks.
    PutOnClipboard(CF_DIB, dib);
    PressInTrayMenu(icon, 'p');
    dialog = WaitForAddDialog(program, "v3 of Clipboard");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ClickButton(dialog, "Cancel"));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));
    EXPECT_FALSE(Exists(program.DataDir() + "\\v3 of Clipboard.bmp"));
    EXPECT_FALSE(program.MessageBoxOpen());
    EmptyTheClipboard();
}

// At code page 932 a character's second byte can be 0x5C, the backslash: the
// folder 発表 (0x94 0xAD 0x95 0x5C) ends in it. Pictures dropped from there and
// confirmed with "Leave" and the proposed name, the second for all remaining
// files, stay where they are and are listed there. The test runs at code page
// 932 and so does the program it starts.
TEST(CodePage932, LeaveKeepsDroppedPicturesInTheirDoubleByteFolder) {
    ASSERT_EQ(::GetACP(), 932u) << "the test must run with LC_ALL=ja_JP.UTF-8";
    Program program;
    StartWith(program);
    const std::string folder = program.Folder() + "\\\x94\xad\x95\x5c";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::vector<std::string> pictures = {folder + "\\a.jpg", folder + "\\b.bmp",
                                               folder + "\\c.bmp"};
    pictavo::testing::WritePicture(pictures[0], pictavo::testing::PictureFormat::Jpeg, 40, 30,
                                   0x3060A0u);
    WriteFile(pictures[1], Bitmap(40, 80, 120));
    WriteFile(pictures[2], Bitmap(120, 80, 40));
    ASSERT_TRUE(Exists(pictures[0])) << "no Linux spelling for the name: is the locale there?";

    DropFiles(program, pictures);
    HWND dialog = WaitForAddDialog(program, "a");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(Edits(dialog)[0]), folder);
    ASSERT_TRUE(ClickButton(dialog, "OK"));
    dialog = WaitForAddDialog(program, "b");
    ASSERT_NE(dialog, nullptr);
    Tick(dialog, "&Apply these options to all remaining files.");
    ASSERT_TRUE(ClickButton(dialog, "OK"));

    const auto saved =
        program.WaitForSavedList([](const auto& t) { return t.Records.size() == 3; });
    ASSERT_TRUE(saved) << program.SavedList().Records.size() << " pictures listed";
    for (const std::string& picture : pictures) {
        EXPECT_TRUE(Exists(picture)) << picture;
        const auto* record = Find(*saved, picture);
        ASSERT_TRUE(record) << picture;
        EXPECT_EQ(record->Location, folder);
    }
    // Nothing beside the folder under a name joined to its last character.
    for (const char* name : {"a.jpg", "b.bmp", "c.bmp"})
        EXPECT_FALSE(Exists(folder + name)) << name;
    EXPECT_FALSE(program.MessageBoxOpen());
}

// The folder ソフト (0x83 0x5C ...) with 表.bmp (0x95 0x5C) and ポ.bmp (0x83
// 0x7C, a "|" as second byte): added from a drop, previewed, set as wallpaper,
// exported and imported into another installation under their own names.
TEST(CodePage932, ADoubleByteFolderGoesThroughAddPreviewSetExportAndImport) {
    ASSERT_EQ(::GetACP(), 932u) << "the test must run with LC_ALL=ja_JP.UTF-8";
    Program from;
    StartWith(from);
    const std::string folder = from.Folder() + "\\\x83\x5c\x83\x74\x83\x67";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string po = folder + "\\\x83\x7c.bmp", hyou = folder + "\\\x95\x5c.bmp";
    WriteFile(po, Bitmap(200, 60, 30));
    WriteFile(hyou, Bitmap(30, 60, 200));
    ASSERT_TRUE(Exists(hyou)) << "no Linux spelling for the name: is the locale there?";

    DropFiles(from, {po, hyou});
    HWND dialog = WaitForAddDialog(from, "\x83\x7c");
    ASSERT_NE(dialog, nullptr);
    Tick(dialog, "&Apply these options to all remaining files.");
    ASSERT_TRUE(ClickButton(dialog, "OK"));
    HWND main = from.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return FindChildByText(main, "2 Pictures in List"); }));
    const auto added = from.WaitForSavedList([](const auto& t) { return t.Records.size() == 2; });
    ASSERT_TRUE(added) << from.SavedList().Records.size() << " pictures listed";
    ASSERT_TRUE(Find(*added, po) && Find(*added, hyou));

    // The last one dropped is selected and previewed: its file is found.
    HWND page = FindChildByClass(main, "TPreviewPage");
    HWND message = FindChildByClass(page, "TPreviewMessage");
    HWND picture = FindChildByClass(page, "TPreviewPicture");
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(picture) && TextOf(message).empty(); }))
        << TextOf(message);
    // "Set as wallpaper" on the toolbar.
    ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(pictavo::TPreviewPage::idSetWallpaper, BN_CLICKED),
                   reinterpret_cast<LPARAM>(FindChildByClass(page, "ToolbarWindow32")));
    EXPECT_TRUE(WaitFor([&] { return DesktopValue("Wallpaper") == hyou; }))
        << DesktopValue("Wallpaper");
    EXPECT_TRUE(WaitFor([&] { return Caption(main) == "\x95\x5c.bmp - Pictavo"; }))
        << Caption(main);
    EXPECT_TRUE(WaitFor([&] { return FindChildByText(main, "2 Pictures in List"); }));

    HWND exporter = OpenExportManager(from);
    ASSERT_NE(exporter, nullptr);
    EXPECT_EQ(ExportFiles(from, exporter), "Export Successful");
    const std::string exported = from.DataDir() + "\\Export1";
    EXPECT_EQ(ReadFile(exported + "\\pvo.pvi"),
              "\"\x83\x7c.bmp\",\"T\"\r\n\"\x95\x5c.bmp\",\"T\"\r\n");
    EXPECT_EQ(ReadFile(exported + "\\\x95\x5c.bmp"), ReadFile(hyou));
    from.Shutdown();
    ASSERT_TRUE(from.WaitForExit());

    Program to;
    StartWith(to);
    DropFiles(to, {exported + "\\pvo.pvi"});
    dialog = WaitForAddDialog(to, "\x83\x7c");
    ASSERT_NE(dialog, nullptr);
    Tick(dialog, "&Apply these options to all remaining files.");
    ASSERT_TRUE(ClickButton(dialog, "OK"));
    const auto imported = to.WaitForSavedList([](const auto& t) { return t.Records.size() == 2; });
    ASSERT_TRUE(imported) << to.SavedList().Records.size() << " pictures listed";
    EXPECT_TRUE(Find(*imported, exported + "\\\x83\x7c.bmp"));
    EXPECT_TRUE(Find(*imported, exported + "\\\x95\x5c.bmp"));
    EXPECT_FALSE(to.MessageBoxOpen());
}
