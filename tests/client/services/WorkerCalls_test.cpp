// Workers started on a window's thread manager hand their results back through
// the window's call queue; a real native window on this thread receives them.
#include "DispatchWindow.h"
#include "services/MsgDispatch.h"
#include "ScratchFolder.h"
#include "services/WindowCalls.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace {
// Calls that ran on any probe window, also after that window was destroyed.
std::atomic<int> g_callsRun{0};

// A native window that owns a thread manager and receives worker results as a
// client window does: its destructor stops the workers first.
class CProbeWnd : public CMsgDispatch<CProbeWnd>
{
public:
    // The workers stop before the window goes.
    ~CProbeWnd() override { m_threads.TerminateAll(); }

    HWND GetWindowHandle() const { return m_window.Handle(); }
    CWindowMultiThreadManager& Threads() { return m_threads; }

    // Handlers; the first parameter names a worker, the second its sequence.
    void OnResult(UINT_PTR worker, UINT_PTR sequence)
    {
        ++g_callsRun;
        m_handlerThreads.push_back(GetCurrentThreadId());
        if (worker >= m_received.size())
            m_received.resize(worker + 1);
        m_received[worker].push_back(sequence);
    }
    void OnChainStart(UINT_PTR, UINT_PTR)
    {
        m_order.push_back(1);
        PostMsg(GetWindowHandle(), &CProbeWnd::OnChainEnd, 0, 0);
    }
    void OnChainMiddle(UINT_PTR, UINT_PTR) { m_order.push_back(2); }
    // Adopts both parameters as heap payloads, as a real handler does.
    void OnPayloads(UINT_PTR first, UINT_PTR second);
    void OnChainEnd(UINT_PTR, UINT_PTR) { m_order.push_back(3); }

    std::vector<std::vector<UINT_PTR>> m_received;
    std::vector<DWORD> m_handlerThreads;
    std::vector<int> m_order;

private:
    CDispatchWindow m_window{[this] { DispatchMsgs(); }};
    CWindowMultiThreadManager m_threads;
};

// Runs this thread's message loop until the condition holds; the time limit
// only keeps a broken build from hanging.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 30000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    return true;
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; });
}

bool WaitUntilForgotten(CWindowMultiThreadManager& threads, DWORD threadId)
{
    return PumpUntil([&] { return threads.GetThreadProc(threadId) == nullptr; });
}

struct PosterParam
{
    CProbeWnd* window;
    UINT_PTR worker;
    int calls;
};

void PostCalls(void* param)
{
    std::unique_ptr<PosterParam> p(static_cast<PosterParam*>(param));
    for (int i = 0; i < p->calls; ++i) {
        p->window->PostMsg(p->window->GetWindowHandle(), &CProbeWnd::OnResult, p->worker, i);
        if (i % 16 == 0)
            Sleep(0);
    }
}
}  // namespace

TEST(WorkerCalls, EveryCallOfEightWorkersRunsOnceInOrderOnTheWindowThread)
{
    CProbeWnd window;
    ASSERT_NE(window.GetWindowHandle(), nullptr);
    const int kWorkers = 8, kCalls = 200;
    std::vector<DWORD> ids;
    for (int w = 0; w < kWorkers; ++w)
        ids.push_back(window.Threads().StartThread(&PostCalls, new PosterParam{&window, UINT_PTR(w), kCalls}));
    for (DWORD id : ids)
        ASSERT_NE(id, 0u);

    ASSERT_TRUE(PumpUntil([&] {
        size_t total = 0;
        for (const auto& calls : window.m_received)
            total += calls.size();
        return total == size_t(kWorkers * kCalls);
    }));
    for (DWORD id : ids)
        ASSERT_TRUE(WaitUntilForgotten(window.Threads(), id));
    // The later wake-ups of every post find the queue empty: no call runs twice.
    PumpFor(100);

    ASSERT_EQ(window.m_received.size(), size_t(kWorkers));
    std::vector<UINT_PTR> expected(kCalls);
    for (int i = 0; i < kCalls; ++i)
        expected[i] = i;
    for (int w = 0; w < kWorkers; ++w)
        EXPECT_EQ(window.m_received[w], expected) << "worker " << w;
    for (DWORD thread : window.m_handlerThreads)
        ASSERT_EQ(thread, GetCurrentThreadId());
}

TEST(WorkerCalls, HandlerPostingToItsOwnWindowRunsInTheSameDrainAfterEarlierCalls)
{
    CProbeWnd window;
    window.PostMsg(window.GetWindowHandle(), &CProbeWnd::OnChainStart, 0, 0);
    window.PostMsg(window.GetWindowHandle(), &CProbeWnd::OnChainMiddle, 0, 0);
    // One drain, without the message loop in between.
    window.DispatchMsgs();
    EXPECT_EQ(window.m_order, (std::vector<int>{1, 2, 3}));
}

namespace {
struct BusyParam
{
    CProbeWnd* window;
    std::atomic<int>* ended;
};

// Posts and logs until its window asks it to stop.
void PostUntilStopped(void* param)
{
    auto* p = static_cast<BusyParam*>(param);
    for (UINT_PTR i = 0; !CWindowMultiThreadManager::IsStopRequested(); ++i) {
        p->window->PostMsg(p->window->GetWindowHandle(), &CProbeWnd::OnResult, 0, i);
        WRITE_LOG(L"worker busy");
    }
    ++*p->ended;
}

// Sleeps far longer than any test runs unless stopped.
void WaitLong(void* param)
{
    auto* p = static_cast<BusyParam*>(param);
    CWindowMultiThreadManager::WaitForStop(INFINITE);
    ++*p->ended;
}
}  // namespace

