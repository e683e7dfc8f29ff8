// Set as the Wine prefix's "http" handler by the Wayfinch tests, so that no
// run reaches a browser: appends its arguments as one line to the file that
// %TESS_RECORDER_LOG% names (nothing without it).
#include <windows.h>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    char log[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("TESS_RECORDER_LOG", log, sizeof(log)) || !log[0]) return 0;
    FILE* file = std::fopen(log, "ab");
    if (!file) return 1;
    for (int i = 1; i < argc; ++i) std::fprintf(file, "%s%s", i > 1 ? " " : "", argv[i]);
    std::fprintf(file, "\n");
    std::fclose(file);
    return 0;
}
