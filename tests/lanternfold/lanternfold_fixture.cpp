#include "tests/lanternfold/lanternfold_fixture.h"

#include <cstdio>
#include <cstring>
#include <sstream>

using namespace testing_support;

namespace lf_test {

std::string SettingsPath() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\LanternfoldData.ini";
}

void RemoveSettings() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "LanternfoldData.ini");   // flush the cache
    DeleteFileA(SettingsPath().c_str());
}

std::string ReadText(const std::string& path) { return ReadFileBytes(path); }

std::string IniValue(const char* section, const char* key) {
    char value[1024] = {};
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "LanternfoldData.ini");   // read the file anew
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof(value), "LanternfoldData.ini");
    return value;
}

void CloseStrayServers() {
    for (int i = 0; i < 5; ++i) {
        HWND w = FindWindowA(tray::kTrayClass, tray::kServerTitle);
        if (!w) return;
        PostMessageA(w, WM_CLOSE, 0, 0);
        PumpUntil([&] { return !IsWindow(w); }, 3000);
    }
}

// ---- server --------------------------------------------------------------------------

bool Server::Start(const std::string& args) {
    CloseStrayServers();
    if (!process_.Start("Lanternfold.exe", args)) return false;
    window_ = process_.WaitForWindow(tray::kTrayClass, tray::kServerTitle, 10000);
    if (!window_) {
        DWORD code = 0;
        GetExitCodeProcess(process_.Handle(), &code);
        fprintf(stderr, "Lanternfold.exe made no server window (exit code %lu)\n", code);
        return false;
    }
    // Answered once the server's message loop runs, that is, after its start.
    if (Send(tray::WM_TRAYPING) != 0) return false;
    mapping_ = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, tray::kSharedTableName);
    if (!mapping_) {
        fprintf(stderr, "no shared table (error %lu)\n", GetLastError());
        return false;
    }
    table_ = static_cast<tray::TrayIconTable*>(
        MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(tray::TrayIconTable)));
    return table_ != nullptr;
}

void Server::Stop() {
    if (table_) UnmapViewOfFile(table_);
    table_ = nullptr;
    if (mapping_) CloseHandle(mapping_);
    mapping_ = nullptr;
    if (window_ && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
    window_ = nullptr;
    if (process_.Running() && process_.Wait(5000) == -1) process_.Kill();
}

LRESULT Server::Send(UINT msg, WPARAM wp, LPARAM lp) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window_, msg, wp, lp, SMTO_NORMAL, 5000, &result)) return -1;
    return static_cast<LRESULT>(result);
}

int Server::Count() const {
    int n = 0;
    while (n < tray::kTableCapacity && table_->entries[n].owner) ++n;
    return n;
}

// ---- listener ------------------------------------------------------------------------

Listener::Listener() {
    window_ = testing_support::CreatePlainWindow("LfTestListener", Proc, "listener");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Listener::~Listener() {
    if (window_) DestroyWindow(window_);
}

bool Listener::Register(const Server& server) {
    table_ = server.Table();
    return server.Send(tray::WM_TRAYREGISTER, reinterpret_cast<WPARAM>(window_), kListenerMessage) == 1;
}

LRESULT CALLBACK Listener::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Listener*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (msg == kListenerMessage && self) {
        Notification n = {wp, lp, false, {}};
        const int index = static_cast<int>(wp);
        const WORD code = LOWORD(lp);
        if (self->table_ && index >= 0 && index < tray::kTableCapacity && code != tray::TRAYNOTIFY_DELETE) {
            n.has_entry = true;
            n.entry = self->table_->entries[index];
        }
        self->seen.push_back(n);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND CreateOwner(const char* cls) { return testing_support::CreatePlainWindow(cls, nullptr, "owner"); }

// ---- client ----------------------------------------------------------------------------

namespace {

// The sizes of NOTIFYICONDATAW and A as a 32-bit sender sends them (with the
// balloon fields and the item GUID), whatever this test's own build is: the
// shell's tray block keeps handles as 32-bit values in every build.
constexpr size_t kSentSizeW = 952;
constexpr size_t kSentSizeA = 504;

template <typename TipChar>
std::vector<BYTE> BuildBlock(const IconBlock& b, const TipChar* tip, size_t tip_length, size_t sent_size) {
    tray::NotifyIconFields<TipChar> nid = {};
    nid.cbSize = static_cast<uint32_t>(sent_size);
    nid.hWnd = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(b.owner));
    nid.uID = b.id;
    nid.uFlags = b.flags;
    nid.uCallbackMessage = b.callback;
    nid.hIcon = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(b.icon));
    const size_t room = sizeof(nid.szTip) / sizeof(nid.szTip[0]);
    for (size_t i = 0; i < tip_length && i < room; ++i) nid.szTip[i] = tip[i];
    nid.dwState = b.state;
    nid.dwStateMask = b.state_mask;
    std::vector<BYTE> bytes(8 + sent_size, 0);
    const DWORD header[2] = {tray::kShellTraySignature, b.nim};
    memcpy(bytes.data(), header, 8);
    memcpy(bytes.data() + 8, &nid, sizeof(nid));
    return bytes;
}

}  // namespace

