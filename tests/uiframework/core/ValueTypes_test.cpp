// The framework's own string, pointer array, string map, rectangle, size and
// resource reference, exercised where they are most likely to break: at the
// inline/heap boundary of strings, at the edges of arrays and in shared hash chains.
#include "core/ResourceRef.h"
#include "core/UIGeometry.h"
#include "core/UIPtrArray.h"
#include "core/UIString.h"
#include "core/UIStringMap.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <set>
#include <string>
#include <vector>

using namespace CalUI;

namespace {

// Distinct characters at neighbouring positions, so a shifted or cut copy shows.
std::wstring Pattern(int length, wchar_t first = L'a')
{
    std::wstring text;
    for (int i = 0; i < length; ++i)
        text += static_cast<wchar_t>(first + i % 26);
    return text;
}

bool TextInsideObject(const CUIString& s)
{
    const auto at = reinterpret_cast<const char*>(s.GetData());
    return at >= reinterpret_cast<const char*>(&s) && at < reinterpret_cast<const char*>(&s + 1);
}

// Short texts must live in the object; long ones in a heap block that holds
// every character and the terminator.
testing::AssertionResult StoredSoundly(const CUIString& s)
{
    const int length = s.GetLength();
    const bool inside = TextInsideObject(s);
    if (length <= 62)
        return inside ? testing::AssertionSuccess()
                      : testing::AssertionFailure() << "text of " << length << " characters left on the heap";
    if (inside)
        return testing::AssertionFailure() << "text of " << length << " characters inside the object";
    const size_t bytes = _msize(const_cast<wchar_t*>(s.GetData()));
    if (bytes < (length + 1) * sizeof(wchar_t))
        return testing::AssertionFailure() << "heap block of " << bytes << " bytes for " << length << " characters";
    return testing::AssertionSuccess();
}

// ---------------------------------------------------------------------------
// CUIString storage

TEST(UIStringStorage, ConstructedTextLivesWhereItsLengthSays)
{
    for (int length : {0, 1, 61, 62, 63, 64, 130, 5000}) {
        SCOPED_TRACE(length);
        const std::wstring text = Pattern(length);
        const CUIString s(text.c_str());
        EXPECT_EQ(text, s.GetData());
        EXPECT_EQ(length, s.GetLength());
        EXPECT_TRUE(StoredSoundly(s));
    }
}

TEST(UIStringStorage, AssignMovesBetweenInlineBufferAndHeap)
{
    // Each step reuses, grows, shrinks or leaves the heap block.
    CUIString s;
    for (int length : {10, 62, 63, 300, 150, 200, 301, 70, 62, 0, 80, 10}) {
        SCOPED_TRACE(length);
        const std::wstring text = Pattern(length, static_cast<wchar_t>(L'A' + length % 7));
        EXPECT_EQ(length, s.Assign(text.c_str()));
        EXPECT_EQ(text, s.GetData());
        EXPECT_TRUE(StoredSoundly(s));
    }
}

TEST(UIStringStorage, AssignCopiesOnlyTheGivenLength)
{
    CUIString s;
    EXPECT_EQ(3, s.Assign(L"abcdef", 3));
    EXPECT_EQ(L"abc", std::wstring(s.GetData()));
    const std::wstring longText = Pattern(200);
    EXPECT_EQ(100, s.Assign(longText.c_str(), 100));
    EXPECT_EQ(longText.substr(0, 100), s.GetData());
    EXPECT_TRUE(StoredSoundly(s));
}

TEST(UIStringStorage, AppendGrowsPastInlineBuffer)
{
    CUIString byChar;
    CUIString byPiece;
    std::wstring expected;
    for (int length = 1; length <= 300; ++length) {
        const wchar_t ch = static_cast<wchar_t>(L'a' + length % 26);
        expected += ch;
        byChar += ch;
        ASSERT_EQ(expected, byChar.GetData()) << length;
        ASSERT_TRUE(StoredSoundly(byChar)) << length;
    }
    expected.clear();
    for (int piece = 0; piece < 40; ++piece) {
        const std::wstring text = Pattern(7, static_cast<wchar_t>(L'A' + piece % 20));
        expected += text;
        byPiece.Append(text.c_str());
        ASSERT_EQ(expected, byPiece.GetData()) << piece;
        ASSERT_TRUE(StoredSoundly(byPiece)) << piece;
    }
}

TEST(UIStringStorage, OwnTextMayBeTheSource)
{
    const std::wstring shortText = Pattern(40);
    const std::wstring longText = Pattern(100);

    CUIString doubledShort(shortText.c_str());
    doubledShort += doubledShort;  // inline to heap
    EXPECT_EQ(shortText + shortText, doubledShort.GetData());

    // Neighbouring blocks keep the growing block from extending in place.
    CUIString doubledLong(longText.c_str());
    std::wstring expected = longText;
    std::vector<CUIString> neighbours;
    for (int round = 0; round < 5; ++round) {
        doubledLong += doubledLong;
        expected += expected;
        ASSERT_EQ(expected, doubledLong.GetData()) << round;
        neighbours.emplace_back(expected.c_str());
    }

    CUIString tailAppended(longText.c_str());
    tailAppended.Append(tailAppended.GetData() + 90);
    EXPECT_EQ(longText + longText.substr(90), tailAppended.GetData());

    CUIString shrunk(longText.c_str());
    shrunk.Assign(shrunk.GetData() + 60);  // heap to inline
    EXPECT_EQ(longText.substr(60), shrunk.GetData());
    EXPECT_TRUE(StoredSoundly(shrunk));

    CUIString shifted(longText.c_str());
    shifted.Assign(shifted.GetData() + 10);  // stays on the heap
    EXPECT_EQ(longText.substr(10), shifted.GetData());

    CUIString self(longText.c_str());
    self = self;
    EXPECT_EQ(longText, self.GetData());
}

TEST(UIStringStorage, CopiesShareNoText)
{
    for (int length : {5, 100}) {
        SCOPED_TRACE(length);
        const std::wstring text = Pattern(length);
        CUIString original(text.c_str());
        const CUIString constructed(original);
        CUIString assigned;
        assigned = original;
        original.MakeLower();
        original += L"!";
        EXPECT_EQ(text, constructed.GetData());
        EXPECT_EQ(text, assigned.GetData());
        EXPECT_TRUE(StoredSoundly(constructed));
    }
}

TEST(UIStringStorage, NullTextActsAsEmpty)
{
    CUIString s(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_NE(nullptr, s.GetData());
    s = L"abc";
    s += static_cast<LPCWSTR>(nullptr);
    EXPECT_TRUE(s == L"abc");
    s = static_cast<LPCWSTR>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(s == nullptr);
    CUIString longOne(Pattern(100).c_str());
    longOne.Empty();
    EXPECT_TRUE(longOne.IsEmpty());
    EXPECT_TRUE(StoredSoundly(longOne));
}

// ---------------------------------------------------------------------------
// CUIString pieces, searching, comparing

TEST(UIStringPieces, LeftAndMidClampToTheText)
{
    const CUIString s(L"abcdef");
    struct Case
    {
        int position;
        int n;
        const wchar_t* expected;
    };
    for (const Case& c : std::vector<Case>{
             {2, -1, L"cdef"}, {4, 10, L"ef"}, {6, 1, L""}, {0, 6, L"abcdef"}, {1, 0, L""}, {3, -5, L""}}) {
        SCOPED_TRACE(testing::Message() << "Mid(" << c.position << ", " << c.n << ")");
        EXPECT_EQ(std::wstring(c.expected), s.Mid(c.position, c.n).GetData());
    }
    for (const Case& c : std::vector<Case>{{0, -3, L""}, {0, 0, L""}, {0, 2, L"ab"}, {0, 100, L"abcdef"}}) {
        SCOPED_TRACE(testing::Message() << "Left(" << c.n << ")");
        EXPECT_EQ(std::wstring(c.expected), s.Left(c.n).GetData());
    }
    const std::wstring longText = Pattern(200);
    const CUIString longOne(longText.c_str());
    EXPECT_EQ(longText.substr(130), longOne.Mid(130).GetData());
    EXPECT_EQ(longText.substr(0, 100), longOne.Left(100).GetData());
}

TEST(UIStringPieces, FindCharacterAndText)
{
    const CUIString abc(L"abcabc");
    struct CharCase
    {
        const wchar_t* text;
        wchar_t ch;
        int start;
        int expected;
    };
    for (const CharCase& c : std::vector<CharCase>{{L"abcabc", L'b', 0, 1},
                                                   {L"abcabc", L'b', 2, 4},
                                                   {L"abcabc", L'c', 5, 5},
                                                   {L"abcabc", L'x', 0, -1},
                                                   {L"", L'a', 0, -1},
                                                   {L"abc", L'a', 3, -1},
                                                   {L"abc", L'a', -1, -1},
                                                   {L"abc", L'\0', 0, -1}}) {
        SCOPED_TRACE(testing::Message() << c.text << " char " << static_cast<int>(c.ch) << " from " << c.start);
        EXPECT_EQ(c.expected, CUIString(c.text).Find(c.ch, c.start));
    }
    struct TextCase
    {
        const wchar_t* text;
        const wchar_t* search;
        int start;
        int expected;
    };
    for (const TextCase& c : std::vector<TextCase>{{L"abcabc", L"ca", 0, 2},
                                                   {L"abcabc", L"abc", 1, 3},
                                                   {L"abcabc", L"abcd", 0, -1},
                                                   {L"abc", L"a", 3, -1},
                                                   {L"abc", L"", 3, 3},
                                                   {L"abc", L"a", 4, -1},
                                                   {L"abc", L"a", -1, -1},
                                                   {L"", L"a", 0, -1}}) {
        SCOPED_TRACE(testing::Message() << c.text << " \"" << c.search << "\" from " << c.start);
        EXPECT_EQ(c.expected, CUIString(c.text).Find(c.search, c.start));
    }
}

std::wstring Repeat(const std::wstring& piece, int times)
{
    std::wstring text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

TEST(UIStringPieces, ReplaceNeverSearchesInsertedText)
{
    struct Case
    {
        std::wstring text;
        const wchar_t* search;
        const wchar_t* replacement;
        std::wstring expected;
        int count;
    };
    for (const Case& c :
         std::vector<Case>{{L"aXa", L"a", L"aa", L"aaXaa", 2},
                           {L"abab", L"ab", L"xaby", L"xabyxaby", 2},
                           {L"aaa", L"aa", L"b", L"ba", 1},
                           {L"a.b.c.", L".", L"", L"abc", 3},
                           {L"abc", L"x", L"y", L"abc", 0},
                           {L"ab", L"abc", L"y", L"ab", 0},
                           {L"abc", L"", L"y", L"abc", 0},
                           {Repeat(L"b", 40), L"b", L"<b>", Repeat(L"<b>", 40), 40},     // grows onto the heap
                           {Repeat(L"<b>", 40), L"<b>", L"b", Repeat(L"b", 40), 40}}) {  // shrinks back inside
        SCOPED_TRACE(testing::Message() << c.text << " / " << c.search << " / " << c.replacement);
        CUIString s(c.text.c_str());
        EXPECT_EQ(c.count, s.Replace(c.search, c.replacement));
        EXPECT_EQ(c.expected, s.GetData());
        EXPECT_TRUE(StoredSoundly(s));
    }
}

TEST(UIStringPieces, ComparingAndLowerCasing)
{
    const CUIString name(L"Login_Btn");
    EXPECT_TRUE(name == L"Login_Btn");
    EXPECT_FALSE(name == L"login_btn");
    EXPECT_TRUE(name != L"Login_Bt");
    EXPECT_TRUE(name == CUIString(L"Login_Btn"));
    EXPECT_FALSE(name == CUIString(L"Login_Btn2"));
    EXPECT_EQ(0, name.CompareNoCase(L"LOGIN_btn"));
    EXPECT_GT(0, CUIString(L"apple").CompareNoCase(L"Banana"));
    EXPECT_LT(0, CUIString(L"Cherry").CompareNoCase(L"banana"));

    CUIString mixed(L"AbC-\u00C4\u0130-Z\u6E38\u620F");
    mixed.MakeLower();
    EXPECT_EQ(std::wstring(L"abc-\u00C4\u0130-z\u6E38\u620F"), mixed.GetData());
}

// ---------------------------------------------------------------------------
// CUIString formatting

struct Formatted
{
    int returned;
    std::wstring text;
    bool storedSoundly;
};

template <typename... Args>
Formatted FormatInto(bool small, LPCWSTR format, Args... args)
{
    CUIString s(L"previous text");
    const int returned = small ? s.SmallFormat(format, args...) : s.Format(format, args...);
    return {returned, s.GetData(), static_cast<bool>(StoredSoundly(s))};
}

// Both give the whole result however long it is, SmallFormat too, whose name
// promises a result that fits the inline buffer.
TEST(UIStringFormat, WholeResultWhateverItsLength)
{
    const std::wstring wide = Pattern(5000);
    const std::wstring sixtyThree = Pattern(63);
    const std::string narrow(300, 'n');
    for (bool small : {false, true}) {
        SCOPED_TRACE(small ? "SmallFormat" : "Format");
        struct Case
        {
            Formatted result;
            std::wstring expected;
        };
        for (const Case& c : std::vector<Case>{
                 {FormatInto(small, L"[%s %d]", L"main.cpp", 42), L"[main.cpp 42]"},
                 {FormatInto(small, L"%s", sixtyThree.c_str()), sixtyThree},
                 {FormatInto(small, L"<%s>", wide.c_str()), L"<" + wide + L">"},
                 {FormatInto(small, L"%S|%08X", narrow.c_str(), 0xBEEFu), std::wstring(300, L'n') + L"|0000BEEF"},
                 {FormatInto(small, L"%I64d %c%c", 1765000000123LL, L'\u6E38', L'!'), L"1765000000123 \u6E38!"},
                 {FormatInto(small, L"%500d", 7), std::wstring(499, L' ') + L"7"},
                 {FormatInto(small, L""), L""}}) {
            SCOPED_TRACE(c.expected.substr(0, 20));
            EXPECT_EQ(c.expected, c.result.text);
            EXPECT_EQ(static_cast<int>(c.expected.size()), c.result.returned);
            EXPECT_TRUE(c.result.storedSoundly);
        }
    }
    EXPECT_EQ(L"12.35%", FormatInto(false, L"%.2f%%", 12.345).text);
}

TEST(UIStringFormat, OwnTextAsFormatOrArgument)
{
    for (bool small : {false, true}) {
        SCOPED_TRACE(small ? "SmallFormat" : "Format");
        CUIString format(L"<%s|%d>");
        const int n = small ? format.SmallFormat(format.GetData(), L"x", 5) : format.Format(format.GetData(), L"x", 5);
        EXPECT_EQ(5, n);
        EXPECT_EQ(std::wstring(L"<x|5>"), format.GetData());

        const std::wstring longText = Pattern(100);
        CUIString argument(longText.c_str());
        if (small)
            argument.SmallFormat(L"[%s][%s]", argument.GetData(), argument.GetData());
        else
            argument.Format(L"[%s][%s]", argument.GetData(), argument.GetData());
        EXPECT_EQ(L"[" + longText + L"][" + longText + L"]", argument.GetData());
    }
}

// ---------------------------------------------------------------------------
// CUIPtrArray

// Stand-ins for the pointers the framework stores: only their identity matters.
class UIPtrArrayTest : public testing::Test
{
protected:
    void* Item(int i) { return &m_slots[i]; }

    std::vector<void*> Items(const CUIPtrArray& array)
    {
        std::vector<void*> items;
        for (int i = 0; i < array.GetCount(); ++i)
            items.push_back(array[i]);
        return items;
    }

    std::vector<void*> ItemsOf(const std::vector<int>& ids)
    {
        std::vector<void*> items;
        for (int id : ids)
            items.push_back(Item(id));
        return items;
    }

    CUIPtrArray MakeArray(std::initializer_list<int> ids)
    {
        CUIPtrArray array;
        for (int id : ids)
            EXPECT_TRUE(array.Add(Item(id)));
        return array;
    }

private:
    int m_slots[2000] = {};
};

TEST_F(UIPtrArrayTest, ItemsSurviveEveryGrowth)
{
    for (int capacity : {0, 1, 5, 11}) {
        SCOPED_TRACE(capacity);
        CUIPtrArray array(capacity);
        EXPECT_TRUE(array.IsEmpty());
        for (int i = 0; i < 1000; ++i)
            ASSERT_TRUE(array.Add(Item(i)));
        ASSERT_EQ(1000, array.GetCount());
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(Item(i), array.GetAt(i)) << i;
            ASSERT_EQ(Item(i), array[i]) << i;
        }
    }
}

TEST_F(UIPtrArrayTest, InsertAtTheEdgesAndInside)
{
    struct Case
    {
        int index;
        bool accepted;
        std::vector<int> expected;
    };
    for (const Case& c : std::vector<Case>{{0, true, {9, 1, 2, 3}},
                                           {1, true, {1, 9, 2, 3}},
                                           {2, true, {1, 2, 9, 3}},
                                           {3, true, {1, 2, 3, 9}},
                                           {-1, false, {1, 2, 3}},
                                           {4, false, {1, 2, 3}}}) {
        SCOPED_TRACE(c.index);
        CUIPtrArray array = MakeArray({1, 2, 3});
        EXPECT_EQ(c.accepted, array.InsertAt(c.index, Item(9)));
        EXPECT_EQ(ItemsOf(c.expected), Items(array));
    }
}

TEST_F(UIPtrArrayTest, InsertAtFrontAcrossGrowth)
{
    CUIPtrArray array;
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(array.InsertAt(0, Item(i)));
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(Item(99 - i), array[i]) << i;
}

TEST_F(UIPtrArrayTest, RemoveAtTheEdgesAndInside)
{
    struct Case
    {
        int index;
        int n;
        bool accepted;
        std::vector<int> expected;
    };
    for (const Case& c : std::vector<Case>{{0, 1, true, {2, 3, 4}},
                                           {3, 1, true, {1, 2, 3}},
                                           {1, 2, true, {1, 4}},
                                           {0, 4, true, {}},
                                           {2, 2, true, {1, 2}},
                                           {-1, 1, false, {1, 2, 3, 4}},
                                           {0, 0, false, {1, 2, 3, 4}},
                                           {1, -1, false, {1, 2, 3, 4}},
                                           {0, 5, false, {1, 2, 3, 4}},
                                           {3, 2, false, {1, 2, 3, 4}},
                                           {4, 1, false, {1, 2, 3, 4}}}) {
        SCOPED_TRACE(testing::Message() << "RemoveAt(" << c.index << ", " << c.n << ")");
        CUIPtrArray array = MakeArray({1, 2, 3, 4});
        EXPECT_EQ(c.accepted, array.RemoveAt(c.index, c.n));
        EXPECT_EQ(ItemsOf(c.expected), Items(array));
    }
}

TEST_F(UIPtrArrayTest, LookupsOutsideTheItemsFindNothing)
{
    CUIPtrArray array = MakeArray({1, 2, 1});
    EXPECT_TRUE(array.Add(nullptr));
    EXPECT_EQ(0, array.Find(Item(1)));
    EXPECT_EQ(3, array.Find(nullptr));
    EXPECT_EQ(-1, array.Find(Item(7)));
    EXPECT_EQ(nullptr, array.GetAt(-1));
    EXPECT_EQ(nullptr, array.GetAt(4));
    EXPECT_EQ(Item(2), array.GetAt(1));
}

TEST_F(UIPtrArrayTest, ResizeGivesNullSlotsToFill)
{
    CUIPtrArray array = MakeArray({1, 2});
    array.Resize(30);
    ASSERT_EQ(30, array.GetCount());
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(nullptr, array[i]) << i;
    array[29] = Item(5);
    EXPECT_TRUE(array.Add(Item(6)));
    EXPECT_EQ(Item(5), array.GetAt(29));
    EXPECT_EQ(Item(6), array.GetAt(30));
    array.Resize(-3);
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_TRUE(array.Add(Item(7)));
    array.Empty();
    EXPECT_EQ(0, array.GetCount());
    EXPECT_EQ(nullptr, array.GetAt(0));
}

TEST_F(UIPtrArrayTest, CopyIsIndependent)
{
    CUIPtrArray original = MakeArray({1, 2, 3});
    CUIPtrArray copy(original);
    EXPECT_TRUE(copy.Add(Item(4)));
    EXPECT_TRUE(original.RemoveAt(0));
    EXPECT_EQ(ItemsOf({1, 2, 3, 4}), Items(copy));
    EXPECT_EQ(ItemsOf({2, 3}), Items(original));
}

// The most slots the process can have, halving from 2^30: an int count cannot
// double that many, and a block of fewer slots was had only after one of twice
// as many was not (2^30 slots are more than a 32-bit process can address at
// all). Either way growing must fail and leave the array as it was.
TEST_F(UIPtrArrayTest, FailedGrowthLeavesTheArrayAsItWas)
{
    CUIPtrArray array;
    int slots = 1 << 30;
    array.Resize(slots);
    while (array.GetCount() == 0 && slots > 1) {
        slots /= 2;
        array.Resize(slots);
    }
    ASSERT_EQ(slots, array.GetCount());
    array[0] = Item(1);
    array[slots - 1] = Item(2);
    EXPECT_FALSE(array.Add(Item(3)));
    EXPECT_FALSE(array.InsertAt(0, Item(3)));
    EXPECT_EQ(slots, array.GetCount());
    EXPECT_EQ(Item(1), array[0]);
    EXPECT_EQ(Item(2), array[slots - 1]);
    EXPECT_EQ(nullptr, array.GetAt(slots));
    EXPECT_TRUE(array.RemoveAt(1, slots - 2));
    EXPECT_EQ(ItemsOf({1, 2}), Items(array));
}

// ---------------------------------------------------------------------------
// CUIStringMap

// Four control names whose hashes meet in one chain of an 83-bucket map.
const wchar_t* const kChain[] = {L"count_lab", L"edit7", L"edit15", L"lab_j"};

std::vector<std::wstring> ScanOrder(const CUIStringMap& map)
{
    std::vector<std::wstring> keys;
    for (int i = 0; map.GetKeyAt(i); ++i)
        keys.push_back(map.GetKeyAt(i));
    return keys;
}

class UIStringMapTest : public testing::Test
{
protected:
    UIStringMapTest()
    {
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(m_chained.Insert(kChain[i], Value(i)));
    }

    void* Value(int i) { return &m_values[i]; }

    CUIStringMap m_chained;  // newest first: lab_j, edit15, edit7, count_lab
    int m_values[8] = {};
};

TEST_F(UIStringMapTest, ChainedKeysShareOneBucket)
{
    for (const wchar_t* key : kChain)
        EXPECT_EQ(CUIStringMap::HashKey(kChain[0]) % 83, CUIStringMap::HashKey(key) % 83) << key;
    EXPECT_EQ((std::vector<std::wstring>{L"lab_j", L"edit15", L"edit7", L"count_lab"}), ScanOrder(m_chained));
    // Scanning starts at the last bucket: "a" hashes to bucket 14, the chain lies in bucket 8.
    EXPECT_TRUE(m_chained.Insert(L"a", Value(4)));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"lab_j", L"edit15", L"edit7", L"count_lab"}), ScanOrder(m_chained));
}

