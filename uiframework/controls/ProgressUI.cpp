// The progress bar.

#include "controls/ProgressUI.h"

#include <algorithm>
#include <climits>
#include <cwchar>

#include "core/AttributeValues.h"

namespace CalUI {

CProgressUI::CProgressUI()
{
    m_fixedHeight = 12;
    m_textStyle = DT_VCENTER | DT_SINGLELINE;
}

LPCWSTR CProgressUI::GetClass() const { return L"Progress"; }

void* CProgressUI::GetInterface(LPCWSTR name)
{
    if (std::wcscmp(name, L"Progress") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetAttribute(LPCWSTR name, LPCWSTR value)
{
    if (std::wcscmp(name, L"foreimage") == 0)
        SetForeImage(value);
    else if (std::wcscmp(name, L"hor") == 0)
        SetHorizontal(IsTrueValue(value));
    else if (std::wcscmp(name, L"min") == 0)
        SetMinValue(_wtoi(value));
    else if (std::wcscmp(name, L"max") == 0)
        SetMaxValue(_wtoi(value));
    else if (std::wcscmp(name, L"value") == 0)
        SetValue(_wtoi(value));
    else
        CLabelUI::SetAttribute(name, value);
}

bool CProgressUI::IsHorizontal() const { return m_horizontal; }

void CProgressUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    Invalidate();
}

int CProgressUI::GetMinValue() const { return m_min; }

void CProgressUI::SetMinValue(int minimum)
{
    m_min = minimum;
    Invalidate();
}

int CProgressUI::GetMaxValue() const { return m_max; }

void CProgressUI::SetMaxValue(int maximum)
{
    m_max = maximum;
    Invalidate();
}

int CProgressUI::GetValue() const { return m_value; }

void CProgressUI::SetValue(int value)
{
    m_value = std::max(std::min(value, m_max), m_min);
    Invalidate();
}

void CProgressUI::RepairRange()
{
    if (m_max <= m_min) {
        if (m_min == INT_MAX)
            m_min = INT_MAX - 1;
        m_max = m_min + 1;
    }
    m_value = std::clamp(m_value, m_min, m_max);
}

long long CProgressUI::Scale(long long length, long long part, long long whole) { return length * part / whole; }

bool CProgressUI::DrawImageAt(HDC hdc, ImageDrawInfo& image, RECT place)
{
    // Loading parses the image's text, which may carry a destination of its
    // own; the place is set after it so that it wins.
    if (!DrawImage(nullptr, image))
        return false;
    if (::IsRectEmpty(&place))
        return true;
    image.dest = place;
    return DrawImage(hdc, image);
}

RECT CProgressUI::FilledPart() const
{
    const long long span = static_cast<long long>(m_max) - m_min;
    const LONG width = m_pos.right - m_pos.left;
    const LONG height = m_pos.bottom - m_pos.top;
    if (m_horizontal)
        return RECT{0, 0, static_cast<LONG>(Scale(width, static_cast<long long>(m_value) - m_min, span)), height};
    return RECT{0, static_cast<LONG>(Scale(height, static_cast<long long>(m_max) - m_value, span)), width, height};
}

void CProgressUI::PaintStatusImage(HDC hdc)
{
    RepairRange();
    DrawImageAt(hdc, m_foreImage, FilledPart());
}

}  // namespace CalUI
