#pragma once
// What a row shows while its item's task runs and after it ended. A row has
// no state of its own: every step of a task applies one whole look to it,
// whatever it showed before. A look is plain data, so that the main window
// can keep the last look of a running task and show it again on a row that
// a new list built meanwhile.

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/ControlUI.h"

#include "mainwindow/ItemRows.h"

enum class RowLayout
{
    kQueued,              // started, no progress yet
    kRunning,             // a progress step: speed, sizes, stage and band
    kWaiting,             // between two stages
    kFailed,              // a stage failed
    kInstalled,           // the task's end
    kCancelled,           // the user stopped it
    kInstallNotDetected,  // an accelerator's installer ended without a program
    kRemoving,            // a game's or plug-in's folder is being deleted
    kUninstallerRunning,  // an accelerator's uninstaller runs
    kRemoved,             // uninstalled: the item can be installed again
    kProgramRemoved       // an accelerator's uninstaller removed the program
};

struct RowLook
{
    RowLayout layout = RowLayout::kQueued;
    std::wstring speed;   // speed label text (running: the speed; else the fixed text); empty leaves it
    std::wstring size;    // size label text; empty leaves it
    std::wstring status;  // status label text
    int barWidth = 5;     // the band's width (running: the share done)
    // Running looks of game and plug-in rows hide the download and view
    // buttons and set the cancel button's tag; accelerator rows leave them.
    bool ownsButtons = true;
    UINT_PTR cancelTag = 0;  // the task's worker thread id
    bool setsCancelTag = false;
};

// The row's busy colour while a task is queued or runs.
constexpr DWORD kBusyRowColour = 0xFF2B2B2B;

RowLook QueuedLook(UINT_PTR threadId);
// "等待校验", "等待解压" or "等待安装" in both the speed and the status label.
RowLook WaitingLook(const std::wstring& text);
// "下载失败", "校验失败" or "解压失败".
RowLook FailedLook(const std::wstring& text);
RowLook InstalledLook(const std::wstring& sizeText);
// A launcher row whose installer ended with the launcher in place: the
// installed layout with "安装成功" as its status and no speed text.
RowLook LauncherInstalledLook(const std::wstring& sizeText);
RowLook CancelledLook(const std::wstring& sizeText);
RowLook InstallNotDetectedLook(const std::wstring& sizeText);
// "等待卸载" while the removal runs; the item's buttons wait for its end.
RowLook RemovingLook();
// "等待卸载" beside the program's size while its uninstaller runs.
RowLook UninstallerRunningLook(const std::wstring& sizeText);
// "已卸载" with the download button back; speed, size and background stay.
RowLook RemovedLook();
// "已卸载" after an accelerator's uninstaller, the row idle again.
RowLook ProgramRemovedLook();

// One progress step of a stage; stageFormat takes the percentage done
// ("已下载%.1f%%", "校验中%.1f%%", "解压中%.1f%%"). A total of 0, or bytes
// done past it, keep the band and the percentage between 0 and 100 %.
struct ProgressFigures
{
    uint64_t done = 0;
    uint64_t total = 0;
    uint32_t speedKb = 0;
};
RowLook RunningLook(RowKind kind, const wchar_t* stageFormat, const ProgressFigures& figures, int rowWidth,
                    UINT_PTR threadId);

// "%lu KB/S" up to 2048 KB/s, "%.2f M/S" above.
std::wstring SpeedText(uint32_t speedKb);
// The share done, 0 to 1; 0 for a total of 0.
double ShareDone(uint64_t done, uint64_t total);
// The running bar's width: the row's width times the share done, truncated
// toward zero; 0 for a total of 0, the whole row for bytes past the total.
int BarWidth(int rowWidth, uint64_t done, uint64_t total);

// Applies the look to the row's children, as far as the row has them.
void ApplyRowLook(CalUI::CControlUI* row, const RowLook& look);
