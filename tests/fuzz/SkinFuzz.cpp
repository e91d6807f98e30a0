// Mutation fuzzer for the skin readers: the ZIP reader, the markup reader and
// the image decoders (APNG/PNG, GIF and the other stb_image formats).
//
//   skin_fuzz [--iterations N] [--seed S]
//
// Input i of each reader is a mutation of one seed input, made from a random
// generator seeded with (S, reader, i), so any input can be made again. The
// inputs run in a child process; when the child dies, the parent counts a
// crash for the input it was on, names it, and starts a new child after it.
// Prints how many inputs ran and how many crashed; exits 1 on any crash.

#include "core/ApngDecoder.h"
#include "core/GifDecoder.h"
#include "core/ImageDecode.h"
#include "core/SkinArchive.h"
#include "core/SkinMarkup.h"

#include "GifBuilder.h"
#include "PngBuilder.h"
#include "ScratchFolder.h"
#include "TestPaths.h"
#include "ZipWriter.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace CalUI;

namespace {

constexpr DWORD kChildDone = 0;

enum Reader
{
    kZip,
    kMarkup,
    kImage,
    kReaderCount
};
const char* const kReaderNames[] = {"zip", "markup", "image"};

std::vector<std::string> ZipSeeds()
{
    return {
        ScratchFolder::ReadFile(SourceTreePath(L"tests\\fixtures\\skin.zip")),
        BuildZip(
            {{.name = "a.txt", .data = "hello", .localExtra = ExtraBlock("UT", "\x03" + Le32Bytes(1) + Le32Bytes(2))},
             {.name = "C:\\..\\b.xml", .data = std::string(300, 'b'), .deflate = true, .password = "pw"}}),
    };
}

std::vector<std::string> MarkupSeeds()
{
    return {
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window size=\"400,300\" caption=\"0,0,0,30\">\n"
        "  <Font id=\"0\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"12\" />\n"
        "  <VerticalLayout bkimage=\"img/bk.png\">\n    <Label name=\"msg_lab\" text=\"a &amp; b\" />\n"
        "  </VerticalLayout>\n</Window>\n",
        "\xEF\xBB\xBF<a x=\"&amp;&lt;\"><!-- c --><b/><?p?><c y=\"1\">t&gt;</c></a>",
        std::string("\xFF\xFE<\0a\0/\0>\0", 10),
    };
}

// Small GIFs that reach every disposal method, frames at offsets, local
// palettes, interlacing and frames without a control block.
std::vector<std::string> GifSeeds()
{
    const std::vector<uint32_t> local = {0xFFFF00, 0x00FFFF, 0xFF00FF, 0x000000};
    auto square = [](int side, int shift) {
        std::vector<uint8_t> indices(size_t(side) * side);
        for (size_t i = 0; i < indices.size(); ++i)
            indices[i] = uint8_t((i + shift) % 4);
        return indices;
    };
    std::string disposals =
        GifBuilder(8, 6, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, 2)
            .Frame({.indices = square(3, 0), .left = 1, .top = 1, .width = 3, .height = 3})
            .Frame({.indices = square(2, 1),
                    .left = 5,
                    .top = 3,
                    .width = 2,
                    .height = 2,
                    .delayHundredths = 5,
                    .dispose = GifDispose::Background})
            .Frame({.indices = square(4, 2),
                    .left = 4,
                    .top = 2,
                    .width = 4,
                    .height = 4,
                    .transparentIndex = 1,
                    .dispose = GifDispose::Previous})
            .Frame({.indices = square(2, 3), .width = 2, .height = 2, .dispose = GifDispose::Previous})
            .Frame({.indices = square(1, 0),
                    .left = 7,
                    .top = 5,
                    .width = 1,
                    .height = 1,
                    .dispose = GifDispose::Unspecified})
            .Bytes();
    std::string palettes =
        GifBuilder(6, 9, {0x102030, 0x405060, 0x708090, 0xA0B0C0})
            .Frame({.indices = square(6, 0), .width = 6, .height = 6, .interlaced = true, .localPalette = local})
            .Frame({.indices = square(3, 1),
                    .left = 2,
                    .top = 6,
                    .width = 3,
                    .height = 3,
                    .control = false,
                    .localPalette = local})
            .Frame({.indices = square(5, 2),
                    .left = 1,
                    .top = 4,
                    .width = 5,
                    .height = 5,
                    .transparentIndex = 0,
                    .dispose = GifDispose::Background,
                    .interlaced = true})
            .Bytes();
    return {disposals, palettes};
}

std::vector<std::string> ImageSeeds()
{
    const uint32_t pixels[] = {0xFF0000FF, 0x00FF0080, 0x0000FFFF, 0xFFFFFF00};
    std::string apng = PngBuilder()
                           .Header(2, 2)
                           .AnimationControl(2, 0)
                           .FrameControl(0, 2, 2, 0, 0, 1, 10, 2, 1)
                           .ImageData(RgbaScanlines(2, 2, pixels))
                           .FrameControl(1, 1, 1, 1, 1)
                           .FrameData(2, RgbaScanlines(1, 1, pixels))
                           .End()
                           .Bytes();
    std::string palette = PngBuilder()
                              .Header(5, 3, 2, 3, 1)
                              .Chunk("PLTE", std::string("\xFF\0\0\0\xFF\0\0\0\xFF", 9))
                              .Chunk("tRNS", "\x80")
                              .ImageData(std::string(40, '\1'))
                              .End()
                              .Bytes();
    std::vector<std::string> seeds = {
        apng,
        palette,
        ScratchFolder::ReadFile(SourceTreePath(L"tests\\fixtures\\bk.png")),
        ScratchFolder::ReadFile(SourceTreePath(L"tests\\fixtures\\two-frames.gif")),
        std::string("BM") + std::string(52, '\0'),
    };
    for (std::string& gif : GifSeeds())
        seeds.push_back(std::move(gif));
    return seeds;
}

std::string Mutate(const std::string& seed, std::mt19937& random)
{
    static const uint32_t interesting[] = {0,          1,          0x7F,       0x80,       0xFF,   0xFFFF,
                                           0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x04000001, 0x10000};
    std::string s = seed;
    int mutations = 1 + int(random() % 8);
    for (int m = 0; m < mutations && !s.empty(); ++m) {
        size_t at = random() % s.size();
        switch (random() % 6) {
        case 0:
            s[at] = char(s[at] ^ (1 << (random() % 8)));
            break;
        case 1:
            s[at] = char(random());
            break;
        case 2: {
            uint32_t v = interesting[random() % std::size(interesting)];
            for (int i = 0; i < 4 && at + i < s.size(); ++i)
                s[at + i] = char(v >> (random() % 2 ? 24 - 8 * i : 8 * i));
            break;
        }
        case 3:
            s.insert(at, std::string(1 + random() % 16, char(random())));
            break;
        case 4:
            s.erase(at, 1 + random() % 16);
            break;
        default: {
            size_t from = random() % s.size(), length = 1 + random() % 32;
            s.insert(at, s.substr(from, length));
            break;
        }
        }
    }
    return s;
}

void RunZip(const std::string& input)
{
    ZipHandle* zip = OpenZipMemory(input.data(), unsigned(input.size()), "Cv!2024");
    if (!zip)
        return;
    ZipEntry all = {};
    GetZipItem(zip, -1, &all);
    std::vector<char> buffer(4096);
    for (int i = 0; i < all.index && i < 16; ++i) {
        ZipEntry entry = {};
        if (GetZipItem(zip, i, &entry) != ZipResult::Ok)
            continue;
        for (int piece = 0; piece < 64; ++piece)
            if (UnzipItemToMemory(zip, i, buffer.data(), unsigned(buffer.size())) != ZipResult::More)
                break;
    }
    int index = -1;
    FindZipItem(zip, L"login.xml", true, &index, nullptr);
    FindZipItem(zip, L"/IMG\\bk.png", false, nullptr, &all);
    CloseZip(zip);
}

void Walk(CSkinMarkupNode node, int depth)
{
    wchar_t value[16];
    for (; node.IsSet() && depth < 64; node = node.NextSibling()) {
        for (int i = 0; i < node.AttrCount(); ++i)
            node.FindAttr(node.AttrName(i), value, 15);
        if (node.HasChild())
            Walk(node.FirstChild(), depth + 1);
    }
}

void RunMarkup(const std::string& input, int encoding)
{
    CSkinMarkup markup;
    if (markup.LoadFromBytes(reinterpret_cast<const BYTE*>(input.data()), DWORD(input.size()), encoding))
        Walk(markup.RootNode(), 0);
}

void RunImage(const std::string& input)
{
    auto data = reinterpret_cast<const unsigned char*>(input.data());
    int size = int(input.size()), width = 0, height = 0, count = 0, plays = 0;
    bool separate = false;
    const ApngFrameRecord* frames = nullptr;
    if (unsigned char* block = LoadApngFrames(data, size, &frames, &width, &height, &count, &plays, &separate)) {
        volatile uint32_t sum = 0;
        for (int i = 0; frames && i < count; ++i)
            sum = sum + frames[i].width + frames[i].delay_den;
        sum = sum + block[size_t(width) * height * 4 - 1];
        FreeImagePixels(block);
    }
    FreeImagePixels(DecodeImageRgba(data, size, &width, &height));
    int* delays = nullptr;
    unsigned char* gif = LoadGifFrames(data, size, &delays, &width, &height, &count, &plays);
    FreeImagePixels(gif);
    FreeImagePixels(delays);
}

struct Corpus
{
    std::vector<std::string> seeds[kReaderCount];
    Corpus() : seeds{ZipSeeds(), MarkupSeeds(), ImageSeeds()} {}
};

std::string InputFor(const Corpus& corpus, unsigned seed, int reader, int index)
{
    std::seed_seq sequence{seed, unsigned(reader), unsigned(index)};
    std::mt19937 random(sequence);
    const std::vector<std::string>& seeds = corpus.seeds[reader];
    return Mutate(seeds[random() % seeds.size()], random);
}

void RunInput(const Corpus& corpus, unsigned seed, int reader, int index)
{
    std::string input = InputFor(corpus, seed, reader, index);
    if (reader == kZip)
        RunZip(input);
    else if (reader == kMarkup)
        RunMarkup(input, index % 3);
    else
        RunImage(input);
}

// A crash ends the child at once: no debugger, no dialog.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception)
{
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

int Child(unsigned seed, int reader, int first, int last)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(EndOnCrash);
    Corpus corpus;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (int i = first; i < last; ++i) {
        DWORD written = 0;
        WriteFile(out, &i, sizeof i, &written, nullptr);
        RunInput(corpus, seed, reader, i);
    }
    return kChildDone;
}

// Runs inputs [first, last) in one child; returns the index it crashed on, or last.
int RunChild(unsigned seed, int reader, int first, int last, DWORD* exitCode)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --child " + std::to_wstring(seed) + L" " +
                           std::to_wstring(reader) + L" " + std::to_wstring(first) + L" " + std::to_wstring(last);
    STARTUPINFOW startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "cannot start a child: %lu\n", GetLastError());
        exit(2);
    }
    CloseHandle(writeEnd);
    int current = first - 1, index = 0;
    DWORD got = 0;
    while (ReadFile(readEnd, &index, sizeof index, &got, nullptr) && got == sizeof index)
        current = index;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    return *exitCode == kChildDone ? last : current;
}

