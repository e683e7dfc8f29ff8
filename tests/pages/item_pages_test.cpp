// The item pages on real bars: the Display page rebuilt in place for each
// display mode, the title rule, the Behavior page's five command lists, the
// Edit Popup Menu dialog driven from a timer, and the Hotkey page with the
// key really registered.
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>
#include "model/bar_host.h"
#include "model/standard_commands.h"
#include "model/vellum_menu_section.h"
#include "shell/item_pages.h"
#include "shell/item_pages_resources.h"
#include "tests/items/item_fixture.h"

using namespace item_test;

namespace {

class ItemPagesTest : public ItemTest {
protected:
    void SetUp() override {
        ItemTest::SetUp();
        InitCommonControls();
        InstallItemPages();
        GetBarHostServices().AllocHotkeyId = [] {
            static int next = 0x3000;
            return next++;
        };
        host_ = testing_support::CreatePageHost(200, 150, 520, 520);
        ASSERT_NE(nullptr, host_);
    }
    void TearDown() override {
        DestroyWindow(host_);
        ItemTest::TearDown();
    }

    CVellumMenuObject* BarWith(const std::vector<std::string>& item_lines) {
        std::vector<std::string> lines = {"[Section1]"};
        lines.insert(lines.end(), item_lines.begin(), item_lines.end());
        RECT r = {100, 300, 500, 326};
        return LoadBar(WriteBar("pages.tsbar", "Pages Bar", r, false, lines));
    }
    void Select(HWND page, int combo, int row) {
        SendDlgItemMessageA(page, combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, combo)));
    }
    void Click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }
    static std::string ComboText(HWND page, int combo) {
        char text[128] = "";
        GetDlgItemTextA(page, combo, text, sizeof(text));
        return text;
    }

    HWND host_ = nullptr;
};

// ---- Display page ----------------------------------------------------------------------------------

