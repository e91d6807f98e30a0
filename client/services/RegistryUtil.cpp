#include "services/RegistryUtil.h"

#include "services/TextConvert.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

// Access rights the stored settings were always written with.
constexpr REGSAM kOpenForWriting = 0x2001F;    // read, set value, create subkey
constexpr REGSAM kCreateForWriting = 0xF003F;  // full access
constexpr REGSAM kOpenForDeleting = 0x20007;   // query, set value, create subkey

struct KeyCloser
{
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

UniqueKey OpenKey(HKEY root, const std::wstring& subkey, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return UniqueKey(key);
}

UniqueKey OpenOrCreateKeyForWriting(HKEY root, const std::wstring& subkey)
{
    if (UniqueKey key = OpenKey(root, subkey, kOpenForWriting))
        return key;
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kCreateForWriting, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return UniqueKey(key);
}

// The value's whole data, however long: the buffer grows to the size the
// registry reports until the data fits.
LONG QueryValueData(HKEY key, const std::wstring& valueName, std::vector<BYTE>& data)
{
    data.assign(256, 0);
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        const LONG result = RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, data.data(), &size);
        if (result == ERROR_MORE_DATA) {
            data.assign(size, 0);
            continue;
        }
        if (result == ERROR_SUCCESS)
            data.resize(size);
        return result;
    }
}

// Looks in the 32-bit view first; a key or value missing there is looked for in
// the 64-bit view, where a 64-bit program's settings lie.
std::optional<std::vector<BYTE>> ReadValueData(HKEY root, const std::wstring& subkey, const std::wstring& valueName)
{
    UniqueKey key = OpenKey(root, subkey, KEY_QUERY_VALUE);
    if (!key)
        key = OpenKey(root, subkey, KEY_QUERY_VALUE | KEY_WOW64_64KEY);
    if (!key)
        return std::nullopt;
    std::vector<BYTE> data;
    LONG result = QueryValueData(key.get(), valueName, data);
    if (result == ERROR_FILE_NOT_FOUND) {
        key = OpenKey(root, subkey, KEY_QUERY_VALUE | KEY_WOW64_64KEY);
        if (!key)
            return std::nullopt;
        result = QueryValueData(key.get(), valueName, data);
    }
    if (result != ERROR_SUCCESS)
        return std::nullopt;
    return data;
}

std::wstring RenderValueData(DWORD type, const std::vector<BYTE>& data)
{
    if (type == REG_DWORD) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), std::min(data.size(), sizeof number));
        return std::to_wstring(number);
    }
    // Stored text need not end with a zero; it ends at the data's end then.
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (const size_t zero = text.find(L'\0'); zero != std::wstring::npos)
        text.resize(zero);
    return text;
}

bool SetValue(HKEY root, const std::wstring& subkey, const std::wstring& valueName, DWORD type, const BYTE* data,
              DWORD dataSize)
{
    UniqueKey key = OpenOrCreateKeyForWriting(root, subkey);
    return key && RegSetValueExW(key.get(), valueName.c_str(), 0, type, data, dataSize) == ERROR_SUCCESS;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// UTF-16 form of UTF-8 string data, converted piece by piece so that the zeros
// that end a text or separate the texts of a REG_MULTI_SZ stay in place.
std::wstring Utf8StringDataToWide(std::string_view bytes)
{
    std::wstring wide;
    for (size_t start = 0;;) {
        const size_t zero = bytes.find('\0', start);
        wide += Utf8ToWide(bytes.substr(start, zero == std::string_view::npos ? std::string_view::npos : zero - start));
        if (zero == std::string_view::npos)
            return wide;
        wide += L'\0';
        start = zero + 1;
    }
}

// The caller's byte count, but never past the string's own terminating zero.
template <typename Char>
DWORD ClampToString(const std::basic_string<Char>& data, DWORD dataSize)
{
    return static_cast<DWORD>(std::min<size_t>(dataSize, (data.size() + 1) * sizeof(Char)));
}

}  // namespace

bool ReadRegValue(HKEY root, const std::wstring& subkey, const std::wstring& valueName, DWORD type, std::wstring& text)
{
    text.clear();
    const std::optional<std::vector<BYTE>> data = ReadValueData(root, subkey, valueName);
    if (!data)
        return false;
    text = RenderValueData(type, *data);
    return true;
}

bool WriteRegValue(HKEY root, const std::string& subkey, const std::string& valueName, DWORD type,
                   const std::string& data, DWORD dataSize)
{
    const std::wstring wideSubkey = Utf8ToWide(subkey);
    const std::wstring wideName = Utf8ToWide(valueName);
    const std::string_view bytes(data.c_str(), ClampToString(data, dataSize));
    if (!IsStringType(type))
        return SetValue(root, wideSubkey, wideName, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
    // The ANSI registry functions would read UTF-8 bytes as ANSI text and store
    // them garbled; the wide form stores exactly the text the caller meant.
    const std::wstring wide = Utf8StringDataToWide(bytes);
    return SetValue(root, wideSubkey, wideName, type, reinterpret_cast<const BYTE*>(wide.data()),
                    static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

bool WriteRegValue(HKEY root, const std::wstring& subkey, const std::wstring& valueName, DWORD type,
                   const std::wstring& data, DWORD dataSize)
{
    return SetValue(root, subkey, valueName, type, reinterpret_cast<const BYTE*>(data.c_str()),
                    ClampToString(data, dataSize));
}

bool DeleteRegValue(HKEY root, const std::string& subkey, const std::string& valueName)
{
    UniqueKey key = OpenKey(root, Utf8ToWide(subkey), kOpenForDeleting);
    return key && RegDeleteValueW(key.get(), Utf8ToWide(valueName).c_str()) == ERROR_SUCCESS;
}
