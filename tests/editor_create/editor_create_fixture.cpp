#include "editor_create_fixture.h"

#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include "shell/startup.h"
#include "shell/theme_file.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/themes/theme_fixture.h"

using namespace testing_support;

namespace editor_create_test {

namespace {

const char kPlainSkin[] = "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\n";
const char kTitledSkin[] =
    "[General]\r\nSkinName=Titled\r\nItemHeight=20\r\nEdgeBuffer=2\r\nTitleFont=Arial\r\n"
    "TitleFontSize=8\r\n";
const char kEmptyTheme[] = "[Theme Info]\r\nName=%s\r\nTSVersion=150\r\nAutoSaveOption=0\r\n[OpenBars]\r\n";

std::string ThemeText(const char* name) {
    char text[256];
    std::snprintf(text, sizeof(text), kEmptyTheme, name);
    return text;
}

std::string BaseTheme() { return theme_test::ProgramFolder() + "EditorCreateBase\\Base.tstheme"; }

HWND ProgramMainWindow() {
    static HWND main = [] {
        // Kept for the life of the test program and put back at its end.
        static theme_test::ProgramStateGuard state;
        static theme_test::TrayStandIn tray;
        CreateDirectoryA((theme_test::ProgramFolder() + "EditorCreateBase").c_str(), nullptr);
        WriteFileBytes(BaseTheme(), ThemeText("Base"));
        WriteFileBytes(theme_test::ProgramFolder() + "Tessellar.ini",
                       "[Settings]\r\nLastTheme=EditorCreateBase\\Base.tstheme\r\n");
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        HINSTANCE instance = GetModuleHandleA(nullptr);
        SetAppInstance(instance);
        RegisterWindowClasses(instance);
        return CreateMainWindow(instance);
    }();
    return main;
}

DialogDriver* g_driver = nullptr;

struct FindDialog {
    const std::string* caption;
    HWND found;
};

// The visible dialog of this thread with the caption that is no message box
// (it has a field 1044).
BOOL CALLBACK FindCaptioned(HWND wnd, LPARAM data) {
    auto* find = reinterpret_cast<FindDialog*>(data);
    char text[256] = "";
    GetWindowTextA(wnd, text, sizeof(text));
    if (IsWindowVisible(wnd) && *find->caption == text && GetDlgItem(wnd, 1044)) {
        find->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// A message box: a dialog with the static text 0xFFFF.
BOOL CALLBACK CollectMessageBoxes(HWND wnd, LPARAM data) {
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof(cls));
    if (IsWindowVisible(wnd) && std::string(cls) == "#32770" && GetDlgItem(wnd, 0xFFFF))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(wnd);
    return TRUE;
}

void Command(HWND dialog, int id, int code) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

// ---- the driver -----------------------------------------------------------------------------------

void DialogDriver::Arm(const std::string& caption, const std::vector<Step>& steps) {
    caption_ = caption;
    steps_ = steps;
    next_ = 0;
    boxes_.clear();
    answered_.clear();
    started_ = GetTickCount();
    g_driver = this;
    timer_ = SetTimer(nullptr, 0, 40, Tick);
}

void DialogDriver::Disarm() {
    KillTimer(nullptr, timer_);
    g_driver = nullptr;
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver) g_driver->OnTick();
}

void DialogDriver::AnswerMessageBoxes() {
    std::vector<HWND> shown;
    EnumThreadWindows(GetCurrentThreadId(), CollectMessageBoxes, reinterpret_cast<LPARAM>(&shown));
    for (HWND box : shown) {
        if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) continue;
        answered_.push_back(box);
        char caption[512] = "", text[2048] = "";
        GetWindowTextA(box, caption, sizeof(caption));
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        boxes_.push_back({caption, text, GetCurrentProcessId()});
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

void DialogDriver::OnTick() {
    AnswerMessageBoxes();
    FindDialog find = {&caption_, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindCaptioned, reinterpret_cast<LPARAM>(&find));
    if (!find.found) return;
    if (GetTickCount() - started_ > 10000) {
        EndDialog(find.found, IDCANCEL);
        return;
    }
    // A step waits while a message box of the dialog is up.
    if (!IsWindowEnabled(find.found)) return;
    if (next_ < steps_.size() && steps_[next_](find.found)) ++next_;
}

Step TypeText(int id, const std::string& text) {
    return [=](HWND dialog) {
        SetDlgItemTextA(dialog, id, text.c_str());
        return true;
    };
}

Step ChooseRow(int id, int row) {
    return [=](HWND dialog) {
        SendDlgItemMessageA(dialog, id, CB_SETCURSEL, row, 0);
        Command(dialog, id, CBN_SELCHANGE);
        return true;
    };
}

Step ChooseRowStartingWith(int id, const std::string& text) {
    return [=](HWND dialog) {
        for (int row = 0; row < ComboRowCount(dialog, id); ++row) {
            if (ComboRowText(dialog, id, row).compare(0, text.size(), text) != 0) continue;
            SendDlgItemMessageA(dialog, id, CB_SETCURSEL, row, 0);
            Command(dialog, id, CBN_SELCHANGE);
            return true;
        }
        ADD_FAILURE() << "no row starting with " << text;
        return true;
    };
}

Step ClickButton(int id) {
    return [=](HWND dialog) {
        if (id != IDOK && id != IDCANCEL) {
            HWND button = GetDlgItem(dialog, id);
            if (GetWindowLongA(button, GWL_STYLE) & BS_AUTORADIOBUTTON) CheckRadioButton(dialog, 1239, 1240, id);
        }
        Command(dialog, id, BN_CLICKED);
        return true;
    };
}

Step WaitForBoxes(const DialogDriver& driver, size_t count) {
    return [&driver, count](HWND) { return driver.Boxes().size() >= count; };
}

Step Check(const std::function<void(HWND dialog)>& check) {
    return [=](HWND dialog) {
        check(dialog);
        return true;
    };
}

std::string ComboRowText(HWND dialog, int id, int row) {
    char text[1024] = "";
    if (SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, row, 0) < static_cast<LRESULT>(sizeof(text)))
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
    return text;
}

int ComboRowCount(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
}

// ---- the fixture ----------------------------------------------------------------------------------

void EditorCreateTest::SetUp() {
    ASSERT_NE(nullptr, ProgramMainWindow());
    theme_folder_ = theme_test::ProgramFolder() + "EditorCreateT\\";
    RemoveTree(theme_folder_);
    for (const char* folder : {"", "Bars", "Skins"})
        ASSERT_TRUE(CreateDirectoryA((theme_folder_ + folder).c_str(), nullptr)) << folder;
    plain_skin_ = theme_folder_ + "Skins\\plain.tsskin";
    titled_skin_ = theme_folder_ + "Skins\\titled.tsskin";
    ASSERT_TRUE(WriteFileBytes(plain_skin_, kPlainSkin));
    ASSERT_TRUE(WriteFileBytes(titled_skin_, kTitledSkin));
    const std::string theme = theme_folder_ + "T.tstheme";
    ASSERT_TRUE(WriteFileBytes(theme, ThemeText("T")));
    ASSERT_TRUE(LoadThemeFile(theme.c_str(), 0));
}

void EditorCreateTest::TearDown() {
    CloseEveryTestBar();
    LoadThemeFile(BaseTheme().c_str(), 0);
    RemoveTree(theme_folder_);
}

CVellumMenuObject* EditorCreateTest::Bar(const std::string& title,
                                         const std::vector<std::vector<std::string>>& sections,
                                         const std::vector<std::string>& object_lines) {
    static int count = 0;
    std::string text = "[Object]\r\nTitle=" + title + "\r\nLastSkin=" + plain_skin_ +
                       "\r\nLastPos.x=40\r\nLastPos.y=40\r\nLastSize.cx=300\r\nLastSize.cy=30\r\n"
                       "AlwaysOnTop=0\r\nbRestrictMaximumSize=0\r\n";
    for (const std::string& line : object_lines) text += line + "\r\n";
    for (size_t n = 0; n < sections.size(); ++n) {
        text += "[Section" + std::to_string(n + 1) + "]\r\nProperties.ForceValid=1\r\n";
        for (const std::string& line : sections[n]) text += line + "\r\n";
    }
    const std::string path = theme_folder_ + "Bars\\bar" + std::to_string(++count) + ".tsbar";
    EXPECT_TRUE(WriteFileBytes(path, text));
    auto* bar = new CVellumMenuObject(ProgramMainWindow());
    EXPECT_NE(nullptr, bar->m_hWnd);
    bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr);
    PumpUntil([&] { return IsWindowVisible(bar->m_hWnd) != FALSE; }, 3000);
    return bar;
}

std::string EditorCreateTest::Saved(CVellumMenuObject* bar, const char* section, const char* key) {
    EXPECT_NE(0, bar->Save(bar->m_barFile));
    return ReadKey(bar->m_barFile, section, key);
}

std::vector<std::string> EditorCreateTest::SectionTitles(CVellumMenuObject* bar) {
    std::vector<std::string> titles;
    for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i) titles.push_back(bar->m_sections[i]->Title);
    return titles;
}

std::vector<std::string> EditorCreateTest::ItemTitles(CVellumMenuSection* section) {
    std::vector<std::string> titles;
    for (int i = 0; section && i < kMaxItems && section->m_items[i]; ++i)
        titles.push_back(section->m_items[i]->m_title ? section->m_items[i]->m_title : "");
    return titles;
}

std::string EditorCreateTest::TypeName(CVellumMenuSection* section) {
    char name[256] = "";
    section->GetCustomSectionName(name);
    return name;
}

std::string EditorCreateTest::TypeName(CVellumMenuItem* item) {
    char name[256] = "";
    item->GetCustomItemName(name);
    return name;
}

}  // namespace editor_create_test