TEST_F(ItemPagesTest, DisplayComboRebuildsThePageInPlaceWithTheModesTemplate) {
    const struct {
        int row;
        const char* name;
        int show_text, show_icon, bitmap, separator;
        int template_control;   // present only in the new mode's template
    } cases[] = {
        {1, "Icon Only", 0, 1, 0, 0, IDC_DISPLAY_ICON1},
        {2, "Text and Icon", 1, 1, 0, 0, IDC_DISPLAY_ICON1},
        {3, "Bitmap", 0, 0, 1, 0, IDC_DISPLAY_STATES},
        {4, "Separator", 0, 0, 0, 1, IDC_DISPLAY_ANCHOR},
        {0, "Text Only", 1, 0, 0, 0, IDC_DISPLAY_TEXT_ALIGN},
    };
    const int kTemplateControls[] = {IDC_DISPLAY_TEXT_ALIGN, IDC_DISPLAY_ICON1, IDC_DISPLAY_ANCHOR,
                                     IDC_DISPLAY_STATES};
    CVellumMenuObject* bar = BarWith({"Item1.Title=Plain", "Item1.ShowText=1", "Item1.ShowIcon=0"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = item->CallConfigDialog(host_);
    ASSERT_NE(nullptr, page);
    EXPECT_NE(nullptr, GetDlgItem(page, IDC_DISPLAY_TEXT_ALIGN)) << "a text item starts on the text template";
    EXPECT_EQ(page, item->CallConfigDialog(host_));
    SetWindowPos(page, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    for (const auto& c : cases) {
        Select(page, IDC_DISPLAY_MODE, c.row);
        HWND rebuilt = item->m_pages[kItemDisplayPage];
        ASSERT_NE(page, rebuilt) << c.name;
        ASSERT_TRUE(IsWindow(rebuilt));
        EXPECT_TRUE(Wait([&] { return !IsWindow(page); })) << "the old page goes: " << c.name;
        EXPECT_EQ(c.show_text, item->ShowText) << c.name;
        EXPECT_EQ(c.show_icon, item->ShowIcon) << c.name;
        EXPECT_EQ(c.bitmap, item->DisplayAsBitmap) << c.name;
        EXPECT_EQ(c.separator, item->Separator) << c.name;
        for (int control : kTemplateControls)
            EXPECT_EQ(control == c.template_control, GetDlgItem(rebuilt, control) != nullptr) << c.name << " " << control;
        EXPECT_EQ(c.name, ComboText(rebuilt, IDC_DISPLAY_MODE));
        EXPECT_TRUE(IsWindowVisible(rebuilt)) << c.name;
        RECT r = {};
        GetWindowRect(rebuilt, &r);
        MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(7, r.left) << "in place: " << c.name;
        EXPECT_EQ(9, r.top) << "in place: " << c.name;
        EXPECT_EQ(GetDlgItem(rebuilt, IDC_DISPLAY_MODE), GetFocus()) << c.name;
        EXPECT_EQ(host_, GetParent(rebuilt));
        page = rebuilt;
    }
    EXPECT_TRUE(bar->m_modified);
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, item->m_pages[kItemDisplayPage]);
    EXPECT_EQ(0, item->RefreshVisiblePropPage(0)) << "no Display page left to rebuild";
}

TEST_F(ItemPagesTest, TitleChangesOnlyWhenItDiffersBeyondLetterCase) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Plain", "Item1.ShowText=1"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = item->CallConfigDialog(host_);
    ASSERT_NE(nullptr, page);
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {{"Foo", "Foo"}, {"FOO", "Foo"}, {"foo", "Foo"}, {"Foo bar", "Foo bar"}, {"", ""}};
    for (const auto& c : cases) {
        SetDlgItemTextA(page, IDC_DISPLAY_TITLE, c.typed);
        EXPECT_STREQ(c.stored, item->m_title ? item->m_title : "") << c.typed;
    }
    EXPECT_TRUE(bar->m_modified);
}

TEST_F(ItemPagesTest, OpeningEveryPageOfEveryModeLeavesTheBarUnmodified) {
    const std::vector<std::vector<std::string>> items = {
        {"Item1.Title=Text", "Item1.ShowText=1", "Item1.ShowIcon=0", "Item1.TextOnlyAlign=2"},
        {"Item1.Title=Icon", "Item1.ShowText=1", "Item1.ShowIcon=1", "Item1.IconSize=48", "Item1.Action=13",
         "Item1.ActionClass=3"},
        {"Item1.Title=Sep", "Item1.Separator=1", "Item1.IsSectionAnchor=1"},
        {"Item1.Title=Bmp", "Item1.DisplayAsBitmap=1", "Item1.BitmapAlign=2", "Item1.vkHotkey=65",
         "Item1.vkHotkeyModifiers=8"},
    };
    for (const auto& lines : items) {
        CVellumMenuObject* bar = BarWith(lines);
        CVellumMenuItem* item = Item(bar);
        ASSERT_NE(nullptr, item);
        bar->m_modified = FALSE;
        bar->m_modifiedSilently = FALSE;
        HWND pages[] = {item->CallConfigDialog(host_), item->CallConfigDialogEx(host_),
                        item->CallConfigDialogHotkey(host_)};
        for (HWND page : pages) {
            ASSERT_NE(nullptr, page) << lines[0];
            ShowWindow(page, SW_SHOW);
        }
        testing_support::PumpFor(50);
        EXPECT_FALSE(bar->m_modified) << lines[0];
        EXPECT_FALSE(bar->m_modifiedSilently) << lines[0];
        EXPECT_EQ(pages[1], item->m_pages[kItemBehaviorPage]);
        EXPECT_EQ(pages[2], item->m_pages[kItemHotkeyPage]);
        testing_support::CloseTestBar(bar, true);
        for (HWND page : pages) EXPECT_FALSE(IsWindow(page)) << "the item closes its pages: " << lines[0];
    }
}

// The controls show what the file said.
TEST_F(ItemPagesTest, DisplayPageShowsTheItemsSettings) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Icon", "Item1.ShowText=1", "Item1.ShowIcon=1",
                                      "Item1.IconSize=48", "Item1.UseActiveIcon=1", "Item1.UseActiveText=1"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = item->CallConfigDialog(host_);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ("Text and Icon", ComboText(page, IDC_DISPLAY_MODE));
    EXPECT_EQ("48x48", ComboText(page, IDC_DISPLAY_ICON_SIZE));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_DISPLAY_ACTIVE_ICON));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_DISPLAY_ACTIVE_TEXT));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_DISPLAY_TEXT_WITH_ICON));
    // An icon size chosen from the list applies at once.
    Select(page, IDC_DISPLAY_ICON_SIZE, 1);
    EXPECT_EQ(32, item->IconSize);
    EXPECT_TRUE(bar->m_modified);
}