TEST_F(UIStringMapTest, HashRunsFromTheLastCharacter)
{
    struct Case
    {
        const wchar_t* key;
        UINT hash;
    };
    for (const Case& c : std::vector<Case>{{L"", 0},
                                           {nullptr, 0},
                                           {L"a", 97},
                                           {L"ab", 98 * 33 + 97},
                                           {L"ba", 97 * 33 + 98},
                                           {L"\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF", 2838648507u}}) {
        SCOPED_TRACE(testing::Message() << (c.key ? c.key : L"(null)"));
        EXPECT_EQ(c.hash, CUIStringMap::HashKey(c.key));
    }
}

TEST_F(UIStringMapTest, FindEveryKeyOfAChain)
{
    for (bool moveToFront : {false, true}) {
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Value(i), m_chained.Find(kChain[i], moveToFront)) << kChain[i];
    }
    EXPECT_EQ(nullptr, m_chained.Find(L"Edit7"));  // keys are case-sensitive
    EXPECT_EQ(nullptr, m_chained.Find(L"edit"));
    EXPECT_EQ(4, m_chained.GetCount());
}

TEST_F(UIStringMapTest, FoundKeyMovesToTheHeadOfItsChain)
{
    EXPECT_EQ(Value(0), m_chained.Find(L"count_lab", false));
    EXPECT_EQ((std::vector<std::wstring>{L"lab_j", L"edit15", L"edit7", L"count_lab"}), ScanOrder(m_chained));
    EXPECT_EQ(Value(2), m_chained.Find(L"edit15"));
    EXPECT_EQ((std::vector<std::wstring>{L"edit15", L"lab_j", L"edit7", L"count_lab"}), ScanOrder(m_chained));
    EXPECT_EQ(Value(0), m_chained.Find(L"count_lab", true));
    EXPECT_EQ((std::vector<std::wstring>{L"count_lab", L"edit15", L"lab_j", L"edit7"}), ScanOrder(m_chained));
}

