#pragma once
// Hooks that other objects attach to moments of a control's life without
// deriving from the control.

#include <cstring>
#include <memory>
#include <vector>

namespace CalUI {

// One bound handler. Two delegates are equal when they call the same handler
// on the same object, whatever concrete class holds them.
class CDelegateBase
{
public:
    virtual ~CDelegateBase() = default;
    virtual std::unique_ptr<CDelegateBase> Copy() const = 0;
    virtual bool Invoke(void* param) = 0;

    bool Equals(const CDelegateBase& other) const;

protected:
    // Large enough for a member-function pointer of any class under this ABI.
    struct HandlerId
    {
        unsigned char bytes[2 * sizeof(void*)] = {};
    };

    CDelegateBase(void* object, const HandlerId& handler) : m_object(object), m_handler(handler) {}
    void* GetTarget() const { return m_object; }

    template <class Fn>
    static HandlerId IdOf(Fn fn)
    {
        static_assert(sizeof(Fn) <= sizeof(HandlerId::bytes), "handler too large to identify");
        HandlerId id;
        std::memcpy(id.bytes, &fn, sizeof(Fn));
        return id;
    }

private:
    void* m_object;
    HandlerId m_handler;
};

// Calls `bool T::handler(void* param)` on an object of class O.
template <class O, class T>
class CDelegate : public CDelegateBase
{
public:
    using Handler = bool (T::*)(void* param);

    CDelegate(O* object, Handler handler) : CDelegateBase(object, IdOf(handler)), m_handler(handler) {}

    std::unique_ptr<CDelegateBase> Copy() const override { return std::make_unique<CDelegate>(*this); }
    bool Invoke(void* param) override { return (static_cast<O*>(GetTarget())->*m_handler)(param); }

private:
    Handler m_handler;
};

// An ordered list of owned delegates; each distinct delegate is held once.
class CDelegateList
{
public:
    CDelegateList() = default;
    CDelegateList(const CDelegateList&) = delete;
    CDelegateList& operator=(const CDelegateList&) = delete;

    // Stores a copy; the caller keeps its own delegate.
    void Add(const CDelegateBase& delegate);
    // True when every delegate returned true (or there are none); the first
    // false stops the call.
    bool Invoke(void* param);
    bool HasAny() const;

private:
    std::vector<std::unique_ptr<CDelegateBase>> m_delegates;
};

}  // namespace CalUI
