// The client id: an MD5 digest of facts about the machine, the same on every
// run on the same machine.
#include "services/SessionData.h"

#include "services/MachineInfo.h"
#include "services/Md5A.h"
#include "services/TextConvert.h"

#include <string>

namespace {
std::string ComputerNameUtf8()
{
    wchar_t name[512] = {};
    DWORD length = 512;
    GetComputerNameW(name, &length);
    return WideToUtf8(name);
}

std::string ProcessorCount()
{
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    return std::to_string(static_cast<int>(info.dwNumberOfProcessors));
}

std::string TotalPhysicalMemory()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return std::to_string(static_cast<long long>(status.ullTotalPhys));
}

std::string HardwareAddress()
{
    // From Windows 8 on, adapters come and go too easily (virtual switches,
    // tethering) for their address to identify the machine.
    return IsWin8OrLater() ? "FF-FF-FF-FF-FF-FF" : GetMacAddress();
}
}  // namespace

std::string CSessionData::GetClientUuid()
{
    CCritLockGuard guard(&m_fieldLock);
    if (m_clientUuid.empty()) {
        const std::string text = ComputerNameUtf8() + "." + HardwareAddress() + "." + ProcessorCount() + "." +
                                 TotalPhysicalMemory() + "." + GetCpuId();
        m_clientUuid = CMd5A().GetStringMd5(text);
    }
    return m_clientUuid;
}
