#include "tests/packages/package_fixture.h"

#include <shlwapi.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

#include "shell/startup.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "skins/skin_cache.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace testing_support;

namespace package_test {

std::string ProgramFolder() { return theme_test::ProgramFolder(); }

std::string BaseTheme() { return ProgramFolder() + "PackagesBase\\Base\\Base.tstheme"; }

HWND ProgramMainWindow() {
    static HWND main = [] {
        // Kept for the life of the test program and put back at its end.
        static theme_test::ProgramStateGuard state;
        static theme_test::TrayStandIn tray;
        const std::string base = BaseTheme();
        CreateDirectoryA((ProgramFolder() + "PackagesBase").c_str(), nullptr);
        CreateDirectoryA((ProgramFolder() + "PackagesBase\\Base").c_str(), nullptr);
        WriteFileBytes(base, "[Theme Info]\r\nName=Base\r\nTSVersion=150\r\nAutoSaveOption=2\r\n[OpenBars]\r\n");
        WriteFileBytes(ProgramFolder() + "Tessellar.ini",
                       "[Settings]\r\nLastTheme=PackagesBase\\Base\\Base.tstheme\r\n");
        HINSTANCE instance = GetModuleHandleA(nullptr);
        SetAppInstance(instance);
        RegisterWindowClasses(instance);
        return CreateMainWindow(instance);
    }();
    return main;
}

// ---- a skinned theme ---------------------------------------------------------------------------------

SkinnedTheme::SkinnedTheme(const std::string& root_name) : root_(ProgramFolder() + root_name + "\\") {
    ProgramMainWindow();
    RemoveTree(root_);
    for (const char* folder : {"", "T", "T\\Bars", "T\\Skins"}) CreateDirectoryA((root_ + folder).c_str(), nullptr);
    WriteFileBytes(root_ + "T\\Bars\\one.tsbar", theme_test::BarFile("One"));
    WriteFileBytes(SkinFile(), "[General]\r\nAlpha=255\r\n");
    const std::string theme = root_ + "T\\T.tstheme";
    WriteFileBytes(theme, "[Theme Info]\r\nName=T\r\nTSVersion=150\r\nAutoSaveOption=2\r\n"
                          "[OpenBars]\r\nBar1=Bars\\one.tsbar\r\nSkinForBar1=Skins\\glass.tsskin\r\n");
    loaded_ = LoadThemeFile(theme.c_str(), 0) && !BarWindows().empty();
}

SkinnedTheme::~SkinnedTheme() {
    LoadThemeFile(BaseTheme().c_str(), 0);
    RemoveTree(root_);
}

std::string SkinnedTheme::SkinPath() const {
    for (int i = 0; i < kSkinCacheSlots; ++i) {
        SkinRecord* r = GetSkinCacheSlot(i);
        if (r && r->path[0] && _stricmp(r->path, SkinFile().c_str()) == 0) return r->path;
    }
    return "";
}

std::vector<HWND> SkinnedTheme::BarWindows() const { return SnapshotThemeBarWindows(false); }

// ---- dialogs ---------------------------------------------------------------------------------------

namespace {

BOOL CALLBACK CollectOwnDialogs(HWND wnd, LPARAM user) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof(cls));
    if (pid == GetCurrentProcessId() && strcmp(cls, "#32770") == 0 && IsWindowVisible(wnd))
        reinterpret_cast<std::vector<HWND>*>(user)->push_back(wnd);
    return TRUE;
}

std::string WindowText(HWND wnd) {
    char text[2048] = "";
    if (wnd) GetWindowTextA(wnd, text, sizeof(text));
    return text;
}

}  // namespace

DialogDriver::DialogDriver(std::vector<DialogStep> steps) : steps_(std::move(steps)) {
    thread_ = std::thread([this] { Run(); });
}

DialogDriver::~DialogDriver() {
    stop_ = true;
    thread_.join();
}

