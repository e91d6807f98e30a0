// Times the client's start: from CreateProcess to a visible main window, over
// repeated starts from a scratch program folder, beside the same for a bare
// Win32 program (bare_window.exe beside this program: one plain window and a
// message loop); then the working set and private bytes of both once their
// window is up. Given a saved sign-in (a token and its user
// name, which a web service must accept), also the time to the signed-in
// main window (its hidden sign-in window gone, the window usable again) and
// the working set then:
//   startup_bench CLIENT_EXE [ROUNDS [TOKEN USERNAME]]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartLimitMs = 30000;
constexpr WCHAR kBareClass[] = L"CalverinBareWindow";
// The client's private bytes may exceed the bare program's by this much.
constexpr double kPrivateOverBareAimMb = 30.0;

struct Figures
{
    std::vector<double> startMs;
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
};

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The visible top-level window of that class and process, or null.
HWND VisibleWindowOf(DWORD processId, LPCWSTR className)
{
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// Whether the client's start has come as far as the bench waits for.
enum class StartGoal
{
    VisibleWindow,
    SignedIn,  // its sign-in window came and went, the main window is usable
};

// The sign-in window of the process, shown or not.
bool HasSignInWindow(DWORD processId)
{
    for (HWND window = FindWindowExW(nullptr, nullptr, L"CLoginWnd", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"CLoginWnd", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return true;
    }
    return false;
}

// Starts the program, waits for its window, takes the figures and ends it.
bool TimeOneStart(const std::wstring& exe, const std::wstring& arguments, LPCWSTR className, const std::wstring& folder,
                  Figures& figures, bool measureMemory, StartGoal goal = StartGoal::VisibleWindow)
{
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    const double start = NowMs();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        return false;
    HWND window = nullptr;
    bool signInSeen = false;
    while (window == nullptr && NowMs() - start < kStartLimitMs &&
           WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        window = VisibleWindowOf(process.dwProcessId, className);
        if (goal != StartGoal::SignedIn || window == nullptr)
            continue;
        const bool signInOpen = HasSignInWindow(process.dwProcessId);
        signInSeen = signInSeen || signInOpen;
        if (!signInSeen || signInOpen || !IsWindowEnabled(window))
            window = nullptr;
    }
    if (window != nullptr) {
        figures.startMs.push_back(NowMs() - start);
        if (measureMemory) {
            Sleep(1000);  // what start-up still loads after the first paint counts too
            PROCESS_MEMORY_COUNTERS_EX memory = {sizeof memory};
            if (GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                     sizeof memory)) {
                figures.workingSet = std::max(figures.workingSet, memory.WorkingSetSize);
                // Wine leaves PrivateUsage 0; the commit charge is the same figure.
                const SIZE_T privateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
                figures.privateBytes = std::max(figures.privateBytes, privateBytes);
            }
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return window != nullptr;
}

// A scratch program folder next to the temporary files, with a copy of the
// client, so that its log and cache are its own.
std::wstring MakeScratchFolder(const std::wstring& client, std::wstring& copy)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"calverin_startup_bench_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    copy = folder + L"\\calverinapp.exe";
    CopyFileW(client.c_str(), copy.c_str(), FALSE);
    return folder;
}

// The saved sign-in in the client's registry key; an empty token removes it.
void SaveSignIn(const std::wstring& token, const std::wstring& username)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\calverin", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (token.empty()) {
        RegDeleteValueW(key, L"token");
    } else {
        RegSetValueExW(key, L"token", 0, REG_SZ, reinterpret_cast<const BYTE*>(token.c_str()),
                       static_cast<DWORD>((token.size() + 1) * sizeof(WCHAR)));
        RegSetValueExW(key, L"username", 0, REG_SZ, reinterpret_cast<const BYTE*>(username.c_str()),
                       static_cast<DWORD>((username.size() + 1) * sizeof(WCHAR)));
    }
    RegCloseKey(key);
}

void RemoveScratchFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveScratchFolder(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// The bare Win32 program beside this one.
std::wstring BareProgram()
{
    WCHAR self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"bare_window.exe";
}

double Mb(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_bench CLIENT_EXE [ROUNDS [TOKEN USERNAME]]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 10;
    const std::wstring bareProgram = BareProgram();

    std::wstring clientCopy;
    const std::wstring folder = MakeScratchFolder(argv[1], clientCopy);
    Figures client, bare, signedIn;
    // The plain start comes up without a saved sign-in.
    SaveSignIn(L"", L"");
    for (int round = 0; round < rounds; ++round) {
        if (!TimeOneStart(clientCopy, L"", L"CMainWnd", folder, client, true)) {
            std::fprintf(stderr, "the client showed no main window within %lu ms\n", kStartLimitMs);
            RemoveScratchFolder(folder);
            return 1;
        }
        TimeOneStart(bareProgram, L"", kBareClass, folder, bare, true);
    }
    const bool withSignIn = argc > 4;
    if (withSignIn) {
        for (int round = 0; round < rounds; ++round) {
            // Every start signs in again: the token is saved anew each time.
            SaveSignIn(argv[3], argv[4]);
            if (!TimeOneStart(clientCopy, L"", L"CMainWnd", folder, signedIn, true, StartGoal::SignedIn)) {
                std::fprintf(stderr, "the client did not sign in with the saved token within %lu ms\n", kStartLimitMs);
                SaveSignIn(L"", L"");
                RemoveScratchFolder(folder);
                return 1;
            }
        }
        SaveSignIn(L"", L"");
    }
    RemoveScratchFolder(folder);

    const double clientMs = Median(client.startMs);
    const double bareMs = Median(bare.startMs);
    std::printf("starts: %d of each\n", rounds);
    std::printf("time to a visible window, median: client %.0f ms, bare Win32 program %.0f ms, difference %.0f ms "
                "(aim: within 500 ms)\n",
                clientMs, bareMs, clientMs - bareMs);
    std::printf("after start, largest of the runs: client working set %.1f MB, private bytes %.1f MB; bare Win32 "
                "program working set %.1f MB, private bytes %.1f MB\n",
                Mb(client.workingSet), Mb(client.privateBytes), Mb(bare.workingSet), Mb(bare.privateBytes));
    std::printf("client private bytes over the bare program's: %.1f MB (aim: at most %.0f MB)\n",
                Mb(client.privateBytes) - Mb(bare.privateBytes), kPrivateOverBareAimMb);
    if (withSignIn) {
        const double signedInMs = Median(signedIn.startMs);
        std::printf("time to the signed-in main window with a saved token, median: %.0f ms, %.0f ms after the bare "
                    "program's window (aim: within 1000 ms)\n",
                    signedInMs, signedInMs - bareMs);
        std::printf("client signed in, largest of the runs: working set %.1f MB, private bytes %.1f MB, %.1f MB over "
                    "the bare program's (aim: at most %.0f MB)\n",
                    Mb(signedIn.workingSet), Mb(signedIn.privateBytes),
                    Mb(signedIn.privateBytes) - Mb(bare.privateBytes), kPrivateOverBareAimMb);
    }
    return 0;
}