TEST_F(UIStringMapTest, RemoveFromAnyPlaceInAChain)
{
    for (int removed = 0; removed < 4; ++removed) {
        SCOPED_TRACE(kChain[removed]);
        CUIStringMap map;
        for (int i = 0; i < 4; ++i)
            map.Insert(kChain[i], Value(i));
        EXPECT_TRUE(map.Remove(kChain[removed]));
        EXPECT_FALSE(map.Remove(kChain[removed]));
        EXPECT_EQ(3, map.GetCount());
        EXPECT_EQ(nullptr, map.Find(kChain[removed]));
        std::vector<std::wstring> expected;
        for (int i = 3; i >= 0; --i) {
            if (i != removed) {
                EXPECT_EQ(Value(i), map.Find(kChain[i], false));
                expected.push_back(kChain[i]);
            }
        }
        EXPECT_EQ(expected, ScanOrder(map));
        // The chain stays sound for later inserts at its head and moves to it.
        EXPECT_TRUE(map.Insert(kChain[removed], Value(7)));
        EXPECT_EQ(Value(7), map.Find(kChain[removed]));
        for (int i = 0; i < 4; ++i) {
            if (i != removed) {
                EXPECT_EQ(Value(i), map.Find(kChain[i])) << kChain[i];
            }
        }
        EXPECT_EQ(4, static_cast<int>(ScanOrder(map).size()));
    }
}

