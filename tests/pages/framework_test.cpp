// The page framework on a small page of its own: one page per slot, the
// object property and "bInitalized!", which notifications apply a change,
// OK/Cancel closing, the hotkey controls and the theme browse folder.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <utility>
#include <vector>
#include <gtest/gtest.h>
#include "shell/app_state.h"
#include "shell/config_pages.h"
#include "tests/support/test_support.h"

namespace {

constexpr int kTestTemplate = 900;

struct Applied {
    int id;
    int code;
    bool initialized;   // "bInitalized!" was set when it arrived
};

// The object a test page edits: slots and what the page was told.
struct TestObject {
    HWND slots[3] = {};
    int last_tab = 2;
    std::vector<Applied> applied;
    std::vector<std::pair<int, int>> others;
};

class TestPage : public ConfigPage {
public:
    TestPage(TestObject* object, int slot, bool keeps_last_tab = false)
        : ConfigPage(PageObjectKind::kItem, object, ConfigPageSlots(object ? object->slots : nullptr, 3,
                                                                    object ? &object->last_tab : nullptr),
                     slot),
          object_(object),
          keeps_(keeps_last_tab) {}

protected:
    void Fill() override {
        // Filling raises notifications of its own; none may apply anything.
        SetText(1041, "filled");
        AddComboRow(1271, "One", 1);
        AddComboRow(1271, "Two", 2);
        SelectCombo(1271, 0);
        Check(1135, true);
    }
    void Apply(int id, int code) override { object_->applied.push_back({id, code, Initialized()}); }
    void OnOtherNotification(int id, int code) override { object_->others.push_back({id, code}); }
    bool KeepsLastTab() const override { return keeps_; }

private:
    TestObject* object_;
    bool keeps_;
};

class PageFrameworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        host_ = testing_support::CreatePageHost(200, 150, 520, 520);
        ASSERT_NE(nullptr, host_);
    }
    void TearDown() override { DestroyWindow(host_); }

    HWND Open(TestObject* object, int slot, bool keeps = false) {
        return ConfigPage::Open(std::make_unique<TestPage>(object, slot, keeps), GetModuleHandleA(nullptr),
                                kTestTemplate, host_);
    }
    void Notify(HWND page, int id, int code) {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    HWND host_ = nullptr;
};

TEST_F(PageFrameworkTest, OnePagePerSlotWithItsPropertiesAndNoChangeFromFilling) {
    TestObject object;
    HWND page = Open(&object, 1);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, object.slots[1]);
    EXPECT_EQ(host_, GetParent(page));
    EXPECT_EQ(page, Open(&object, 1)) << "the open page is returned, not a second one";
    EXPECT_EQ(&object, GetPropA(page, "lpItem"));
    EXPECT_EQ(&object, PageObject(page, PageObjectKind::kItem));
    EXPECT_EQ(nullptr, PageObject(page, PageObjectKind::kBar));
    EXPECT_NE(nullptr, GetPropA(page, "bInitalized!"));
    EXPECT_TRUE(object.applied.empty()) << "the page's own filling applied a change";

    // A page that dies with its parent leaves no handle in its slot that a
    // later window could come to own; a new page is made.
    DestroyWindow(page);
    EXPECT_EQ(nullptr, object.slots[1]) << "a destroyed page stayed in its slot";
    HWND again = Open(&object, 1);
    ASSERT_NE(nullptr, again);
    EXPECT_TRUE(IsWindow(again));
    EXPECT_EQ(again, object.slots[1]);
    DestroyWindow(again);
}

TEST_F(PageFrameworkTest, PageForNoObjectDestroysItself) {
    HWND before = GetWindow(host_, GW_CHILD);
    EXPECT_EQ(nullptr, Open(nullptr, 0));
    EXPECT_EQ(before, GetWindow(host_, GW_CHILD)) << "no page child was left behind";
}

