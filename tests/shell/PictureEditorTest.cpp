// The picture editor started for real: a stand-in program registered as the
// editor records how it was started.
#include <gtest/gtest.h>

#include "shell/PictureEditor.h"
#include "support/AddFixture.h"
#include "support/CommandRecorder.h"
#include "support/TempDir.h"

namespace pictavo {
namespace {

using testing::CommandRecorder;

struct FakeEditorSettings final : IEditorSettings {
    bool useDefault = false;
    std::string editor;
    bool UseDefaultEditor() const override { return useDefault; }
    std::string SelectedEditor() const override { return editor; }
    void SetSelectedEditor(const std::string& program) override { editor = program; }
};

// A file that is removed again, wherever it was put.
struct ScratchFile {
    std::string path;
    explicit ScratchFile(std::string p) : path(std::move(p)) { testing::AddRig::Put(path); }
    ~ScratchFile() { ::DeleteFileA(path.c_str()); }
};

TEST(PictureEditor, OtherEditorGetsTheWholePathAsOneArgument) {
    testing::TempDir dir;
    ::CreateDirectoryA((dir / "My Pics").c_str(), nullptr);
    const ScratchFile inFolder(dir / "My Pics\\my cat.bmp");
    // A drive root: the folder "c:" alone would be the drive's current folder.
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string drive = LowerCase(std::string(windows, 2));
    const ScratchFile inRoot(drive + "\\pictavo editor test.bmp");

    const struct {
        std::string folder, name, startFolder;
    } cases[] = {
        {LowerCase(dir / "My Pics"), "my cat.bmp", LowerCase(dir / "My Pics")},
        {drive, "pictavo editor test.bmp", drive + "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + "\\" + c.name);
        CommandRecorder recorder(dir / "picture editor.exe");
        ASSERT_TRUE(recorder.Copied());
        testing::RecordingUserInterface ui;
        FakeEditorSettings settings;
        settings.editor = recorder.Path();
        TPictureEditor editor(ui, settings, windows);

        editor.EditPicture(c.folder, c.name);

        const auto started = recorder.WaitForStart();
        ASSERT_TRUE(started) << "the editor was not started";
        EXPECT_EQ(started->args, std::vector<std::string>{c.folder + "\\" + c.name})
            << started->commandLine;
        EXPECT_EQ(LowerCase(started->folder), c.startFolder);
        EXPECT_TRUE(ui.errors.empty());
    }
}

TEST(PictureEditor, AnEditorThatCannotBeStartedIsReported) {
    testing::TempDir dir;
    testing::RecordingUserInterface ui;
    FakeEditorSettings settings;
    settings.editor = dir / "no such editor.exe";
    TPictureEditor editor(ui, settings, dir.Path());
    editor.EditPicture(LowerCase(dir.Path()), "sky.bmp");
    EXPECT_EQ(ui.errors, std::vector<std::string>{
                             "Unable to Edit.  Error 2.  Try removing spaces from file name."});
}

}  // namespace
}  // namespace pictavo