TEST_F(UIStringMapTest, InsertKeepsAndSetReplaces)
{
    EXPECT_FALSE(m_chained.Insert(L"edit7", Value(5)));
    EXPECT_EQ(Value(1), m_chained.Find(L"edit7"));
    EXPECT_EQ(Value(1), m_chained.Set(L"edit7", Value(5)));
    EXPECT_EQ(Value(5), m_chained.Find(L"edit7"));
    EXPECT_EQ(nullptr, m_chained.Set(L"msg_lab", Value(6)));
    EXPECT_EQ(Value(6), m_chained.Find(L"msg_lab"));
    EXPECT_EQ(5, m_chained.GetCount());
}

// Walking the entries by index while each found key moves to its chain's head
// must meet every entry exactly once, as the framework's lookups do in such loops.
TEST_F(UIStringMapTest, WalkByIndexWhileFindingMeetsEveryEntryOnce)
{
    CUIStringMap map;
    std::set<std::wstring> inserted;
    for (int i = 0; i < 300; ++i) {
        const std::wstring key = L"ctl" + std::to_wstring(i);
        ASSERT_TRUE(map.Insert(key.c_str(), Value(i % 8)));
        inserted.insert(key);
    }
    std::multiset<std::wstring> met;
    for (int i = 0; LPCWSTR key = map.GetKeyAt(i); ++i) {
        met.insert(key);
        EXPECT_NE(nullptr, map.Find(key, true));
    }
    EXPECT_EQ(std::multiset<std::wstring>(inserted.begin(), inserted.end()), met);
}