TEST_F(PageFrameworkTest, ChangesApplyOnTheNotificationTheirControlReports) {
    TestObject object;
    HWND page = Open(&object, 0);
    ASSERT_NE(nullptr, page);
    const struct {
        int id;
        int code;
        bool applies;
    } cases[] = {
        {1041, EN_UPDATE, true},       {1041, EN_CHANGE, false},     {1041, EN_KILLFOCUS, false},
        {1271, CBN_SELCHANGE, true},   {1271, CBN_DROPDOWN, false},  {1271, CBN_SETFOCUS, false},
        {1135, BN_CLICKED, true},      {1135, BN_SETFOCUS, true},    {1342, EN_CHANGE, true},
        {4242, 0, true},   // a command of no control (posted by the page itself)
    };
    for (const auto& c : cases) {
        object.applied.clear();
        object.others.clear();
        Notify(page, c.id, c.code);
        EXPECT_EQ(c.applies ? 1u : 0u, object.applied.size()) << c.id << " code " << c.code;
        EXPECT_EQ(c.applies ? 0u : 1u, object.others.size()) << c.id << " code " << c.code;
        if (!object.applied.empty()) {
            EXPECT_TRUE(object.applied[0].initialized);
        }
    }
    // Real typing and a real click go the same way.
    object.applied.clear();
    SetDlgItemTextA(page, 1041, "typed");
    SendMessageA(GetDlgItem(page, 1135), BM_CLICK, 0, 0);
    ASSERT_EQ(2u, object.applied.size());
    EXPECT_EQ(1041, object.applied[0].id);
    EXPECT_EQ(1135, object.applied[1].id);
    DestroyWindow(page);
}

TEST_F(PageFrameworkTest, OkAndCancelEmptyTheSlotAndResetTheLastTabUnlessThePageKeepsIt) {
    const struct {
        int command;
        bool keeps;
        int last_tab;
    } cases[] = {{IDOK, false, 0}, {IDCANCEL, false, 0}, {IDOK, true, 2}, {IDCANCEL, true, 2}};
    for (const auto& c : cases) {
        TestObject object;
        HWND other = Open(&object, 2);
        HWND page = Open(&object, 0, c.keeps);
        ASSERT_NE(nullptr, page);
        SendMessageA(page, WM_COMMAND, c.command, 0);
        EXPECT_FALSE(IsWindow(page)) << c.command;
        EXPECT_EQ(nullptr, object.slots[0]);
        EXPECT_EQ(other, object.slots[2]) << "another page's slot is untouched";
        EXPECT_EQ(c.last_tab, object.last_tab) << c.command << " keeps " << c.keeps;
        EXPECT_TRUE(object.applied.empty());
        DestroyWindow(other);
    }
}

TEST_F(PageFrameworkTest, PropertiesLeaveWithThePageAndKindsHaveTheirNames) {
    TestObject object;
    HWND page = Open(&object, 0);
    ASSERT_NE(nullptr, page);
    // A subclass watching WM_NCDESTROY sees what was left on the window.
    static bool props_left = true;
    props_left = true;
    static WNDPROC previous = nullptr;
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_NCDESTROY)
                props_left = GetPropA(w, "lpItem") != nullptr || GetPropA(w, "bInitalized!") != nullptr;
            return CallWindowProcA(previous, w, m, wp, lp);
        })));
    DestroyWindow(page);
    EXPECT_FALSE(props_left);

    EXPECT_STREQ("lpItem", PageObjectProperty(PageObjectKind::kItem));
    EXPECT_STREQ("lpSection", PageObjectProperty(PageObjectKind::kSection));
    EXPECT_STREQ("lpObject", PageObjectProperty(PageObjectKind::kBar));

    HWND top = testing_support::CreatePlainWindow("Config Dialog Mark");
    MarkConfigDialog(top);
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(top, "TSConfigDialog"));
    UnmarkConfigDialog(top);
    EXPECT_EQ(nullptr, GetPropA(top, "TSConfigDialog"));
    DestroyWindow(top);
}

