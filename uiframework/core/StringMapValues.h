#pragma once
// Walking and freeing the values of a CUIStringMap whose values are owned
// heap objects of one type (the map itself never frees its values).

#include "core/UIString.h"
#include "core/UIStringMap.h"

namespace CalUI {

// Tables keyed by number store the number written in base 10.
inline CUIString DecimalKey(int id)
{
    CUIString key;
    key.SmallFormat(L"%d", id);
    return key;
}

// Calls fn(key, value) for every entry in scan order; stops at the first
// call that returns true and gives that value, else null.
template <class T, class Fn>
T* FindMapValue(const CUIStringMap& map, Fn fn)
{
    CUIStringMap& walked = const_cast<CUIStringMap&>(map);  // Find without move-to-front changes nothing
    for (int i = 0; LPCWSTR key = walked.GetKeyAt(i); ++i) {
        T* value = static_cast<T*>(walked.Find(key, false));
        if (value != nullptr && fn(key, value))
            return value;
    }
    return nullptr;
}

// Deletes every value and empties the map, keeping its bucket count.
template <class T, class Deleter>
void DeleteMapValues(CUIStringMap& map, Deleter deleter)
{
    FindMapValue<T>(map, [&](LPCWSTR, T* value) {
        deleter(value);
        return false;
    });
    map.RemoveAll();
}

template <class T>
void DeleteMapValues(CUIStringMap& map)
{
    DeleteMapValues<T>(map, [](T* value) { delete value; });
}

}  // namespace CalUI
