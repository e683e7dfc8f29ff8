// Shared pieces of the browser, picture and About box tests: real bars under
// a stand-in main window, message boxes answered by caption while the
// browser (itself a dialog) stays open, and BMP files read back.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CVellumMenuObject;

namespace browser_test {

// The stand-in main window (with the stats monitor property bars need).
HWND MainWindow();
// A bar with a window, registered, at (x, y) with size cx x cy as saved.
CVellumMenuObject* NewBar(int x, int y, int cx, int cy);
void CloseBar(CVellumMenuObject* bar);

// Answers message boxes ("#32770" with a static 0xFFFF) of this process
// with one button, recording caption and text; other dialogs are left alone.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int answer);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    std::vector<std::string> Captions() const;
    std::vector<std::string> Texts() const;
    void Clear();

private:
    void Run();
    int answer_;
    mutable std::mutex lock_;
    std::vector<std::string> captions_, texts_;
    std::vector<HWND> answered_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A BMP file as read back.
struct BmpFile {
    bool valid = false;
    size_t size = 0;
    std::string signature;
    int width = 0, height = 0, bits = 0, compression = -1;
    std::string bytes;
    // Pixel (x, y), y from the top, of a 32-bit bottom-up file.
    COLORREF Pixel(int x, int y) const;
};
BmpFile ReadBmp(const std::string& path);

// Sets or deletes HKCU "Control Panel\desktop" values for one test, and puts
// the old ones back.
class DesktopValues {
public:
    DesktopValues();
    ~DesktopValues();
    void Set(const char* name, const char* value);   // null deletes

private:
    struct Saved {
        std::string name, value;
        bool existed;
    };
    std::vector<Saved> saved_;
};

}  // namespace browser_test
