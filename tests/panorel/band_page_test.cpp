// Page 158 of the virtual desktops section, driven by messages, on a real
// bar with the stand-in band library.
#include "tests/panorel/panorel_fixture.h"
#include <commctrl.h>
#include <algorithm>
#include "model/vellum_menu_object.h"
#include "types/virtual_desktops_resources.h"
#include "types/virtual_desktops_section.h"

using namespace panorel_test;

namespace {

std::string Text(HWND dialog, int id) {
    char text[1060] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A CALLBACK function, not a lambda: the 32-bit build needs stdcall.
BOOL CALLBACK CollectChildText(HWND child, LPARAM lp) {
    char text[1060] = "";
    GetWindowTextA(child, text, sizeof(text));
    reinterpret_cast<std::vector<std::string>*>(lp)->push_back(text);
    return TRUE;
}

std::vector<std::string> ChildTexts(HWND dialog) {
    std::vector<std::string> texts;
    EnumChildWindows(dialog, CollectChildText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

class BandPage : public PanorelTest {
protected:
    void SetUp() override {
        PanorelTest::SetUp();
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        Use(StandIn::Full);
        CreateSettingsKey();
        bar_ = LoadBar("Panorel.Buffer_Left=2\r\nPanorel.Buffer_Right=7\r\n", WriteSkin("plain"));
        band_ = Band(bar_);
        ASSERT_NE(nullptr, band_);
        ASSERT_NE(nullptr, band_->m_bandWindow);
        owner_ = testing_support::CreatePlainWindow("BandPageOwner");
        page_ = band_->CallConfigDialogEx(owner_);
        ASSERT_NE(nullptr, page_);
        bar_->m_modified = FALSE;
        ClearLog();
    }
    void TearDown() override {
        if (IsWindow(page_)) SendMessageA(page_, WM_COMMAND, IDOK, 0);
        if (owner_) DestroyWindow(owner_);
        PanorelTest::TearDown();
    }

    CVellumMenuObject* bar_ = nullptr;
    CVellumMenuSection_VirtualDesktops* band_ = nullptr;
    HWND owner_ = nullptr;
    HWND page_ = nullptr;
};

}  // namespace

TEST_F(BandPage, ShowsTheBuffersTheSwitchAndTheTexts) {
    EXPECT_EQ(page_, band_->CallConfigDialogEx(owner_)) << "made once";
    EXPECT_EQ(page_, band_->m_pages[2]) << "in the Behavior slot";
    EXPECT_EQ(band_, GetPropA(page_, "lpSection"));
    EXPECT_NE(nullptr, GetPropA(page_, "bInitalized!"));
    EXPECT_EQ("0", Text(page_, IDC_VD_TOP));
    EXPECT_EQ("2", Text(page_, IDC_VD_LEFT));
    EXPECT_EQ("0", Text(page_, IDC_VD_BOTTOM));
    EXPECT_EQ("7", Text(page_, IDC_VD_RIGHT));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page_, IDC_VD_PREVENT_BACKGROUND));
    for (int spin : {IDC_VD_TOP_SPIN, IDC_VD_LEFT_SPIN, IDC_VD_BOTTOM_SPIN, IDC_VD_RIGHT_SPIN})
        EXPECT_NE(nullptr, GetDlgItem(page_, spin)) << spin;
    const std::vector<std::string> texts = ChildTexts(page_);
    for (const char* text :
         {"Buffer:",
          "Depending on the skin that you are using, Panorel could potentially be shown on more "
          "space than is desired. If you want to give more space from the edge of the bar to "
          "where the Panorel control is, specify it here!",
          "Top Buffer:", "Left Buffer:", "Bottom Buffer:", "Right Buffer:",
          "Prevent this bar's skin from changing the VWM's background bitmap.",
          "Call Panorel's Config Dialog"})
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), text)) << text;
    EXPECT_FALSE(bar_->m_modified) << "filling the page changes nothing";
}

