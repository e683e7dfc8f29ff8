// A top-level window of any class and title in the test process that records
// what other processes send it: the stand-in for a running Tessellar or for
// the tray server.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct RecordedMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool has_copy_data;
    ULONG_PTR copy_data_kind;   // dwData
    DWORD copy_data_size;       // cbData
    std::string copy_data;      // the bytes sent, cut at the first zero
};

class StandInWindow {
public:
    StandInWindow(const char* cls, const char* title);
    ~StandInWindow();
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;

    HWND Handle() const { return wnd_; }
    const std::vector<RecordedMessage>& Messages() const { return messages_; }
    // Messages from WM_USER upwards plus WM_COMMAND, WM_COPYDATA.
    std::vector<RecordedMessage> Interesting() const;
    void Clear() { messages_.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    std::string cls_;
    HWND wnd_ = nullptr;
    std::vector<RecordedMessage> messages_;
};
