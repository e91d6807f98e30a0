#pragma once
#include <windows.h>

namespace CalUI {

// A growable array of untyped pointers. It owns its block of slots only: it
// never frees, copies or destroys what the pointers point to. Items may be null.
class CUIPtrArray
{
public:
    explicit CUIPtrArray(int capacity = 0);
    CUIPtrArray(const CUIPtrArray& other);
    CUIPtrArray& operator=(const CUIPtrArray&) = delete;
    ~CUIPtrArray();

    int GetCount() const;
    bool IsEmpty() const;
    void Empty();
    void Resize(int count);

    bool Add(void* item);
    bool InsertAt(int index, void* item);
    bool RemoveAt(int index, int count = 1);

    int Find(void* item) const;
    void* GetAt(int index) const;
    void*& operator[](int index);
    void* operator[](int index) const;

private:
    bool GrowByOne();

    void** m_items;  // owned block of m_capacity slots, null while m_capacity is 0
    int m_count;
    int m_capacity;
};

}  // namespace CalUI
