// Calls Gantrel.dll's archive exports from the command line, for the
// interoperability checks and the benchmark (run through wine from bash):
//   gantrel_tool zip <archive> <spec> <keep folders> <recurse>
//   gantrel_tool unzip <destination|-> <archive> <spec|-> <keep folders> <overwrite>
//   gantrel_tool cab <cabinet> <destination>
// Prints the result and the milliseconds the call took; the exit code is the
// export's result (cab: 0 for true, 1 for false).
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    } else {
        fprintf(stderr, "bad arguments\n");
    }
    QueryPerformanceCounter(&end);
    printf("result %d ms %.1f\n", result, double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart));
    return result;
}
