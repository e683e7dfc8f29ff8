// Test bench shared by every test program: real windows, real message boxes,
// real processes and the real screen, all with time-outs so nothing hangs.
#pragma once
#include <windows.h>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <atomic>
#include <vector>

namespace testing_support {

// ---- message pumping ------------------------------------------------------
// Dispatches this thread's messages until cond() holds or timeout_ms passes.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeout_ms);
// Dispatches this thread's messages for ms milliseconds.
void PumpFor(DWORD ms);

// ---- message boxes ---------------------------------------------------------
struct SeenMessageBox {
    std::string caption;
    std::string text;
    DWORD process_id;
};

// Watches for the system's dialogs (message boxes, file dialogs, the shell's
// confirmations) on a thread of its own, records caption and text and answers
// them with the chosen button. Dialogs of the program's own resources are left
// to the test that drives them. By default only this process's are watched.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(int answer = IDCANCEL, bool any_process = false);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    void SetAnswer(int button_id);          // IDOK, IDYES, IDNO, IDCANCEL...
    void WatchProcess(DWORD process_id);    // also answer boxes of this process
    std::vector<SeenMessageBox> Seen() const;
    size_t Count() const;
    bool SawCaption(const std::string& caption) const;
    void Clear();

private:
    void Run();
    void Answer(HWND box);

    mutable std::mutex lock_;
    std::vector<SeenMessageBox> seen_;
    std::vector<HWND> answered_;
    std::vector<DWORD> processes_;
    std::atomic<int> answer_;
    bool any_process_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// ---- processes ---------------------------------------------------------------
// Folder of the built deliverables (environment TESS_BIN_DIR, else this exe's).
std::string BinFolder();
// Source tree root (environment TESS_SOURCE_DIR), for committed fixtures.
std::string SourceFolder();

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();                     // terminates the process if still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts BinFolder()\exe_name (or a full path) with the arguments.
    bool Start(const std::string& exe_name, const std::string& args = "",
               const std::string& working_dir = "");
    // Waits for a top-level window of this class/title (either may be empty).
    HWND WaitForWindow(const std::string& cls, const std::string& title, DWORD timeout_ms);
    // Waits for exit; returns the exit code, or -1 on time-out.
    int Wait(DWORD timeout_ms);
    bool Running() const;
    void Kill();
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Handle() const { return pi_.hProcess; }

private:
    PROCESS_INFORMATION pi_{};
};

// ---- Tessellar.exe ------------------------------------------------------------
// Starts Tessellar.exe with the arguments and waits, pumping, until its main
// window answers a sent message: its start-up is over. boxes, when given,
// answers the program's message boxes from its start on. Null when the
// program or its window did not come within the time.
HWND StartTessellar(ChildProcess& program, const std::string& args,
                    MessageBoxWatcher* boxes = nullptr, DWORD timeout_ms = 15000);
// Ends a Tessellar still running: its main window is asked to close, and the
// process is killed when it has not ended after wait_ms (pumping meanwhile,
// as the program may wait on this thread's windows).
void StopTessellar(ChildProcess& program, DWORD wait_ms = 8000);

// Registers a window class of this name with proc (DefWindowProc when null)
// and creates a hidden 10 x 10 popup window of it (null on failure).
HWND CreatePlainWindow(const char* class_name, WNDPROC proc = nullptr, const char* title = "",
                       DWORD ex_style = 0);

// A shown popup window that property pages are made in, at the screen
// rectangle given. Its class is its own: a visible "#32770" window would be
// taken for a message box by the box watcher, which then reads its caption
// across threads and can wait on a main thread that waits on it.
HWND CreatePageHost(int x, int y, int width, int height);

// Finds a top-level window of the class and title, pumping while waiting.
HWND WaitForTopWindow(const std::string& cls, const std::string& title, DWORD timeout_ms);

// ---- screen --------------------------------------------------------------------
// A 32-bit top-down copy of a screen rectangle (BitBlt of the screen DC).
class ScreenCapture {
public:
    explicit ScreenCapture(const RECT& screen_rect);
    ~ScreenCapture();
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF Pixel(int x, int y) const;   // relative to the captured rectangle
    bool Valid() const { return bits_ != nullptr; }

private:
    int width_ = 0, height_ = 0;
    HBITMAP bitmap_ = nullptr;
    const DWORD* bits_ = nullptr;
};

// Reads a pixel of a bitmap (not selected into any DC) as COLORREF.
COLORREF DibPixel(HBITMAP dib, int x, int y);
// Creates a 32-bit top-down DIB section; bits receive the pixel pointer.
HBITMAP CreateDib32(int width, int height, DWORD** bits = nullptr);

// ---- files -----------------------------------------------------------------------
// A fresh folder under %TEMP%, removed with everything in it at destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }   // ends with a backslash
    std::string File(const std::string& name) const { return path_ + name; }
    bool Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;
    bool MakeFolder(const std::string& name) const;

private:
    std::string path_;
};

bool WriteFileBytes(const std::string& path, const std::string& content);
std::string ReadFileBytes(const std::string& path);
bool FileExistsOnDisk(const std::string& path);
// No "*.tmp" file in the folder (given with its trailing backslash): what a
// save leaves behind when it fails half-way.
bool NoTempFiles(const std::string& folder);
void RemoveTree(const std::string& path);
// The recycle bin: Wine moves deleted files into the host's trash, which
// every test program gets in the build tree (XDG_DATA_HOME). The folder of
// trashed files with its trailing backslash, empty when the variable is not
// set; whether an entry whose name starts with name is there.
std::string TrashFiles();
bool InTrash(const std::string& name);

// ---- bar files -----------------------------------------------------------------------
// The "[Object]" lines of a bar file of the skin at r, with this screen's
// size as the one it was saved on, the orientation, no maximum size and a
// width that may change when vertical; the caller's lines follow them.
std::string BarObjectLines(const char* title, const std::string& skin, RECT r, bool vertical);

// ---- registry ----------------------------------------------------------------------
// Deletes a HKEY_CURRENT_USER subkey tree (test isolation).
void DeleteRegistryTree(HKEY root, const std::string& subkey);

// The value of key in section of an INI file, "<none>" when it is missing.
std::string ReadKey(const std::string& file, const char* section, const char* key);

}  // namespace testing_support
