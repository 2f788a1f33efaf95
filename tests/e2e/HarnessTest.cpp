// The harness's own promises, shown on message boxes of this test program.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "harness/Harness.h"

using namespace e2e;

namespace {

// Shows message boxes one after another on a thread of its own, as a program
// asks one question after another. Boxes a failed test leaves open are closed.
class BoxesInTurn {
public:
    explicit BoxesInTurn(std::vector<std::string> texts)
        : thread_([this, texts] {
              for (const std::string& text : texts) {
                  ::MessageBoxA(nullptr, text.c_str(), "Harness", MB_OK);
              }
              done_ = true;
          }) {}
    ~BoxesInTurn() {
        WaitFor([&] {
            for (HWND hwnd : TopLevelWindows(::GetCurrentProcessId())) {
                if (ClassOf(hwnd) == "#32770") ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
            }
            return done_.load();
        });
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

}  // namespace

TEST(Harness, APressedMessageBoxIsGoneBeforeTheNextWait) {
    BoxesInTurn boxes({"first", "second"});
    auto box = WaitForMessageBox(::GetCurrentProcessId());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "first");
    box->Press(IDOK);
    EXPECT_FALSE(::IsWindow(box->hwnd) && ::IsWindowVisible(box->hwnd));

    box = WaitForMessageBox(::GetCurrentProcessId());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "second");
    box->Press(IDOK);
}
