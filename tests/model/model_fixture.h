// A stand-in main window and recording sections, so bars can be created and
// watched inside a test process.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "model/vellum_menu_item.h"

namespace model_test {

struct Delivery {
    CVellumMenuObject* bar;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// Every message a recording section received, in order.
std::vector<Delivery>& Deliveries();
// Registered messages the stand-in main window received (msg, wParam).
std::vector<std::pair<UINT, WPARAM>>& MainWindowMessages();
size_t CountMainMessages(UINT msg, WPARAM wp);
// What the stand-in main window answers to "Get After Window - Always On Top".
extern HWND g_after_window_answer;

// The hidden stand-in for the program's main window. It carries a stats
// monitor property, since a bar only makes its window when one is there.
HWND MainWindow();
// The same without the stats monitor property.
HWND MainWindowWithoutStats();

class RecordingSection : public CVellumMenuSection {
public:
    explicit RecordingSection(CVellumMenuObject* bar, const char* name = "Default");
    ~RecordingSection() override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    int GetCustomSectionName(char* out) override;

    std::function<void(UINT, WPARAM, LPARAM)> on_message;
    static int destroyed;

private:
    std::string name_;
};

// Creates bars and closes whatever is left of them after each test.
class BarTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CVellumMenuObject* NewBar(HWND main = MainWindow());
    // A bar with one recording section.
    CVellumMenuObject* NewRecordingBar(RecordingSection** section = nullptr,
                                       const char* name = "Default");
    // Closes a bar the way the program does (WM_CLOSE) and waits for it.
    void CloseBar(CVellumMenuObject* bar);

    std::vector<CVellumMenuObject*> bars_;
};

}  // namespace model_test
