// Sends window messages to a window of another process, as an outside
// program or plug-in host would. Usage: input_message_sender <hwnd> <in> <out>
// Each line of <in> is "name wParam lParam" (name "#n" for a plain number,
// numbers in hex); each line of <out> is the result, or "failed".
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    HWND target = reinterpret_cast<HWND>(std::strtoul(argv[1], nullptr, 10));
    FILE* in = std::fopen(argv[2], "r");
    FILE* out = std::fopen(argv[3], "w");
    if (!in || !out) return 3;
    char line[512];
    while (std::fgets(line, sizeof(line), in)) {
        char name[256] = {};
        unsigned long wp = 0, lp = 0;
        // Names may hold blanks: the two numbers are the last two fields.
        char* last = std::strrchr(line, ' ');
        if (!last) continue;
        lp = std::strtoul(last + 1, nullptr, 16);
        *last = '\0';
        char* middle = std::strrchr(line, ' ');
        if (!middle) continue;
        wp = std::strtoul(middle + 1, nullptr, 16);
        *middle = '\0';
        std::snprintf(name, sizeof(name), "%s", line);
        UINT msg = name[0] == '#' ? static_cast<UINT>(std::strtoul(name + 1, nullptr, 10))
                                  : RegisterWindowMessageA(name);
        DWORD_PTR result = 0;
        if (SendMessageTimeoutA(target, msg, wp, lp, SMTO_NORMAL, 3000, &result))
            std::fprintf(out, "%lu\n", static_cast<unsigned long>(result));
        else
            std::fprintf(out, "failed\n");
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}