TEST_F(UIStringMapTest, MapWithoutBucketsStoresNothing)
{
    for (int buckets : {0, -5}) {
        SCOPED_TRACE(buckets);
        m_chained.Resize(buckets);
        EXPECT_EQ(0, m_chained.GetCount());
        EXPECT_FALSE(m_chained.Insert(L"edit7", Value(1)));
        EXPECT_EQ(Value(2), m_chained.Set(L"edit7", Value(2)));
        EXPECT_EQ(nullptr, m_chained.Find(L"edit7"));
        EXPECT_FALSE(m_chained.Remove(L"edit7"));
        EXPECT_EQ(nullptr, m_chained.GetKeyAt(0));
        m_chained.RemoveAll();
        EXPECT_FALSE(m_chained.Insert(L"edit7", Value(1)));
    }
}

// Chain heads come with the first entry: a map that never had one answers
// every question, and the first entry still lands in its 83-bucket chain.
TEST_F(UIStringMapTest, FreshMapAnswersAndTakesItsFirstEntry)
{
    CUIStringMap map;
    EXPECT_EQ(nullptr, map.Find(L"edit7"));
    EXPECT_FALSE(map.Remove(L"edit7"));
    EXPECT_EQ(nullptr, map.GetKeyAt(0));
    map.RemoveAll();
    EXPECT_EQ(nullptr, map.Set(L"lab_j", Value(1)));
    EXPECT_TRUE(map.Insert(L"a", Value(2)));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"lab_j"}), ScanOrder(map));
}