// ---- Behavior page -----------------------------------------------------------------------------------

int RowOf(HWND page, int combo, int command) {
    const int count = static_cast<int>(SendDlgItemMessageA(page, combo, CB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        if (SendDlgItemMessageA(page, combo, CB_GETITEMDATA, static_cast<WPARAM>(row), 0) == command) return row;
    return -1;
}

int Selected(HWND page, int combo) {
    return static_cast<int>(SendDlgItemMessageA(page, combo, CB_GETCURSEL, 0, 0));
}

TEST_F(ItemPagesTest, BehaviorListsTakeOneCommandAtATime) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Act", "Item1.Action=0"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = item->CallConfigDialogEx(host_);
    ASSERT_NE(nullptr, page);
    ShowWindow(page, SW_SHOW);
    const int lists[] = {IDC_BEHAVIOR_WINDOW, IDC_BEHAVIOR_SYSTEM, IDC_BEHAVIOR_TESSELLAR, IDC_BEHAVIOR_CLIPBOARD,
                         IDC_BEHAVIOR_MORE_SYSTEM};
    for (int set = 0; set < 5; ++set) {
        const int first = GetStandardCommandInSet(set, 0);
        EXPECT_EQ(1, RowOf(page, lists[set], first)) << "set " << set << " in its order, after the empty row";
        EXPECT_EQ(0, Selected(page, lists[set]));
    }
    const int system_command = GetStandardCommandInSet(kSystemCommands, 0);
    const int window_command = GetStandardCommandInSet(kWindowCommands, 1);
    const int popup_set = StandardCommandSetOf(kCmdPopupMenu);
    ASSERT_GE(popup_set, 0);
    const struct {
        const char* step;
        int list;       // index into lists
        int command;    // 0: the empty row
        int action, action_class;
        bool customize_shown;
    } steps[] = {
        {"a system command", 1, system_command, system_command, kSystemCommands, false},
        {"a window command", 0, window_command, window_command, kWindowCommands, false},
        {"the empty system row while a window command is chosen", 1, 0, window_command, kWindowCommands, false},
        {"the popup menu", popup_set, kCmdPopupMenu, kCmdPopupMenu, popup_set, true},
        {"every list empty", popup_set, 0, 0, StandardCommandSetOf(0), false},
    };
    for (const auto& s : steps) {
        const int row = s.command ? RowOf(page, lists[s.list], s.command) : 0;
        ASSERT_GE(row, 0) << s.step;
        Select(page, lists[s.list], row);
        EXPECT_EQ(s.action, item->Action) << s.step;
        EXPECT_EQ(s.action_class, item->ActionClass) << s.step;
        for (int i = 0; i < 5; ++i) {
            if (i == s.list) continue;
            if (s.command) {
                EXPECT_EQ(0, Selected(page, lists[i])) << s.step << ": list " << i << " emptied";
            }
        }
        EXPECT_EQ(s.customize_shown, IsWindowVisible(GetDlgItem(page, IDC_BEHAVIOR_CUSTOMIZE_POPUP)) != FALSE)
            << s.step;
    }
    EXPECT_TRUE(bar->m_modified);
}

// ---- Edit Popup Menu -------------------------------------------------------------------------------------

// Steps run one per timer tick while modal dialogs run; a step that returns
// false is tried again on the next tick.
class DialogScript {
public:
    explicit DialogScript(std::vector<std::function<bool()>> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 40, Tick);
    }
    ~DialogScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Done() const { return next_ >= steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogScript* self = current_;
        if (!self || self->running_ || self->Done()) return;
        self->running_ = true;
        if (self->steps_[self->next_]()) ++self->next_;
        self->running_ = false;
    }
    static DialogScript* current_;
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    bool running_ = false;
    UINT_PTR timer_ = 0;
};
DialogScript* DialogScript::current_ = nullptr;

HWND FindDialog(const char* caption) { return FindWindowA("#32770", caption); }

std::vector<std::string> Rows(HWND dialog) {
    std::vector<std::string> rows;
    HWND list = GetDlgItem(dialog, IDC_POPUP_ROWS);
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[1024] = "";
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        const LPARAM data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        rows.push_back(data == -1 ? std::string("<separator>") : std::string(text) + "#" + std::to_string(data));
    }
    return rows;
}