std::vector<BYTE> WideBlock(const IconBlock& b) {
    return BuildBlock(b, b.tip.c_str(), b.tip.size(), kSentSizeW);
}

std::vector<BYTE> AnsiBlock(const IconBlock& b) {
    std::string tip(b.tip.begin(), b.tip.end());
    return BuildBlock(b, tip.c_str(), tip.size(), kSentSizeA);
}

std::vector<BYTE> WineLayoutBlock(HWND owner, UINT id, UINT flags, UINT callback, const std::wstring& tip) {
    // hWnd, uID, uFlags, uCallbackMessage, then the tip and the rest: ~960 bytes.
    std::vector<BYTE> bytes(960, 0);
    const DWORD head[4] = {static_cast<DWORD>(reinterpret_cast<UINT_PTR>(owner)), id, flags, callback};
    memcpy(bytes.data(), head, sizeof(head));
    memcpy(bytes.data() + 16, tip.c_str(), std::min<size_t>(tip.size(), 127) * 2);
    return bytes;
}

LRESULT SendBlock(HWND server, ULONG_PTR dw_data, const std::vector<BYTE>& bytes, DWORD* elapsed_ms) {
    COPYDATASTRUCT cds = {dw_data, static_cast<DWORD>(bytes.size()), const_cast<BYTE*>(bytes.data())};
    DWORD_PTR result = 0;
    const DWORD start = GetTickCount();
    BOOL ok = SendMessageTimeoutA(server, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 8000,
                                  &result);
    if (elapsed_ms) *elapsed_ms = GetTickCount() - start;
    return ok ? static_cast<LRESULT>(result) : -1;
}

LRESULT SendIcon(HWND server, const IconBlock& b) { return SendBlock(server, 1, WideBlock(b)); }

std::string Hex(const std::vector<BYTE>& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (BYTE v : bytes) {
        out += kHex[v >> 4];
        out += kHex[v & 15];
    }
    return out;
}

std::string SmallIconFile(DWORD argb) {
    std::string out;
    auto put16 = [&](WORD v) { out.append(reinterpret_cast<const char*>(&v), 2); };
    auto put32 = [&](DWORD v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    const DWORD image_size = 40 + 16 * 16 * 4 + 16 * 4;
    put16(0); put16(1); put16(1);                          // ICONDIR
    out += '\x10'; out += '\x10'; out += '\0'; out += '\0';
    put16(1); put16(32); put32(image_size); put32(22);     // ICONDIRENTRY
    put32(40); put32(16); put32(32); put16(1); put16(32);  // BITMAPINFOHEADER
    for (int i = 0; i < 6; ++i) put32(0);
    for (int i = 0; i < 16 * 16; ++i) put32(argb);
    out.append(16 * 4, '\0');                              // AND mask: all opaque
    return out;
}

std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

// ---- stand-in trays ------------------------------------------------------------------------

bool StandInTray::Start(const std::string& title, LRESULT reply) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    log_ = std::string(temp) + "lf_standin_" + (title.empty() ? "shell" : title) + ".log";
    DeleteFileA(log_.c_str());
    std::string args = "\"" + (title.empty() ? std::string("-") : title) + "\" \"" + log_ + "\" " +
                       std::to_string(static_cast<long>(reply));
    if (!process_.Start("lf_tray_standin.exe", args)) return false;
    window_ = process_.WaitForWindow(tray::kTrayClass, "", 5000);
    return window_ != nullptr;
}

StandInTray::~StandInTray() {
    if (window_ && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (process_.Running() && process_.Wait(3000) == -1) process_.Kill();
    DeleteFileA(log_.c_str());
}

std::vector<std::string> StandInTray::Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileBytes(log_));
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

void StandInTray::Clear() const { DeleteFileA(log_.c_str()); }

}  // namespace lf_test
