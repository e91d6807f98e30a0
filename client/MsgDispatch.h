#pragma once
// The way worker results reach a window: a worker queues a call of one of the
// window's member functions and wakes the window, whose own thread then runs
// every queued call in order.

#include "CritLock.h"

#include <windows.h>

#include <deque>

// The wake-up messages that every post sends, in this order, with both
// parameters 0. A window answers each of them with DispatchMsgs.
constexpr UINT kDispatchFirstMessage = WM_USER + 1000;
constexpr UINT kDispatchLastMessage = WM_USER + 1003;

inline bool IsDispatchMessage(UINT message)
{
    return message >= kDispatchFirstMessage && message <= kDispatchLastMessage;
}

// One queued call of a member function of the window class T.
template <class T>
struct MsgItem
{
    void (T::*handler)(UINT_PTR first, UINT_PTR second) = nullptr;
    UINT_PTR first = 0;
    UINT_PTR second = 0;
};

// Base of every window that receives worker results, with the window's own
// class as T. A pointer parameter's payload follows the handler's rule: heap
// objects made for the call pass to the handler, which frees them; calls still
// queued when the window object goes are dropped without running.
template <class T>
class CMsgDispatch
{
public:
    typedef void (T::*Handler)(UINT_PTR first, UINT_PTR second);

    CMsgDispatch() = default;
    virtual ~CMsgDispatch()
    {
        CCritLockGuard guard(&m_lock);
        m_queue.clear();
    }
    CMsgDispatch(const CMsgDispatch&) = delete;
    CMsgDispatch& operator=(const CMsgDispatch&) = delete;

    // Any thread. A lost wake-up (no window yet, or no longer) leaves the call
    // queued for a later drain.
    void PostMsg(HWND window, Handler handler, UINT_PTR first, UINT_PTR second)
    {
        {
            CCritLockGuard guard(&m_lock);
            m_queue.push_back(MsgItem<T>{handler, first, second});
        }
        for (UINT message = kDispatchFirstMessage; message <= kDispatchLastMessage; ++message)
            PostMessageW(window, message, 0, 0);
    }

    // The window's thread. The lock is free while a handler runs, so handlers
    // may post too; their calls join this drain behind the ones already queued.
    void DispatchMsgs()
    {
        MsgItem<T> item;
        while (PopMsg(item))
        {
            if (item.handler)
                (static_cast<T*>(this)->*item.handler)(item.first, item.second);
        }
    }

private:
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
