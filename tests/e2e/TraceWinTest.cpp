// The trace viewer tools\tracewin.exe, driven as Pictavo and a user would:
// records sent to its window, its --file output, its list and its commands.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <regex>
#include <string>
#include <vector>

#include "../../tools/tracewin/TraceWinCommands.h"
#include "platform/TraceRecord.h"
#include "harness/Harness.h"

using namespace e2e;

namespace {

// pictavo.exe sits at the top of the build tree, the tools beside it in tools\.
std::string TraceWinExe() {
    const std::string program = BuiltProgram();
    return program.substr(0, program.find_last_of('\\')) + "\\tools\\tracewin.exe";
}

// A started tracewin.exe. One still running at the end is killed, so a failed
// test leaves no viewer behind to catch the next test's trace lines.
class Viewer {
public:
    explicit Viewer(const std::string& arguments)
        : process_("\"" + TraceWinExe() + "\" " + arguments, folder_.Path()) {
        if (!process_.Started()) {
            throw std::runtime_error("cannot start " + TraceWinExe() +
                                     ": build the tracewin target");
        }
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // The viewer's window, found by its exact title among this process's windows
    // (not by FindWindowA alone: a test's own trace collector has the same title),
    // once it has its list: the window is found while it is still being created.
    HWND Window() {
        if (window_) return window_;
        WaitFor([&] {
            for (HWND hwnd : TopLevelWindows(process_.ProcessId())) {
                if (Caption(hwnd) == pictavo::kTraceWindowTitle &&
                    ::FindWindowExA(hwnd, nullptr, "ListBox", nullptr)) {
                    window_ = hwnd;
                }
            }
            return window_ != nullptr;
        });
        return window_;
    }
    HWND List() { return ::FindWindowExA(Window(), nullptr, "ListBox", nullptr); }

    std::optional<MessageBoxWindow> WaitForMessageBox() const {
        return e2e::WaitForMessageBox(process_.ProcessId());
    }

    bool WaitForExit(Duration deadline = kDeadline) const { return process_.Ended(deadline); }
    DWORD ExitCode() const { return process_.ExitCode(); }
    bool Close() {
        ::PostMessageA(Window(), WM_CLOSE, 0, 0);
        return WaitForExit() && ExitCode() == 0;
    }
    void Command(tracewin::Command id) {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(Window(), WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    }

    const TempFolder& Folder() const { return folder_; }

private:
    TempFolder folder_;
    ChildProcess process_;
    HWND window_ = nullptr;
};

// A sender handle no real window has, easy to spot in the output.
const HWND kSender = reinterpret_cast<HWND>(0x00C0FFEE);
constexpr char kSenderHex[] = "00C0FFEE";

// Sends bytes as Pictavo sends a record; returns the viewer's answer.
LRESULT SendRaw(HWND viewer, ULONG_PTR id, const void* data, DWORD size, HWND sender = kSender) {
    COPYDATASTRUCT copy{};
    copy.dwData = id;
    copy.cbData = size;
    copy.lpData = const_cast<void*>(data);
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(viewer, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                               reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 10000, &answer)) {
        ADD_FAILURE() << "the viewer did not answer";
    }
    return static_cast<LRESULT>(answer);
}

LRESULT Send(HWND viewer, const std::string& text) {
    const pictavo::TraceRecord record = pictavo::BuildTraceRecord(text);
    return SendRaw(viewer, pictavo::kTraceCopyDataId, record.data(), record.size());
}

std::vector<std::string> SplitLines(const std::string& content) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(content.substr(start, end - start));
    }
    EXPECT_EQ(start, content.size()) << "the last line has no line end";
    return lines;
}

struct Line {
    int msOfDay;
    std::string sender;
    std::string text;
};

std::optional<Line> Parse(const std::string& line) {
    static const std::regex format(R"(^(\d\d):(\d\d):(\d\d)\.(\d\d\d)  \[([0-9A-F]{8})\]  (.*)$)");
    std::smatch m;
    if (!std::regex_match(line, m, format)) return std::nullopt;
    const int h = std::stoi(m[1]), min = std::stoi(m[2]), s = std::stoi(m[3]), ms = std::stoi(m[4]);
    if (h > 23 || min > 59 || s > 59) return std::nullopt;
    return Line{((h * 60 + min) * 60 + s) * 1000 + ms, m[5], m[6]};
}

