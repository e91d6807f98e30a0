#pragma once
// Registers the link recorder as the opener of http and https links for the
// test's life, and reads what it was handed.

#include <windows.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "TestPaths.h"
#include "services/RegistryUtil.h"

class RecordedLinks
{
public:
    explicit RecordedLinks(ScratchFolder& folder) : m_record(folder.File(L"opened.txt"))
    {
        const std::wstring command =
            L"\"" + BuildTreePath(L"tests\\link_recorder.exe") + L"\" \"" + m_record + L"\" \"%1\"";
        for (LPCWSTR scheme : {L"http", L"https"}) {
            const std::wstring key = std::wstring(scheme) + L"\\shell\\open\\command";
            std::wstring old;
            m_saved.push_back({key, ReadRegValue(HKEY_CLASSES_ROOT, key.c_str(), L"", REG_SZ, old), old});
            RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, command.c_str(),
                            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        }
    }
    ~RecordedLinks()
    {
        for (const Saved& saved : m_saved) {
            if (saved.existed)
                RegSetKeyValueW(HKEY_CLASSES_ROOT, saved.key.c_str(), nullptr, REG_SZ, saved.value.c_str(),
                                static_cast<DWORD>((saved.value.size() + 1) * sizeof(wchar_t)));
            else
                RegDeleteKeyValueW(HKEY_CLASSES_ROOT, saved.key.c_str(), nullptr);
        }
    }
    std::string Opened() const { return ScratchFolder::ReadFile(m_record); }

private:
    struct Saved
    {
        std::wstring key;
        bool existed;
        std::wstring value;
    };
    std::wstring m_record;
    std::vector<Saved> m_saved;
};
