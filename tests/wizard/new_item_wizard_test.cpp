// The base new-item wizard on real items of a real bar: the routes through
// its pages and back, what each Next applies, Finish ("Skip Wizzard") and
// Cancel, a separator, and an item removal that waits for the wizard.
#include <windows.h>
#include <commctrl.h>
#include <memory>
#include "model/vellum_menu_section.h"
#include "shell/wizard_resources.h"
#include "tests/support/stand_in_main_window.h"
#include "wizard_fixture.h"

using namespace wizard_test;

namespace {

constexpr int kFirst = IDD_WIZARD_FIRST, kTitle = IDD_WIZARD_TITLE, kDisplay = IDD_WIZARD_DISPLAY,
              kIcons = IDD_WIZARD_ICONS, kBitmaps = IDD_WIZARD_BITMAPS, kDone = IDD_WIZARD_DONE;

class NewItemWizardTest : public WizardTest {};

// The first page with the category "(No function)", then the title page.
std::vector<Step> ToTitlePage(const std::string& title) {
    return {
        ExpectButtons(kFirst, false, false),
        Do([](HWND sheet) { ChooseRow(CurrentPage(sheet), IDC_WIZ_CATEGORY, 1); }),
        ExpectButtons(kFirst, false, true),
        PressButton(PSBTN_NEXT),
        ExpectButtons(kTitle, true, true),
        Do([title](HWND sheet) { Type(CurrentPage(sheet), IDC_WIZ_TITLE, title); }),
        PressButton(PSBTN_NEXT),
    };
}

std::vector<Step> Then(std::vector<Step> steps, const std::vector<Step>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

struct DisplayRoute {
    const char* name;
    int radio;
    int detour;   // the page between the display page and the closing page, 0 for none
    BOOL show_text, show_icon, bitmap;
};

TEST_F(NewItemWizardTest, EachDisplayChoiceTakesItsRouteAndBackReturnsTheWayItCame) {
    const DisplayRoute routes[] = {
        {"text and icon", IDC_WIZ_TEXT_AND_ICON, kIcons, TRUE, TRUE, FALSE},
        {"icon alone", IDC_WIZ_ICON_ALONE, kIcons, FALSE, TRUE, FALSE},
        {"bitmap", IDC_WIZ_BITMAP, kBitmaps, FALSE, FALSE, TRUE},
        {"text alone", IDC_WIZ_TEXT_ALONE, 0, TRUE, FALSE, FALSE},
    };
    // A 2 x 2 bitmap for the bitmap route.
    std::string bmp("BM", 2);
    const unsigned char rest[] = {70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0,
                                  2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0};
    bmp.append(reinterpret_cast<const char*>(rest), sizeof(rest));
    bmp.append(16, '\0');
    bmp.append(54 + 16 - bmp.size(), '\0');
    ASSERT_TRUE(files_.Write("normal.bmp", bmp));
    char shell32[MAX_PATH];
    GetSystemDirectoryA(shell32, MAX_PATH);
    lstrcatA(shell32, "\\shell32.dll");
    for (const DisplayRoute& route : routes) {
        SCOPED_TRACE(route.name);
        CVellumMenuObject* bar = LoadBar("Route", {"Item1.Title=Old"});
        CVellumMenuItem* item = Item(bar);
        ASSERT_NE(nullptr, item);
        const int back_from_done = route.detour ? route.detour : kDisplay;
        std::vector<Step> steps = Then(ToTitlePage("Wizard Title"), {
            WaitForPage(kDisplay),
            Do([&](HWND sheet) { Click(CurrentPage(sheet), route.radio); }),
            PressButton(PSBTN_NEXT),
        });
        if (route.detour == kIcons) {
            steps = Then(steps, {
                WaitForPage(kIcons),
                Do([&](HWND sheet) {
                    // What the browse button leaves: a path and its index.
                    HWND page = CurrentPage(sheet);
                    Type(page, IDC_WIZ_ICON1, shell32);
                    SetPropA(GetDlgItem(page, IDC_WIZ_ICON1), "IconIndex",
                             reinterpret_cast<HANDLE>(static_cast<INT_PTR>(3)));
                }),
                PressButton(PSBTN_NEXT),
            });
        } else if (route.detour == kBitmaps) {
            steps = Then(steps, {
                WaitForPage(kBitmaps),
                Do([&](HWND sheet) {
                    Type(CurrentPage(sheet), IDC_WIZ_NORMAL, files_.File("normal.bmp"));
                    Click(CurrentPage(sheet), IDC_WIZ_SKIN_BEHIND);
                }),
                PressButton(PSBTN_NEXT),
            });
        }
        steps = Then(steps, {
            ExpectButtons(kDone, true, false),
            [](HWND sheet) { return ButtonText(sheet, kFinishButton) == "Finish"; },
            PressButton(PSBTN_BACK),
            WaitForPage(back_from_done),
            [](HWND sheet) { return ButtonText(sheet, kFinishButton) == "Skip Wizzard"; },
            PressButton(PSBTN_NEXT),
            WaitForPage(kDone),
            PressButton(PSBTN_FINISH),
        });
        EXPECT_EQ(1, RunWizard(item, steps));

        EXPECT_STREQ("Wizard Title", item->m_title);
        EXPECT_EQ(0, item->Action);   // "(No function)"
        EXPECT_EQ(0, item->ActionClass);
        EXPECT_EQ(route.show_text, item->ShowText);
        EXPECT_EQ(route.show_icon, item->ShowIcon);
        EXPECT_EQ(route.bitmap, item->DisplayAsBitmap);
        std::string file = Save(bar, "route.tsbar");
        EXPECT_EQ("Wizard Title", ReadKey(file, "Section1", "Item1.Title"));
        EXPECT_EQ("0", ReadKey(file, "Section1", "Item1.Action"));
        EXPECT_EQ(route.show_text ? "1" : "0", ReadKey(file, "Section1", "Item1.ShowText"));
        if (route.detour == kIcons) {
            EXPECT_STREQ(shell32, item->Icon);
            EXPECT_EQ(3, item->IconIndex);
            EXPECT_NE(nullptr, item->m_icon1.get());
            EXPECT_EQ("3", ReadKey(file, "Section1", "Item1.IconIndex"));
        }
        if (route.detour == kBitmaps) {
            EXPECT_EQ(files_.File("normal.bmp"), item->NormalBitmap);
            EXPECT_EQ(TRUE, item->ShowSkinBehindBitmap);
            EXPECT_EQ("1", ReadKey(file, "Section1", "Item1.DisplayAsBitmap"));
        }
        testing_support::CloseEveryTestBar();
    }
}

TEST_F(NewItemWizardTest, EachCategoryChoosesItsCommandSet) {
    struct Case {
        int row;
        const char* text;
        int set;
    };
    const Case cases[] = {
        {2, "System Commands", 1},     {3, "Window Commands", 0},
        {4, "Tessellar Commands", 2},  {5, "Tessellar Layer Commands", 4},
        {6, "Clipboard Commands", 3},
    };
    CVellumMenuObject* bar = LoadBar("Categories", {"Item1.Title=Item"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        item->ActionClass = -7;
        std::string shown, first_action;
        int result = RunWizard(item, {
            WaitForPage(kFirst),
            Do([&](HWND sheet) {
                HWND page = CurrentPage(sheet);
                ChooseRow(page, IDC_WIZ_CATEGORY, c.row);
                shown = Text(page, IDC_WIZ_CATEGORY);
                first_action = Text(page, IDC_WIZ_ACTION);
            }),
            // No action is chosen yet: no way on.
            ExpectButtons(kFirst, false, false),
            PressButton(PSBTN_CANCEL),
        });
        EXPECT_EQ(0, result);
        EXPECT_EQ(c.text, shown);
        EXPECT_EQ("--Select an Action--", first_action);
        EXPECT_EQ(c.set, item->ActionClass);
    }
}

TEST_F(NewItemWizardTest, AnActionOfASetIsChosenAndTheFirstCommandOfTheSetStaysOffered) {
    CVellumMenuObject* bar = LoadBar("Action", {"Item1.Title=Item"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    {
        HWND probe = CreateWindowA("COMBOBOX", "", CBS_DROPDOWNLIST, 0, 0, 100, 100, MainWindow(),
                                   nullptr, nullptr, nullptr);
        item->SetupActionsCombobox(probe, -1, 1);
        const LRESULT offered = SendMessageA(probe, CB_GETCOUNT, 0, 0);
        DestroyWindow(probe);
        if (offered <= 0) GTEST_SKIP() << "the command lists of the behaviour page are not built in";
    }
    std::string first_command;
    int result = RunWizard(item, {
        WaitForPage(kFirst),
        Do([&](HWND sheet) {
            HWND page = CurrentPage(sheet);
            ChooseRow(page, IDC_WIZ_CATEGORY, 2);   // System Commands
            char text[128] = "";
            SendDlgItemMessageA(page, IDC_WIZ_ACTION, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
            first_command = text;
        }),
        ExpectButtons(kFirst, false, false),
        Do([](HWND sheet) { ChooseRow(CurrentPage(sheet), IDC_WIZ_ACTION, 1); }),
        ExpectButtons(kFirst, false, true),
        PressButton(PSBTN_NEXT),
        WaitForPage(kTitle),
        PressButton(PSBTN_FINISH),
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("Restart", first_command);
    EXPECT_EQ(24, item->Action);
    EXPECT_EQ(1, item->ActionClass);
    std::string file = Save(bar, "action.tsbar");
    EXPECT_EQ("24", ReadKey(file, "Section1", "Item1.Action"));
    EXPECT_EQ("1", ReadKey(file, "Section1", "Item1.ActionClass"));
}

TEST_F(NewItemWizardTest, SkipWizzardOnTheFirstPageKeepsTheActionAndCountsAsDone) {
    CVellumMenuObject* bar = LoadBar("Skip", {"Item1.Title=Item", "Item1.Action=3",
                                              "Item1.ActionClass=4"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    std::string category, finish_text;
    LOGFONTA title_font = {};
    int result = RunWizard(item, {
        WaitForPage(kFirst),
        Do([&](HWND sheet) {
            HWND page = CurrentPage(sheet);
            category = Text(page, IDC_WIZ_CATEGORY);
            finish_text = ButtonText(sheet, kFinishButton);
            auto font = reinterpret_cast<HFONT>(SendDlgItemMessageA(page, IDC_WIZ_TITLE, WM_GETFONT, 0, 0));
            GetObjectA(font, sizeof(title_font), &title_font);
        }),
        PressButton(PSBTN_FINISH),
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("Tessellar Layer Commands", category);   // set 4 preselected
    EXPECT_EQ("Skip Wizzard", finish_text);
    EXPECT_EQ(FW_BOLD, title_font.lfWeight);
    EXPECT_EQ(3, item->Action);
    EXPECT_EQ(4, item->ActionClass);
    EXPECT_STREQ("Item", item->m_title);
}

// Blue-dominant pixels of the sheet's client area within the rectangle: the
// wizard's own pictures are blue, the pages grey, white or black.
int BluePixels(HWND sheet, RECT area) {
    HDC dc = GetDC(sheet);
    int blue = 0;
    for (int y = area.top; y < area.bottom; y += 2)
        for (int x = area.left; x < area.right; x += 2) {
            COLORREF c = GetPixel(dc, x, y);
            if (c != CLR_INVALID && GetBValue(c) > GetRValue(c) + 60) ++blue;
        }
    ReleaseDC(sheet, dc);
    return blue;
}

// Lets a few ticks pass, so that the page is painted.
Step Pause() {
    auto ticks = std::make_shared<int>(0);
    return [ticks](HWND) { return ++*ticks > 4; };
}

TEST_F(NewItemWizardTest, TheFirstPageShowsTheWizardsOwnWatermark) {
    CVellumMenuObject* bar = LoadBar("Pictures", {"Item1.Title=Item"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    int watermark = 0;
    RunWizard(item, {
        WaitForPage(kFirst),
        Pause(),
        Do([&](HWND sheet) {
            RECT client;
            GetClientRect(sheet, &client);
            watermark = BluePixels(sheet, {0, 0, 100, client.bottom / 2});
        }),
        PressButton(PSBTN_CANCEL),
    });
    EXPECT_GT(watermark, 200);
    // The interior pages' header picture (Wine's sheet does not draw it).
    auto header = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_WIZARD_HEADER), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(nullptr, header);
    BITMAP info = {};
    GetObjectA(header, sizeof(info), &info);
    EXPECT_EQ(49, info.bmWidth);
    EXPECT_EQ(49, info.bmHeight);
    DeleteObject(header);
}

TEST_F(NewItemWizardTest, CancelAfterTheTitlePageKeepsTheTitleAndAnswersZero) {
    CVellumMenuObject* bar = LoadBar("Cancel", {"Item1.Title=Item"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    int result = RunWizard(item, Then(ToTitlePage("Kept Title"), {
        ExpectButtons(kDisplay, true, true),
        PressButton(PSBTN_CANCEL),
    }));
    EXPECT_EQ(0, result);
    EXPECT_STREQ("Kept Title", item->m_title);
    EXPECT_EQ(0, item->WizardDoneFlag);
}

TEST_F(NewItemWizardTest, ASeparatorCountsAsDoneWithoutPages) {
    CVellumMenuObject* bar = LoadBar("Separator", {"Item1.Title=Item", "Item1.Separator=1"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    ASSERT_EQ(TRUE, item->Separator);
    EXPECT_EQ(1, driver_.Run([item] { return item->DoNewItemWizzard(); }, {PressButton(PSBTN_CANCEL)}));
    EXPECT_FALSE(driver_.SawSheet());
}

TEST_F(NewItemWizardTest, AnItemRemovedDuringItsWizardGoesOnlyAfterTheWizard) {
    CVellumMenuObject* bar = LoadBar("Removal", {"Item1.Title=First", "Item2.Title=Second"});
    CVellumMenuItem* item = Item(bar, 1);
    ASSERT_NE(nullptr, item);
    ASSERT_EQ(2, ItemCount(bar));
    const UINT remove_item = RegisterWindowMessageA("Remove Item Delay");
    int count_during = -1;
    std::string title_during;
    int result = RunWizard(item, Then(ToTitlePage("Renamed"), {
        WaitForPage(kDisplay),
        Do([&](HWND) { SendMessageA(MainWindow(), remove_item, reinterpret_cast<WPARAM>(item), 0); }),
        Do([&](HWND) {
            count_during = ItemCount(bar);
            title_during = item->m_title;
        }),
        PressButton(PSBTN_CANCEL),
    }));
    EXPECT_EQ(0, result);
    EXPECT_EQ(2, count_during);
    EXPECT_EQ("Renamed", title_during);
    // The held removal arrives once the wizard has returned.
    EXPECT_TRUE(testing_support::PumpUntil([&] { return ItemCount(bar) == 1; }, 3000));
    EXPECT_STREQ("First", Item(bar)->m_title);
}

}  // namespace