int Parent(unsigned seed, int iterations)
{
    int totalRun = 0, totalCrashes = 0;
    for (int reader = 0; reader < kReaderCount; ++reader) {
        int crashes = 0, next = 0;
        while (next < iterations) {
            DWORD code = 0;
            int stopped = RunChild(seed, reader, next, iterations, &code);
            if (stopped >= iterations)
                break;
            if (stopped < next) {
                fprintf(stderr, "a child ended with 0x%08lX before its first input\n", code);
                exit(2);
            }
            ++crashes;
            printf("crash: reader %s input %d (seed %u) exit code 0x%08lX\n", kReaderNames[reader], stopped, seed,
                   code);
            next = stopped + 1;
        }
        printf("%-6s inputs run: %d, crashed: %d\n", kReaderNames[reader], iterations, crashes);
        totalRun += iterations;
        totalCrashes += crashes;
    }
    printf("total  inputs run: %d, crashed: %d\n", totalRun, totalCrashes);
    return totalCrashes ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::string(argv[1]) == "--child")
        return Child(unsigned(strtoul(argv[2], nullptr, 10)), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    int iterations = 10000;
    unsigned seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--iterations")
            iterations = atoi(argv[i + 1]);
        else if (option == "--seed")
            seed = unsigned(strtoul(argv[i + 1], nullptr, 10));
    }
    return Parent(seed, iterations);
}
