// What the tray client tests share: a stand-in tray server in this process
// ("Shell_TrayWnd" titled "CLanternfold") that creates the shared table,
// answers the server messages with chosen values, logs what it gets and
// sends notifications; icon owners that log their callbacks; bars with a
// system tray section read from a bar file.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "lanternfold/tray_protocol.h"
#include "tests/support/test_support.h"

class CVellumMenuObject;
class CVellumMenuSection_Systray;

namespace tray_test {

struct Logged {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

class StandInServer {
public:
    // table_bytes: the size of the shared mapping (the server's is 42414).
    explicit StandInServer(DWORD table_bytes = sizeof(tray::TrayIconTable));
    ~StandInServer();
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

    HWND Window() const { return window_; }
    BYTE* Bytes() const { return view_; }
    tray::TrayIconTable* Table() const { return reinterpret_cast<tray::TrayIconTable*>(view_); }
    tray::TrayIconRecord& Entry(int i) const { return Table()->entries[i]; }

    // The answers to the queries.
    LRESULT record_size = sizeof(tray::TrayIconRecord);
    LRESULT version = tray::kProtocolVersion;
    LRESULT inactive_minutes = 10;

    // A live record at index i (424-byte layout), ticks = now.
    void Put(int i, HWND owner, UINT id, const char* tip, int callback = WM_APP + 5);
    // TRAYNOTIFY to every registered listener: lParam = flags << 16 | code.
    void Notify(WPARAM wp, WORD code, WORD flags = 0);
    std::vector<Logged> Log(UINT msg) const;
    size_t Count(UINT msg) const { return Log(msg).size(); }
    void ClearLog() { log_.clear(); }
    std::vector<std::pair<HWND, UINT>> listeners;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND window_ = nullptr;
    HANDLE mapping_ = nullptr;
    BYTE* view_ = nullptr;
    std::vector<Logged> log_;
};

// A window of this process that owns tray icons and logs (wParam, lParam)
// of the callback message.
class IconOwner {
public:
    static constexpr UINT kCallback = WM_APP + 5;
    explicit IconOwner(const char* cls = "TrayTestOwner");
    ~IconOwner();
    HWND Window() const { return window_; }
    std::vector<std::pair<WPARAM, LPARAM>> calls;
    // The logged mouse messages of one icon, moves left out.
    std::vector<LPARAM> Buttons(UINT id) const;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND window_ = nullptr;
};

HWND MainWindow();

class TrayTest : public ::testing::Test {
protected:
    void TearDown() override;
    // A shown bar read from the bar file text; kept until the test ends.
    CVellumMenuObject* LoadBar(const std::string& text, bool show = true, const std::string& skin = "");
    CVellumMenuSection_Systray* Tray(CVellumMenuObject* bar);
    void CloseBar(CVellumMenuObject* bar);
    testing_support::TempFolder temp_;
    std::vector<CVellumMenuObject*> bars_;
};

// A bar file: [Object] at (x, y) of size cx x cy, then one section of type.
// The default theme's "Glass" skin: cells of 32 x 22, spacing 1.
std::string GlassSkin();

std::string BarText(const std::string& section_keys, bool vertical = false, int cx = 200,
                    int cy = 30);

}  // namespace tray_test
