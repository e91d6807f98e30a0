#include "mainwindow/RowLooks.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

using namespace CalUI;

namespace {

constexpr int kResetBarWidth = 5;

struct Visibility
{
    // -1 leaves the control (the background: its colour) as it is.
    int speed, size, status, download, bar, cancel, view;
    int busy;
};

Visibility VisibilityOf(const RowLook& look)
{
    const int buttons = look.ownsButtons ? 0 : -1;
    switch (look.layout) {
    case RowLayout::kQueued:
        return {1, -1, 1, 0, 1, 1, -1, 1};
    case RowLayout::kRunning:
        return {1, 1, 1, buttons, 1, 1, buttons, 1};
    case RowLayout::kWaiting:
        return {1, -1, 1, -1, 1, 1, -1, 1};
    case RowLayout::kFailed:
        return {0, -1, 1, 1, 0, 0, -1, 0};
    case RowLayout::kInstalled:
        return {0, 1, 1, 0, 0, 0, 1, 0};
    case RowLayout::kCancelled:
        return {0, -1, 0, 1, 0, 0, 0, 0};
    case RowLayout::kInstallNotDetected:
        return {0, 1, 0, 1, 0, 0, -1, 0};
    case RowLayout::kRemoving:
        return {-1, -1, 1, 0, 0, 0, 0, -1};
    case RowLayout::kUninstallerRunning:
        return {-1, 1, 1, 0, 0, 0, 1, -1};
    case RowLayout::kRemoved:
        return {-1, -1, 1, 1, 0, 0, 0, -1};
    case RowLayout::kProgramRemoved:
        return {0, -1, 1, 1, 0, 0, 0, 0};
    }
    return {-1, -1, -1, -1, -1, -1, -1, -1};
}

void Show(CControlUI* control, int visible)
{
    if (control != nullptr && visible >= 0)
        control->SetVisible(visible != 0);
}

void SetText(CControlUI* control, const std::wstring& text)
{
    if (control != nullptr)
        control->SetText(text.c_str());
}

RowLook Fixed(RowLayout layout, const wchar_t* speed, const std::wstring& size, const std::wstring& status)
{
    RowLook look;
    look.layout = layout;
    look.speed = speed;
    look.size = size;
    look.status = status;
    return look;
}

}  // namespace

RowLook QueuedLook(UINT_PTR threadId)
{
    RowLook look = Fixed(RowLayout::kQueued, L"等待", L"", L"等待开始");
    look.cancelTag = threadId;
    look.setsCancelTag = true;
    return look;
}

RowLook WaitingLook(const std::wstring& text) { return Fixed(RowLayout::kWaiting, text.c_str(), L"", text); }
RowLook FailedLook(const std::wstring& text) { return Fixed(RowLayout::kFailed, L"等待", L"", text); }
RowLook InstalledLook(const std::wstring& sizeText)
{
    return Fixed(RowLayout::kInstalled, L"安装成功", sizeText, L"已安装");
}
RowLook LauncherInstalledLook(const std::wstring& sizeText)
{
    return Fixed(RowLayout::kInstalled, L"", sizeText, L"安装成功");
}
RowLook CancelledLook(const std::wstring& sizeText)
{
    return Fixed(RowLayout::kCancelled, L"等待", sizeText, L"已取消");
}
RowLook InstallNotDetectedLook(const std::wstring& sizeText)
{
    return Fixed(RowLayout::kInstallNotDetected, L"等待", sizeText, L"取消安装");
}
RowLook RemovingLook() { return Fixed(RowLayout::kRemoving, L"", L"", L"等待卸载"); }
RowLook UninstallerRunningLook(const std::wstring& sizeText)
{
    return Fixed(RowLayout::kUninstallerRunning, L"", sizeText, L"等待卸载");
}
RowLook RemovedLook() { return Fixed(RowLayout::kRemoved, L"", L"", L"已卸载"); }
RowLook ProgramRemovedLook() { return Fixed(RowLayout::kProgramRemoved, L"等待", L"", L"已卸载"); }

double ShareDone(uint64_t done, uint64_t total)
{
    if (total == 0)
        return 0.0;
    return std::min(1.0, static_cast<double>(done) / static_cast<double>(total));
}

std::wstring SpeedText(uint32_t speedKb)
{
    wchar_t text[64] = {};
    if (speedKb <= 2048)
        std::swprintf(text, std::size(text), L"%lu KB/S", static_cast<unsigned long>(speedKb));
    else
        std::swprintf(text, std::size(text), L"%.2f M/S", speedKb / 1024.0);
    return text;
}

// The product comes before the division: a share rounded first (a third of 3 GB) can fall
// a hair below its exact value, and the 32-bit build's x87 arithmetic then
// truncates the bar a pixel short.
int BarWidth(int rowWidth, uint64_t done, uint64_t total)
{
    if (total == 0)
        return 0;
    if (done >= total)
        return rowWidth;
    return static_cast<int>(static_cast<double>(rowWidth) * static_cast<double>(done) / static_cast<double>(total));
}

RowLook RunningLook(RowKind kind, const wchar_t* stageFormat, const ProgressFigures& figures, int rowWidth,
                    UINT_PTR threadId)
{
    const double share = ShareDone(figures.done, figures.total);
    wchar_t status[64] = {};
    std::swprintf(status, std::size(status), stageFormat, share * 100.0);
    RowLook look;
    look.layout = RowLayout::kRunning;
    look.speed = SpeedText(figures.speedKb);
    look.size = SizeText(static_cast<int64_t>(std::min<uint64_t>(figures.done, INT64_MAX))) + L"/" +
                SizeText(static_cast<int64_t>(std::min<uint64_t>(figures.total, INT64_MAX)));
    look.status = status;
    look.barWidth = BarWidth(rowWidth, figures.done, figures.total);
    look.ownsButtons = kind != RowKind::kJiasuqi;
    look.cancelTag = threadId;
    look.setsCancelTag = look.ownsButtons;
    return look;
}

void ApplyRowLook(CControlUI* row, const RowLook& look)
{
    if (row == nullptr)
        return;
    const Visibility shown = VisibilityOf(look);
    if (shown.busy >= 0)
        row->SetBkColor(shown.busy != 0 ? kBusyRowColour : 0);

    CControlUI* speed = RowChildOf(row, RowChild::kSpeed);
    if (!look.speed.empty())
        SetText(speed, look.speed);
    Show(speed, shown.speed);
    CControlUI* size = RowChildOf(row, RowChild::kSize);
    if (!look.size.empty())
        SetText(size, look.size);
    Show(size, shown.size);
    CControlUI* status = RowChildOf(row, RowChild::kStatus);
    SetText(status, look.status);
    Show(status, shown.status);
    Show(RowChildOf(row, RowChild::kDownload), shown.download);

    if (CControlUI* bar = RowChildOf(row, RowChild::kBar)) {
        const int width = look.layout == RowLayout::kRunning ? look.barWidth : kResetBarWidth;
        bar->SetPos({0, 0, width, row->GetFixedHeight()}, true);
        Show(bar, shown.bar);
    }
    CControlUI* cancel = RowChildOf(row, RowChild::kCancel);
    if (cancel != nullptr && look.setsCancelTag)
        cancel->SetTag(look.cancelTag);
    Show(cancel, shown.cancel);
    Show(RowChildOf(row, RowChild::kView), shown.view);
}