TEST_F(PageFrameworkTest, HotkeyControlsRoundTripTheSettings) {
    TestObject object;
    HWND page = Open(&object, 0);
    ASSERT_NE(nullptr, page);
    const struct {
        int windows_key, vk, modifiers;
        int radio;
        int field;        // the field that shows the key, 0 for none
        WORD field_value; // its HKM_GETHOTKEY
    } cases[] = {
        {0, 0, 0, kHotkeyNone, 0, 0},
        {1, 0, 0, kHotkeyWindowsKey, 0, 0},
        {0, VK_F5, MOD_CONTROL | MOD_SHIFT, kHotkeyShortcut, kHotkeyShortcutField,
         MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
        {0, 'Q', MOD_ALT, kHotkeyShortcut, kHotkeyShortcutField, MAKEWORD('Q', HOTKEYF_ALT)},
        {0, 'A', MOD_WIN, kHotkeyWithWindows, kHotkeyWithWindowsField, MAKEWORD('A', 0)},
    };
    for (const auto& c : cases) {
        int windows_key = c.windows_key, vk = c.vk, modifiers = c.modifiers;
        HotkeyFields fields{&windows_key, &vk, &modifiers};
        FillHotkeyControls(page, fields);
        for (int radio : {kHotkeyNone, kHotkeyWindowsKey, kHotkeyShortcut, kHotkeyWithWindows})
            EXPECT_EQ(radio == c.radio, IsDlgButtonChecked(page, radio) == BST_CHECKED) << c.vk << " " << radio;
        EXPECT_EQ(c.radio == kHotkeyShortcut, IsWindowEnabled(GetDlgItem(page, kHotkeyShortcutField)) != FALSE);
        EXPECT_EQ(c.radio == kHotkeyWithWindows, IsWindowEnabled(GetDlgItem(page, kHotkeyWithWindowsField)) != FALSE);
        if (c.field) {
            EXPECT_EQ(c.field_value, static_cast<WORD>(SendDlgItemMessageA(page, c.field, HKM_GETHOTKEY, 0, 0)));
        }
        windows_key = vk = modifiers = -7;
        ReadHotkeyControls(page, fields);
        EXPECT_EQ(c.windows_key, windows_key) << c.vk;
        EXPECT_EQ(c.vk, vk);
        EXPECT_EQ(c.modifiers, modifiers) << c.vk;
    }
    // Checking another radio and reading moves the enabled field with it.
    for (int radio : {kHotkeyNone, kHotkeyWindowsKey, kHotkeyShortcut, kHotkeyWithWindows})
        CheckDlgButton(page, radio, radio == kHotkeyShortcut ? BST_CHECKED : BST_UNCHECKED);
    int windows_key = 0, vk = 0, modifiers = 0;
    ReadHotkeyControls(page, {&windows_key, &vk, &modifiers});
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kHotkeyShortcutField)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kHotkeyWithWindowsField)));
    DestroyWindow(page);

    const struct {
        int control, modifiers;
    } flags[] = {{0, 0}, {HOTKEYF_SHIFT, MOD_SHIFT}, {HOTKEYF_CONTROL, MOD_CONTROL}, {HOTKEYF_ALT, MOD_ALT},
                 {HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT, MOD_SHIFT | MOD_CONTROL | MOD_ALT}};
    for (const auto& f : flags) {
        EXPECT_EQ(f.modifiers, HotkeyControlToModifiers(f.control));
        EXPECT_EQ(f.control, ModifiersToHotkeyControl(f.modifiers));
    }
    EXPECT_EQ(0, ModifiersToHotkeyControl(MOD_WIN)) << "the Windows key has no place in the control";
}

TEST_F(PageFrameworkTest, ThemeBrowseFolderFallsBackToBarsThenToTheThemeFolder) {
    testing_support::TempFolder theme;
    ASSERT_TRUE(theme.Write("t.tstheme", "[Theme]\r\n"));
    ASSERT_TRUE(SetCurrentThemeFile(theme.File("t.tstheme").c_str()));
    auto folder = [](const char* first) {
        char out[MAX_PATH] = "?";
        return ThemeBrowseFolder(first, out, sizeof(out)) ? std::string(out) : "<none>:" + std::string(out);
    };
    EXPECT_EQ(theme.Path(), folder("Bars\\Icons\\")) << "neither subfolder exists";
    ASSERT_TRUE(theme.MakeFolder("Bars"));
    EXPECT_EQ(theme.File("Bars\\"), folder("Bars\\Icons\\"));
    ASSERT_TRUE(theme.MakeFolder("Bars\\Icons"));
    EXPECT_EQ(theme.File("Bars\\Icons\\"), folder("Bars\\Icons\\"));
    EXPECT_EQ(theme.File("Bars\\"), folder("Bars\\Bitmaps\\"));
    char tiny[8] = "";
    EXPECT_FALSE(ThemeBrowseFolder("Bars\\Icons\\", tiny, sizeof(tiny))) << "a folder that does not fit";
}

}  // namespace
