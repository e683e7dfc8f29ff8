// Calls Gantrel.dll's archive exports from the command line, for the
// interoperability checks and the benchmark (run through wine from bash):
//   gantrel_tool zip <archive> <pattern> <keep folders> <recurse>
//   gantrel_tool unzip <destination|-> <archive> <pattern|-> <keep folders> <overwrite>
//   gantrel_tool cab <cabinet> <destination>
//   gantrel_tool copytree <source folder> <destination folder>
//     (the benchmark's floor: every file read and written plainly under Wine)
// Prints the result and the milliseconds the call took; the exit code is the
// export's result (cab: 0 for true, 1 for false).
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Copies every file below source into destination with plain reads and writes.
static bool CopyTree(const std::string& source, const std::string& destination) {
    CreateDirectoryA(destination.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((source + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    static char buffer[64 * 1024];
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        std::string from = source + "\\" + name, to = destination + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = CopyTree(from, to) && ok;
            continue;
        }
        HANDLE in = CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE out = CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        DWORD got = 0, put = 0;
        while (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
               ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0)
            ok = WriteFile(out, buffer, got, &put, nullptr) && ok;
        ok = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && ok;
        if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return ok;
}

using ExtractFileFn = bool(__cdecl*)(const char*, const char*);
using ZipFilesFn = int(__cdecl*)(const char*, const char*, int, int, int);
using UnZipFilesFn = int(__cdecl*)(const char*, const char*, const char*, int, int, int);

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: gantrel_tool zip|unzip|cab ...\n");
        return 100;
    }
    HMODULE library = LoadLibraryA("Gantrel.dll");
    if (!library) {
        fprintf(stderr, "Gantrel.dll does not load\n");
        return 101;
    }
    auto zip = reinterpret_cast<ZipFilesFn>(GetProcAddress(library, "ZipFiles"));
    auto unzip = reinterpret_cast<UnZipFilesFn>(GetProcAddress(library, "UnZipFiles"));
    auto cab = reinterpret_cast<ExtractFileFn>(GetProcAddress(library, "ExtractFile"));
    auto arg = [&](int i) -> const char* { return strcmp(argv[i], "-") == 0 ? nullptr : argv[i]; };
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int result = 100;
    if (!strcmp(argv[1], "zip") && argc == 6 && zip) {
        result = zip(argv[2], argv[3], atoi(argv[4]), atoi(argv[5]), 1);
    } else if (!strcmp(argv[1], "unzip") && argc == 7 && unzip) {
        result = unzip(arg(2), argv[3], arg(4), atoi(argv[5]), atoi(argv[6]), 1);
    } else if (!strcmp(argv[1], "cab") && argc == 4 && cab) {
        result = cab(argv[2], argv[3]) ? 0 : 1;
    } else if (!strcmp(argv[1], "copytree") && argc == 4) {
        result = CopyTree(argv[2], argv[3]) ? 0 : 1;
    } else {
        fprintf(stderr, "bad arguments\n");
    }
    QueryPerformanceCounter(&end);
    printf("result %d ms %.1f\n", result, double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart));
    return result;
}
