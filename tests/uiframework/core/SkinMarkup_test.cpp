#include "core/SkinMarkup.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>

using namespace CalUI;

namespace {

// A document as one line: Tag(name=value,...){children} for every element,
// top-level siblings one after another.
std::wstring Outline(CSkinMarkupNode node)
{
    std::wstring out;
    for (; node.IsSet(); node = node.NextSibling()) {
        out += node.TagName();
        if (node.HasAttrs()) {
            out += L"(";
            for (int i = 0; i < node.AttrCount(); ++i)
                out += (i ? L"," : L"") + std::wstring(node.AttrName(i)) + L"=" + node.AttrValue(i);
            out += L")";
        }
        if (node.HasChild())
            out += L"{" + Outline(node.FirstChild()) + L"}";
    }
    return out;
}

TEST(SkinMarkup, ReadsDocuments)
{
    struct Case
    {
        const wchar_t* document;
        const wchar_t* outline;
    };
    const Case cases[] = {
        {L"<Window size=\"400,300\"><Font id=\"0\"/><VBox><Label text=\"a\"/></VBox></Window>",
         L"Window(size=400,300){Font(id=0)VBox{Label(text=a)}}"},
        {L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- a skin -->\n<a/>", L"a"},
        {L"<a><!-- x - y --><b/><? pi ?><c/></a>", L"a{bc}"},
        {L"<a v=\"&lt;&amp;&gt;&quot;&apos;\" w=\"&copy;&&amp;\" x=\"  keep  blanks \"/>",
         L"a(v=<&>\"',w=&copy;&&,x=  keep  blanks )"},
        {L"<a>&lt;text&gt;<b/></a>", L"a{b}"},
        {L"<a  x = \"1\"   y=\"2\" /><b /><c x=\"3\"/>", L"a(x=1,y=2)bc(x=3)"},
        {L"<ns:a_1 b:c=\"d\"></ns:a_1 >", L"ns:a_1(b:c=d)"},
        {L"<a x='1' y=\"'q'\"/>", nullptr},  // single quotes do not delimit values
        {L"<a><b><c/></b>", L"a{b{c}}"},     // the root may stay open
        {L"<a><b>text", L"a{b}"},            // so may its direct children
        {L"<界面 名=\"值\"/>", L"界面(名=值)"},
        {L"<?xml version=\"1.0\"?>  \n ", L""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        CSkinMarkup markup;
        bool loaded = markup.LoadFromText(c.document);
        EXPECT_EQ(c.outline != nullptr, loaded) << c.document << " : " << markup.GetLastErrorMessage();
        if (c.outline) {
            EXPECT_EQ(c.outline, Outline(markup.RootNode())) << c.document;
        }
    }
}

TEST(SkinMarkup, ReportsEachErrorWithItsPlace)
{
    struct Case
    {
        const wchar_t* document;
        const wchar_t* message;
        const wchar_t* location;
    };
    const Case cases[] = {
        {L"text<a/>", L"Expected start tag", L"text<a/>"},
        {L"<a><b><c>", L"Expected end-tag start", L""},
        {L"<a><b><c/>x", L"Expected start tag", L"x"},
        {L"<a><b><c/>", L"Expected start tag", L""},
        {L"<a><b/>tail</a>", L"Expected start tag", L"tail</a>"},
        {L"<abc", L"Error parsing element name", L""},
        {L"<a x=\"1\" y>", L"Error while parsing attributes", L">"},
        {L"<a x 1>", L"Error while parsing attributes", L"1>"},
        {L"<a x='1'/>", L"Expected attribute value", L"'1'/>"},
        {L"<a x=\"1/>", L"Error while parsing attribute string", L""},
        {L"<a x=\"1\"/b>", L"Expected start-tag closing", L"/b>"},
        {L"<a><b></c></a>", L"Unmatched closing tag", L"c></a>"},
        {L"<a><b></bb></a>", L"Unmatched closing tag", L"b></a>"},
        {L"<ab></a>", L"Unmatched closing tag", L"a>"},
    };
    for (const Case& c : cases) {
        CSkinMarkup markup;
        EXPECT_FALSE(markup.LoadFromText(c.document)) << c.document;
        EXPECT_STREQ(c.message, markup.GetLastErrorMessage()) << c.document;
        EXPECT_STREQ(c.location, markup.GetLastErrorLocation()) << c.document;
        EXPECT_FALSE(markup.IsLoaded());
        EXPECT_FALSE(markup.RootNode().IsSet());
    }
    CSkinMarkup markup;
    markup.LoadFromText((L"<a><b/>" + std::wstring(200, L'z')).c_str());
    EXPECT_EQ(std::wstring(49, L'z'), markup.GetLastErrorLocation()) << "the location keeps 49 characters";
}

TEST(SkinMarkup, NestingDepthIsLimited)
{
    auto nested = [](int depth) {
        std::wstring open, close;
        for (int i = 0; i < depth; ++i) {
            open += L"<e>";
            close += L"</e>";
        }
        return open + close;
    };
    CSkinMarkup markup;
    EXPECT_TRUE(markup.LoadFromText(nested(CSkinMarkup::kMaxNestingDepth + 1).c_str()));
    EXPECT_FALSE(markup.LoadFromText(nested(CSkinMarkup::kMaxNestingDepth + 2).c_str()));
    EXPECT_STREQ(L"Elements nested too deeply", markup.GetLastErrorMessage());
    // Deep enough to exhaust the stack without the limit.
    EXPECT_FALSE(markup.LoadFromText(nested(1000000).c_str()));
    EXPECT_STREQ(L"Elements nested too deeply", markup.GetLastErrorMessage());
}

TEST(SkinMarkup, AttributeLookups)
{
    CSkinMarkup markup(L"<a Name=\"upper\" name=\"lower\"/>");
    CSkinMarkupNode a = markup.RootNode();
    wchar_t buffer[8] = {};
    EXPECT_TRUE(a.FindAttr(L"name", buffer, 7));
    EXPECT_STREQ(L"lower", buffer);
    EXPECT_FALSE(a.FindAttr(L"NAME", buffer, 7));
    EXPECT_STREQ(L"", a.AttrName(5));
    EXPECT_STREQ(L"", a.AttrValue(-1));

    wchar_t cut[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_TRUE(a.FindAttr(L"Name", cut, 3));
    EXPECT_EQ(std::wstring(L"upp#"), std::wstring(cut, 4)) << "a value that fills the buffer gets no terminator";

    CSkinMarkupNode empty;
    EXPECT_FALSE(empty.FindAttr(L"name", buffer, 7));
    EXPECT_EQ(nullptr, empty.TagName());
    EXPECT_EQ(nullptr, empty.AttrName(0));
    EXPECT_EQ(0, empty.AttrCount());
    EXPECT_FALSE(empty.FirstChild().IsSet());
    EXPECT_FALSE(empty.NextSibling().IsSet());

    std::wstring many = L"<m";
    for (int i = 0; i < 65; ++i)
        many += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    CSkinMarkup big((many + L"><child/></m>").c_str());
    CSkinMarkupNode m = big.RootNode();
    EXPECT_EQ(64, m.AttrCount());
    EXPECT_STREQ(L"a63", m.AttrName(63));
    EXPECT_STREQ(L"", m.AttrName(64));
    EXPECT_FALSE(m.FindAttr(L"a64", buffer, 7)) << "the 65th attribute is invisible";
    EXPECT_STREQ(L"child", m.FirstChild().TagName());
}

TEST(SkinMarkup, DecodesEncodings)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        int encoding;
    };
    const std::string utf8 = "<a t=\"\xE7\x99\xBB\xE5\xBD\x95\"/>";  // 登录
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (wchar_t c : std::wstring(L"<a t=\"登录\"/>")) {
        le += {char(c & 0xFF), char(c >> 8)};
        be += {char(c >> 8), char(c & 0xFF)};
    }
    const Case cases[] = {
        {"UTF-8", utf8, CSkinMarkup::kUtf8},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + utf8, CSkinMarkup::kUtf8},
        {"UTF-16 little-endian", le, CSkinMarkup::kUtf16},
        {"UTF-16 big-endian", be, CSkinMarkup::kUtf16},
        {"ANSI code page 936", "<a t=\"\xB5\xC7\xC2\xBC\"/>", CSkinMarkup::kAnsi},
    };
    for (const Case& c : cases) {
        CSkinMarkup markup;
        ASSERT_TRUE(
            markup.LoadFromBytes(reinterpret_cast<const BYTE*>(c.bytes.data()), DWORD(c.bytes.size()), c.encoding))
            << c.what;
        EXPECT_EQ(L"a(t=登录)", Outline(markup.RootNode())) << c.what;
    }
    CSkinMarkup markup;
    EXPECT_FALSE(markup.LoadFromBytes(reinterpret_cast<const BYTE*>("<a/>"), 4, CSkinMarkup::kUtf16));
    EXPECT_STREQ(L"", markup.GetLastErrorMessage()) << "UTF-16 without a mark fails without a message";
    EXPECT_FALSE(markup.LoadFromBytes(reinterpret_cast<const BYTE*>("\xFF"), 1, CSkinMarkup::kUtf16));
}

// Skin files come from the skin folder (the current folder while no folder
// and no archive are set).
TEST(SkinMarkup, LoadsSkinFilesUpToFourMegabytes)
{
    ScratchFolder folder;
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.File(L"").c_str()));

    std::string exact = "<a>" + std::string(CSkinMarkup::kMaxFileBytes - 7, ' ') + "</a>";
    folder.WriteFile(L"exact.xml", exact);
    folder.WriteFile(L"over.xml", exact + " ");
    folder.WriteFile(L"empty.xml", "");
    folder.WriteFile(L"broken.xml", "<a><b></a>");
    struct Case
    {
        const wchar_t* file;
        bool loads;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"exact.xml", true, L""},
        {L"over.xml", false, L"File too large"},
        {L"empty.xml", false, L"File is empty"},
        {L"missing.xml", false, L"Error opening file"},
        {L"broken.xml", false, L"Unmatched closing tag"},
    };
    for (const Case& c : cases) {
        CSkinMarkup markup;
        EXPECT_EQ(c.loads, markup.LoadSkinFile(c.file)) << c.file;
        EXPECT_STREQ(c.message, markup.GetLastErrorMessage()) << c.file;
        if (c.loads) {
            EXPECT_STREQ(L"a", markup.RootNode().TagName());
        }
    }
    SetCurrentDirectoryW(previous);
}

}  // namespace