TEST_F(UIStringMapTest, EmptiedMapIsUsableAgain)
{
    m_chained.RemoveAll();
    EXPECT_EQ(0, m_chained.GetCount());
    EXPECT_EQ(nullptr, m_chained.GetKeyAt(0));
    EXPECT_EQ(nullptr, m_chained.Find(L"edit7"));
    EXPECT_TRUE(m_chained.Insert(L"edit7", Value(3)));
    m_chained.Resize(5);
    EXPECT_TRUE(m_chained.Insert(L"edit7", Value(4)));
    EXPECT_TRUE(m_chained.Insert(L"edit15", Value(5)));
    EXPECT_EQ(Value(4), m_chained.Find(L"edit7"));
    EXPECT_EQ(2, m_chained.GetCount());
}

// ---------------------------------------------------------------------------
// CUIRect, CUISize, ResourceRef

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST(UIGeometry, UnionMoveAndOffset)
{
    struct Case
    {
        CUIRect a;
        CUIRect b;
        CUIRect expected;
    };
    for (const Case& c : std::vector<Case>{{{0, 0, 10, 10}, {20, 5, 30, 8}, {0, 0, 30, 10}},
                                           {{-5, -5, 50, 50}, {0, 0, 10, 10}, {-5, -5, 50, 50}},
                                           {{}, {10, 10, 20, 20}, {0, 0, 20, 20}},  // an empty rectangle still counts
                                           {{10, 10, 20, 20}, {}, {0, 0, 20, 20}}}) {
        CUIRect u = c.a;
        u.UnionWith(c.b);
        EXPECT_TRUE(SameRect(c.expected, u)) << u.left << "," << u.top << "," << u.right << "," << u.bottom;
    }
    CUIRect r(5, 6, 15, 26);
    r.MoveToOrigin();
    EXPECT_TRUE(SameRect(r, CUIRect(0, 0, 10, 20)));
    r.Offset(-3, 4);
    EXPECT_TRUE(SameRect(r, CUIRect(-3, 4, 7, 24)));
}

