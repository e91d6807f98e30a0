#pragma once
// A dialog that starts workers and receives their results on its own call
// queue. The window registers itself in its process-wide pointer (through
// which the workers reach it) when constructed; when destroyed it first stops
// the workers still running, so that none posts to a window that is gone, and
// clears the pointer only if it still names this window: a later window of
// the same class may already have taken it over.

#include <memory>

#include "services/MsgDispatch.h"
#include "services/WindowCalls.h"
#include "services/WindowMultiThreadManager.h"

#include "dialogs/DialogWnd.h"

template <class T, T*& Global>
class CQueuedDialogWnd : public CDialogWnd, public CMsgDispatch<T>
{
public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (IsDispatchMessage(message)) {
            this->DispatchMsgs();
            return 0;
        }
        return CDialogWnd::HandleMessage(message, wParam, lParam);
    }

protected:
    CQueuedDialogWnd(LPCWSTR skinFile) : CDialogWnd(skinFile, CaptionClickables::ButtonsAndOptions)
    {
        Global = static_cast<T*>(this);
    }
    ~CQueuedDialogWnd() override
    {
        m_threads.TerminateAll();
        if (Global == static_cast<T*>(this))
            Global = nullptr;
    }

    // Starts `worker` with its heap parameter, which the worker frees. When
    // no thread starts, the parameter is freed here and `failed` comes with
    // the worker's own text for a request that got no answer: the window
    // leaves its waiting state as it would after that failure.
    template <class Param>
    void StartWorker(CWindowMultiThreadManager::ThreadProc worker, std::unique_ptr<Param> param,
                     WindowHandler<T> failed, LPCWSTR failureText)
    {
        if (m_threads.StartThread(worker, param.get()) != 0) {
            param.release();
            return;
        }
        QueueMessage(static_cast<T*>(this), failed, 0, failureText);
    }

private:
    CWindowMultiThreadManager m_threads;
};