// The texts of viewer output lines; every line must carry our sender.
std::vector<std::string> Texts(const std::string& content) {
    std::vector<std::string> texts;
    for (const std::string& line : SplitLines(content)) {
        std::optional<Line> parsed = Parse(line);
        if (!parsed) {
            ADD_FAILURE() << "malformed line: " << line;
            continue;
        }
        EXPECT_EQ(parsed->sender, kSenderHex) << line;
        texts.push_back(parsed->text);
    }
    return texts;
}

int NowMsOfDay() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return "<clipboard busy>";
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (auto* chars = static_cast<const char*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

int Count(HWND list) { return static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); }
// The list catches up with the received lines a moment after them.
bool Shows(HWND list, int lines) {
    return WaitFor([&] { return Count(list) == lines; });
}
int Top(HWND list) { return static_cast<int>(::SendMessageA(list, LB_GETTOPINDEX, 0, 0)); }
bool LastLineVisible(HWND list) {
    RECT client{};
    ::GetClientRect(list, &client);
    const int rows = client.bottom / static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    return Top(list) + rows >= Count(list);
}

}  // namespace

TEST(TraceWin, ShowsEachRecordAsOneLineAndIgnoresOthers) {
    TempFolder temp;
    const std::string log = temp / "trace.log";
    Viewer viewer("--file \"" + log + "\"");
    HWND window = viewer.Window();
    ASSERT_NE(window, nullptr);

    const auto record = [](const std::string& text) {
        const pictavo::TraceRecord r = pictavo::BuildTraceRecord(text);
        return std::vector<uint8_t>(r.begin(), r.end());
    };
    // A length byte of 3 in front of longer text: only the length byte counts.
    std::vector<uint8_t> shortened = record("abcdefghij");
    shortened[0] = 3;
    std::vector<uint8_t> tooShort = record("wrapped"), tooLong = record("wrapped");
    tooShort.pop_back();
    tooLong.push_back(0);
    const std::string longText(300, 'x');
    const ULONG_PTR id = pictavo::kTraceCopyDataId;
    const struct Case {
        const char* what;
        ULONG_PTR id;
        std::vector<uint8_t> bytes;
        std::optional<std::string> shown;  // none: refused
    } cases[] = {
        {"empty text", id, record(""), ""},
        {"plain text", id, record("FrmTray.FormCreate"), "FrmTray.FormCreate"},
        // The integer 32 (a space) right after 255 characters must not show.
        {"300 characters", id, record(longText), longText.substr(0, 255)},
        {"line breaks", id, record("one\r\ntwo"), "one  two"},
        {"ANSI letters", id, record("caf\xE9 \xC4rger"), "caf\xE9 \xC4rger"},
        {"length byte", id, shortened, "abc"},
        {"other id", id + 1, record("wrapped"), std::nullopt},
        {"short record", id, tooShort, std::nullopt},
        {"long record", id, tooLong, std::nullopt},
        {"no data", id, {}, std::nullopt},
    };

    const int before = NowMsOfDay();
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LRESULT answer = SendRaw(window, c.id, c.bytes.empty() ? nullptr : c.bytes.data(),
                                       static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(answer, c.shown ? TRUE : FALSE);
        if (c.shown) expected.push_back(*c.shown);
    }
    const int after = NowMsOfDay();

    // Read while the viewer runs: each line is in the file as soon as it is answered.
    const std::string content = ReadFile(log);
    EXPECT_EQ(Texts(content), expected);
    EXPECT_TRUE(Shows(viewer.List(), static_cast<int>(expected.size())));
    if (before <= after) {  // not across midnight
        for (const std::string& line : SplitLines(content)) {
            std::optional<Line> parsed = Parse(line);
            ASSERT_TRUE(parsed);
            EXPECT_GE(parsed->msOfDay, before) << line;
            EXPECT_LE(parsed->msOfDay, after) << line;
        }
    }

    // What the window shows is what the file holds.
    viewer.Command(tracewin::idCopyAll);
    EXPECT_EQ(ClipboardText(), content);

    EXPECT_TRUE(viewer.Close());
    EXPECT_EQ(ReadFile(log), content);
}

