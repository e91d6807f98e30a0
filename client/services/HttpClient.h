#pragma once
// The client's only way onto the network: synchronous HTTP(S) transfers over
// one libcurl easy handle each, with TLS checking switched off. A transfer that
// runs on a worker thread ends early once the worker is asked to stop
// (CWindowMultiThreadManager), so no worker outlives its window waiting for a
// server.

#include "services/ProgressCallbacks.h"

#include <curl/curl.h>

#include <cstdint>
#include <string>

// Method codes of CHttpClient::Request.
enum HttpMethod
{
    kHttpPostOrDefault = 0,  // the POST that SetPostData set up, else a GET
    kHttpGet = 1,
    kHttpPatch = 3,
};

// Lives for one call sequence on one thread: InitLibCurl, SetPostData,
// Request (twice for a retry), Close.
class CHttpClient
{
public:
    CHttpClient() = default;
    ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // Makes the handle with the fixed options and 30 s time-outs; false when
    // libcurl cannot make one. A non-empty cookie file is read and written.
    bool InitLibCurl(const char* cookieFile);
    bool SetTimeout(long totalSeconds, long connectSeconds);
    // Sets up a POST of the body, which is not copied: it must stay valid
    // until the request has been performed. An empty body sets up nothing.
    void SetPostData(const char* body);

    // Returns the HTTP status, 0 when no response arrived. out gets the body,
    // or the error text when the transfer failed; an HTTP error status is no
    // failure here. A non-empty target file is replaced by the body too.
    int Request(const std::string& url, int method, std::string& out, const char* extraHeaders,
                const std::wstring& targetFile);
    long GetResponseCode();
    void Close();

    // The remote file's size from a HEAD request that follows redirects:
    // -1 when the answer names no length, 0 when the request fails, answers a
    // status outside 200 to 299, stalls, or is stopped.
    int64_t GetRemoteFileSize(const std::string& url);

    // Appends the remote file to the local one, asking for the range from the
    // local file's size on. False when the transfer fails, the server answers
    // an error status (nothing of that answer reaches the file) or the
    // callback returns false; the bytes received so far stay for a resume.
    bool DownloadFile(void* user, const char* url, const std::wstring& localFile, DownloadProgressCallback callback);

private:
    bool Perform(const char* fullUrl, int method, const char* extraHeaders);
    static size_t WriteBody(char* data, size_t size, size_t count, void* self);
    static size_t WriteHeader(char* data, size_t size, size_t count, void* self);

    std::string m_responseHeaders;
    std::string m_responseBody;
    CURL* m_curl = nullptr;
    std::string m_errorText;
    std::wstring m_targetFile;
};

// Fetches the URL into the file with a GET (one hour for the transfer, 300 s to
// connect). An existing file is kept when overwrite is false and replaced
// otherwise. A status outside 200 to 300 deletes the file and is logged. True
// when the file exists afterwards.
bool DownloadToFile(const char* url, const wchar_t* localFile, bool& overwrite);
