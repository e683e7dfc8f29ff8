#include "wizard_fixture.h"
#include <commctrl.h>
#include <cstdio>
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "shell/main_window_internal.h"
#include "shell/wizard_framework.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace wizard_test {

namespace {

const char kPlainSkin[] =
    "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n";

// Removes items as the program's main window does; nothing else to pass on.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    static const UINT remove_item = RegisterWindowMessageA("Remove Item Delay");
    if (msg == remove_item) {
        RemoveItemFromMessage(wp);
        return 0;
    }
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

WizardDriver* g_driver = nullptr;

BOOL CALLBACK FindConfigWindow(HWND wnd, LPARAM out) {
    if (IsWindowVisible(wnd) && GetPropA(wnd, "TSConfigDialog")) {
        *reinterpret_cast<HWND*>(out) = wnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Wizard Test Main", MainProc);
    return wnd;
}

// ---- the driver -----------------------------------------------------------------------------------

int WizardDriver::Run(const std::function<int()>& start, const std::vector<Step>& steps) {
    steps_ = steps;
    next_ = 0;
    sheet_seen_ = false;
    failure_.clear();
    started_ = GetTickCount();
    g_driver = this;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, Tick);
    int result = start();
    KillTimer(nullptr, timer);
    g_driver = nullptr;
    return result;
}

void CALLBACK WizardDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver) g_driver->OnTick();
}

void WizardDriver::OnTick() {
    HWND sheet = FindSheet();
    if (!sheet) return;
    sheet_seen_ = true;
    if (GetTickCount() - started_ > 10000) {
        if (failure_.empty())
            failure_ = "timed out at step " + std::to_string(next_) + " on page " +
                       std::to_string(CurrentPageId(sheet));
        Press(sheet, PSBTN_CANCEL);
        return;
    }
    while (next_ < steps_.size()) {
        if (!steps_[next_](sheet)) return;
        ++next_;
        // The next step sees the buttons that this one's posts set.
        return;
    }
}

HWND FindSheet() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindConfigWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND CurrentPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int CurrentPageId(HWND sheet) {
    HWND page = CurrentPage(sheet);
    return page ? static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(page, "uThisPage"))) : 0;
}

bool ButtonEnabled(HWND sheet, int id) {
    HWND button = GetDlgItem(sheet, id);
    return button && IsWindowEnabled(button);
}

std::string ButtonText(HWND sheet, int id) {
    char text[64] = "";
    GetDlgItemTextA(sheet, id, text, sizeof(text));
    return text;
}

void Press(HWND sheet, int psbtn) { SendMessageA(sheet, PSM_PRESSBUTTON, psbtn, 0); }

void ChooseRow(HWND page, int id, int row) {
    SendDlgItemMessageA(page, id, CB_SETCURSEL, row, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void Click(HWND page, int id) { SendDlgItemMessageA(page, id, BM_CLICK, 0, 0); }

void Type(HWND page, int id, const std::string& text) {
    // WM_SETTEXT on an edit reports EN_UPDATE and EN_CHANGE as typing does.
    SetDlgItemTextA(page, id, text.c_str());
}

std::string Text(HWND page, int id) {
    char text[2048] = "";
    GetDlgItemTextA(page, id, text, sizeof(text));
    return text;
}

Step WaitForPage(int id) {
    return [id](HWND sheet) { return CurrentPageId(sheet) == id; };
}

Step PressButton(int psbtn) {
    return [psbtn](HWND sheet) {
        Press(sheet, psbtn);
        return true;
    };
}

Step ExpectButtons(int page, bool back, bool next) {
    return [=](HWND sheet) {
        return CurrentPageId(sheet) == page && ButtonEnabled(sheet, kBackButton) == back &&
               ButtonEnabled(sheet, kNextButton) == next;
    };
}

Step Do(const std::function<void(HWND sheet)>& action) {
    return [action](HWND sheet) {
        action(sheet);
        return true;
    };
}

// ---- the fixture ------------------------------------------------------------------------------------

void WizardTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    InstallWizardHostCalls();
    CreateWizardFonts(GetModuleHandleA(nullptr));
    ASSERT_TRUE(files_.Write("plain.tsskin", kPlainSkin));
    skin_ = files_.File("plain.tsskin");
}

void WizardTest::TearDown() {
    testing_support::CloseEveryTestBar();
    GetBarHostServices() = BarHostServices{};
    DeleteWizardFonts();
}

CVellumMenuObject* WizardTest::LoadBar(const std::string& name, const std::vector<std::string>& items) {
    char head[1024];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=%s\r\nLastSkin=%s\r\nLastScreenSize.cx=%d\r\n"
                  "LastScreenSize.cy=%d\r\nLastPos.x=100\r\nLastPos.y=300\r\nLastSize.cx=400\r\n"
                  "LastSize.cy=26\r\nAlwaysOnTop=1\r\nbRestrictMaximumSize=0\r\n[Section1]\r\n",
                  name.c_str(), skin_.c_str(), GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN));
    std::string text = head;
    for (const std::string& line : items) text += line + "\r\n";
    EXPECT_TRUE(files_.Write(name + ".tsbar", text));
    std::string path = files_.File(name + ".tsbar");
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr);
    EXPECT_TRUE(testing_support::PumpUntil(
        [&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); }, 3000))
        << path;
    return bar;
}

CVellumMenuItem* WizardTest::Item(CVellumMenuObject* bar, int index) const {
    if (!bar || !bar->m_sections[0]) return nullptr;
    return bar->m_sections[0]->m_items[index];
}

int WizardTest::ItemCount(CVellumMenuObject* bar) const {
    if (!bar || !bar->m_sections[0]) return 0;
    int count = 0;
    for (CVellumMenuItem* item : bar->m_sections[0]->m_items)
        if (item) ++count;
    return count;
}

std::string WizardTest::Save(CVellumMenuObject* bar, const std::string& name) {
    std::string path = files_.File(name);
    EXPECT_EQ(1, bar->Save(const_cast<char*>(path.c_str()))) << name;
    return path;
}

int WizardTest::RunWizard(CVellumMenuItem* item, const std::vector<Step>& steps) {
    int result = driver_.Run([item] { return item->DoNewItemWizzard(); }, steps);
    EXPECT_TRUE(driver_.Finished()) << driver_.Failure();
    EXPECT_EQ("", driver_.Failure());
    return result;
}

}  // namespace wizard_test
