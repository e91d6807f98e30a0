// The frame, skin and caption band of the client's windows.

#include "dialogs/ClientWindowShape.h"

#include "builder/SkinBuilder.h"

using namespace CalUI;

void MakeFrameless(HWND window, DWORD frameStyles)
{
    LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(frameStyles)) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    ::SetWindowLongPtrW(window, GWL_STYLE, style);
}

bool BuildWindowSkin(HWND window, CWindowManagerUI& manager, LPCWSTR skinFile, IDialogBuilderCallback* callback,
                     INotifyUI* receiver)
{
    manager.Init(window);
    CSkinBuilder builder;
    CControlUI* root = builder.Create(skinFile, nullptr, callback, &manager);
    if (root == nullptr)
        return false;
    manager.AttachRoot(root);
    manager.AddNotifyReceiver(receiver);
    return true;
}

CControlUI* ControlInCaptionBand(HWND window, CWindowManagerUI& manager, LPARAM screenPoint)
{
    POINT pt = {static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    ::ScreenToClient(window, &pt);
    RECT client = {};
    ::GetClientRect(window, &client);
    const RECT caption = manager.GetCaptionRect();
    const bool inBand = pt.x >= client.left + caption.left && pt.x < client.right - caption.right &&
                        pt.y >= caption.top && pt.y < caption.bottom;
    return inBand ? manager.FindControlAt(pt) : nullptr;
}

bool IsNotifyFrom(const NotifyMsg& msg, LPCWSTR name) { return msg.sender != nullptr && msg.sender->GetName() == name; }
