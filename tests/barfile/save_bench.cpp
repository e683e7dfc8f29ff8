// Benchmark (not a test): a bar of 300 items is saved whole, composed in
// memory and written once, and the same keys are written one by one through
// WritePrivateProfileString into an empty file, as every save did before.
// Run: cmake --build build --target save_bench_run
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "model/bar_window.h"
#include "model/vellum_menu_object.h"
#include "util/profile_writer.h"

namespace {

constexpr int kItems = 300;
constexpr int kWholeSaves = 20;

int g_stats_stand_in = 0;

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

struct KeyWrite {
    std::string section, key, value;
    bool has_key, has_value;
};
std::vector<KeyWrite> g_journal;

void Record(const char* section, const char* key, const char* value, const char*) {
    if (section)
        g_journal.push_back({section, key ? key : "", value ? value : "", key != nullptr,
                             value != nullptr});
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.lpszClassName = "Tessellar Save Bench Main";
    RegisterClassA(&wc);
    RegisterBarWindowClasses(instance);
    HWND main = CreateWindowExA(0, wc.lpszClassName, "Tessellar Bench", WS_OVERLAPPED, 0, 0, 10,
                                10, nullptr, nullptr, instance, nullptr);
    SetPropA(main, "lpStatsMonitor", &g_stats_stand_in);

    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string folder = std::string(temp) + "tessellar_save_bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string text = "[Object]\r\nTitle=Bench\r\n[Section1]\r\n";
    for (int i = 1; i <= kItems; ++i) {
        std::string n = std::to_string(i);
        text += "Item" + n + ".Title=Program number " + n + "\r\n";
        text += "Item" + n + ".Action=1\r\n";
        text += "Item" + n + ".Icon=C:\\Programs\\Tool " + n + "\\tool.exe\r\n";
    }
    const std::string source = folder + "source.tsbar";
    const std::string whole = folder + "whole.tsbar";
    const std::string keyed = folder + "keyed.tsbar";
    if (!WriteWhole(source, text)) {
        std::printf("cannot write %s\n", source.c_str());
        return 1;
    }
    auto* bar = new CVellumMenuObject(main);
    bar->LoadTheme(const_cast<char*>(source.c_str()), 0, nullptr);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    tess::WriteObserverHook() = Record;
    g_journal.clear();
    if (!bar->Save(const_cast<char*>(whole.c_str()))) {
        std::printf("the save failed\n");
        return 1;
    }
    tess::WriteObserverHook() = nullptr;
    const std::vector<KeyWrite> journal = g_journal;

    QueryPerformanceCounter(&start);
    for (int i = 0; i < kWholeSaves; ++i) bar->Save(const_cast<char*>(whole.c_str()));
    QueryPerformanceCounter(&end);
    const double whole_seconds = Seconds(start, end, frequency) / kWholeSaves;

    WriteWhole(keyed, "");
    QueryPerformanceCounter(&start);
    for (const KeyWrite& w : journal)
        WritePrivateProfileStringA(w.section.c_str(), w.has_key ? w.key.c_str() : nullptr,
                                   w.has_value ? w.value.c_str() : nullptr, keyed.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, keyed.c_str());
    QueryPerformanceCounter(&end);
    const double keyed_seconds = Seconds(start, end, frequency);

    HANDLE file = CreateFileA(whole.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    DWORD size = file != INVALID_HANDLE_VALUE ? GetFileSize(file, nullptr) : 0;
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    std::printf("bar of %d items: %lu bytes, %u keys\n", kItems, static_cast<unsigned long>(size),
                static_cast<unsigned>(journal.size()));
    std::printf("whole save, composed in memory and written once: %.1f ms (mean of %d)\n",
                whole_seconds * 1000.0, kWholeSaves);
    std::printf("the same keys one by one through WritePrivateProfileString: %.1f ms\n",
                keyed_seconds * 1000.0);
    std::printf("ratio: %.0f times faster\n", keyed_seconds / whole_seconds);

    bar->m_neverSave = TRUE;
    DeleteFileA(source.c_str());
    DeleteFileA(whole.c_str());
    DeleteFileA(keyed.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
