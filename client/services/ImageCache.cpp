// First: it brings libcurl's winsock2.h, which must come before windows.h.
#include "services/HttpClient.h"

#include "services/ImageCache.h"

#include "services/AppFolder.h"
#include "services/FileUtil.h"
#include "services/Md5A.h"
#include "services/SafeNames.h"
#include "services/TextConvert.h"
#include "services/UrlEncoding.h"

#include <map>
#include <mutex>

namespace {
// Workers of different kinds may want the same picture at once. One lock per
// cache file keeps a second worker from checking or replacing a file that the
// first is still writing; afterwards it finds the file valid and fetches
// nothing.
std::mutex& CacheFileLock(const std::wstring& path)
{
    static std::mutex tableLock;
    static std::map<std::wstring, std::mutex> locks;
    std::lock_guard<std::mutex> guard(tableLock);
    return locks[path];
}

// The part of the name before its first dot; the digest the content must have.
std::string StemOf(const std::wstring& name) { return WideToUtf8(name.substr(0, name.find(L'.'))); }

// A missing or unreadable file has the empty digest, which no stem may match.
bool IsValidCacheFile(const std::wstring& path, const std::string& stem)
{
    const std::string digest = CMd5A().GetFileMd5(path);
    return !digest.empty() && digest == stem;
}

bool FetchCacheFile(const std::string& url, UrlForm form, const std::wstring& path)
{
    // Picture addresses are direct download addresses (CDN type "0"), which
    // need no address request.
    const std::string address = form == UrlForm::kPathEncoded ? UrlEncodePath(url) : url;
    if (address.empty())
        return false;
    bool overwrite = true;
    return DownloadToFile(address.c_str(), path.c_str(), overwrite);
}
}  // namespace

std::wstring CacheRemoteImage(const std::string& url, UrlForm form, const std::wstring& defaultPath)
{
    const std::wstring name = GetFileNamePart(Utf8ToWide(url));
    // A name the service gives becomes a file of the cache only where it
    // cannot reach beyond that file. A stem that is no lower-case digest
    // never passes the check below, so its picture is fetched each time.
    if (name.find(L'.') == std::wstring::npos || !IsSafeFileName(name))
        return defaultPath;
    const std::string stem = StemOf(name);
    const std::wstring path = g_appFolder + L"cache\\" + name;
    std::lock_guard<std::mutex> guard(CacheFileLock(path));
    if (IsValidCacheFile(path, stem))
        return path;
    if (FetchCacheFile(url, form, path) && IsValidCacheFile(path, stem))
        return path;
    return defaultPath;
}

void CacheCategoryImages(CategoryInfo& record)
{
    record.local_icon = CacheRemoteImage(record.icon, UrlForm::kAsStored, CSessionData::GetDefaultCategoryIcon());
    record.local_big_icon =
        CacheRemoteImage(record.big_icon, UrlForm::kAsStored, CSessionData::GetDefaultCategoryBigIcon());
    record.local_slide =
        CacheRemoteImage(record.slide_url, UrlForm::kAsStored, CSessionData::GetDefaultCategorySlideIcon());
    record.local_logo = CacheRemoteImage(record.logo, UrlForm::kAsStored, CSessionData::GetDefaultCategoryLogoIcon());
    record.local_bg = CacheRemoteImage(record.bg_img, UrlForm::kAsStored, CSessionData::GetDefaultCategoryBgIcon());
}
