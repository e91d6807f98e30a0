#include "services/HttpClient.h"

#include "services/FileUtil.h"
#include "services/TextConvert.h"
#include "services/WindowMultiThreadManager.h"
#include "services/WriteLogFile.h"

#include <openssl/ssl.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
// A size probe that gets no connection, or no answer, within these times ends.
constexpr long kProbeConnectSeconds = 30;
constexpr long kProbeStallSeconds = 20;
// libcurl's default 16 KB receive buffer costs a socket wait and a read per
// 16 KB. Socket calls are dear (under Wine each is a server round trip): a
// plain-HTTP package download took about ten times as long as with this size.
// Over TLS libcurl reads one record (16 KB at most) at a time, so the pages
// of this buffer beyond that are never touched and cost nothing.
constexpr long kDownloadBufferBytes = 512 * 1024;
// Without read-ahead OpenSSL reads each TLS record with two socket reads (its
// header, then its body), 16 KB at most a record. With read-ahead and this
// buffer, one socket read takes in as many records as have arrived. A slow
// transfer walks its data through the whole buffer, which then stays
// resident for every running download: 64 KB downloaded a package as fast as
// 128 or 512 KB did (bench/package_throughput.sh), while 512 KB cost each
// throttled download about 1 MB (bench/rows.sh).
constexpr size_t kTlsReadAheadBytes = 64 * 1024;

const char* const kFixedHeaders[] = {
    "Accept: */*",
    "Accept-Language: zh-CN",
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
    "Accept-Encoding: gzip, deflate",
};

// Transfer-information callback of every handle: a worker that is asked to
// stop ends its transfer at libcurl's next call, at least once a second.
int AbortOnStop(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return CWindowMultiThreadManager::IsStopRequested() ? 1 : 0;
}

void ListenForStop(CURL* curl)
{
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &AbortOnStop);
}

void SwitchOffTlsChecks(CURL* curl)
{
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
}

CURLcode ReadTlsAhead(CURL*, void* sslContext, void*)
{
    auto* context = static_cast<SSL_CTX*>(sslContext);
    SSL_CTX_set_read_ahead(context, 1);
    SSL_CTX_set_default_read_buffer_len(context, kTlsReadAheadBytes);
    return CURLE_OK;
}

// Fewer, larger socket reads for a large body. libcurl is built to count what
// read-ahead holds as data waiting, so no record waits for the next packet.
void ReadInLargeBlocks(CURL* curl)
{
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kDownloadBufferBytes);
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &ReadTlsAhead);
}

void CreateFolderOf(const std::wstring& path)
{
    if (path.find_first_of(L"\\/") != std::wstring::npos)
        CreateFolderTree(GetFolderPart(path));
}

std::string HostLine(const std::string& url)
{
    const size_t first = url.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    const std::string trimmed = url.substr(first, url.find_last_not_of(' ') - first + 1);
    const size_t scheme = trimmed.find("://");
    if (scheme == std::string::npos)
        return "";
    const size_t hostStart = scheme + 3;
    return "Host: " + trimmed.substr(hostStart, trimmed.find('/', hostStart) - hostStart);
}

// Pieces of the block between CR, LF and ";"; pieces shorter than two
// characters are no header lines and are dropped.
curl_slist* AppendExtraHeaders(curl_slist* list, const char* block)
{
    const std::string text(block);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n;", start);
        if (end == std::string::npos)
            end = text.size();
        if (end - start >= 2)
            list = curl_slist_append(list, text.substr(start, end - start).c_str());
        start = end + 1;
    }
    return list;
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file)
{
    // A short count makes libcurl end the transfer with a write error.
    return fwrite(data, size, count, static_cast<FILE*>(file));
}

// What DownloadFile hands to libcurl as progress data.
struct ProgressBinding
{
    void* user;
    CURL* curl;
    DownloadProgressCallback callback;
};

