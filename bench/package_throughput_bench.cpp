// Times one of the client's package steps on a given file and prints the
// seconds it took (bench/package_throughput.sh runs it under Wine and compares
// it with the command-line tools):
//   package_throughput_bench download URL FILE          prints "SECONDS"
//   package_throughput_bench md5 FILE                   prints "SECONDS DIGEST"
//   package_throughput_bench unzip ARCHIVE FOLDER PASSWORD  prints "SECONDS"
// Paths are Windows paths. Only the step itself is timed, not the start of the
// program, and each step reports progress to a callback as the download tasks
// do, so the cost of reporting is part of the figure.
#include "services/HttpClient.h"
#include "services/Md5A.h"
#include "services/TextConvert.h"
#include "services/Unzipper.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Counting callbacks: as cheap as a callback can be while still being called.
bool CountDownloadProgress(void* calls, int64_t, int64_t, double)
{
    ++*static_cast<uint64_t*>(calls);
    return true;
}

bool CountFileProgress(void* calls, const uint64_t*, uint64_t)
{
    ++*static_cast<uint64_t*>(calls);
    return true;
}

class Stopwatch
{
public:
    double Seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count(); }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

int Fail(const char* what)
{
    fprintf(stderr, "package_throughput_bench: %s\n", what);
    return 1;
}

int TimeDownload(const char* url, const std::wstring& file)
{
    // A file left by an earlier run would turn the download into a resume.
    DeleteFileW(file.c_str());
    uint64_t calls = 0;
    CHttpClient client;
    Stopwatch watch;
    const bool ok = client.DownloadFile(&calls, url, file, &CountDownloadProgress);
    const double seconds = watch.Seconds();
    if (!ok)
        return Fail("the download failed");
    printf("%.3f\n", seconds);
    return 0;
}

int TimeMd5(const std::wstring& file)
{
    uint64_t calls = 0;
    Stopwatch watch;
    const std::string digest = CMd5A().GetFileMd5(file, &CountFileProgress, &calls);
    const double seconds = watch.Seconds();
    if (digest.empty())
        return Fail("the file cannot be read");
    printf("%.3f %s\n", seconds, digest.c_str());
    return 0;
}

int TimeUnzip(const std::wstring& archive, const std::wstring& folder, const char* password)
{
    uint64_t calls = 0;
    CUnzipper unzipper;
    Stopwatch watch;
    const int result = unzipper.Unzip(archive, folder, password, &CountFileProgress, &calls);
    const double seconds = watch.Seconds();
    if (result != CUnzipper::kSuccess)
        return Fail("the extraction failed");
    printf("%.3f\n", seconds);
    return 0;
}

int Usage() { return Fail("usage: download URL FILE | md5 FILE | unzip ARCHIVE FOLDER PASSWORD"); }

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const std::string step = argv[1];
    if (step == "download" && argc == 4) {
        curl_global_init(CURL_GLOBAL_ALL);
        const int result = TimeDownload(argv[2], AnsiToWide(argv[3]));
        curl_global_cleanup();
        return result;
    }
    if (step == "md5" && argc == 3)
        return TimeMd5(AnsiToWide(argv[2]));
    if (step == "unzip" && argc == 5)
        return TimeUnzip(AnsiToWide(argv[2]), AnsiToWide(argv[3]), argv[4]);
    return Usage();
}
