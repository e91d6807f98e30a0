// A paint manager entered from a thread other than its window's stops the
// test build at that entry, with a report naming it and both threads; its own
// thread, whichever that is, passes.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "ManagedWindow.h"

using namespace CalUI;

namespace {

// Each statement runs in a child process that GoogleTest starts from this
// program; the child must stop with the report on stderr.
TEST(ThreadCheckDeathTest, EntriesReachedOffTheWindowsThreadStop)
{
    struct Entry
    {
        const char* report;
        std::function<void(CWindowManagerUI&)> call;
    };
    const Entry entries[] = {
        {"paint manager message handler",
         [](CWindowManagerUI& manager) {
             LRESULT result = 0;
             manager.HandleWindowMessage(WM_NULL, 0, 0, result);
         }},
        {"paint manager loop filter",
         [](CWindowManagerUI& manager) {
             LRESULT result = 0;
             manager.FilterLoopMessage(WM_KEYDOWN, VK_TAB, 0, result);
         }},
        {"paint manager accelerators",
         [](CWindowManagerUI& manager) {
             MSG msg = {};
             manager.TranslateAccelerators(&msg);
         }},
    };
    for (const Entry& entry : entries) {
        SCOPED_TRACE(entry.report);
        EXPECT_DEATH(
            {
                ManagedWindow window;
                std::thread other([&] { entry.call(window.manager); });
                other.join();
            },
            std::string(entry.report) + " entered on thread \\d+, not on its window's thread \\d+");
    }
}

// The check compares with the window's own thread, not the program's first
// one: a window made and driven on a worker thread runs freely there, and a
// message another thread sends it is handled on that same worker thread.
TEST(ThreadCheck, AWindowOnAWorkerThreadIsDrivenFromThere)
{
    bool handled = false;
    std::thread worker([&] {
        ManagedWindow window;
        window.Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
        std::atomic<bool> sent{false};
        std::thread sender([&] {
            ::SendMessageW(window.GetWindowHandle(), WM_NULL, 0, 0);
            sent = true;
        });
        handled = window.PumpUntil([&] { return sent.load(); });
        sender.join();
    });
    worker.join();
    EXPECT_TRUE(handled);
}

}  // namespace
