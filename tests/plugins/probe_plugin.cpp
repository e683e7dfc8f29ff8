// A plug-in for tests: logs every message it gets, one line each, into
// "<its own path>.log", and answers as "<its own path>.ini" [Probe] says:
//   GetInfo (1), Hosts (2), Name ("Probe"), Capabilities (0), Width, Height
//   (VTM_GETSIZE answer, 0 keeps the host's), Reply (VTM_STATECHANGE reply,
//   empty: result 0), States (custom state names, "|" between), PaintSplit
//   (left half green, the rest magenta), ConfigureLoopMs (a message loop in
//   VTM_CONFIGURE), RegisterFiles ("|" between) and RegisterCount (that many
//   "file<n>.dat") registered through the host at VTM_SAVE.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "types/plugin_interface.h"

namespace {

HMODULE g_module = nullptr;
VTHostCallbackProc g_host = nullptr;
int g_instances = 0;

struct ProbeInstance {
    int number;
};

std::string OwnPath(const char* suffix) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(g_module, path, MAX_PATH);
    return std::string(path) + suffix;
}

int Setting(const char* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntA("Probe", key, fallback, OwnPath(".ini").c_str()));
}

std::string Text(const char* key, const char* fallback = "") {
    char value[4096] = "";
    GetPrivateProfileStringA("Probe", key, fallback, value, sizeof(value), OwnPath(".ini").c_str());
    return value;
}

std::vector<std::string> List(const char* key) {
    std::vector<std::string> out;
    std::string all = Text(key);
    size_t start = 0;
    while (start < all.size()) {
        size_t bar = all.find('|', start);
        if (bar == std::string::npos) bar = all.size();
        if (bar > start) out.push_back(all.substr(start, bar - start));
        start = bar + 1;
    }
    return out;
}

void Log(const std::string& line, void** slot) {
    int number = slot && *slot ? static_cast<ProbeInstance*>(*slot)->number : 0;
    FILE* file = std::fopen(OwnPath(".log").c_str(), "ab");
    if (!file) return;
    std::fprintf(file, "%s #%d\n", line.c_str(), number);
    std::fclose(file);
}

void Paint(const PluginPaintInfo* info) {
    HDC dc = reinterpret_cast<HDC>(static_cast<ULONG_PTR>(info->dc));
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &info->rect, magenta);
    DeleteObject(magenta);
    RECT left = info->rect;
    left.right = (left.left + left.right) / 2;
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(dc, &left, green);
    DeleteObject(green);
}

void RegisterFiles() {
    if (!g_host) return;
    for (const std::string& file : List("RegisterFiles"))
        g_host(VTHC_REGISTERDATAFILE, reinterpret_cast<INT_PTR>(file.c_str()), 0);
    int count = Setting("RegisterCount", 0);
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "file%d.dat", i);
        g_host(VTHC_REGISTERDATAFILE, reinterpret_cast<INT_PTR>(name), 0);
    }
}

