// What the task-button tests share: a main window "Tessellar Main" in this
// process with the real stats monitor, which relays the hook library's window
// events (posted to it by the tests, as the library would) to every bar; the
// task-window program in a process of its own; bars with one taskbar section.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/vellum_menu_object.h"
#include "tests/support/test_support.h"
#include "types/task_item.h"
#include "types/taskbar_section.h"

namespace task_test {

HWND MainWindow();

// The test program: windows of given classes and titles, each WM_SYSCOMMAND
// they receive written to a log file.
class TaskWindows {
public:
    TaskWindows() = default;
    ~TaskWindows();
    // Each spec is "<class>|<title>" or "<class>|<title>|tool".
    bool Start(const std::vector<std::string>& specs);
    // One more window of the running program.
    HWND Open(const std::string& spec);
    // The program's window with this title, waiting for it (2 s at most).
    HWND Find(const std::string& title);
    // The WM_SYSCOMMAND codes (low four bits cleared) the window received.
    std::vector<UINT> Commands(HWND wnd) const;
    DWORD Id() const { return process_.Id(); }
    void Kill() { process_.Kill(); }

private:
    testing_support::ChildProcess process_;
    testing_support::TempFolder folder_;
    std::string log_;
};

class TaskbarTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown horizontal bar with one taskbar section with these keys.
    CVellumMenuObject* LoadTaskbar(const std::string& section_keys = "", int width = 700);
    CVellumMenuSection_Taskbar* Section(CVellumMenuObject* bar, int index = 0);
    // The task buttons of the section that stand for windows of this test
    // (the program's and this process's), groups included, in order.
    std::vector<CVellumMenuItem_Taskbar*> OurButtons(CVellumMenuSection_Taskbar* section);
    // Posts a window event to "Tessellar Main" and lets the relay run.
    void PostEvent(UINT msg, HWND wnd, LPARAM lp = 0);
    // Brings wnd to the front and waits until the stats monitor watches it.
    bool Activate(HWND wnd);
    bool Wait(const std::function<bool()>& cond, DWORD ms = 3000);
    // A window of this process (menus of other processes cannot be read).
    HWND LocalWindow(const char* cls, const char* title);

    TaskWindows program_;
    testing_support::TempFolder files_;
    std::vector<CVellumMenuObject*> bars_;
    std::vector<HWND> local_;
};

// Index of the item in its section, -1 when absent.
int IndexOf(CVellumMenuSection* section, CVellumMenuItem* item);
// The title text as stored ("" for none).
std::string Title(CVellumMenuItem* item);

}  // namespace task_test