namespace {
// A heap payload that counts the copies of its kind that were freed.
struct CountedPayload
{
    static inline int freed = 0;
    ~CountedPayload() { ++freed; }
};
}  // namespace

void CProbeWnd::OnPayloads(UINT_PTR first, UINT_PTR second)
{
    std::unique_ptr<CountedPayload> firstPayload(reinterpret_cast<CountedPayload*>(first));
    std::unique_ptr<CountedPayload> secondPayload(reinterpret_cast<CountedPayload*>(second));
    m_order.push_back(4);
}

TEST(WorkerCalls, EveryHeapPayloadIsFreedOnceWhetherItsCallRunsOrNot)
{
    CountedPayload::freed = 0;
    auto window = std::make_unique<CProbeWnd>();
    QueueCall(window.get(), &CProbeWnd::OnPayloads, std::make_unique<CountedPayload>(), 0);
    QueueCall(window.get(), &CProbeWnd::OnPayloads, 0, std::make_unique<CountedPayload>());
    ASSERT_TRUE(PumpUntil([&] { return window->m_order.size() == 2; }));
    EXPECT_EQ(CountedPayload::freed, 2) << "handlers that ran freed what they adopted";

    // Queued, never drained: the window goes before its thread looks at messages.
    QueueCall(window.get(), &CProbeWnd::OnPayloads, std::make_unique<CountedPayload>(), 0);
    QueueCall(window.get(), &CProbeWnd::OnPayloads, std::make_unique<CountedPayload>(),
              std::make_unique<CountedPayload>());
    QueueWithSecond(window.get(), &CProbeWnd::OnPayloads, 0, CountedPayload());
    const int queuedCopies = 4;
    const int freedBefore = CountedPayload::freed;
    window.reset();
    EXPECT_EQ(CountedPayload::freed - freedBefore, queuedCopies) << "calls that never ran freed their payloads";

    // No window to queue on: freed at once.
    const int freedWithoutWindow = CountedPayload::freed;
    EXPECT_FALSE(QueueCall(static_cast<CProbeWnd*>(nullptr), &CProbeWnd::OnPayloads, std::make_unique<CountedPayload>(),
                           std::make_unique<CountedPayload>()));
    EXPECT_EQ(CountedPayload::freed - freedWithoutWindow, 2);
}

TEST(WorkerCalls, DestroyingTheWindowStopsItsWorkersAndNoHandlerRunsAfterwards)
{
    ScratchFolder folder;
    g_logFile.SetLogPath(folder.File(L"log.txt"), 1024);
    std::atomic<int> ended{0};
    auto window = std::make_unique<CProbeWnd>();
    BusyParam param{window.get(), &ended};
    for (int w = 0; w < 4; ++w)
        window->Threads().StartThread(&PostUntilStopped, &param);
    window->Threads().StartThread(&WaitLong, &param);
    const int before = g_callsRun;
    ASSERT_TRUE(PumpUntil([&] { return g_callsRun - before > 100; }));

    window.reset();
    EXPECT_EQ(ended, 5) << "every worker has returned once the window is gone";
    const int atDestruction = g_callsRun;
    PumpFor(300);
    EXPECT_EQ(g_callsRun, atDestruction) << "no queued call ran after the window went";
    // No worker left the log's lock held.
    WRITE_LOG(L"after the window");
    g_logFile.SetLogPath(L"", 1024);
}

namespace {
struct Registration
{
    CWindowMultiThreadManager* threads;
    CWindowMultiThreadManager::ThreadProc procSeen = nullptr;
    void* paramSeen = nullptr;
};

void LookUpOwnEntries(void* param)
{
    auto* r = static_cast<Registration*>(param);
    r->procSeen = r->threads->GetThreadProc(GetCurrentThreadId());
    r->paramSeen = r->threads->GetThreadParam(GetCurrentThreadId());
}

void NeverRuns(void*) { ADD_FAILURE() << "a stopped manager started a worker"; }
}  // namespace

TEST(ThreadManager, WorkersFindTheirOwnEntriesAndAreForgottenWhenTheyReturn)
{
    CWindowMultiThreadManager threads;
    Registration first{&threads}, second{&threads};
    const DWORD firstId = threads.StartThread(&LookUpOwnEntries, &first);
    ASSERT_TRUE(WaitUntilForgotten(threads, firstId));
    const DWORD secondId = threads.StartThread(&LookUpOwnEntries, &second);
    ASSERT_TRUE(WaitUntilForgotten(threads, secondId));

    EXPECT_NE(firstId, secondId);
    EXPECT_EQ(first.procSeen, &LookUpOwnEntries);
    EXPECT_EQ(first.paramSeen, &first);
    EXPECT_EQ(second.paramSeen, &second);
    EXPECT_EQ(threads.GetThreadParam(firstId), nullptr);
    EXPECT_EQ(threads.GetThreadParam(secondId), nullptr);
}

TEST(ThreadManager, StoppedManagerStartsNothingAndOutsideWorkersAreNeverStopped)
{
    CWindowMultiThreadManager threads;
    threads.TerminateAll();  // nothing registered: returns at once
    EXPECT_EQ(threads.StartThread(&NeverRuns, nullptr), 0u);
    Sleep(50);

    // The stop request belongs to the manager's own workers only.
    EXPECT_FALSE(CWindowMultiThreadManager::IsStopRequested());
    EXPECT_EQ(CWindowMultiThreadManager::GetStopEvent(), nullptr);
    EXPECT_FALSE(CWindowMultiThreadManager::WaitForStop(1));
}
