// The table of control classes by element name.

#include "core/ControlFactory.h"

#include "core/ContainerUI.h"
#include "core/ControlUI.h"
#include "controls/ButtonUI.h"
#include "controls/ChildLayoutUI.h"
#include "controls/HorizontalLayoutUI.h"
#include "controls/LabelUI.h"
#include "controls/OptionUI.h"
#include "controls/ProgressUI.h"
#include "controls/RichEditUI.h"
#include "controls/ScrollBarUI.h"
#include "controls/SliderUI.h"
#include "controls/TextUI.h"
#include "controls/TileLayoutUI.h"
#include "controls/VerticalLayoutUI.h"
#include "core/TabLayoutUI.h"

namespace CalUI {

namespace {

template <class T>
CControlUI* Make()
{
    return new T;
}

struct ControlClassEntry
{
    LPCWSTR elementName;
    CControlUI* (*create)();
};

// One row per element name; a class with two names has two rows. One row a
// line, so that rows added on different branches merge cleanly.
// clang-format off
constexpr ControlClassEntry kControlClasses[] = {
    {L"Control", &Make<CControlUI>},
    {L"Container", &Make<CContainerUI>},
    {L"TabLayout", &Make<CTabLayoutUI>},
    {L"ScrollBar", &Make<CScrollBarUI>},
    {L"Label", &Make<CLabelUI>},
    {L"Progress", &Make<CProgressUI>},
    {L"Slider", &Make<CSliderUI>},
    {L"Text", &Make<CTextUI>},
    {L"VerticalLayout", &Make<CVerticalLayoutUI>},
    {L"VBox", &Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {L"HBox", &Make<CHorizontalLayoutUI>},
    {L"TileLayout", &Make<CTileLayoutUI>},
    {L"ChildLayout", &Make<CChildLayoutUI>},
    {L"Button", &Make<CButtonUI>},
    {L"Option", &Make<COptionUI>},
    {L"CheckBox", &Make<CCheckBoxUI>},
    {L"RichEdit", &Make<CRichEditUI>},
};
// clang-format on

}  // namespace

CControlUI* CreateControlByElementName(LPCWSTR elementName)
{
    if (elementName == nullptr)
        return nullptr;
    for (const ControlClassEntry& entry : kControlClasses) {
        if (lstrcmpiW(entry.elementName, elementName) == 0)
            return entry.create();
    }
    return nullptr;
}

}  // namespace CalUI
