#include "tests/tray/tray_fixture.h"
#include <cstring>
#include "model/vellum_menu_object.h"
#include "tests/support/stand_in_main_window.h"
#include "types/systray_section.h"

namespace tray_test {

// ---- stand-in server -------------------------------------------------------------------------

StandInServer::StandInServer(DWORD table_bytes) {
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, table_bytes,
                                  tray::kSharedTableName);
    if (mapping_)
        view_ = static_cast<BYTE*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (view_) {
        memset(view_, 0, table_bytes);
        *reinterpret_cast<int32_t*>(view_) = tray::kTableCapacity;
    }
    window_ = testing_support::CreatePlainWindow(tray::kTrayClass, Proc, tray::kServerTitle);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

StandInServer::~StandInServer() {
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
}

void StandInServer::Put(int i, HWND owner, UINT id, const char* tip, int callback) {
    tray::TrayIconRecord& r = Entry(i);
    memset(&r, 0, sizeof(r));
    r.owner = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(owner));
    r.callback_message = callback;
    r.icon_id = id;
    strncpy(r.short_tip, tip, sizeof(r.short_tip) - 1);
    strncpy(r.long_tip, tip, sizeof(r.long_tip) - 1);
    r.alive = 1;
    r.tip_tick = r.icon_tick = GetTickCount();
}

void StandInServer::Notify(WPARAM wp, WORD code, WORD flags) {
    for (const auto& l : listeners)
        if (IsWindow(l.first)) SendMessageA(l.first, l.second, wp, MAKELPARAM(code, flags));
}

std::vector<Logged> StandInServer::Log(UINT msg) const {
    std::vector<Logged> out;
    for (const Logged& l : log_)
        if (l.msg == msg) out.push_back(l);
    return out;
}

LRESULT CALLBACK StandInServer::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<StandInServer*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!self || msg < tray::WM_TRAYREGISTER || msg > tray::WM_TRAYICONDIALOG)
        return DefWindowProcA(wnd, msg, wp, lp);
    self->log_.push_back({msg, wp, lp});
    switch (msg) {
    case tray::WM_TRAYREGISTER:
        self->listeners.push_back({reinterpret_cast<HWND>(wp), static_cast<UINT>(lp)});
        return 1;
    case tray::WM_TRAYUNREGISTER:
        for (size_t i = 0; i < self->listeners.size(); ++i)
            if (self->listeners[i].first == reinterpret_cast<HWND>(wp)) {
                self->listeners.erase(self->listeners.begin() + i);
                break;
            }
        return 1;
    case tray::WM_TRAYGETRECORDSIZE: return self->record_size;
    case tray::WM_TRAYGETVERSION: return self->version;
    case tray::WM_TRAYGETINACTIVEMINUTES: return self->inactive_minutes;
    case tray::WM_TRAYSETANCHORRECT:
    case tray::WM_TRAYSETANCHORWINDOW:
    case tray::WM_TRAYSETAUTOSTART:
        return 1;
    default:
        return 0;
    }
}

// ---- icon owners ---------------------------------------------------------------------------

IconOwner::IconOwner(const char* cls) {
    window_ = testing_support::CreatePlainWindow(cls, Proc, "owner");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

IconOwner::~IconOwner() {
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

std::vector<LPARAM> IconOwner::Buttons(UINT id) const {
    std::vector<LPARAM> out;
    for (const auto& c : calls)
        if (c.first == id && c.second != WM_MOUSEMOVE) out.push_back(c.second);
    return out;
}

LRESULT CALLBACK IconOwner::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<IconOwner*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self && msg == kCallback) {
        self->calls.push_back({wp, lp});
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

// ---- bars ----------------------------------------------------------------------------------

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Tray Test Main");
    return wnd;
}

std::string BarText(const std::string& section_keys, bool vertical, int cx, int cy) {
    return "[Object]\r\nTitle=Tray\r\nLastPos.x=100\r\nLastPos.y=100\r\nLastSize.cx=" +
           std::to_string(cx) + "\r\nLastSize.cy=" + std::to_string(cy) +
           "\r\nDisplayVertically=" + (vertical ? "1" : "0") +
           "\r\n[Section1]\r\nProperties.Type=Systray\r\n" + section_keys;
}

std::string GlassSkin() {
    return testing_support::SourceFolder() + "\\themes\\Default\\Skins\\Glass\\Glass.tsskin";
}

CVellumMenuObject* TrayTest::LoadBar(const std::string& text, bool show, const std::string& skin) {
    MainWindow();
    const std::string name = "bar" + std::to_string(bars_.size()) + ".tsbar";
    EXPECT_TRUE(temp_.Write(name, text));
    auto* bar = new CVellumMenuObject(MainWindow());
    bars_.push_back(bar);
    std::string path = temp_.File(name);
    std::string skin_path = skin;
    EXPECT_EQ(1, bar->LoadTheme(const_cast<char*>(path.c_str()), show ? 1 : 0,
                                skin_path.empty() ? nullptr : &skin_path[0]));
    testing_support::PumpFor(50);
    return bar;
}

CVellumMenuSection_Systray* TrayTest::Tray(CVellumMenuObject* bar) {
    return bar ? dynamic_cast<CVellumMenuSection_Systray*>(bar->m_sections[0]) : nullptr;
}

void TrayTest::CloseBar(CVellumMenuObject* bar) {
    for (size_t i = 0; i < bars_.size(); ++i)
        if (bars_[i] == bar) {
            bars_.erase(bars_.begin() + i);
            testing_support::CloseTestBar(bar, true);
            return;
        }
}

void TrayTest::TearDown() {
    for (CVellumMenuObject* bar : bars_) testing_support::CloseTestBar(bar, true);
    bars_.clear();
}

}  // namespace tray_test