void DialogDriver::Run() {
    while (!stop_) {
        std::vector<HWND> dialogs;
        EnumWindows(CollectOwnDialogs, reinterpret_cast<LPARAM>(&dialogs));
        for (HWND dialog : dialogs) {
            {
                std::lock_guard<std::mutex> g(lock_);
                if (std::find(handled_.begin(), handled_.end(), dialog) != handled_.end()) continue;
                handled_.push_back(dialog);
            }
            Sleep(60);   // let the dialog finish its set-up
            if (!IsWindow(dialog)) continue;
            SeenDialog seen{WindowText(dialog), WindowText(GetDlgItem(dialog, 0xFFFF)), false};
            // The packing notice goes by itself (its text cannot be read while it is up).
            if (seen.caption.empty() || seen.caption == "Tessellar") continue;
            DialogStep step;
            {
                std::lock_guard<std::mutex> g(lock_);
                if (next_ < steps_.size() && steps_[next_].caption == seen.caption) {
                    step = steps_[next_++];
                    seen.scripted = true;
                }
                seen_.push_back(seen);
            }
            if (seen.scripted) {
                for (const auto& t : step.texts)
                    if (HWND control = GetDlgItem(dialog, t.first))
                        SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.second.c_str()));
                if (step.act) step.act(dialog);
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(step.button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, step.button)));
                continue;
            }
            const int order[] = {IDOK, IDNO, IDCANCEL};
            bool pressed = false;
            for (int id : order) {
                HWND button = GetDlgItem(dialog, id);
                if (button && IsWindowEnabled(button)) {
                    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                    pressed = true;
                    break;
                }
            }
            if (!pressed) PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
        // Windows that went away may come back under the same handle.
        {
            std::lock_guard<std::mutex> g(lock_);
            handled_.erase(std::remove_if(handled_.begin(), handled_.end(), [](HWND w) { return !IsWindow(w); }),
                           handled_.end());
        }
        Sleep(20);
    }
}

std::vector<SeenDialog> DialogDriver::Seen() const {
    std::lock_guard<std::mutex> g(lock_);
    return seen_;
}

bool DialogDriver::Saw(const std::string& caption) const {
    std::lock_guard<std::mutex> g(lock_);
    for (const auto& s : seen_)
        if (s.caption == caption) return true;
    return false;
}

size_t DialogDriver::StepsLeft() const {
    std::lock_guard<std::mutex> g(lock_);
    return steps_.size() - next_;
}

std::string DialogDriver::Describe() const {
    std::lock_guard<std::mutex> g(lock_);
    std::string out;
    for (const auto& s : seen_) out += "[" + s.caption + "] " + s.text + (s.scripted ? "" : " (unscripted)") + "\n";
    return out;
}

// ---- archives ------------------------------------------------------------------------------------------

namespace {

void Put16(std::string& s, uint16_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, uint16_t(v & 0xFFFF));
    Put16(s, uint16_t(v >> 16));
}

uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

}  // namespace

bool WriteRawZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members) {
    std::string body, directory;
    for (const auto& m : members) {
        const uint32_t offset = uint32_t(body.size());
        const uint32_t crc = Crc32(m.second);
        auto shared = [&](std::string& h) {
            Put16(h, 10);
            Put16(h, 0);
            Put16(h, 0);        // stored
            Put16(h, 0);
            Put16(h, 0x21);
            Put32(h, crc);
            Put32(h, uint32_t(m.second.size()));
            Put32(h, uint32_t(m.second.size()));
            Put16(h, uint16_t(m.first.size()));
            Put16(h, 0);
        };
        Put32(body, 0x04034b50);
        shared(body);
        body += m.first + m.second;
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        shared(directory);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, m.first.back() == '/' ? FILE_ATTRIBUTE_DIRECTORY : 0);
        Put32(directory, offset);
        directory += m.first;
    }
    std::string end;
    Put32(end, 0x06054b50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, uint16_t(members.size()));
    Put16(end, uint16_t(members.size()));
    Put32(end, uint32_t(directory.size()));
    Put32(end, uint32_t(body.size()));
    Put16(end, 0);
    return WriteFileBytes(path, body + directory + end);
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[name + "\\"] = "";
            for (auto& e : Snapshot(folder + name + "\\")) out[name + "\\" + e.first] = e.second;
        } else {
            out[name] = ReadFileBytes(folder + name);
        }
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return out;
}

std::vector<std::string> EntriesStartingWith(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + prefix + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return out;
    do out.push_back(fd.cFileName);
    while (FindNextFileA(find, &fd));
    FindClose(find);
    return out;
}

// ---- the editor stand-in -----------------------------------------------------------------------------

std::string StandInFolder() { return ProgramFolder() + "glazeworks_standin\\"; }
std::string StandInLog() { return StandInFolder() + "glazeworks_log.txt"; }

std::vector<std::string> StandInLines(DWORD pid) {
    std::vector<std::string> out;
    std::istringstream in(ReadFileBytes(StandInLog()));
    const std::string prefix = std::to_string(pid) + ": ";
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line.substr(prefix.size()));
    return out;
}

DWORD WindowProcess(HWND wnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

LRESULT SendToWindow(HWND wnd, ULONG_PTR data, const std::string& text, UINT timeout_ms, HWND sender) {
    std::string buffer = text;
    buffer.push_back('\0');
    COPYDATASTRUCT cds = {data, static_cast<DWORD>(buffer.size()), &buffer[0]};
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(wnd, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL,
                        timeout_ms, &answer);
    return static_cast<LRESULT>(answer);
}

}  // namespace package_test