int ReportProgress(void* data, curl_off_t expected, curl_off_t received, curl_off_t, curl_off_t)
{
    const auto* binding = static_cast<const ProgressBinding*>(data);
    if (CWindowMultiThreadManager::IsStopRequested())
        return 1;
    if (!binding->callback)
        return 0;
    curl_off_t speed = 0;
    if (curl_easy_getinfo(binding->curl, CURLINFO_SPEED_DOWNLOAD_T, &speed) != CURLE_OK)
        speed = 0;
    return binding->callback(binding->user, expected, received, static_cast<double>(speed)) ? 0 : 1;
}
}  // namespace

CHttpClient::~CHttpClient() { Close(); }

bool CHttpClient::InitLibCurl(const char* cookieFile)
{
    m_errorText.clear();
    m_curl = curl_easy_init();
    if (!m_curl)
        return false;
    SwitchOffTlsChecks(m_curl);
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, &CHttpClient::WriteBody);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, &CHttpClient::WriteHeader);
    curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_HEADER, 0L);
    curl_easy_setopt(m_curl, CURLOPT_FOLLOWLOCATION, 1L);
    ListenForStop(m_curl);
    if (cookieFile && *cookieFile) {
        curl_easy_setopt(m_curl, CURLOPT_COOKIEFILE, cookieFile);
        curl_easy_setopt(m_curl, CURLOPT_COOKIEJAR, cookieFile);
    }
    SetTimeout(30, 30);
    return true;
}

bool CHttpClient::SetTimeout(long totalSeconds, long connectSeconds)
{
    if (m_curl) {
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_curl, CURLOPT_TIMEOUT, totalSeconds);
        curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, connectSeconds);
    }
    return true;
}

void CHttpClient::SetPostData(const char* body)
{
    const size_t length = body ? strlen(body) : 0;
    if (length > 0 && m_curl) {
        curl_easy_setopt(m_curl, CURLOPT_POST, 1L);
        curl_easy_setopt(m_curl, CURLOPT_POSTFIELDS, body);
        // The _LARGE form: a long holds only 32 bits, also in the 64-bit build.
        curl_easy_setopt(m_curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(length));
    }
}

int CHttpClient::Request(const std::string& url, int method, std::string& out, const char* extraHeaders,
                         const std::wstring& targetFile)
{
    m_targetFile = targetFile;
    if (!targetFile.empty())
        DeleteFileW(targetFile.c_str());
    if (url.empty())
        return 0;
    CreateFolderOf(targetFile);
    const bool hasScheme = url.find("http://") != std::string::npos || url.find("https://") != std::string::npos;
    const std::string fullUrl = hasScheme ? url : "http://" + url;
    const bool ok = Perform(fullUrl.c_str(), method, extraHeaders);
    const int status = static_cast<int>(GetResponseCode());
    if (ok)
        out = m_responseBody;
    else
        out = m_curl ? m_errorText : "InitLibCurl is not invoked";
    return status;
}

bool CHttpClient::Perform(const char* fullUrl, int method, const char* extraHeaders)
{
    m_responseHeaders.clear();
    m_responseBody.clear();
    if (!m_curl)
        return false;

    curl_slist* headers = nullptr;
    for (const char* line : kFixedHeaders)
        headers = curl_slist_append(headers, line);
    const std::string hostLine = HostLine(fullUrl);
    if (!hostLine.empty())
        headers = curl_slist_append(headers, hostLine.c_str());
    headers = curl_slist_append(headers, "Connection: Keep-Alive");
    if (method == kHttpPatch)
        headers = curl_slist_append(headers, "X-HTTP-Method-Override: PATCH");
    if (extraHeaders)
        headers = AppendExtraHeaders(headers, extraHeaders);

    curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(m_curl, CURLOPT_ACCEPT_ENCODING, "gzip");
    if (method == kHttpGet)
        curl_easy_setopt(m_curl, CURLOPT_HTTPGET, 1L);
    else if (method == kHttpPatch)
        curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, "PATCH");
    curl_easy_setopt(m_curl, CURLOPT_URL, fullUrl);
    const CURLcode result = curl_easy_perform(m_curl);
    // The handle must not keep pointing at the list it is about to lose.
    curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    if (result != CURLE_OK) {
        m_errorText = curl_easy_strerror(result);
        return false;
    }
    return true;
}

