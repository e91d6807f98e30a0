// The table of control classes by element name.

#include "builder/ControlFactory.h"

#include "core/ContainerUI.h"
#include "core/ControlUI.h"
#include "controls/AnimatedButtonUI.h"
#include "controls/AnimationUI.h"
#include "controls/BusyIndicatorUI.h"
#include "controls/ActiveXUI.h"
#include "controls/ButtonUI.h"
#include "builder/ChildLayoutUI.h"
#include "controls/DateTimeUI.h"
#include "controls/EditUI.h"
#include "controls/ComboUI.h"
#include "controls/HorizontalLayoutUI.h"
#include "controls/LabelUI.h"
#include "controls/ListContainerElementUI.h"
#include "controls/ListElementUI.h"
#include "controls/ListHeaderUI.h"
#include "controls/ListUI.h"
#include "controls/OptionUI.h"
#include "controls/ProgressUI.h"
#include "controls/RichEditUI.h"
#include "core/ScrollBarUI.h"
#include "controls/SliderUI.h"
#include "controls/TextUI.h"
#include "controls/TileLayoutUI.h"
#include "controls/TreeViewUI.h"
#include "controls/VerticalLayoutUI.h"
#include "controls/WebBrowserUI.h"
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
    {L"Edit", &Make<CEditUI>},
    {L"DateTime", &Make<CDateTimeUI>},
    {L"GifAnim", &Make<CGifAnimUI>},
    {L"ApngAnim", &Make<CApngAnimUI>},
    {L"GifButton", &Make<CGifButtonUI>},
    {L"ApngButton", &Make<CApngButtonUI>},
    {L"ChrysanthemumLoading", &Make<CChrysanthemumLoadingUI>},
    {L"RotateImage", &Make<CRotateImageUI>},
    {L"RichEdit", &Make<CRichEditUI>},
    {L"ActiveX", &Make<CActiveXUI>},
    {L"WebBrowser", &Make<CWebBrowserUI>},
    {L"List", &Make<CListUI>},
    {L"ListHeader", &Make<CListHeaderUI>},
    {L"ListHeaderItem", &Make<CListHeaderItemUI>},
    {L"ListLabelElement", &Make<CListLabelElementUI>},
    {L"ListTextElement", &Make<CListTextElementUI>},
    {L"ListContainerElement", &Make<CListContainerElementUI>},
    {L"ListHBoxElement", &Make<CListHBoxElementUI>},
    {L"Combo", &Make<CComboUI>},
    {L"ComboBox", &Make<CComboUI>},
    {L"TreeView", &Make<CTreeViewUI>},
    {L"Tree", &Make<CTreeViewUI>},
    {L"TreeNode", &Make<CTreeNodeUI>},
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