TEST_F(BandPage, TypingABufferMovesTheBandAtOnceAndMarksTheBarModified) {
    const RECT before = ChildRect(band_->m_bandWindow);
    SetDlgItemTextA(page_, IDC_VD_TOP, "5");
    EXPECT_EQ(5, band_->m_buffer.top);
    EXPECT_TRUE(bar_->m_modified);
    RECT after = ChildRect(band_->m_bandWindow);
    EXPECT_EQ(before.top + 5, after.top);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.right, after.right);
    EXPECT_EQ(before.bottom, after.bottom);

    // The same number again changes nothing.
    bar_->m_modified = FALSE;
    SetDlgItemTextA(page_, IDC_VD_TOP, "05");
    EXPECT_FALSE(bar_->m_modified);

    const struct {
        int id;
        const char* text;
        LONG RECT::*field;
        int value;
    } cases[] = {
        {IDC_VD_RIGHT, "3", &RECT::right, 3},
        {IDC_VD_LEFT, "", &RECT::left, 0},      // no digits: 0
        {IDC_VD_BOTTOM, "4", &RECT::bottom, 4},
        {IDC_VD_TOP, "abc", &RECT::top, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        bar_->m_modified = FALSE;
        SetDlgItemTextA(page_, c.id, c.text);
        EXPECT_EQ(c.value, band_->m_buffer.*c.field);
        EXPECT_TRUE(bar_->m_modified);
    }
    RECT client;
    GetClientRect(bar_->m_hWnd, &client);
    after = ChildRect(band_->m_bandWindow);
    EXPECT_EQ(client.left + 0, after.left);
    EXPECT_EQ(client.top + 0, after.top);
    EXPECT_EQ(client.right - 3, after.right);
    EXPECT_EQ(client.bottom - 4, after.bottom);

    // A long text is read only as far as the page reads it.
    SetDlgItemTextA(page_, IDC_VD_TOP, (std::string(47, '0') + "12345").c_str());
    EXPECT_EQ(1, band_->m_buffer.top);
}

TEST_F(BandPage, TheBackgroundSwitchMarksTheBarModifiedAndChangesNothingElse) {
    HWND band = band_->m_bandWindow;
    const RECT before = ChildRect(band);
    const std::string background = Setting("Background");
    CheckDlgButton(page_, IDC_VD_PREVENT_BACKGROUND, BST_CHECKED);
    Click(page_, IDC_VD_PREVENT_BACKGROUND);
    EXPECT_TRUE(band_->PreventBackgroundChanging);
    EXPECT_TRUE(bar_->m_modified);
    EXPECT_EQ(band, band_->m_bandWindow);
    const RECT after = ChildRect(band);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(background, Setting("Background"));
    EXPECT_TRUE(Log().empty());

    bar_->m_modified = FALSE;
    CheckDlgButton(page_, IDC_VD_PREVENT_BACKGROUND, BST_UNCHECKED);
    Click(page_, IDC_VD_PREVENT_BACKGROUND);
    EXPECT_FALSE(band_->PreventBackgroundChanging);
    EXPECT_TRUE(bar_->m_modified);
    EXPECT_TRUE(Log().empty());
}

TEST_F(BandPage, TheConfigButtonOpensTheLibrarysPreferencesForTheBand) {
    Click(page_, IDC_VD_PREFERENCES);
    EXPECT_EQ((std::vector<std::string>{"showPreferences " + HandleText(band_->m_bandWindow)}), Log());
    EXPECT_FALSE(bar_->m_modified);
}

TEST_F(BandPage, OkAndCancelClearTheSlotAndDestroyThePage) {
    for (int command : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(command);
        SendMessageA(page_, WM_COMMAND, command, 0);
        EXPECT_FALSE(IsWindow(page_));
        EXPECT_EQ(nullptr, band_->m_pages[2]);
        HWND again = band_->CallConfigDialogEx(owner_);
        ASSERT_NE(nullptr, again);
        page_ = again;
    }
}
