// Benchmark (not a test): a 50-item horizontal bar with a per-pixel alpha
// skin is drawn whole into its memory bitmap many times, one item changes
// state and is redrawn many times, and the skin is reloaded 1,000 times
// while the process's GDI object count is watched.
// Run: cmake --build build --target drawing_bench_run
#include <windows.h>
#include <winternl.h>
#include <cstdio>
#include <string>
#include <vector>
#include "model/bar_drawing.h"
#include "model/bar_window.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/text.h"

namespace {

constexpr int kItems = 50;
constexpr int kFullDraws = 300;
constexpr int kItemRedraws = 3000;
constexpr int kReloads = 1000;

int g_stats_stand_in = 0;

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

// Draws its items, as the program's sections do.
class BenchSection : public CVellumMenuSection {
public:
    explicit BenchSection(CVellumMenuObject* bar) : CVellumMenuSection(bar, 1, 0) {}
    void Draw(HDC dc, int drawItems, int) override {
        if (!drawItems) return;
        for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->Draw(dc);
    }
};

bool WriteFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// A 32-bit bottom-left TGA, half transparent at the border, solid inside.
std::string AlphaTga(int width, int height, BYTE r, BYTE g, BYTE b) {
    unsigned char header[18] = {};
    header[2] = 2;
    header[12] = static_cast<unsigned char>(width & 0xFF);
    header[13] = static_cast<unsigned char>(width >> 8);
    header[14] = static_cast<unsigned char>(height & 0xFF);
    header[15] = static_cast<unsigned char>(height >> 8);
    header[16] = 32;
    header[17] = 8;
    std::string bytes(reinterpret_cast<char*>(header), sizeof(header));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool edge = x < 3 || y < 3 || x >= width - 3 || y >= height - 3;
            bytes += static_cast<char>(b);
            bytes += static_cast<char>(g);
            bytes += static_cast<char>(r);
            bytes += static_cast<char>(edge ? 128 : 255);
        }
    }
    return bytes;
}

