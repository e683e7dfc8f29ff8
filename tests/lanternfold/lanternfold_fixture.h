// What the Lanternfold tests share: the real server process with its shared
// table mapped here, a listener window, icon-owner windows, a client that
// sends hand-built Windows-layout notification-icon blocks, and the stand-in
// tray programs that record what the server passes on.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "lanternfold/tray_protocol.h"
#include "tests/support/test_support.h"

namespace lf_test {

constexpr UINT kListenerMessage = WM_APP + 321;

// "LanternfoldData.ini" in the Windows folder.
std::string SettingsPath();
void RemoveSettings();
std::string ReadText(const std::string& path);
std::string IniValue(const char* section, const char* key);

// Closes any server left running (by an earlier failed test) and waits.
void CloseStrayServers();

// The real Lanternfold.exe, started by the test.
class Server {
public:
    Server() = default;
    ~Server() { Stop(); }

    bool Start(const std::string& args = "");
    void Stop();
    HWND Window() const { return window_; }
    DWORD Pid() const { return process_.Id(); }
    testing_support::ChildProcess& Process() { return process_; }
    // A bounded send to the server window.
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

    tray::TrayIconTable* Table() const { return table_; }
    const tray::TrayIconRecord& Entry(int i) const { return table_->entries[i]; }
    int Count() const;

private:
    testing_support::ChildProcess process_;
    HWND window_ = nullptr;
    HANDLE mapping_ = nullptr;
    tray::TrayIconTable* table_ = nullptr;
};

// A window of this process that records the server's notifications, with a
// copy of the entry they name as it was while the notification was handled.
struct Notification {
    WPARAM wp;
    LPARAM lp;
    bool has_entry;
    tray::TrayIconRecord entry;
    WORD Code() const { return LOWORD(lp); }
    WORD Flags() const { return HIWORD(lp); }
    int Index() const { return static_cast<int>(wp); }
};

class Listener {
public:
    Listener();
    ~Listener();
    bool Register(const Server& server);
    HWND Window() const { return window_; }
    std::vector<Notification> seen;

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND window_ = nullptr;
    const tray::TrayIconTable* table_ = nullptr;
};

// A fresh server with a registered listener and no settings file, per test.
class ServerWithListenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveSettings();
        ASSERT_TRUE(server.Start());
        ASSERT_TRUE(listener.Register(server));
    }
    void TearDown() override {
        server.Stop();
        RemoveSettings();
    }
    Server server;
    Listener listener;
};

// A top-level window of this process of the given class (registered on demand).
HWND CreateOwner(const char* cls = "LfIconOwner");

// ---- the client ------------------------------------------------------------------
struct IconBlock {
    DWORD nim = NIM_ADD;
    HWND owner = nullptr;
    UINT id = 0;
    UINT flags = 0;
    UINT callback = 0;
    HICON icon = nullptr;
    std::wstring tip;          // up to 128 characters; all 128 leave it unterminated
    DWORD state = 0;
    DWORD state_mask = 0;
};
// The full block that Shell_NotifyIcon sends: signature, NIM code, NOTIFYICONDATA.
std::vector<BYTE> WideBlock(const IconBlock& b);
std::vector<BYTE> AnsiBlock(const IconBlock& b);
// A block in Wine's own layout: dwData is the NIM code, the data starts with
// hWnd, uID, uFlags, uCallbackMessage and the tip (embedded zeros kept).
std::vector<BYTE> WineLayoutBlock(HWND owner, UINT id, UINT flags, UINT callback, const std::wstring& tip);
// Sends WM_COPYDATA to the server as the system would; the reply, or -1 on time-out.
LRESULT SendBlock(HWND server, ULONG_PTR dw_data, const std::vector<BYTE>& bytes, DWORD* elapsed_ms = nullptr);
LRESULT SendIcon(HWND server, const IconBlock& b);

std::string Hex(const std::vector<BYTE>& bytes);
// The bytes of a 16 x 16 icon file of one colour (0xAARRGGBB).
std::string SmallIconFile(DWORD argb);
std::string Field(const char* text, size_t size);   // a fixed field as a string

// ---- stand-in trays ------------------------------------------------------------------
class StandInTray {
public:
    // title "" stands for the shell's own tray.
    bool Start(const std::string& title, LRESULT reply);
    ~StandInTray();
    HWND Window() const { return window_; }
    // One line per WM_COPYDATA: "dwData cbData wParam hexbytes".
    std::vector<std::string> Lines() const;
    void Clear() const;

private:
    testing_support::ChildProcess process_;
    HWND window_ = nullptr;
    std::string log_;
};

}  // namespace lf_test
