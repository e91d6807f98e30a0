#pragma once
#include <windows.h>

namespace CalUI {

// A hash map from case-sensitive UTF-16 keys to untyped pointers. The map owns
// its nodes and their key copies, never the values: an owner frees the values
// before it empties or destroys the map. A found entry moves to the head of its
// chain, so names looked up again and again are found first.
class CUIStringMap
{
public:
    static constexpr int kDefaultBucketCount = 83;

    explicit CUIStringMap(int bucketCount = kDefaultBucketCount);
    CUIStringMap(const CUIStringMap&) = delete;
    CUIStringMap& operator=(const CUIStringMap&) = delete;
    ~CUIStringMap();

    int GetCount() const;
    void Resize(int bucketCount);
    void RemoveAll();

    static UINT HashKey(LPCWSTR key);
    void* Find(LPCWSTR key, bool moveToFront = true);
    bool Insert(LPCWSTR key, void* value);
    void* Set(LPCWSTR key, void* value);
    bool Remove(LPCWSTR key);

    // Entries in scan order: buckets from the last to the first, each chain from its head.
    LPCWSTR GetKeyAt(int index) const;

private:
    struct Node;

    // Allocates the chain heads on first use; false when they cannot be.
    bool HasBuckets();
    Node*& BucketOf(LPCWSTR key) const;
    Node* FindNode(LPCWSTR key, bool moveToFront);
    void FreeAll();

    Node** m_buckets;  // owned array of chain heads, null until the first entry
    UINT m_bucketCount;
    int m_count;
};

}  // namespace CalUI
