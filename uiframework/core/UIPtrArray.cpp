#include "core/UIPtrArray.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace CalUI {

namespace {

constexpr int kFirstCapacity = 11;

}  // namespace

CUIPtrArray::CUIPtrArray(int capacity) : m_items(nullptr), m_count(0), m_capacity(0)
{
    if (capacity > 0) {
        m_items = static_cast<void**>(calloc(capacity, sizeof(void*)));
        if (m_items)
            m_capacity = capacity;
    }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other) : CUIPtrArray()
{
    for (int i = 0; i < other.m_count; ++i)
        Add(other.m_items[i]);
}

CUIPtrArray::~CUIPtrArray() { free(m_items); }

int CUIPtrArray::GetCount() const { return m_count; }

bool CUIPtrArray::IsEmpty() const { return m_count == 0; }

void CUIPtrArray::Empty()
{
    free(m_items);
    m_items = nullptr;
    m_count = 0;
    m_capacity = 0;
}

void CUIPtrArray::Resize(int count)
{
    Empty();
    if (count <= 0)
        return;
    m_items = static_cast<void**>(calloc(count, sizeof(void*)));
    if (m_items) {
        m_count = count;
        m_capacity = count;
    }
}

bool CUIPtrArray::Add(void* item)
{
    if (!GrowByOne())
        return false;
    m_items[m_count - 1] = item;
    return true;
}

bool CUIPtrArray::InsertAt(int index, void* item)
{
    if (index == m_count)
        return Add(item);
    if (index < 0 || index > m_count || !GrowByOne())
        return false;
    memmove(m_items + index + 1, m_items + index, (m_count - 1 - index) * sizeof(void*));
    m_items[index] = item;
    return true;
}

bool CUIPtrArray::RemoveAt(int index, int count)
{
    if (index < 0 || count <= 0 || index > m_count - count)
        return false;
    memmove(m_items + index, m_items + index + count, (m_count - index - count) * sizeof(void*));
    m_count -= count;
    return true;
}

int CUIPtrArray::Find(void* item) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_items[i] == item)
            return i;
    }
    return -1;
}

void* CUIPtrArray::GetAt(int index) const { return index >= 0 && index < m_count ? m_items[index] : nullptr; }

void*& CUIPtrArray::operator[](int index) { return m_items[index]; }

void* CUIPtrArray::operator[](int index) const { return m_items[index]; }

// Raises the count by one. The capacity doubles (from kFirstCapacity) whenever
// the count reaches it, so a free slot always follows the last item. When the
// block cannot grow, count, block and items stay as they were.
bool CUIPtrArray::GrowByOne()
{
    if (m_count + 1 < m_capacity) {
        ++m_count;
        return true;
    }
    const int capacity = m_capacity == 0 ? kFirstCapacity : m_capacity * 2;
    if (m_capacity > INT32_MAX / 2 || static_cast<size_t>(capacity) > SIZE_MAX / sizeof(void*))
        return false;
    void* block = realloc(m_items, static_cast<size_t>(capacity) * sizeof(void*));
    if (!block)
        return false;
    m_items = static_cast<void**>(block);
    m_capacity = capacity;
    ++m_count;
    return true;
}

}  // namespace CalUI
