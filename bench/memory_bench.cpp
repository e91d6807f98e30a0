// Where the client's private bytes go: this program makes the client's start
// one piece at a time (a bare window and its message loop, COM and OLE,
// libcurl and OpenSSL with one HTTPS request to the web service, a GDI+
// session, the text engine, the skin archive, the skins' fonts, then the
// client's own main window running its start-up chain until its sign-in
// window shows), takes the process's private bytes after each piece, and
// prints what each added, largest first; then the same for 1,000 game rows
// shown in a window of their own. The main window's figure is split by the
// framework's count of decoded skin-image bytes and by a walk of the
// process's heaps (bytes in use); last, what one idle thread costs.
//   memory_bench [SERVICE_URL]   (bench/startup.sh passes its service)
// Under Wine a process's private bytes are its resident anonymous memory,
// the Unix side's (X11, fonts, the server connection) included.
// First: curl brings winsock2.h, which must come before windows.h.
#include "services/HttpClient.h"

#include "GameRows.h"
#include "IdleThreads.h"
#include "builder/SkinBuilder.h"
#include "BenchWindow.h"
#include "core/WindowManagerUI.h"
#include "core/WindowShadow.h"
#include "core/WindowWnd.h"
#include "dialogs/SkinResource.h"
#include "mainwindow/MainWnd.h"
#include "services/AppFolder.h"
#include "services/WriteLogFile.h"

#include <windows.h>

#include <objbase.h>
#include <ole2.h>
#include <psapi.h>
#include <richedit.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace CalUI;

namespace {

constexpr WORD kSkinResourceId = 101;
constexpr int kRows = 1000;
constexpr DWORD kSignInWaitMs = 15000;
// What start-up still loads after its window shows counts too.
constexpr DWORD kSettleMs = 1000;
constexpr UINT_PTR kStepTimer = 1;
constexpr UINT kStepEveryMs = 100;
constexpr wchar_t kBareClass[] = L"CalverinMemoryBenchBare";

// The faces and sizes (bold or not) that the client's skins declare.
struct SkinFont
{
    int size;
    bool bold;
};
constexpr SkinFont kSkinFonts[] = {{12, false}, {14, false}, {14, true}, {16, false}};

double Mb(double bytes) { return bytes / (1024.0 * 1024.0); }

double PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX memory = {sizeof memory};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    // Wine leaves PrivateUsage 0; the commit charge is the same figure.
    return static_cast<double>(memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage);
}

int ThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {sizeof entry};
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}

// Bytes in use in every heap of the process.
double HeapBytesInUse()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    double bytes = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += entry.cbData + entry.cbOverhead;
        }
        HeapUnlock(heap);
    }
    return bytes;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Lets a piece finish what it started on other threads and in the queue.
void Settle(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        PumpMessages();
        Sleep(20);
    } while (GetTickCount() - start < ms);
}

struct Piece
{
    std::string name;
    double bytes;
    int threads;  // threads the piece started and left running
};

class Ledger
{
public:
    Ledger() : m_last(PrivateBytes()), m_lastThreads(ThreadCount()) {}
    // What the private bytes grew by since the last entry goes to `name`.
    void Add(const std::string& name)
    {
        const double now = PrivateBytes();
        const int threads = ThreadCount();
        m_pieces.push_back({name, now - m_last, threads - m_lastThreads});
        m_last = now;
        m_lastThreads = threads;
    }
    void Print(const char* title) const
    {
        std::vector<Piece> sorted = m_pieces;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const Piece& a, const Piece& b) { return a.bytes > b.bytes; });
        std::printf("%s, largest first:\n", title);
        for (const Piece& piece : sorted)
            std::printf("  %8.2f MB  %s (%+d threads)\n", Mb(piece.bytes), piece.name.c_str(), piece.threads);
    }
    double Last() const { return m_last; }

private:
    std::vector<Piece> m_pieces;
    double m_last;
    int m_lastThreads;
};

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND ShowBareWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BareWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kBareClass;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, kBareClass, L"bare", WS_POPUP | WS_VISIBLE, 100, 100, 1200, 800, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

void RequestOnce(const std::string& url)
{
    CHttpClient client;
    client.InitLibCurl(nullptr);
    std::string body;
    client.Request(url, kHttpGet, body, nullptr, L"");
}

// The skins' fonts made and drawn with, Chinese and Latin text alike.
std::vector<HFONT> UseSkinFonts()
{
    std::vector<HFONT> fonts;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 400, 40);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    for (const SkinFont& skinFont : kSkinFonts) {
        HFONT font = CreateFontW(-skinFont.size, 0, 0, 0, skinFont.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, L"微软雅黑");
        HGDIOBJ old = SelectObject(dc, font);
        RECT area = {0, 0, 400, 40};
        DrawTextW(dc, L"星海征途 完整客户端 Calverin 0123456789 已下载", -1, &area, DT_SINGLELINE);
        SelectObject(dc, old);
        fonts.push_back(font);
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return fonts;
}

bool SignInWindowShown()
{
    for (HWND window = FindWindowExW(nullptr, nullptr, L"CLoginWnd", nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, L"CLoginWnd", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == GetCurrentProcessId() && IsWindowVisible(window))
            return true;
    }
    return false;
}

