#include "services/FolderWorkers.h"

#include "services/FileUtil.h"
#include "services/SafeNames.h"

std::wstring DeleteFailedMessage(const std::wstring& folder)
{
    return L"【" + folder + L"】里面有部分文件删除失败，请手动删除！";
}

bool WaitForProcessEnd(HANDLE process)
{
    const HANDLE stop = CWindowMultiThreadManager::GetStopEvent();
    const HANDLE handles[2] = {process, stop};
    const DWORD result = WaitForMultipleObjects(stop ? 2 : 1, handles, FALSE, INFINITE);
    return result != WAIT_OBJECT_0 + 1;
}

bool HoldsProgramFolder(const std::wstring& folder) { return IsSameOrBelowFolder(folder, GetModuleFolder()); }
