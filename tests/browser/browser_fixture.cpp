#include "tests/browser/browser_fixture.h"

#include <algorithm>
#include <cstring>

#include "model/bar_host.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"

namespace browser_test {

namespace {

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

struct Found {
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND wnd, LPARAM lp) {
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof(cls));
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == GetCurrentProcessId() && strcmp(cls, "#32770") == 0 && IsWindowVisible(wnd) &&
        GetDlgItem(wnd, 0xFFFF))
        reinterpret_cast<Found*>(lp)->boxes.push_back(wnd);
    return TRUE;
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Browser Test Main", MainProc);
    return wnd;
}

CVellumMenuObject* NewBar(int x, int y, int cx, int cy) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->m_placement.LastPos = POINT{x, y};
    bar->m_placement.LastSize = SIZE{cx, cy};
    if (bar->m_hWnd) MoveWindow(bar->m_hWnd, x, y, cx, cy, FALSE);
    return bar;
}

void CloseBar(CVellumMenuObject* bar) { testing_support::CloseTestBar(bar, true); }

BoxAnswerer::BoxAnswerer(int answer) : answer_(answer), thread_([this] { Run(); }) {}

BoxAnswerer::~BoxAnswerer() {
    stop_ = true;
    thread_.join();
}

void BoxAnswerer::Run() {
    while (!stop_) {
        Found found;
        EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&found));
        for (HWND box : found.boxes) {
            {
                std::lock_guard<std::mutex> g(lock_);
                if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) continue;
                char caption[256] = "", text[2048] = "";
                GetWindowTextA(box, caption, sizeof(caption));
                GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof(text));
                captions_.push_back(caption);
                texts_.push_back(text);
                answered_.push_back(box);
            }
            int id = GetDlgItem(box, answer_) ? answer_ : IDOK;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
        }
        Sleep(20);
    }
}

std::vector<std::string> BoxAnswerer::Captions() const {
    std::lock_guard<std::mutex> g(lock_);
    return captions_;
}

std::vector<std::string> BoxAnswerer::Texts() const {
    std::lock_guard<std::mutex> g(lock_);
    return texts_;
}

void BoxAnswerer::Clear() {
    std::lock_guard<std::mutex> g(lock_);
    captions_.clear();
    texts_.clear();
}

BmpFile ReadBmp(const std::string& path) {
    BmpFile out;
    out.bytes = testing_support::ReadFileBytes(path);
    out.size = out.bytes.size();
    if (out.size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return out;
    out.signature = out.bytes.substr(0, 2);
    BITMAPINFOHEADER info;
    memcpy(&info, out.bytes.data() + sizeof(BITMAPFILEHEADER), sizeof(info));
    out.width = info.biWidth;
    out.height = info.biHeight;
    out.bits = info.biBitCount;
    out.compression = static_cast<int>(info.biCompression);
    out.valid = true;
    return out;
}

COLORREF BmpFile::Pixel(int x, int y) const {
    BITMAPFILEHEADER file;
    memcpy(&file, bytes.data(), sizeof(file));
    const size_t row = static_cast<size_t>(height - 1 - y);
    const size_t at = file.bfOffBits + (row * width + x) * 4;
    if (at + 4 > bytes.size()) return CLR_INVALID;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return RGB(p[2], p[1], p[0]);
}

DesktopValues::DesktopValues() = default;

DesktopValues::~DesktopValues() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->existed)
            RegSetValueExA(key, it->name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(it->value.c_str()),
                           static_cast<DWORD>(it->value.size() + 1));
        else
            RegDeleteValueA(key, it->name.c_str());
    }
    RegCloseKey(key);
}

void DesktopValues::Set(const char* name, const char* value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    char old[MAX_PATH] = "";
    DWORD size = sizeof(old) - 1, type = 0;
    const bool existed = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
    saved_.push_back(Saved{name, existed ? old : "", existed});
    if (value)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

}  // namespace browser_test