TEST(TraceWin, KeepsTheNewestLinesUpToTheLimitAndClears) {
    TempFolder temp;
    const std::string log = temp / "trace.log";
    Viewer viewer("--max-lines 5 --file \"" + log + "\"");
    HWND window = viewer.Window();
    ASSERT_NE(window, nullptr);
    for (int i = 1; i <= 8; ++i) ASSERT_EQ(Send(window, "line " + std::to_string(i)), TRUE);

    EXPECT_TRUE(Shows(viewer.List(), 5));
    viewer.Command(tracewin::idCopyAll);
    EXPECT_EQ(Texts(ClipboardText()),
              (std::vector<std::string>{"line 4", "line 5", "line 6", "line 7", "line 8"}));

    viewer.Command(tracewin::idClear);
    EXPECT_EQ(Count(viewer.List()), 0);
    ASSERT_EQ(Send(window, "after clear"), TRUE);
    EXPECT_TRUE(Shows(viewer.List(), 1));
    viewer.Command(tracewin::idCopyAll);
    EXPECT_EQ(Texts(ClipboardText()), std::vector<std::string>{"after clear"});

    // The file keeps everything: the limit and clearing are for the window.
    EXPECT_EQ(Texts(ReadFile(log)).size(), 9u);
    EXPECT_TRUE(viewer.Close());
}

TEST(TraceWin, FollowsTheNewestLineUnlessScrolledUp) {
    Viewer viewer("");
    HWND window = viewer.Window();
    ASSERT_NE(window, nullptr);
    HWND list = viewer.List();
    ASSERT_NE(list, nullptr);
    for (int i = 1; i <= 100; ++i) ASSERT_EQ(Send(window, "line " + std::to_string(i)), TRUE);
    ASSERT_TRUE(Shows(list, 100));
    EXPECT_GT(Top(list), 0);
    EXPECT_TRUE(LastLineVisible(list));

    // A reader further up keeps their place.
    ::SendMessageA(list, LB_SETTOPINDEX, 10, 0);
    ASSERT_EQ(Send(window, "while reading"), TRUE);
    ASSERT_TRUE(Shows(list, 101));
    EXPECT_EQ(Top(list), 10);
    EXPECT_FALSE(LastLineVisible(list));

    // Back at the bottom, the list follows again.
    ::SendMessageA(list, LB_SETTOPINDEX, Count(list) - 1, 0);
    ASSERT_EQ(Send(window, "back at the bottom"), TRUE);
    ASSERT_TRUE(Shows(list, 102));
    EXPECT_TRUE(LastLineVisible(list));
    EXPECT_TRUE(viewer.Close());
}

TEST(TraceWin, EmptiesTheFileUnlessAppending) {
    struct Case {
        const char* what;
        const char* append;
        std::optional<std::string> before;  // none: no file yet
        std::string kept;                   // what remains ahead of the new line
    } cases[] = {
        {"truncates", "", "old line\r\n", ""},
        {"appends", " --append", "old line\r\n", "old line\r\n"},
        {"ends an unfinished line", " --append", "old line", "old line\r\n"},
        {"creates", " --append", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder temp;
        const std::string log = temp / "trace.log";
        if (c.before) WriteFile(log, *c.before);
        Viewer viewer("--file \"" + log + "\"" + c.append);
        ASSERT_NE(viewer.Window(), nullptr);
        ASSERT_EQ(Send(viewer.Window(), "new line"), TRUE);
        const std::string content = ReadFile(log);
        ASSERT_EQ(content.substr(0, c.kept.size()), c.kept);
        EXPECT_EQ(Texts(content.substr(c.kept.size())), std::vector<std::string>{"new line"});
        EXPECT_TRUE(viewer.Close());
    }
}

TEST(TraceWin, ExplainsItsArguments) {
    TempFolder temp;
    struct Case {
        std::string arguments;
        DWORD exitCode;
        std::string message;
    } cases[] = {
        {"--help", 0, "Usage:\ntracewin.exe [--file PATH [--append]] [--max-lines N]"},
        {"--bogus", 2, "Unknown argument: --bogus"},
        {"--file", 2, "--file needs a path."},
        {"--append", 2, "--append needs --file."},
        {"--max-lines 0", 2, "--max-lines needs a number from 1 to 1000000"},
        {"--max-lines 12x", 2, "--max-lines needs a number from 1 to 1000000"},
        {"--file a.log --file b.log", 2, "--file is given twice."},
        {"--file \"" + (temp / "missing\\trace.log") + "\"", 1, "Cannot open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Viewer viewer(c.arguments);
        std::optional<MessageBoxWindow> box = viewer.WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, "tracewin");
        EXPECT_NE(box->text.find(c.message), std::string::npos) << box->text;
        // A wrong start shows how to start it right.
        if (c.exitCode == 2) {
            EXPECT_NE(box->text.find("Usage:"), std::string::npos);
        }
        box->Press(IDOK);
        ASSERT_TRUE(viewer.WaitForExit());
        EXPECT_EQ(viewer.ExitCode(), c.exitCode);
    }
}
