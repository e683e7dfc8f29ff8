/* Stand-in for the outside virtual-desktop band library "Panorel.dll", as
   the program expects it: three exports with the C calling convention, one
   window handle each. "addWindow" makes a plain child window of the parent it
   is given. Every call is appended to the file named by the environment
   variable PANOREL_STANDIN_LOG, "addWindow" with the "Background" value of
   the shared band settings as it finds it at that moment. With
   PANOREL_STANDIN_MODE=nowindow "addWindow" returns none. The builds without
   "addWindow" or "releaseWindow" leave them out of their .def file. */
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#define BAND_ALIVE_MESSAGE (WM_APP + 0x51)
#define BAND_ALIVE_ANSWER 0x5A5A

static HINSTANCE g_instance;
static const char kBandClass[] = "PanorelStandInBand";
static const char kSettingsKey[] = "Software\\Amberline\\Helmsway\\BandSettings";

static void Log(const char* format, ...) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("PANOREL_STANDIN_LOG", path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    int length = _vsnprintf(line, sizeof(line) - 3, format, args);
    va_end(args);
    if (length < 0 || length > (int)sizeof(line) - 3) length = (int)sizeof(line) - 3;
    line[length++] = '\r';
    line[length++] = '\n';
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)length, &written, NULL);
    CloseHandle(file);
}

static unsigned long HandleValue(HWND wnd) { return (unsigned long)(ULONG_PTR)wnd; }

/* "(no key)", "(absent)" or the value as stored, cut to the buffer. */
static void ReadBackground(char* out, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        lstrcpynA(out, "(no key)", (int)size);
        return;
    }
    DWORD bytes = size - 1;
    memset(out, 0, size);
    if (RegQueryValueExA(key, "Background", NULL, NULL, (BYTE*)out, &bytes) != ERROR_SUCCESS)
        lstrcpynA(out, "(absent)", (int)size);
    RegCloseKey(key);
}

static LRESULT CALLBACK BandProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == BAND_ALIVE_MESSAGE) return BAND_ALIVE_ANSWER;
    return DefWindowProcA(wnd, msg, wp, lp);
}

static int RegisterBandClass(void) {
    WNDCLASSA wc;
    if (GetClassInfoA(g_instance, kBandClass, &wc)) return 1;
    memset(&wc, 0, sizeof(wc));
    wc.lpfnWndProc = BandProc;
    wc.hInstance = g_instance;
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = kBandClass;
    return RegisterClassA(&wc) != 0;
}

HWND __cdecl addWindow(HWND parent) {
    char background[600];
    ReadBackground(background, sizeof(background));
    Log("addWindow parent=%08lX background=%s", HandleValue(parent), background);
    char mode[32] = "";
    GetEnvironmentVariableA("PANOREL_STANDIN_MODE", mode, sizeof(mode));
    if (lstrcmpiA(mode, "nowindow") == 0 || !RegisterBandClass()) return NULL;
    return CreateWindowExA(0, kBandClass, "Panorel stand-in band", WS_CHILD, 0, 0, 10, 10, parent,
                           NULL, g_instance, NULL);
}

int __cdecl releaseWindow(HWND band) {
    Log("releaseWindow %08lX", HandleValue(band));
    return 0;
}

int __cdecl showPreferences(HWND band) {
    Log("showPreferences %08lX", HandleValue(band));
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        Log("attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        UnregisterClassA(kBandClass, g_instance);
        Log("detach");
    }
    return TRUE;
}