// GDI objects of this process. GetGuiResources first; Wine answers 0 there,
// so then the entries in use of the process's shared GDI handle table are
// counted (Wine's layout: 64K entries of 24 bytes, the type byte at 14).
// The table hangs off the PEB, at an offset that differs between 32 and 64 bits.
DWORD CountGdiObjects(const char** how) {
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    *how = "GetGuiResources";
    if (count) return count;
#ifdef _WIN64
    constexpr size_t kPebGdiTable = 0xF8;
#else
    constexpr size_t kPebGdiTable = 0x94;
#endif
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic,
                                  sizeof(basic), nullptr) != 0)
        return 0;
    const BYTE* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    if (!peb) return 0;
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + kPebGdiTable);
    if (!table) return 0;
    *how = "shared GDI handle table";
    constexpr int kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
    for (int i = 0; i < kEntries; ++i)
        if (table[i * kEntrySize + kTypeOffset]) ++count;
    return count;
}

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency, int count) {
    return (to.QuadPart - from.QuadPart) * 1e6 / frequency.QuadPart / count;
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.lpszClassName = "Tessellar Drawing Bench Main";
    RegisterClassA(&wc);
    RegisterBarWindowClasses(instance);
    HWND main = CreateWindowExA(0, wc.lpszClassName, "Tessellar Bench", WS_OVERLAPPED, 0, 0, 10,
                                10, nullptr, nullptr, instance, nullptr);
    SetPropA(main, "lpStatsMonitor", &g_stats_stand_in);

    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string folder = std::string(temp) + "tessellar_drawing_bench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFile(folder + "back.tga", AlphaTga(24, 24, 40, 60, 160));
    WriteFile(folder + "item.tga", AlphaTga(24, 24, 200, 200, 220));
    WriteFile(folder + "over.tga", AlphaTga(24, 24, 250, 220, 120));
    const std::string skin_path = folder + "bench.tsskin";
    WriteFile(skin_path,
              "[General]\r\nItemHeight=24\r\nSkinHeight=30\r\nEdgeBuffer=3\r\n"
              "Font=Arial\r\nFontSize=9\r\n"
              "[TaskbarBackgroundSkin]\r\nhBitmap=back.tga\r\nLeftWidth=6\r\nRightWidth=6\r\n"
              "TopHeight=6\r\nBottomHeight=6\r\n"
              "[NormalItemSkin]\r\nhBitmap=item.tga\r\nLeftWidth=5\r\nRightWidth=5\r\n"
              "TopHeight=5\r\nBottomHeight=5\r\nTextColor=0 0 0\r\n"
              "[MouseoverItemSkin]\r\nhBitmap=over.tga\r\nLeftWidth=5\r\nRightWidth=5\r\n"
              "TopHeight=5\r\nBottomHeight=5\r\nTextColor=0 0 0\r\n");

    auto* bar = new CVellumMenuObject(main);
    if (!bar->m_hWnd) {
        std::printf("no bar window\n");
        return 1;
    }
    auto* section = new BenchSection(bar);
    section->bResizable = FALSE;
    // Equal widths, so that all 50 items are on the 1000-pixel bar.
    section->EqualWidths = TRUE;
    section->MinItemWidth = 16;
    section->MaxItemWidth = 100;
    bar->InsertSection(-1, section);
    for (int i = 0; i < kItems; ++i) {
        char title[32];
        tess::FormatText(title, sizeof(title), "Item %d", i + 1);
        section->InsertItem(-1, new CVellumMenuItem(bar, section, title));
    }
    SetWindowPos(bar->m_hWnd, HWND_TOPMOST, 0, 0, 1000, 30, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    bar->m_placement.LastSize = SIZE{1000, 30};
    tess::CopyText(bar->m_pendingSkinPath, skin_path.c_str());
    bar->ReloadSkin(0);
    bar->RecalcRects(1, 0);

    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);

    QueryPerformanceCounter(&start);
    for (int i = 0; i < kFullDraws; ++i) bar->UpdateToDrawBitmap(nullptr, nullptr, nullptr);
    QueryPerformanceCounter(&stop);
    const double full = Microseconds(start, stop, frequency, kFullDraws);

    // The same drawing without the copy to the screen: into a bitmap like
    // the bar's memory bitmap.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 1000, 30);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old_canvas = SelectObject(memory, canvas);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kFullDraws; ++i) bar->Draw(memory, nullptr, 1);
    QueryPerformanceCounter(&stop);
    const double full_offscreen = Microseconds(start, stop, frequency, kFullDraws);

    CVellumMenuItem* item = section->m_items[kItems / 2];
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kItemRedraws; ++i) {
        item->SetState(i % 2 ? kStateNormal : kStateMouseOver, 0);
        item->Draw(memory);
    }
    QueryPerformanceCounter(&stop);
    const double single_offscreen = Microseconds(start, stop, frequency, kItemRedraws);
    SelectObject(memory, old_canvas);
    DeleteObject(canvas);
    DeleteDC(memory);

    QueryPerformanceCounter(&start);
    for (int i = 0; i < kItemRedraws; ++i) {
        item->SetState(i % 2 ? kStateNormal : kStateMouseOver, 0);
        item->RedrawItem();
    }
    QueryPerformanceCounter(&stop);
    const double single = Microseconds(start, stop, frequency, kItemRedraws);

    // The counter itself is checked first: 100 new bitmaps must show.
    const char* how = "";
    const DWORD probe_before = CountGdiObjects(&how);
    std::vector<HBITMAP> probes;
    for (int i = 0; i < 100; ++i) probes.push_back(CreateBitmap(1, 1, 1, 1, nullptr));
    const DWORD probe_after = CountGdiObjects(&how);
    for (HBITMAP probe : probes) DeleteObject(probe);

    const bool counting = probe_after - probe_before == 100;

    const DWORD before = CountGdiObjects(&how);
    for (int i = 0; i < kReloads; ++i) bar->ReloadSkin(0);
    const DWORD after = CountGdiObjects(&how);
    // One bitmap leaked on purpose must show as one more object.
    HBITMAP leaked = CreateBitmap(1, 1, 1, 1, nullptr);
    const DWORD with_leak = CountGdiObjects(&how);
    DeleteObject(leaked);
    RECT shown;
    item->GetRealItemRect(&shown);

    std::printf("items on the bar:          %d\n", kItems);
    std::printf("full draw, memory bitmap and copy to the window: %.1f us (%d draws)\n", full,
                kFullDraws);
    std::printf("full draw, memory bitmap only:                  %.1f us\n", full_offscreen);
    std::printf("item state change + redraw with copy to window: %.1f us (%d redraws)\n", single,
                kItemRedraws);
    std::printf("item state change + drawing the item only:      %.1f us\n", single_offscreen);
    std::printf("redrawn item:              %ld..%ld x %ld..%ld\n", shown.left, shown.right,
                shown.top, shown.bottom);
    if (counting) {
        std::printf("GDI counter (%s): +100 for 100 probe bitmaps, +%ld for one leaked on purpose\n",
                    how, static_cast<long>(with_leak) - static_cast<long>(after));
        std::printf("GDI objects before %d skin reloads: %lu, after: %lu (%s)\n", kReloads,
                    static_cast<unsigned long>(before), static_cast<unsigned long>(after),
                    before == after ? "no leak" : "LEAK");
    } else {
        // A count that does not follow the probes proves nothing either way.
        std::printf("GDI objects: no working counter here (+%ld for 100 probe bitmaps)\n",
                    static_cast<long>(probe_after) - static_cast<long>(probe_before));
    }

    HWND wnd = bar->m_hWnd;
    bar->Destroy();
    MSG msg;
    DWORD until = GetTickCount() + 2000;
    while (IsWindow(wnd) && GetTickCount() < until) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    }
    return counting && before != after ? 2 : 0;
}
