// Stand-in for the main program in the watchdog tests: appends the command
// line it was started with to "lf_record_cmdline.log" beside itself.
#include <windows.h>
#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char exe[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, exe, MAX_PATH - 1)) return 1;
    std::string path = exe;
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return 1;
    path = path.substr(0, slash + 1) + "lf_record_cmdline.log";
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
    return 0;
}
