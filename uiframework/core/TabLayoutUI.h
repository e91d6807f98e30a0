#pragma once
// A container whose children are pages of which one is shown at a time; the
// window learns of a switch through the "tabselect" notification.

#include "core/ContainerUI.h"

namespace CalUI {

class CTabLayoutUI : public CContainerUI
{
public:
    LPCWSTR GetClass() const override;
    void* GetInterface(LPCWSTR name) override;

    bool Add(CControlUI* page) override;
    bool AddAt(CControlUI* page, int index) override;
    bool Remove(CControlUI* page, bool keep = false) override;
    void RemoveAll() override;

    int GetSelectedIndex() const;
    // Shows the page, hides the others; "tabselect" (wParam the new index,
    // lParam the old one) only when the page changes and `notify` is set.
    bool SelectItem(int index, bool notify = true);

    void SetPos(RECT rc, bool invalidate = true) override;
    void SetAttribute(LPCWSTR name, LPCWSTR value) override;

private:
    void PlaceCurrentPage(const RECT& layout);

    int m_currentIndex = -1;  // -1: no page shown
};

}  // namespace CalUI