// 1,000 game rows shown in a main-window-sized window: what they add.
void MeasureRows()
{
    const double privateBefore = PrivateBytes();
    const double heapBefore = HeapBytesInUse();
    BenchWindow window(L"CalverinMemoryBenchRows");
    window.Create(nullptr, L"rows", WS_POPUP | WS_VISIBLE, 0, 0, 0, 1200, 800, nullptr);
    CSkinBuilder builder;
    window.manager.AttachRoot(builder.Create(kGameListSkin, nullptr, nullptr, &window.manager));
    Settle(200);
    const double privateEmpty = PrivateBytes();
    const double heapEmpty = HeapBytesInUse();
    AddGameRows(static_cast<CContainerUI*>(window.manager.FindControl(L"game_list")), kRows);
    window.manager.InvalidateAll();
    UpdateWindow(window.GetWindowHandle());
    Settle(500);
    const double rowsBytes = PrivateBytes() - privateEmpty;
    const double rowsHeap = HeapBytesInUse() - heapEmpty;
    std::printf("with %d game rows shown: %.2f MB private bytes in all (%.2f MB their empty window, %.2f MB the "
                "rows: %.2f MB of it heap blocks, %.0f bytes a row)\n",
                kRows, Mb(PrivateBytes()), Mb(privateEmpty - privateBefore), Mb(rowsBytes), Mb(rowsHeap),
                rowsBytes / kRows);
    std::printf("  heap in use before the rows' window %.2f MB\n", Mb(heapBefore));
}

struct Run
{
    Ledger ledger;
    double bareBytes = 0;
    double heapBeforeMainWindow = 0;
    DWORD mainWindowShown = 0;
    DWORD signInShown = 0;
    bool reported = false;
};
Run* g_run = nullptr;

// Steps the measurement from inside the main window's modal loop.
void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    Run& run = *g_run;
    if (run.reported)
        return;
    const DWORD now = GetTickCount();
    if (run.signInShown == 0 && (SignInWindowShown() || now - run.mainWindowShown > kSignInWaitMs))
        run.signInShown = now;
    if (run.signInShown == 0 || now - run.signInShown < kSettleMs)
        return;
    run.reported = true;
    const double images = static_cast<double>(CWindowManagerUI::DecodedImageBytes());
    const double heap = HeapBytesInUse();
    run.ledger.Add("the main window running its start-up chain (controls, layout, paint surfaces, workers, the "
                   "sign-in window)");
    std::printf("memory_bench: private bytes %.2f MB after start (%s), %.2f MB of them the bare window and message "
                "loop\n",
                Mb(run.ledger.Last()), SignInWindowShown() ? "sign-in window shown" : "no sign-in window",
                Mb(run.bareBytes));
    run.ledger.Print("what each piece of the start added to the bare program");
    std::printf("of the main window's: decoded skin images %.2f MB (counted), heap blocks %.2f MB (in use in all "
                "heaps then: %.2f MB)\n",
                Mb(images), Mb(heap - run.heapBeforeMainWindow), Mb(heap));
    MeasureRows();
    std::printf("one idle thread: %.2f MB private bytes\n", Mb(IdleThreadCost(PrivateBytes, [] { Settle(500); })));
    std::fflush(stdout);
    SHFILEOPSTRUCTW remove = {};
    std::wstring folder = g_appFolder.substr(0, g_appFolder.size() - 1);
    folder.push_back(L'\0');
    remove.wFunc = FO_DELETE;
    remove.pFrom = folder.c_str();
    remove.fFlags = FOF_NO_UI;
    SHFileOperationW(&remove);
    TerminateProcess(GetCurrentProcess(), 0);
}

std::wstring ScratchAppFolder()
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"calverin_memory_bench_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\";
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string serviceUrl = argc > 1 ? argv[1] : "";
    Run run;
    g_run = &run;
    ShowBareWindow();
    Settle(300);
    run.bareBytes = PrivateBytes();
    run.ledger = Ledger();

    g_appFolder = ScratchAppFolder();
    g_logFile.SetLogPath(g_appFolder + L"log.txt", 1024);
    CoInitialize(nullptr);
    OleInitialize(nullptr);
    Settle(100);
    run.ledger.Add("COM and OLE");

    curl_global_init(CURL_GLOBAL_ALL);
    if (!serviceUrl.empty())
        RequestOnce(serviceUrl);
    Settle(100);
    run.ledger.Add("libcurl and OpenSSL, set up and one HTTPS request");

    auto gdiplus = std::make_unique<CGdiplusSession>();
    Settle(100);
    run.ledger.Add("GDI+, one session");

    LoadLibraryW(L"msftedit.dll");
    CreateWindowExW(0, MSFTEDIT_CLASS, L"星海征途", WS_CHILD | WS_VISIBLE, 0, 0, 200, 30,
                    FindWindowW(kBareClass, nullptr), nullptr, GetModuleHandleW(nullptr), nullptr);
    Settle(100);
    run.ledger.Add("text engine: msftedit and one rich edit");

    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    if (!SupplySkinArchive(kSkinResourceId))
        return 1;
    run.ledger.Add("skin archive");

    const std::vector<HFONT> fonts = UseSkinFonts();
    Settle(100);
    run.ledger.Add("the skins' fonts, made and drawn with");

    run.heapBeforeMainWindow = HeapBytesInUse();
    CMainWnd mainWnd;
    mainWnd.Create(nullptr, L"Calverin", 0x96CF0000, 0, 0, 0, 0, 0, nullptr);
    mainWnd.CenterWindow();
    run.mainWindowShown = GetTickCount();
    SetTimer(nullptr, kStepTimer, kStepEveryMs, &StepTimer);
    mainWnd.ShowModal();
    return 0;
}
