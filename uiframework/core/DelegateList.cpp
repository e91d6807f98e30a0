#include "core/DelegateList.h"

namespace CalUI {

bool CDelegateBase::Equals(const CDelegateBase& other) const
{
    return m_object == other.m_object &&
           std::memcmp(m_handler.bytes, other.m_handler.bytes, sizeof(m_handler.bytes)) == 0;
}

CDelegateList::~CDelegateList()
{
    for (int i = 0; i < m_delegates.GetCount(); ++i)
        delete GetAt(i);
}

void CDelegateList::Add(const CDelegateBase& delegate)
{
    for (int i = 0; i < m_delegates.GetCount(); ++i) {
        CDelegateBase* held = GetAt(i);
        if (held != nullptr && held->Equals(delegate))
            return;
    }
    CDelegateBase* copy = delegate.Copy();
    if (!m_delegates.Add(copy))
        delete copy;
}

bool CDelegateList::Invoke(void* param)
{
    for (int i = 0; i < m_delegates.GetCount(); ++i) {
        CDelegateBase* delegate = GetAt(i);
        if (delegate != nullptr && !delegate->Invoke(param))
            return false;
    }
    return true;
}

bool CDelegateList::HasAny() const
{
    return !m_delegates.IsEmpty();
}

CDelegateBase* CDelegateList::GetAt(int index) const
{
    return static_cast<CDelegateBase*>(m_delegates.GetAt(index));
}

}  // namespace CalUI