TEST(UIGeometry, StandsInForThePlatformTypes)
{
    CUIRect overlap;
    const RECT a{0, 0, 10, 10};
    const CUIRect b(5, 5, 20, 20);
    EXPECT_TRUE(IntersectRect(&overlap, &a, &b));
    EXPECT_TRUE(SameRect(overlap, CUIRect(5, 5, 10, 10)));
    EXPECT_TRUE(SameRect(CUIRect(a), a));
    const CUISize size(16, 9);
    const SIZE& asSize = size;
    EXPECT_EQ(16, asSize.cx);
    EXPECT_EQ(9, asSize.cy);
}

TEST(ResourceRefTest, NumberOrName)
{
    struct Case
    {
        UINT id;
        WORD number;
    };
    for (const Case& c : std::vector<Case>{{101, 101}, {0xFFFF, 0xFFFF}, {0x12345, 0x2345}}) {
        const ResourceRef ref(c.id);
        EXPECT_TRUE(ref.IsNumber()) << c.id;
        EXPECT_EQ(c.number, ref.GetNumber()) << c.id;
        EXPECT_EQ(MAKEINTRESOURCEW(c.number), static_cast<LPCWSTR>(ref)) << c.id;
    }
    const wchar_t name[] = L"main.xml";
    const ResourceRef ref(name);
    EXPECT_FALSE(ref.IsNumber());
    EXPECT_EQ(name, static_cast<LPCWSTR>(ref));
}

}  // namespace
