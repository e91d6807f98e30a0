#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include "services/MachineInfo.h"

#include <cpuid.h>
#include <cstdio>
#include <new>
#include <vector>

namespace {

std::string FormatMacAddress(const BYTE* address)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", address[0], address[1], address[2], address[3],
                  address[4], address[5]);
    return text;
}

// The adapter list of all address families; empty when it cannot be read.
std::vector<BYTE> ReadAdapterList()
{
    ULONG size = 0;
    if (GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW)
        return {};
    // An adapter that appears between the two calls needs a bigger buffer: ask again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<BYTE> buffer;
        try {
            buffer.resize(size);
        } catch (const std::bad_alloc&) {
            return {};
        }
        const ULONG result =
            GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
        if (result == ERROR_SUCCESS)
            return buffer;
        if (result != ERROR_BUFFER_OVERFLOW)
            return {};
    }
    return {};
}

bool ReadNtdllVersion(int& major, int& minor, int& build)
{
    wchar_t windowsFolder[1024];
    const UINT length = GetWindowsDirectoryW(windowsFolder, 1024);
    if (length == 0 || length >= 1024)
        return false;
    const std::wstring path = std::wstring(windowsFolder, length) + L"\\System32\\ntdll.dll";
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixedSize < sizeof *fixed)
        return false;
    major = HIWORD(fixed->dwFileVersionMS);
    minor = LOWORD(fixed->dwFileVersionMS);
    build = HIWORD(fixed->dwFileVersionLS);
    return true;
}

}  // namespace

std::string GetCpuId()
{
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(1, eax, ebx, ecx, edx);
    char text[17];
    std::snprintf(text, sizeof text, "%08X%08X", edx, eax);
    return text;
}

std::string GetMacAddress()
{
    const std::vector<BYTE> list = ReadAdapterList();
    if (list.empty())
        return {};
    std::string kept;
    ULONG keptIndex = 0xFFFFFFFF;
    for (auto adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(list.data()); adapter; adapter = adapter->Next) {
        if (adapter->PhysicalAddressLength == 6 && adapter->IfIndex < keptIndex) {
            keptIndex = adapter->IfIndex;
            kept = FormatMacAddress(adapter->PhysicalAddress);
        }
    }
    return kept;
}

int GetOsVersion(int& major, int& minor)
{
    int build = 0;
    if (ReadNtdllVersion(major, minor, build))
        return build;
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));
    major = static_cast<int>(version.dwMajorVersion);
    minor = static_cast<int>(version.dwMinorVersion);
    return 0;
}

bool IsWin8OrLater()
{
    int major = 0, minor = 0;
    GetOsVersion(major, minor);
    return major == 6 ? minor > 1 : major > 6;
}
