#include "core/UIStringMap.h"

#include "core/UIString.h"

#include <cstdlib>

namespace CalUI {

struct CUIStringMap::Node
{
    CUIString key;
    void* value;
    Node* prev;
    Node* next;
};

CUIStringMap::CUIStringMap(int bucketCount) : m_buckets(nullptr), m_bucketCount(0), m_count(0)
{
    Resize(bucketCount < 16 ? 16 : bucketCount);
}

CUIStringMap::~CUIStringMap() { FreeAll(); }

int CUIStringMap::GetCount() const { return m_count; }

void CUIStringMap::Resize(int bucketCount)
{
    FreeAll();
    if (bucketCount <= 0)
        return;
    m_buckets = static_cast<Node**>(calloc(bucketCount, sizeof(Node*)));
    if (m_buckets)
        m_bucketCount = static_cast<UINT>(bucketCount);
}

void CUIStringMap::RemoveAll() { Resize(static_cast<int>(m_bucketCount)); }

UINT CUIStringMap::HashKey(LPCWSTR key)
{
    UINT hash = 0;
    if (key) {
        for (LPCWSTR p = key + wcslen(key); p != key;)
            hash = hash * 33 + *--p;
    }
    return hash;
}

void* CUIStringMap::Find(LPCWSTR key, bool moveToFront)
{
    const Node* node = FindNode(key, moveToFront);
    return node ? node->value : nullptr;
}

bool CUIStringMap::Insert(LPCWSTR key, void* value)
{
    if (m_bucketCount == 0 || Find(key))
        return false;
    Node*& head = BucketOf(key);
    Node* node = new Node{CUIString(key), value, nullptr, head};
    if (head)
        head->prev = node;
    head = node;
    ++m_count;
    return true;
}

void* CUIStringMap::Set(LPCWSTR key, void* value)
{
    if (m_bucketCount == 0)
        return value;
    if (Node* node = FindNode(key, true)) {
        void* old = node->value;
        node->value = value;
        return old;
    }
    Insert(key, value);
    return nullptr;
}

bool CUIStringMap::Remove(LPCWSTR key)
{
    Node* node = FindNode(key, false);
    if (!node)
        return false;
    if (node->prev)
        node->prev->next = node->next;
    else
        BucketOf(key) = node->next;
    if (node->next)
        node->next->prev = node->prev;
    delete node;
    --m_count;
    return true;
}

LPCWSTR CUIStringMap::GetKeyAt(int index) const
{
    if (index < 0)
        return nullptr;
    for (UINT bucket = m_bucketCount; bucket-- > 0;) {
        for (const Node* node = m_buckets[bucket]; node; node = node->next) {
            if (index-- == 0)
                return node->key;
        }
    }
    return nullptr;
}

CUIStringMap::Node*& CUIStringMap::BucketOf(LPCWSTR key) const { return m_buckets[HashKey(key) % m_bucketCount]; }

CUIStringMap::Node* CUIStringMap::FindNode(LPCWSTR key, bool moveToFront)
{
    if (m_bucketCount == 0)
        return nullptr;
    Node*& head = BucketOf(key);
    for (Node* node = head; node; node = node->next) {
        if (node->key != key)
            continue;
        if (moveToFront && node != head) {
            node->prev->next = node->next;
            if (node->next)
                node->next->prev = node->prev;
            node->prev = nullptr;
            node->next = head;
            head->prev = node;
            head = node;
        }
        return node;
    }
    return nullptr;
}

void CUIStringMap::FreeAll()
{
    for (UINT bucket = 0; bucket < m_bucketCount; ++bucket) {
        for (Node* node = m_buckets[bucket]; node;) {
            Node* next = node->next;
            delete node;
            node = next;
        }
    }
    free(m_buckets);
    m_buckets = nullptr;
    m_bucketCount = 0;
    m_count = 0;
}

}  // namespace CalUI
