// Real bars in the test process under a stand-in main window that removes
// items on "Remove Item Delay" as the program's does, and a driver that
// steps through the modal wizard sheet from a timer while it runs.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "tests/support/test_support.h"

namespace wizard_test {

HWND MainWindow();

// The sheet's buttons.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;

// One step of a drive: it acts on the running sheet and answers true when
// it is done; false lets it try again on the next tick (for example until
// the posted button states arrive).
using Step = std::function<bool(HWND sheet)>;

class WizardDriver {
public:
    // Runs start (which shows the modal wizard) while the steps are played
    // one by one, every 40 ms; a drive that is not finished after 10 s is
    // cancelled. Answers start's result.
    int Run(const std::function<int()>& start, const std::vector<Step>& steps);
    // The sheet was seen, every step ran.
    bool SawSheet() const { return sheet_seen_; }
    bool Finished() const { return next_ == steps_.size(); }
    // What failed inside a step, for the test's message.
    std::string Failure() const { return failure_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD started_ = 0;
    bool sheet_seen_ = false;
    std::string failure_;
};

// ---- what steps use -----------------------------------------------------------------------------
// The top-level configuration window of this thread ("TSConfigDialog"), or null.
HWND FindSheet();
HWND CurrentPage(HWND sheet);
// The current page's template id ("uThisPage").
int CurrentPageId(HWND sheet);
bool ButtonEnabled(HWND sheet, int id);
std::string ButtonText(HWND sheet, int id);
void Press(HWND sheet, int psbtn);
// Selects a combo row and tells the page, as a user's choice does.
void ChooseRow(HWND page, int id, int row);
// Clicks a radio or check box of the page.
void Click(HWND page, int id);
void Type(HWND page, int id, const std::string& text);
std::string Text(HWND page, int id);

// Ready-made steps.
Step WaitForPage(int id);
Step PressButton(int psbtn);
// Waits for the page and the wanted button states (true: enabled).
Step ExpectButtons(int page, bool back, bool next);
Step Do(const std::function<void(HWND sheet)>& action);

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A bar of the plain skin with these item lines under "[Section1]".
    CVellumMenuObject* LoadBar(const std::string& name, const std::vector<std::string>& items);
    CVellumMenuItem* Item(CVellumMenuObject* bar, int index = 0) const;
    int ItemCount(CVellumMenuObject* bar) const;
    std::string Save(CVellumMenuObject* bar, const std::string& name);
    // Runs the item's wizard with the steps; fails the test when they did not all run.
    int RunWizard(CVellumMenuItem* item, const std::vector<Step>& steps);

    testing_support::TempFolder files_;
    std::string skin_;
    WizardDriver driver_;
};

using testing_support::ReadKey;

}  // namespace wizard_test
