#pragma once
// The test library of OLE controls as a test program sees it, and a layered
// test window for hosting its objects: the window notes "showactivex" in the
// library's call log, so that the log shows when it came between the
// objects' calls, and counts the wheel messages that reach it.

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ManagedWindow.h"
#include "TestActiveX.h"
#include "builder/SkinBuilder.h"

class TestActiveXLibrary
{
public:
    TestActiveXLibrary() : m_module(LoadLibraryW(TestActiveX::kLibraryName)) {}

    bool IsLoaded() const { return m_module != nullptr; }

    template <class Proc>
    Proc Find(const char* name) const
    {
        return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
    }

    // The lines recorded since the last clear that begin with `prefix`.
    std::vector<std::wstring> Calls(const std::wstring& prefix = L"") const
    {
        std::wistringstream all(Find<TestActiveX::CallsProc>(TestActiveX::kCalls)());
        std::vector<std::wstring> lines;
        for (std::wstring line; std::getline(all, line);) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                lines.push_back(line);
        }
        return lines;
    }
    // The lines of one object kind and the notes naming `controlName`, up to
    // (not including) the first line that begins with `<kind>:<stopAt>`.
    std::vector<std::wstring> CallsOf(const std::wstring& kind, const std::wstring& controlName,
                                      const std::wstring& stopAt = L"") const
    {
        std::vector<std::wstring> lines;
        for (const std::wstring& line : Calls()) {
            if (!stopAt.empty() && line.compare(0, kind.size() + 1 + stopAt.size(), kind + L":" + stopAt) == 0)
                break;
            if (line.compare(0, kind.size() + 1, kind + L":") == 0 ||
                line.find(L"(" + controlName + L")") != std::wstring::npos)
                lines.push_back(line);
        }
        return lines;
    }
    void Clear() const { Find<TestActiveX::ClearCallsProc>(TestActiveX::kClearCalls)(); }
    void Note(const std::wstring& text) const { Find<TestActiveX::NoteProc>(TestActiveX::kNote)(text.c_str()); }
    LONG LiveObjects() const { return Find<TestActiveX::LiveObjectsProc>(TestActiveX::kLiveObjects)(); }

private:
    HMODULE m_module;
};

class ActiveXTestWindow : public ManagedWindow
{
public:
    explicit ActiveXTestWindow(const TestActiveXLibrary& library) : m_library(library)
    {
        manager.SetLayered(true);
        SetForegroundWindow(GetWindowHandle());
    }

    void Notify(CalUI::NotifyMsg& msg) override
    {
        ManagedWindow::Notify(msg);
        if (msg.type == L"showactivex")
            m_library.Note(L"showactivex(" + std::wstring(msg.sender->GetName().GetData()) + L")");
    }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_MOUSEWHEEL)
            ++wheels;
        return ManagedWindow::HandleMessage(message, wParam, lParam);
    }

    // Builds `controls` into a container, lays it out and paints it.
    void Load(const std::wstring& controls)
    {
        CalUI::CSkinBuilder builder;
        const std::wstring xml = L"<Window><Container>" + controls + L"</Container></Window>";
        CalUI::CControlUI* root = builder.Create(xml.c_str(), nullptr, nullptr, &manager);
        ASSERT_NE(root, nullptr);
        Attach(root);
        ASSERT_TRUE(PumpUntil([&] { return manager.GetOffscreenPixels() != nullptr; }));
        Paint();
    }

    // Invalidates the whole window and paints it, as the layered window's
    // repaint timer does.
    static constexpr UINT_PTR kRepaintTimer = 0x2000;  // the layered window's

    void Paint()
    {
        manager.InvalidateAll();
        Send(WM_TIMER, kRepaintTimer, 0);
    }

    // Client pixel (x, y) as 0xRRGGBB.
    DWORD Pixel(int x, int y) const
    {
        const SIZE size = manager.GetOffscreenSize();
        return manager.GetOffscreenPixels()[(size.cy - 1 - y) * size.cx + x] & 0xFFFFFF;
    }

    template <class T>
    T* Find(LPCWSTR name, LPCWSTR interfaceName)
    {
        CalUI::CControlUI* control = manager.FindControl(name);
        return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
    }

    int wheels = 0;

private:
    const TestActiveXLibrary& m_library;
};

// The element of a float control of the test library at `pos`.
inline std::wstring TestActiveXElement(const std::wstring& element, const std::wstring& name, RECT pos,
                                       const std::wstring& clsid, const std::wstring& more = L"")
{
    return L"<" + element + L" name=\"" + name + L"\" float=\"true\" pos=\"" + std::to_wstring(pos.left) + L"," +
           std::to_wstring(pos.top) + L"," + std::to_wstring(pos.right) + L"," + std::to_wstring(pos.bottom) +
           L"\" modulename=\"" + TestActiveX::kLibraryName + L"\" " + more + L" clsid=\"" + clsid + L"\" />";
}

// 0xRRGGBB of a COLORREF.
inline DWORD Rgb(COLORREF color) { return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color); }