std::vector<std::string> MenuEntries(HMENU menu) {
    std::vector<std::string> entries;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        char text[1024] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        entries.push_back(info.fType & MFT_SEPARATOR ? std::string("<separator>")
                                                     : std::string(text) + "#" + std::to_string(info.wID));
    }
    return entries;
}

TEST_F(ItemPagesTest, EditPopupMenuKeepsTheItemsMenuEqualToTheRows) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Menu", "Item1.Action=1", "Item1.ActionClass=0"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = item->CallConfigDialogEx(host_);
    ASSERT_NE(nullptr, page);
    ShowWindow(page, SW_SHOW);
    ASSERT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_BEHAVIOR_CUSTOMIZE_POPUP)));

    HWND dialog = nullptr;
    std::vector<std::vector<std::string>> seen;   // rows and menu after each change
    auto record = [&] {
        seen.push_back(Rows(dialog));
        seen.push_back(MenuEntries(item->m_popupMenu));
    };
    const std::string long_title(500, 'L');
    auto add_entry = [&](const std::string& title, int command) -> std::vector<std::function<bool()>> {
        return {
            [&] { PostMessageA(GetDlgItem(dialog, IDC_POPUP_ADD), BM_CLICK, 0, 0); return true; },
            [&, title, command] {
                HWND entry = FindDialog("Item Properties");
                if (!entry) return false;
                SetDlgItemTextA(entry, IDC_ENTRY_TITLE, title.c_str());
                SendDlgItemMessageA(entry, IDC_ENTRY_ACTION, CB_SETCURSEL,
                                    static_cast<WPARAM>(RowOf(entry, IDC_ENTRY_ACTION, command)), 0);
                PostMessageA(GetDlgItem(entry, IDOK), BM_CLICK, 0, 0);
                return true;
            },
            [&] {
                if (FindDialog("Item Properties")) return false;
                record();
                return true;
            },
        };
    };
    std::vector<std::function<bool()>> steps = {[&] { return (dialog = FindDialog("Edit Popup Menu")) != nullptr; }};
    for (auto& s : add_entry("A", kCmdCopy)) steps.push_back(s);
    steps.push_back([&] { SendMessageA(GetDlgItem(dialog, IDC_POPUP_ADD_SEPARATOR), BM_CLICK, 0, 0); record(); return true; });
    for (auto& s : add_entry("B", kCmdRunDialog)) steps.push_back(s);
    steps.push_back([&] { SendMessageA(GetDlgItem(dialog, IDC_POPUP_UP), BM_CLICK, 0, 0); record(); return true; });
    steps.push_back([&] {
        SendDlgItemMessageA(dialog, IDC_POPUP_ROWS, LB_SETCURSEL, 2, 0);
        SendMessageA(GetDlgItem(dialog, IDC_POPUP_REMOVE), BM_CLICK, 0, 0);
        record();
        return true;
    });
    for (auto& s : add_entry(long_title, kCmdCopy)) steps.push_back(s);
    steps.push_back([&] { PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); return true; });
    DialogScript script(steps);
    Click(page, IDC_BEHAVIOR_CUSTOMIZE_POPUP);   // returns when the dialog closed
    EXPECT_TRUE(script.Done());

    const std::string a = "A#" + std::to_string(kCmdCopy), b = "B#" + std::to_string(kCmdRunDialog);
    const std::string cut = std::string(399, 'L') + "#" + std::to_string(kCmdCopy);
    const std::vector<std::vector<std::string>> expected = {
        {a}, {a, "<separator>"}, {a, "<separator>", b}, {a, b, "<separator>"}, {a, b}, {a, b, cut}};
    ASSERT_EQ(expected.size() * 2, seen.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i], seen[2 * i]) << "rows after change " << i;
        EXPECT_EQ(expected[i], seen[2 * i + 1]) << "menu after change " << i;
    }
    EXPECT_EQ(expected.back(), MenuEntries(item->m_popupMenu));
    EXPECT_TRUE(bar->m_modified);
}

