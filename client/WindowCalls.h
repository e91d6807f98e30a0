#pragma once
// How the workers hand a result to a window. Workers are templates on the
// process-wide pointer through which they reach their window (g_loginWnd,
// g_mainWnd, ...), so that they serve any window class with the handler names
// they call; the pointer is read at the moment of the call.

#include "MsgDispatch.h"

#include <memory>
#include <string>
#include <type_traits>

// The window class behind a process-wide window pointer.
template <auto& WindowPtr>
using WindowOf = std::remove_pointer_t<std::remove_cvref_t<decltype(WindowPtr)>>;

template <class Wnd>
using WindowHandler = void (Wnd::*)(UINT_PTR first, UINT_PTR second);

// Queues the call; a payload that the handler would free is the caller's to
// free when there is no window.
template <class Wnd>
bool QueueCall(Wnd* window, WindowHandler<Wnd> handler, UINT_PTR first, UINT_PTR second)
{
    if (!window)
        return false;
    window->PostMsg(window->GetWindowHandle(), handler, first, second);
    return true;
}

// Queues the call with a heap copy of the object as one parameter, which the
// handler takes over and frees.
template <class Wnd, class Payload>
void QueueWithFirst(Wnd* window, WindowHandler<Wnd> handler, const Payload& payload, UINT_PTR second)
{
    auto copy = std::make_unique<Payload>(payload);
    if (QueueCall(window, handler, reinterpret_cast<UINT_PTR>(copy.get()), second))
        copy.release();
}

template <class Wnd, class Payload>
void QueueWithSecond(Wnd* window, WindowHandler<Wnd> handler, UINT_PTR first, const Payload& payload)
{
    auto copy = std::make_unique<Payload>(payload);
    if (QueueCall(window, handler, first, reinterpret_cast<UINT_PTR>(copy.get())))
        copy.release();
}

// Queues a call whose two parameters are heap objects (or null) that the handler takes
// over; they are freed here when there is no window.
template <class Wnd, class First, class Second>
void QueueWithBoth(Wnd* window, WindowHandler<Wnd> handler, std::unique_ptr<First> first,
                   std::unique_ptr<Second> second)
{
    if (QueueCall(window, handler, reinterpret_cast<UINT_PTR>(first.get()), reinterpret_cast<UINT_PTR>(second.get())))
    {
        first.release();
        second.release();
    }
}

// The usual failure call: (first, heap wide string with the message).
template <class Wnd>
void QueueMessage(Wnd* window, WindowHandler<Wnd> handler, UINT_PTR first, const std::wstring& message)
{
    QueueWithSecond(window, handler, first, message);
}
