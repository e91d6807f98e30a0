#include "core/DelegateList.h"

#include <utility>

namespace CalUI {

bool CDelegateBase::Equals(const CDelegateBase& other) const
{
    return m_object == other.m_object &&
           std::memcmp(m_handler.bytes, other.m_handler.bytes, sizeof(m_handler.bytes)) == 0;
}

void CDelegateList::Add(const CDelegateBase& delegate)
{
    for (const auto& held : m_delegates) {
        if (held->Equals(delegate))
            return;
    }
    std::unique_ptr<CDelegateBase> copy = delegate.Copy();
    if (copy != nullptr)
        m_delegates.push_back(std::move(copy));
}

bool CDelegateList::Invoke(void* param)
{
    // By index, and the size read again each time: a handler may add
    // delegates, which moves the list's slots, and those it adds are called
    // in this same pass.
    for (size_t i = 0; i < m_delegates.size(); ++i) {
        CDelegateBase* delegate = m_delegates[i].get();
        if (!delegate->Invoke(param))
            return false;
    }
    return true;
}

bool CDelegateList::HasAny() const { return !m_delegates.empty(); }

}  // namespace CalUI