TEST_F(ItemPagesTest, EditItemReplacesTheRowInPlaceAndCancelChangesNothing) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Menu", "Item1.Action=1", "Item1.ActionClass=0"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    AppendMenuA(item->m_popupMenu, MF_STRING, kCmdCopy, "First");
    AppendMenuA(item->m_popupMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(item->m_popupMenu, MF_STRING, kCmdRunDialog, "Last");
    HWND page = item->CallConfigDialogEx(host_);
    ASSERT_NE(nullptr, page);
    HWND dialog = nullptr;
    std::string shown_title;
    std::vector<std::string> after_cancel;
    DialogScript script({
        [&] { return (dialog = FindDialog("Edit Popup Menu")) != nullptr; },
        [&] {
            SendDlgItemMessageA(dialog, IDC_POPUP_ROWS, LB_SETCURSEL, 2, 0);
            PostMessageA(GetDlgItem(dialog, IDC_POPUP_EDIT), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            HWND entry = FindDialog("Item Properties");
            if (!entry) return false;
            char text[64] = "";
            GetDlgItemTextA(entry, IDC_ENTRY_TITLE, text, sizeof(text));
            shown_title = text;
            SetDlgItemTextA(entry, IDC_ENTRY_TITLE, "Never");
            PostMessageA(GetDlgItem(entry, IDCANCEL), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            if (FindDialog("Item Properties")) return false;
            after_cancel = MenuEntries(item->m_popupMenu);
            PostMessageA(GetDlgItem(dialog, IDC_POPUP_EDIT), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            HWND entry = FindDialog("Item Properties");
            if (!entry) return false;
            SetDlgItemTextA(entry, IDC_ENTRY_TITLE, "Renamed");
            PostMessageA(GetDlgItem(entry, IDOK), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            if (FindDialog("Item Properties")) return false;
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            return true;
        },
    });
    Click(page, IDC_BEHAVIOR_CUSTOMIZE_POPUP);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ("Last", shown_title);
    const std::string first = "First#" + std::to_string(kCmdCopy);
    EXPECT_EQ((std::vector<std::string>{first, "<separator>", "Last#" + std::to_string(kCmdRunDialog)}), after_cancel);
    EXPECT_EQ((std::vector<std::string>{first, "<separator>", "Renamed#" + std::to_string(kCmdRunDialog)}),
              MenuEntries(item->m_popupMenu));
}

TEST_F(ItemPagesTest, EditPopupMenuRefusesARowBeyondWhatTheMenuTakes) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Menu", "Item1.Action=1", "Item1.ActionClass=0"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    for (int i = 0; i < 1000; ++i) AppendMenuA(item->m_popupMenu, MF_STRING, kCmdCopy, ("E" + std::to_string(i)).c_str());
    HWND page = item->CallConfigDialogEx(host_);
    ASSERT_NE(nullptr, page);
    ShowWindow(page, SW_SHOW);
    HWND dialog = nullptr;
    size_t rows_after = 0;
    bool entry_dialog_seen = false;
    DialogScript script({
        [&] { return (dialog = FindDialog("Edit Popup Menu")) != nullptr; },
        [&] {
            SendMessageA(GetDlgItem(dialog, IDC_POPUP_ADD_SEPARATOR), BM_CLICK, 0, 0);
            PostMessageA(GetDlgItem(dialog, IDC_POPUP_ADD), BM_CLICK, 0, 0);
            return true;
        },
        [&] {
            entry_dialog_seen = FindDialog("Item Properties") != nullptr;
            rows_after = Rows(dialog).size();
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            return true;
        },
    });
    Click(page, IDC_BEHAVIOR_CUSTOMIZE_POPUP);
    EXPECT_TRUE(script.Done());
    EXPECT_FALSE(entry_dialog_seen) << "no entry dialog for a full menu";
    EXPECT_EQ(1000u, rows_after);
    EXPECT_EQ(1000, GetMenuItemCount(item->m_popupMenu)) << "nothing dropped, nothing added";
}

// ---- Hotkey page ---------------------------------------------------------------------------------------------

TEST_F(ItemPagesTest, HotkeyRadiosStoreTheKeyAndRegisterIt) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Key"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = item->CallConfigDialogHotkey(host_);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kHotkeyNone));
    const struct {
        int radio;
        int field;       // 0: none
        WORD typed;      // the hotkey control's value
        int windows_key, vk, modifiers;
    } cases[] = {
        {kHotkeyShortcut, kHotkeyShortcutField, MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0, 0x74, 6},
        {kHotkeyWindowsKey, 0, 0, 1, 0, 0},
        {kHotkeyWithWindows, kHotkeyWithWindowsField, MAKEWORD('A', 0), 0, 0x41, 8},
        {kHotkeyNone, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        bar->m_modifiedSilently = FALSE;
        Click(page, c.radio);
        if (c.field) {
            SendDlgItemMessageA(page, c.field, HKM_SETHOTKEY, c.typed, 0);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(c.field, EN_CHANGE),
                         reinterpret_cast<LPARAM>(GetDlgItem(page, c.field)));
        }
        EXPECT_EQ(c.windows_key, item->RespondToWindowsKey) << c.radio;
        EXPECT_EQ(c.vk, item->vkHotkey) << c.radio;
        EXPECT_EQ(c.modifiers, item->vkHotkeyModifiers) << c.radio;
        EXPECT_TRUE(bar->m_modifiedSilently) << c.radio;
        EXPECT_FALSE(bar->m_modified) << "a hotkey change is saved silently";
        EXPECT_EQ(c.radio == kHotkeyShortcut, IsWindowEnabled(GetDlgItem(page, kHotkeyShortcutField)) != FALSE);
        EXPECT_EQ(c.radio == kHotkeyWithWindows, IsWindowEnabled(GetDlgItem(page, kHotkeyWithWindowsField)) != FALSE);
        if (c.vk) {
            // The item holds the key: nobody else can have it.
            EXPECT_FALSE(RegisterHotKey(nullptr, 0x5A5A, static_cast<UINT>(c.modifiers), static_cast<UINT>(c.vk)))
                << "key " << c.vk << " is not registered";
            UnregisterHotKey(nullptr, 0x5A5A);
        }
    }
    // The last case freed the key again.
    EXPECT_TRUE(RegisterHotKey(nullptr, 0x5A5B, 8, 0x41));
    UnregisterHotKey(nullptr, 0x5A5B);
}

}  // namespace

namespace {

// ---- the Display page follows the item ------------------------------------------------------------------

TEST_F(ItemPagesTest, MovingTheItemToAnotherSectionRebuildsAVisibleDisplayPage) {
    CVellumMenuObject* bar = BarWith({"Properties.ShowIconsByDef=0", "Properties.ShowTextByDef=1",
                                      "Item1.Title=Mover", "Item1.ShowText=1", "Item1.ShowIcon=0", "[Section2]",
                                      "Properties.ShowIconsByDef=1", "Properties.ShowTextByDef=0"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    ASSERT_NE(nullptr, bar->m_sections[1]);
    HWND page = item->CallConfigDialog(host_);
    ASSERT_NE(nullptr, page);
    ShowWindow(page, SW_SHOW);
    item->UpdateParents(bar, bar->m_sections[1]);
    HWND rebuilt = item->m_pages[kItemDisplayPage];
    ASSERT_NE(page, rebuilt);
    EXPECT_NE(nullptr, GetDlgItem(rebuilt, IDC_DISPLAY_ICON1)) << "the icon template for the new section's mode";
    EXPECT_EQ("Icon Only", ComboText(rebuilt, IDC_DISPLAY_MODE));
    EXPECT_TRUE(Wait([&] { return !IsWindow(page); }));

    // A hidden page is left alone.
    ShowWindow(rebuilt, SW_HIDE);
    item->UpdateParents(bar, bar->m_sections[0]);
    EXPECT_EQ(rebuilt, item->m_pages[kItemDisplayPage]);
    item->UpdateParents(bar, bar->m_sections[0]);
}

TEST_F(ItemPagesTest, HiddenModeControlsDriveTheCommonDisplayUpdate) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Icon", "Item1.ShowText=0", "Item1.ShowIcon=1"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = item->CallConfigDialog(host_);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_DISPLAY_RADIO_ICON));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_DISPLAY_LOAD_FROM_FILE)) << "no icon path";
    const struct {
        int control;   // clicked
        int show_text, show_icon, bitmap, separator, use_active_icon;
    } cases[] = {
        {IDC_DISPLAY_TEXT_WITH_ICON, 1, 1, 0, 0, 0},
        {IDC_DISPLAY_ACTIVE_ICON, 1, 1, 0, 0, 1},
        {IDC_DISPLAY_TEXT_WITH_ICON, 0, 1, 0, 0, 1},
        {IDC_DISPLAY_RADIO_SEPARATOR, 0, 0, 0, 1, 1},
        {IDC_DISPLAY_RADIO_BITMAP, 0, 0, 1, 0, 1},
        {IDC_DISPLAY_RADIO_TEXT, 1, 0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        bar->m_modified = FALSE;
        Click(page, c.control);
        EXPECT_EQ(c.show_text, item->ShowText) << c.control;
        EXPECT_EQ(c.show_icon, item->ShowIcon) << c.control;
        EXPECT_EQ(c.bitmap, item->DisplayAsBitmap) << c.control;
        EXPECT_EQ(c.separator, item->Separator) << c.control;
        EXPECT_EQ(c.use_active_icon, item->UseActiveIcon) << c.control;
        EXPECT_TRUE(bar->m_modified) << c.control;
    }
}

TEST_F(ItemPagesTest, BitmapPageListsTheStatesAndTheAlignmentForTheBarsOrientation) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Bmp", "Item1.DisplayAsBitmap=1", "Item1.BitmapAlign=2",
                                      "Item1.NormalBitmap=n.bmp", "Item1.nCustomStates=1", "Item1.CustomState0.Name=Busy",
                                      "Item1.CustomState0.BmpPath=busy.bmp"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = item->CallConfigDialog(host_);
    ASSERT_NE(nullptr, page);
    ShowWindow(page, SW_SHOW);
    HWND list = GetDlgItem(page, IDC_DISPLAY_STATES);
    std::vector<std::string> states;
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        char text[260] = "";
        ListView_GetItemText(list, row, 0, text, sizeof(text));
        states.push_back(text);
    }
    EXPECT_EQ((std::vector<std::string>{"Default", "Mouseover", "Selected", "Busy"}), states);
    EXPECT_EQ("Bottom", ComboText(page, IDC_DISPLAY_BITMAP_ALIGN)) << "a horizontal bar aligns top to bottom";
    Select(page, IDC_DISPLAY_BITMAP_ALIGN, 0);
    EXPECT_EQ(0, item->BitmapAlign);
    EXPECT_TRUE(bar->m_modified);
}

// ---- queries the pages share ------------------------------------------------------------------------------

TEST_F(ItemPagesTest, ActionsComboListsOneSetOrAllAndSelectsTheCommand) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Q", "Item1.Action=13", "Item1.ActionClass=3"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    auto fill = [&](int select, int set) {
        HWND dialog = CreateWindowExA(0, "ComboBox", "", CBS_DROPDOWNLIST | WS_CHILD, 0, 0, 100, 200, host_,
                                      nullptr, nullptr, nullptr);
        EXPECT_EQ(1, item->SetupActionsCombobox(dialog, select, set));
        std::vector<int> commands;
        const int count = static_cast<int>(SendMessageA(dialog, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            commands.push_back(static_cast<int>(SendMessageA(dialog, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
        const int selected = static_cast<int>(SendMessageA(dialog, CB_GETCURSEL, 0, 0));
        DestroyWindow(dialog);
        return std::make_pair(commands, selected >= 0 ? commands[static_cast<size_t>(selected)] : -100);
    };
    // The item's own set (clipboard) when the set is negative.
    auto own = fill(kCmdCopy, -1);
    for (int command : own.first) EXPECT_EQ(kClipboardCommands, StandardCommandSetOf(command)) << command;
    EXPECT_EQ(kCmdCopy, own.second);
    // Another set; a command outside it selects the first entry.
    auto system = fill(kCmdCopy, kSystemCommands);
    ASSERT_FALSE(system.first.empty());
    for (int command : system.first) EXPECT_EQ(kSystemCommands, StandardCommandSetOf(command)) << command;
    EXPECT_EQ(system.first[0], system.second);
    // A blank item of no set lists every command.
    item->ActionClass = -1;
    auto every = fill(kCmdRunDialog, -1);
    EXPECT_EQ(kStandardCommandCount, static_cast<int>(every.first.size()));
    EXPECT_EQ(kCmdRunDialog, every.second);
}

TEST_F(ItemPagesTest, DrawStateIsTheSkinElementOfTheItemsState) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=D"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    int frame = -5;
    const unsigned element = item->GetDrawState(&frame);
    EXPECT_EQ(item->m_frame, frame);
    EXPECT_EQ(item->GetDrawState(nullptr), element) << "the frame is optional";
    if (bar->m_stateAnimator)
        EXPECT_EQ(static_cast<unsigned>(item->m_drawnElement), element);
    else
        EXPECT_EQ(6u, element) << "the normal state of style 0";
}

}  // namespace
