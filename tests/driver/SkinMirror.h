#pragma once
// One skin layout of the client's archive, built and laid out by the
// framework in a hidden window of the skin's own size, so that the driver
// knows where the running client shows each control without looking inside
// it. The archive must have been handed to the framework (SetResourceZip)
// first. Lists and tiles that the client fills at run time are stood in for
// by plain items of their fixed size, scrolled as the client scrolls them.

#include <windows.h>

#include <memory>

namespace CalUI {
class CContainerUI;
class CControlUI;
}  // namespace CalUI

class MirrorWnd;

// One item of a list or tile layout that the client fills.
struct ItemSpot
{
    LPCWSTR container = nullptr;  // the list or tile layout's name
    int index = 0;                // the item, from 0
    int count = 1;                // how many items the client shows there
    SIZE size = {0, 0};           // fixed size of each item; 0: the layout decides (tile cells, list width)
};

// Where an item shows once the client's container has been turned back to
// its top by `notchesUp` wheel notches (enough from anywhere) and then down
// by `notchesDown`.
struct ItemPlace
{
    RECT rect = {};
    int notchesUp = 0;
    int notchesDown = 0;
    POINT wheelAt = {};  // a point of the container's view, where the wheel turns
};

class SkinMirror
{
public:
    // Builds `skinFile`; throws when it does not build.
    explicit SkinMirror(LPCWSTR skinFile);
    ~SkinMirror();
    SkinMirror(const SkinMirror&) = delete;
    SkinMirror& operator=(const SkinMirror&) = delete;

    // The named control's rectangle in the window's client area, with the
    // control, its parents and the tab pages that hold it shown, as the
    // client shows them before a user can reach it; throws when the skin has
    // no such control.
    RECT ControlRect(LPCWSTR name);

    // Where the item shows, scrolled by the fewest notches that bring it
    // wholly into the container's view (or as far as the container scrolls);
    // throws when the container is missing or the spot names no item.
    ItemPlace PlaceItem(const ItemSpot& spot);

private:
    CalUI::CControlUI& Find(LPCWSTR name);
    CalUI::CContainerUI& FindContainer(LPCWSTR name);
    void ShowWithAncestors(CalUI::CControlUI& control);
    void FillWithItems(CalUI::CContainerUI& container, const ItemSpot& spot);
    void LayOut();

    std::unique_ptr<MirrorWnd> m_window;
};