INT_PTR Answer(void** slot, UINT message, INT_PTR param, INT_PTR param2) {
    char line[600];
    switch (message) {
    case VTM_GETINFO: {
        auto* info = reinterpret_cast<PluginInfoRecord*>(param);
        std::snprintf(line, sizeof(line), "GETINFO host=%d version=%d slot=%s", info->hostId,
                      info->hostVersion, slot ? "item" : "none");
        Log(line, slot);
        if (!Setting("GetInfo", 1)) return 0;
        std::snprintf(info->name, sizeof(info->name), "%s", Text("Name", "Probe").c_str());
        std::snprintf(info->author, sizeof(info->author), "Tests");
        info->version = 102;
        info->platforms = Setting("Platforms", 0);
        info->hosts = Setting("Hosts", 2);
        return 1;
    }
    case VTM_INITIALIZE:
        g_host = reinterpret_cast<VTHostCallbackProc>(param);
        std::snprintf(line, sizeof(line), "INITIALIZE callback=%s module=%s",
                      param ? "set" : "null",
                      reinterpret_cast<HMODULE>(param2) == g_module ? "own" : "other");
        Log(line, slot);
        return 1;
    case VTM_MODULEDONE: Log("MODULEDONE", slot); return 1;
    case VTM_CREATEINSTANCE:
        *slot = new ProbeInstance{++g_instances};
        *reinterpret_cast<int*>(param) = Setting("Capabilities", 0);
        Log("CREATEINSTANCE", slot);
        return 1;
    case VTM_ENDINSTANCE: Log("ENDINSTANCE", slot); return 1;
    case VTM_FREEINSTANCE:
        Log("FREEINSTANCE", slot);
        delete static_cast<ProbeInstance*>(*slot);
        *slot = nullptr;
        return 1;
    case VTM_LOAD:
        std::snprintf(line, sizeof(line), "LOAD %s", reinterpret_cast<const char*>(param));
        Log(line, slot);
        return 1;
    case VTM_SAVE:
        std::snprintf(line, sizeof(line), "SAVE %s", reinterpret_cast<const char*>(param));
        Log(line, slot);
        RegisterFiles();
        return 1;
    case VTM_GETSTATENAME: {
        std::vector<std::string> states = List("States");
        std::snprintf(line, sizeof(line), "GETSTATENAME %d", static_cast<int>(param2));
        Log(line, slot);
        if (param2 < 0 || param2 >= static_cast<INT_PTR>(states.size())) return 0;
        std::snprintf(reinterpret_cast<char*>(param), kPluginStateNameSize, "%s",
                      states[param2].c_str());
        return 1;
    }
    case VTM_STATECHANGE: {
        std::snprintf(line, sizeof(line), "STATECHANGE %s", reinterpret_cast<const char*>(param));
        Log(line, slot);
        std::string reply = Text("Reply");
        if (reply.empty() || !std::strcmp(reinterpret_cast<const char*>(param), "Show")) return 0;
        std::snprintf(reinterpret_cast<char*>(param2), kPluginStateReplySize, "%s", reply.c_str());
        return 1;
    }
    case VTM_GETSIZE: {
        auto* size = reinterpret_cast<PluginSizeInfo*>(param);
        std::snprintf(line, sizeof(line), "GETSIZE %dx%d", size->cx, size->cy);
        Log(line, slot);
        if (Setting("Width", 0)) size->cx = Setting("Width", 0);
        if (Setting("Height", 0)) size->cy = Setting("Height", 0);
        return 1;
    }
    case VTM_ATTACH: {
        auto* info = reinterpret_cast<PluginAttachInfo*>(param);
        char cls[64] = "";
        GetClassNameA(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(info->childWindow)), cls, sizeof(cls));
        std::snprintf(line, sizeof(line), "ATTACH %ldx%ld child=%s", info->rect.right,
                      info->rect.bottom, cls);
        Log(line, slot);
        return 1;
    }
    case VTM_SCRIPTENABLED:
        std::snprintf(line, sizeof(line), "SCRIPTENABLED %d", static_cast<int>(param));
        Log(line, slot);
        return 1;
    case VTM_CLONE: Log("CLONE", slot); return 1;
    case VTM_CONFIGURE: {
        Log("CONFIGURE", slot);
        DWORD end = GetTickCount() + Setting("ConfigureLoopMs", 0);
        MSG msg;
        while (static_cast<int>(end - GetTickCount()) > 0) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(5);
        }
        return 1;
    }
    case VTM_COMMAND: Log("COMMAND", slot); return 1;
    case VTM_PAINT:
        Log("PAINT", slot);
        if (Setting("PaintSplit", 0)) Paint(reinterpret_cast<const PluginPaintInfo*>(param));
        return 1;
    case VTM_MOVED: Log("MOVED", slot); return 1;
    case VTM_THEMESTATUS: Log("THEMESTATUS", slot); return 1;
    default: return 0;
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

extern "C" INT_PTR WINAPI VTMessage(void*, void** slot, UINT message, INT_PTR param, INT_PTR param2) {
    return Answer(slot, message, param, param2);
}
