#include "items_fixture.h"
#include <cstdio>
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "model/registered_names.h"
#include "shell/main_window_internal.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace items_test {

namespace {

bool g_swaps_handled = true;

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    static const UINT swap =
        RegisterWindowMessageA(RegisteredNameText(RegisteredName::SwapItemsBehavior));
    if (msg == swap) {
        PostedSwaps().emplace_back(wp, lp);
        return g_swaps_handled ? SwapItemsFromMessage(wp, lp) : 0;
    }
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

const char kSkin[] =
    "[General]\r\nSkinName=Items\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n";

bool CopyFixture(const std::string& name, const std::string& to) {
    return CopyFileA(FixtureFile(name).c_str(), to.c_str(), FALSE) != FALSE;
}

INT_PTR CALLBACK ComboDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

constexpr int kComboId = 1077;

// A dialog template in memory: one CBS_DROPDOWNLIST combo box.
std::vector<WORD> ComboTemplate() {
    std::vector<WORD> t(64, 0);
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(t.data());
    dlg->style = WS_POPUP | DS_SETFONT;
    dlg->cdit = 1;
    dlg->cx = 200;
    dlg->cy = 100;
    size_t at = sizeof(DLGTEMPLATE) / sizeof(WORD);
    t[at++] = 0;   // no menu
    t[at++] = 0;   // default class
    t[at++] = 0;   // no title
    t[at++] = 8;   // font size
    for (const char* c = "MS Shell Dlg"; ; ++c) {
        t[at++] = static_cast<WORD>(*c);
        if (!*c) break;
    }
    if (at % 2) ++at;   // DWORD alignment
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(t.data() + at);
    item->style = WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL;
    item->x = 5;
    item->y = 5;
    item->cx = 150;
    item->cy = 80;
    item->id = kComboId;
    at += sizeof(DLGITEMTEMPLATE) / sizeof(WORD);
    t[at++] = 0xFFFF;
    t[at++] = 0x0085;   // combo box
    t[at++] = 0;        // no text
    t[at++] = 0;        // no creation data
    t.resize(at);
    return t;
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Items Test Main", MainProc);
    return wnd;
}

std::vector<std::pair<WPARAM, LPARAM>>& PostedSwaps() {
    static std::vector<std::pair<WPARAM, LPARAM>> swaps;
    return swaps;
}

void SetSwapsHandled(bool handled) { g_swaps_handled = handled; }

std::string FixtureFile(const std::string& name) {
    std::string root = testing_support::SourceFolder();
    if (!root.empty() && root.back() != '\\') root += '\\';
    return root + "tests\\items\\fixtures\\" + name;
}

void ItemsTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    PostedSwaps().clear();
    SetSwapsHandled(true);
    ASSERT_TRUE(root_.MakeFolder("skin"));
    ASSERT_TRUE(root_.MakeFolder("bars"));
    skin_folder_ = root_.File("skin\\");
    bar_folder_ = root_.File("bars\\");
    ASSERT_TRUE(root_.Write("skin\\items.tsskin", kSkin));
    skin_ = skin_folder_ + "items.tsskin";
    for (const char* name : {"normal.bmp", "over.bmp"})
        ASSERT_TRUE(CopyFixture(std::string("skin\\") + name, skin_folder_ + name)) << name;
    for (const char* name : {"bar_only.bmp", "hot.bmp", "cold.bmp", "glass.tga"})
        ASSERT_TRUE(CopyFixture(std::string("bar\\") + name, bar_folder_ + name)) << name;
}

void ItemsTest::TearDown() {
    testing_support::CloseEveryTestBar();
    GetBarHostServices() = BarHostServices{};
}

std::string ItemsTest::WriteBar(const std::string& name, const std::vector<std::string>& lines,
                                const std::string& folder) {
    char head[1024];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=Items\r\nLastSkin=%s\r\nDisplayVertically=0\r\n"
                  "LastScreenSize.cx=%d\r\nLastScreenSize.cy=%d\r\nLastPos.x=40\r\n"
                  "LastPos.y=40\r\nLastSize.cx=400\r\nLastSize.cy=30\r\nAlwaysOnTop=0\r\n"
                  "bRestrictMaximumSize=0\r\n[Section1]\r\n",
                  skin_.c_str(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::string text = head;
    for (const std::string& line : lines) text += line + "\r\n";
    std::string path = (folder.empty() ? bar_folder_ : folder) + name;
    EXPECT_TRUE(testing_support::WriteFileBytes(path, text)) << path;
    return path;
}

CVellumMenuObject* ItemsTest::LoadBar(const std::string& path, bool show) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), show ? 1 : 0, nullptr);
    if (show) {
        EXPECT_TRUE(Wait([&] { return IsWindowVisible(bar->m_hWnd) != FALSE; })) << path;
    }
    return bar;
}

CVellumMenuObject* ItemsTest::Bar(const std::vector<std::string>& lines, bool show) {
    static int count = 0;
    return LoadBar(WriteBar("bar" + std::to_string(++count) + ".tsbar", lines), show);
}

CVellumMenuItem* ItemsTest::Item(CVellumMenuObject* bar, int index) {
    if (!bar || !bar->m_sections[0]) return nullptr;
    return bar->m_sections[0]->m_items[index];
}

void ItemsTest::CloseBar(CVellumMenuObject* bar) { testing_support::CloseTestBar(bar, true); }

bool ItemsTest::Wait(const std::function<bool()>& cond, DWORD ms) {
    return testing_support::PumpUntil(cond, ms);
}

// ---- the combo dialog -------------------------------------------------------------------------

ComboDialog::ComboDialog() {
    std::vector<WORD> t = ComboTemplate();
    dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                         reinterpret_cast<DLGTEMPLATE*>(t.data()), MainWindow(),
                                         ComboDialogProc, 0);
    combo_ = GetDlgItem(dialog_, kComboId);
}

ComboDialog::~ComboDialog() {
    if (dialog_) DestroyWindow(dialog_);
}

std::vector<std::string> ComboDialog::Entries() const {
    std::vector<std::string> out;
    int count = static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        SendMessageA(combo_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        out.push_back(text);
    }
    return out;
}

std::string ComboDialog::Selected() const {
    LRESULT sel = SendMessageA(combo_, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return "";
    char text[256] = "";
    SendMessageA(combo_, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
    return text;
}

bool ComboDialog::Choose(const std::string& text) {
    LRESULT at = SendMessageA(combo_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(text.c_str()));
    if (at == CB_ERR) return false;
    SendMessageA(combo_, CB_SETCURSEL, at, 0);
    return true;
}

}  // namespace items_test