long CHttpClient::GetResponseCode()
{
    long status = 0;
    if (!m_curl || curl_easy_getinfo(m_curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK)
        return 0;
    return status;
}

void CHttpClient::Close()
{
    if (m_curl) {
        curl_easy_cleanup(m_curl);
        m_curl = nullptr;
    }
}

size_t CHttpClient::WriteBody(char* data, size_t size, size_t count, void* self)
{
    auto* client = static_cast<CHttpClient*>(self);
    const size_t bytes = size * count;
    if (!client->m_targetFile.empty()) {
        if (FILE* file = _wfopen(client->m_targetFile.c_str(), L"ab+")) {
            fwrite(data, 1, bytes, file);
            fclose(file);
        }
    }
    client->m_responseBody.append(data, bytes);
    return bytes;
}

size_t CHttpClient::WriteHeader(char* data, size_t size, size_t count, void* self)
{
    static_cast<CHttpClient*>(self)->m_responseHeaders.append(data, size * count);
    return size * count;
}

int64_t CHttpClient::GetRemoteFileSize(const std::string& url)
{
    CURL* curl = curl_easy_init();
    if (!curl)
        return 0;
    SwitchOffTlsChecks(curl);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kProbeConnectSeconds);
    // Headers do not count as received bytes, so an answer that never comes
    // counts as a stall.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kProbeStallSeconds);
    ListenForStop(curl);

    int64_t size = 0;
    long status = 0;
    curl_off_t length = -1;
    if (curl_easy_perform(curl) == CURLE_OK && curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
        status >= 200 && status <= 299 &&
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK)
        size = length;
    curl_easy_cleanup(curl);
    return size;
}

bool CHttpClient::DownloadFile(void* user, const char* url, const std::wstring& localFile,
                               DownloadProgressCallback callback)
{
    if (!url || !*url)
        return false;
    CreateFolderOf(localFile);
    const int64_t resumeFrom = GetLocalFileSize(localFile);
    FILE* file = _wfopen(localFile.c_str(), L"ab+");
    if (!file)
        return false;
    CURL* curl = curl_easy_init();
    if (!curl) {
        fclose(file);
        return false;
    }

    ProgressBinding binding = {user, curl, callback};
    curl_easy_setopt(curl, CURLOPT_URL, url);
    SwitchOffTlsChecks(curl);
    curl_easy_setopt(curl, CURLOPT_HEADER, 0L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &ReportProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &binding);
    // An error page must never be appended to the partial file.
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumeFrom));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    ReadInLargeBlocks(curl);

    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    const bool stored = CloseWrittenFile(file);
    return stored && result == CURLE_OK && status >= 200 && status <= 399;
}

bool DownloadToFile(const char* url, const wchar_t* localFile, bool& overwrite)
{
    if (!url || !*url)
        return false;
    const std::wstring path = localFile ? localFile : L"";
    if (FileExists(path)) {
        if (!overwrite)
            return true;
        DeleteFileW(path.c_str());
    }
    CHttpClient client;
    client.InitLibCurl(nullptr);
    client.SetTimeout(3600, 300);
    std::string body;
    const int status = client.Request(url, kHttpGet, body, nullptr, path);
    if (status < 200 || status > 300)
        DeleteFileW(path.c_str());
    client.Close();
    if (FileExists(path))
        return true;
    WRITE_LOG_FORMAT(L"%s下载失败%s,%ld", AnsiToWide(url).c_str(), path.c_str(), static_cast<long>(status));
    return false;
}
