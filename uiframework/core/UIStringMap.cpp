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

// Every control carries a map of custom attributes that few of them ever
// use: the chain heads are only allocated for the first entry.
void CUIStringMap::Resize(int bucketCount)
{
    FreeAll();
    m_bucketCount = bucketCount > 0 ? static_cast<UINT>(bucketCount) : 0;
}

bool CUIStringMap::HasBuckets()
{
    if (!m_buckets && m_bucketCount > 0)
        m_buckets = static_cast<Node**>(calloc(m_bucketCount, sizeof(Node*)));
    return m_buckets != nullptr;
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
    if (!HasBuckets() || Find(key))
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
    if (Node* node = FindNode(key, true)) {
        void* old = node->value;
        node->value = value;
        return old;
    }
    return Insert(key, value) ? nullptr : value;
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
    if (index < 0 || !m_buckets)
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
    if (!m_buckets)
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
    for (UINT bucket = 0; m_buckets && bucket < m_bucketCount; ++bucket) {
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
