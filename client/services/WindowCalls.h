#pragma once
// How the workers hand a result to a window (the queue's rules open
// MsgDispatch.h). Workers are templates on the
// process-wide pointer through which they reach their window (g_loginWnd,
// g_mainWnd, ...), so that they serve any window class with the handler names
// they call; the pointer is read at the moment of the call.

#include "services/MsgDispatch.h"

#include <memory>
#include <string>
#include <type_traits>

// The window class behind a process-wide window pointer.
template <auto& WindowPtr>
using WindowOf = std::remove_pointer_t<std::remove_cvref_t<decltype(WindowPtr)>>;

template <class Wnd>
using WindowHandler = void (Wnd::*)(UINT_PTR first, UINT_PTR second);

// One parameter of a queued call: a plain value (a number, or a pointer to
// something the call does not own), or a heap payload taken from a
// unique_ptr, which the call owns until its handler adopts it. A payload that
// is never queued is freed with the parameter.
class CallParam
{
public:
    CallParam(UINT_PTR value) : m_value(value) {}
    template <class Payload, class Delete>
    CallParam(std::unique_ptr<Payload, Delete> payload)
        : m_value(reinterpret_cast<UINT_PTR>(payload.release())), m_drop(&Drop<Payload, Delete>)
    {}
    ~CallParam()
    {
        if (m_drop)
            m_drop(m_value);
    }
    CallParam(const CallParam&) = delete;
    CallParam& operator=(const CallParam&) = delete;

    UINT_PTR Value() const { return m_value; }
    PayloadDrop Drop() const { return m_drop; }
    // The queue has taken the payload over.
    void Release() { m_drop = nullptr; }

private:
    template <class Payload, class Delete>
    static void Drop(UINT_PTR payload)
    {
        Delete()(reinterpret_cast<Payload*>(payload));
    }

    UINT_PTR m_value = 0;
    PayloadDrop m_drop = nullptr;
};

// Queues the call; false when there is no window, and then the payloads are
// freed here.
template <class Wnd>
bool QueueCall(Wnd* window, WindowHandler<Wnd> handler, CallParam first, CallParam second)
{
    if (!window)
        return false;
    window->PostMsg(window->GetWindowHandle(), handler, first.Value(), second.Value(), first.Drop(), second.Drop());
    first.Release();
    second.Release();
    return true;
}

// Queues the call with a heap copy of the object as one parameter.
template <class Wnd, class Payload>
void QueueWithFirst(Wnd* window, WindowHandler<Wnd> handler, const Payload& payload, UINT_PTR second)
{
    QueueCall(window, handler, std::make_unique<Payload>(payload), second);
}

template <class Wnd, class Payload>
void QueueWithSecond(Wnd* window, WindowHandler<Wnd> handler, UINT_PTR first, const Payload& payload)
{
    QueueCall(window, handler, first, std::make_unique<Payload>(payload));
}

// The usual failure call: (first, heap wide string with the message).
template <class Wnd>
void QueueMessage(Wnd* window, WindowHandler<Wnd> handler, UINT_PTR first, const std::wstring& message)
{
    QueueWithSecond(window, handler, first, message);
}
