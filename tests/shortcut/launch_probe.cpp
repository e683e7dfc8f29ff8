// Stand-in for every program a shortcut test launches: writes its command
// line, current folder and show command (one per line) to the file named
// by TESS_LAUNCH_PROBE_OUT, whole or not at all.
#include <windows.h>
#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char out[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("TESS_LAUNCH_PROBE_OUT", out, sizeof(out));
    if (n == 0 || n >= sizeof(out)) return 1;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof(folder), folder);
    STARTUPINFOA info = {};
    info.cb = sizeof(info);
    GetStartupInfoA(&info);
    int show = (info.dwFlags & STARTF_USESHOWWINDOW) ? info.wShowWindow : -1;
    char show_text[16];
    std::snprintf(show_text, sizeof(show_text), "%d", show);
    std::string text = std::string(GetCommandLineA()) + "\n" + folder + "\n" + show_text + "\n";
    std::string temp = std::string(out) + ".tmp";
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || !MoveFileExA(temp.c_str(), out, MOVEFILE_REPLACE_EXISTING)) return 1;
    return 0;
}
