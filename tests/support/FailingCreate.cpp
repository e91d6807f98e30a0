#include "FailingCreate.h"

#include <vector>

namespace {

WNDPROC g_classProc = nullptr;
int g_refusals = 0;

LRESULT CALLBACK RefuseCreate(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        ++g_refusals;
        return -1;
    }
    return ::CallWindowProcW(g_classProc, hWnd, message, wParam, lParam);
}

}  // namespace

FailingCreate::FailingCreate(LPCWSTR systemClass)
{
    m_sample = ::CreateWindowExW(0, systemClass, nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (m_sample == nullptr)
        return;
    g_refusals = 0;
    g_classProc = reinterpret_cast<WNDPROC>(
        ::SetClassLongPtrW(m_sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefuseCreate)));
}

FailingCreate::~FailingCreate()
{
    if (m_sample == nullptr)
        return;
    ::SetClassLongPtrW(m_sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_classProc));
    ::DestroyWindow(m_sample);
}

int FailingCreate::Refusals() const { return g_refusals; }

bool ProcessHeapsAreWhole()
{
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
    const DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!::HeapValidate(heaps[i], 0, nullptr))
            return false;
    }
    return true;
}
