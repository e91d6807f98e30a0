// How fast the uninstaller's first step deletes an installation, beside the
// system's own "rd /s /q" on the same tree. An installation of 20,000 files
// in 2,000 folders is laid out in a folder of its own under TEMP; half of it
// is listed as folder entries, half as single-file entries, as an installer
// lists a program's own files and its data folders. Prints files removed per
// second for both:
//   uninstall_bench.exe [FOLDERS [FILES_PER_FOLDER]]
#include "services/WriteLogFile.h"
#include "uninstaller/RemovalSteps.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

CWriteLogFile g_logFile;

namespace {

std::wstring FolderName(int index)
{
    wchar_t name[16] = {};
    _snwprintf(name, 16, L"f%05d", index);
    return name;
}

// A new folder under TEMP for this run; empty when none can be made.
std::wstring MakeRunFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"calverin-uninstall-bench-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    return CreateDirectoryW(folder.c_str(), nullptr) ? folder : std::wstring();
}

bool LayOut(const std::wstring& root, int folders, int files)
{
    if (!CreateDirectoryW(root.c_str(), nullptr))
        return false;
    for (int f = 0; f < folders; ++f) {
        const std::wstring folder = root + FolderName(f) + L"\\";
        if (!CreateDirectoryW(folder.c_str(), nullptr))
            return false;
        for (int i = 0; i < files; ++i) {
            HANDLE file = CreateFileW((folder + std::to_wstring(i) + L".dat").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return false;
            DWORD written = 0;
            WriteFile(file, "calverin", 8, &written, nullptr);
            CloseHandle(file);
        }
    }
    return true;
}

// The first half of the folders as folder entries, the files of the second
// half one by one.
std::string ListOf(int folders, int files)
{
    std::string list = "[";
    for (int f = 0; f < folders; ++f) {
        char entry[64] = {};
        if (f < folders / 2) {
            snprintf(entry, sizeof(entry), "%s{\"name\":\"f%05d\"}", list.size() > 1 ? "," : "", f);
            list += entry;
            continue;
        }
        for (int i = 0; i < files; ++i) {
            snprintf(entry, sizeof(entry), "%s{\"name\":\"f%05d\\\\%d.dat\"}", list.size() > 1 ? "," : "", f, i);
            list += entry;
        }
    }
    return list + "]";
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    const int folders = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 10;
    const std::wstring run = MakeRunFolder();
    if (run.empty() || folders <= 0 || files <= 0) {
        fprintf(stderr, "uninstall_bench: no folder for the run\n");
        return 1;
    }
    const std::wstring install = run + L"install\\";
    const std::wstring copy = run + L"copy\\";
    if (!LayOut(install, folders, files) || !LayOut(copy, folders, files)) {
        fprintf(stderr, "uninstall_bench: the installation could not be laid out\n");
        return 1;
    }
    const double total = static_cast<double>(folders) * files;

    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    DeleteListedItems(install, ListOf(folders, files));
    QueryPerformanceCounter(&end);
    const double own = Seconds(start, end);

    std::wstring command = L"cmd /c rd /s /q \"" + copy.substr(0, copy.size() - 1) + L"\"";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "uninstall_bench: cmd could not be started\n");
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const double system = Seconds(start, end);

    printf("files: %.0f in %d folders (%d folder entries, %.0f single-file entries)\n", total, folders, folders / 2,
           static_cast<double>(folders - folders / 2) * files);
    printf("uninstaller step 1: %.3f s, %.0f files/s\n", own, total / own);
    printf("cmd /c rd /s /q:    %.3f s, %.0f files/s\n", system, total / system);
    // The folders of the single-file entries stay, empty, as they were not
    // listed; any file left is a fault.
    bool leftovers = false;
    for (int f = folders / 2; f < folders; ++f)
        leftovers |= !RemoveDirectoryW((install + FolderName(f)).c_str());
    leftovers |= !RemoveDirectoryW(install.c_str());
    RemoveDirectoryW(run.c_str());
    if (leftovers)
        fprintf(stderr, "uninstall_bench: something of the installation stayed\n");
    return leftovers ? 1 : 0;
}
