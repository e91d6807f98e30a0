#pragma once
// The way worker results reach a window: a worker queues a call of one of the
// window's member functions and wakes the window, whose own thread then runs
// every queued call in order.
//
// The queue's rules:
// - A call's two parameters are plain values or heap payloads. A payload is
//   queued together with the function that frees it (WindowCalls.h makes the
//   pair from a unique_ptr): the call owns it until its handler runs, and the
//   handler adopts it into a unique_ptr as its first step.
// - A call that never runs frees its payloads: when there is no window to
//   queue it on, at once; when the window object goes with calls still
//   queued, in its destructor. Nothing queued is ever leaked, and no handler
//   runs once the window object is being destroyed.
// - A parameter that only names something it does not own (a row's item
//   record, a task's progress record) is a plain value. Its owner frees it
//   only after every call naming it has run: a task that ends sends its
//   window the wake-up message and waits until the window has drained its
//   queue before it leaves the task registry and frees its progress record.
// - At shutdown the window stops its workers first (their wait ends on the
//   stop), then goes; what they queued in the meantime is freed as above.
// - PostMsg may be called from any thread; DispatchMsgs runs only on the
//   window's own thread.

#include "services/CritLock.h"
#include "services/WriteLogFile.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <deque>

// The wake-up messages that every post sends, in this order, with both
// parameters 0. A window answers each of them with DispatchMsgs.
constexpr UINT kDispatchFirstMessage = WM_USER + 1000;
constexpr UINT kDispatchLastMessage = WM_USER + 1003;

inline bool IsDispatchMessage(UINT message)
{
    return message >= kDispatchFirstMessage && message <= kDispatchLastMessage;
}

// Frees the heap payload behind a parameter value; null for plain values.
using PayloadDrop = void (*)(UINT_PTR payload);

// One queued call of a member function of the window class T.
template <class T>
struct MsgItem
{
    void (T::*handler)(UINT_PTR first, UINT_PTR second) = nullptr;
    UINT_PTR first = 0;
    UINT_PTR second = 0;
    PayloadDrop dropFirst = nullptr;  // frees first if the call never runs
    PayloadDrop dropSecond = nullptr;

    void DropPayloads() const
    {
        if (dropFirst)
            dropFirst(first);
        if (dropSecond)
            dropSecond(second);
    }
};

// Base of every window that receives worker results, with the window's own
// class as T.
template <class T>
class CMsgDispatch
{
public:
    typedef void (T::*Handler)(UINT_PTR first, UINT_PTR second);

    CMsgDispatch() = default;
    // Calls still queued never run; their payloads are freed.
    virtual ~CMsgDispatch()
    {
        std::deque<MsgItem<T>> unrun;
        {
            CCritLockGuard guard(&m_lock);
            unrun.swap(m_queue);
        }
        for (const MsgItem<T>& item : unrun)
            item.DropPayloads();
    }
    CMsgDispatch(const CMsgDispatch&) = delete;
    CMsgDispatch& operator=(const CMsgDispatch&) = delete;

    // Any thread. A lost wake-up (no window yet, or no longer) leaves the call
    // queued for a later drain. The drop functions free heap payloads of a
    // call that never runs.
    void PostMsg(HWND window, Handler handler, UINT_PTR first, UINT_PTR second, PayloadDrop dropFirst = nullptr,
                 PayloadDrop dropSecond = nullptr)
    {
        {
            CCritLockGuard guard(&m_lock);
            m_queue.push_back(MsgItem<T>{handler, first, second, dropFirst, dropSecond});
        }
        for (UINT message = kDispatchFirstMessage; message <= kDispatchLastMessage; ++message)
            PostMessageW(window, message, 0, 0);
    }

    // The window's thread. The lock is free while a handler runs, so handlers
    // may post too; their calls join this drain behind the ones already queued.
    void DispatchMsgs()
    {
        RequireWindowThread();
        MsgItem<T> item;
        while (PopMsg(item)) {
            if (item.handler)
                (static_cast<T*>(this)->*item.handler)(item.first, item.second);
        }
    }

private:
#ifdef CALVERIN_CHECK_THREADS
    // Handlers touch the window's controls, which only its own thread may:
    // a drain from another thread is a fault, logged and stopped at once.
    void RequireWindowThread()
    {
        const HWND window = static_cast<T*>(this)->GetWindowHandle();
        if (window && GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
            WRITE_LOG_FORMAT(L"call queue drained on thread %lu, not on its window's thread", GetCurrentThreadId());
            std::fputs("call queue drained off its window's thread\n", stderr);
            std::abort();
        }
    }
#else
    void RequireWindowThread() {}
#endif

    bool PopMsg(MsgItem<T>& item)
    {
        CCritLockGuard guard(&m_lock);
        if (m_queue.empty())
            return false;
        item = m_queue.front();
        m_queue.pop_front();
        return true;
    }

    CCritLock m_lock;
    std::deque<MsgItem<T>> m_queue;
};
