// The Change Icon and custom icon size dialogs, run modally in the test
// process and driven from a timer inside their modal loops.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "model/item_host_calls.h"
#include "shell/icon_dialogs.h"
#include "shell/icon_resources.h"
#include "shell/startup.h"
#include "tests/icons/icons_fixture.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace icons_test;

namespace {

constexpr char kChangeIcon[] = "Change Icon";

LRESULT ListCount(HWND dialog) { return SendDlgItemMessageA(dialog, IDC_CI_ICONS, LB_GETCOUNT, 0, 0); }
LRESULT ListSelection(HWND dialog) { return SendDlgItemMessageA(dialog, IDC_CI_ICONS, LB_GETCURSEL, 0, 0); }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && Lower(text.substr(text.size() - end.size())) == Lower(end);
}

struct ChangeIconRun {
    char path[MAX_PATH] = "";
    int index = 0;
    int result = -1;
    std::vector<AnsweredBox> boxes;
};

ChangeIconRun RunChangeIcon(const std::string& path, int index, std::function<void(HWND)> drive) {
    ChangeIconRun run;
    lstrcpynA(run.path, path.c_str(), MAX_PATH);
    run.index = index;
    DialogDriver driver(IDC_CI_ICONS, [&](HWND dialog) {
        char caption[64] = "";
        GetWindowTextA(dialog, caption, sizeof(caption));
        EXPECT_STREQ(kChangeIcon, caption);
        drive(dialog);
    });
    run.result = ShowChangeIconDialog(run.path, &run.index, 0, nullptr);
    EXPECT_TRUE(driver.Ran());
    run.boxes = driver.Boxes();
    return run;
}

TEST(ChangeIcon, TypedFileIsListedByTheFirstOkAndChosenByTheSecond) {
    const std::string library = FixtureLibrary();
    const std::string typed = FixtureIcon("second.ico");
    LRESULT listed_at_start = -1, selected_at_start = -1, listed_after_typing = -1;
    std::string shown_after_typing;
    bool open_after_first_ok = false;
    ChangeIconRun run = RunChangeIcon(library, 2, [&](HWND dialog) {
        listed_at_start = ListCount(dialog);
        selected_at_start = ListSelection(dialog);
        SetDlgItemTextA(dialog, IDC_CI_FILE, typed.c_str());
        Click(dialog, IDOK);
        open_after_first_ok = IsWindow(dialog) != FALSE;
        listed_after_typing = ListCount(dialog);
        shown_after_typing = DlgText(dialog, IDC_CI_FILE);
        // Back to the library: listed again, the second group chosen.
        SetDlgItemTextA(dialog, IDC_CI_FILE, library.c_str());
        Click(dialog, IDOK);
        SendDlgItemMessageA(dialog, IDC_CI_ICONS, LB_SETCURSEL, 1, 0);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(3, listed_at_start);            // every group of the library
    EXPECT_EQ(2, selected_at_start);          // the given index
    EXPECT_TRUE(open_after_first_ok);
    EXPECT_EQ(1, listed_after_typing);        // an .ico holds one icon
    EXPECT_EQ(typed, shown_after_typing);
    EXPECT_EQ(1, run.result);
    EXPECT_EQ(library, run.path);
    EXPECT_EQ(1, run.index);
}

TEST(ChangeIcon, AFileWithoutIconsWarnsAndListsTheShellLibrary) {
    TempFolder tmp;
    ASSERT_TRUE(tmp.Write("plain.txt", "no icons here"));
    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {tmp.File("missing.ico"), "Tessellar cannot find file " + tmp.File("missing.ico") + "."},
        {tmp.File("plain.txt"), "The file " + tmp.File("plain.txt") + " contains no icons."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::string listed;
        LRESULT count = 0;
        ChangeIconRun run = RunChangeIcon(c.file, 3, [&](HWND dialog) {
            listed = DlgText(dialog, IDC_CI_FILE);
            count = ListCount(dialog);
            Click(dialog, IDOK);   // takes the shell library's first icon
        });
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(kChangeIcon, run.boxes[0].caption);
        EXPECT_EQ(c.message, run.boxes[0].text);
        EXPECT_TRUE(EndsWith(listed, "\\SHELL32.DLL")) << listed;
        EXPECT_GT(count, 0);
        EXPECT_EQ(1, run.result);
        EXPECT_EQ(listed, run.path);
        EXPECT_EQ(0, run.index);
    }
}

TEST(ChangeIcon, CancelLeavesPathAndIndexAlone) {
    const std::string library = FixtureLibrary();
    ChangeIconRun run = RunChangeIcon(library, 1, [&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_CI_ICONS, LB_SETCURSEL, 0, 0);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(library, run.path);
    EXPECT_EQ(1, run.index);
}

// With browseFirst the open-file dialog comes first; cancelling it cancels
// the Change Icon dialog before it shows.
TEST(ChangeIcon, BrowsingFirstListsTheChosenFile) {
    TempFolder tmp;
    const std::string chosen = FixtureIcon("first.ico");
    const struct {
        std::string answer;
        int result;
        std::string path;
        int index;
    } cases[] = {
        {chosen, 1, chosen, 0},
        {"", 0, tmp.Path(), 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        char path[MAX_PATH] = "";
        lstrcpynA(path, tmp.Path().c_str(), MAX_PATH);
        int index = 5;
        LRESULT listed = -1;
        DialogDriver driver(IDC_CI_ICONS, [&](HWND dialog) {
            listed = ListCount(dialog);
            Click(dialog, IDOK);
        });
        driver.AnswerFileDialogs(c.answer);
        EXPECT_EQ(c.result, ShowChangeIconDialog(path, &index, 1, nullptr));
        EXPECT_EQ(c.path, path);
        EXPECT_EQ(c.index, index);
        EXPECT_EQ(c.result == 1, driver.Ran());
        if (c.result == 1) {
            EXPECT_EQ(1, listed);
        }
        const std::vector<AnsweredBox> boxes = driver.Boxes();
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("Browse For Icon", boxes[0].caption);
    }
}

TEST(ChangeIcon, BrowseButtonListsTheChosenFile) {
    const std::string chosen = FixtureIcon("second.ico");
    std::string shown;
    LRESULT listed = -1;
    char path[MAX_PATH] = "";
    lstrcpynA(path, FixtureLibrary().c_str(), MAX_PATH);
    int index = 2;
    DialogDriver driver(IDC_CI_ICONS, [&](HWND dialog) {
        Click(dialog, IDC_CI_BROWSE);
        shown = DlgText(dialog, IDC_CI_FILE);
        listed = ListCount(dialog);
        Click(dialog, IDOK);
    });
    driver.AnswerFileDialogs(chosen);
    EXPECT_EQ(1, ShowChangeIconDialog(path, &index, 0, nullptr));
    EXPECT_EQ(chosen, shown);
    EXPECT_EQ(1, listed);
    EXPECT_EQ(chosen, path);
    EXPECT_EQ(0, index);
}

// An entry's icon is drawn at 32 x 32 in the middle of its cell, on the
// highlight colour when selected.
TEST(ChangeIcon, CellsAreDrawnOnTheSelectionColour) {
    COLORREF corner = CLR_INVALID;
    RunChangeIcon(FixtureLibrary(), 0, [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CI_ICONS);
        RECT cell = {};
        SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
        EXPECT_EQ(36, cell.right - cell.left);
        EXPECT_EQ(44, cell.bottom - cell.top);
        HDC screen = CreateCompatibleDC(nullptr);
        HBITMAP bits = CreateDib32(cell.right, cell.bottom);
        HGDIOBJ old = SelectObject(screen, bits);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_LISTBOX;
        item.CtlID = IDC_CI_ICONS;
        item.itemID = 0;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = ODS_SELECTED;
        item.hwndItem = list;
        item.hDC = screen;
        item.rcItem = cell;
        item.itemData = static_cast<ULONG_PTR>(SendMessageA(list, LB_GETITEMDATA, 0, 0));
        SendMessageA(dialog, WM_DRAWITEM, IDC_CI_ICONS, reinterpret_cast<LPARAM>(&item));
        SelectObject(screen, old);
        DeleteDC(screen);
        corner = DibPixel(bits, cell.left + 1, cell.top + 1);
        DeleteObject(bits);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), corner);
}

// ---- custom icon size -----------------------------------------------------------------

std::string ComboText(HWND dialog, LRESULT entry) {
    char text[64] = "";
    SendDlgItemMessageA(dialog, IDC_CIS_SIZE, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text));
    return text;
}

void Choose(HWND dialog, int entry) { SendDlgItemMessageA(dialog, IDC_CIS_SIZE, CB_SETCURSEL, entry, 0); }

TEST(CustomIconSize, ListsSizesAndSelectsTheCurrentOne) {
    struct Seen {
        LRESULT count = 0, selected = -1;
        std::string first, last, selected_text;
        bool marked = false;
    };
    const struct {
        int current;
        LRESULT selected;
        const char* text;
    } cases[] = {{32, 32, "32x32"}, {239, 239, "239x239"}, {0, 0, "Select size..."}, {400, 0, "Select size..."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        Seen seen;
        DialogDriver driver(IDC_CIS_SIZE, [&](HWND dialog) {
            seen.count = SendDlgItemMessageA(dialog, IDC_CIS_SIZE, CB_GETCOUNT, 0, 0);
            seen.selected = SendDlgItemMessageA(dialog, IDC_CIS_SIZE, CB_GETCURSEL, 0, 0);
            seen.first = ComboText(dialog, 0);
            seen.last = ComboText(dialog, seen.count - 1);
            seen.selected_text = ComboText(dialog, seen.selected);
            seen.marked = GetPropA(dialog, "TSConfigDialog") != nullptr;
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(0, ShowCustomIconSizeDialog(nullptr, c.current));
        EXPECT_EQ(240, seen.count);
        EXPECT_EQ("Select size...", seen.first);
        EXPECT_EQ("239x239", seen.last);
        EXPECT_EQ(c.selected, seen.selected);
        EXPECT_EQ(c.text, seen.selected_text);
        EXPECT_TRUE(seen.marked);
    }
}

TEST(CustomIconSize, SelectSizeWarnsAndStaysThenASizeIsReturned) {
    bool open_after_warning = false;
    DialogDriver driver(IDC_CIS_SIZE, [&](HWND dialog) {
        Choose(dialog, 0);
        Click(dialog, IDOK);
        open_after_warning = IsWindow(dialog) && IsWindowVisible(dialog);
        Choose(dialog, 48);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(48, ShowCustomIconSizeDialog(nullptr, 16));
    EXPECT_TRUE(open_after_warning);
    const std::vector<AnsweredBox> boxes = driver.Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Tessellar - Custom Icon Size", boxes[0].caption);
    EXPECT_EQ("Please select an icon size!", boxes[0].text);
}

// The items' context command reaches the dialog through the host table; a
// cancelled dialog keeps the current size.
TEST(CustomIconSize, ItemsAskThroughTheHostTable) {
    InstallItemHostCalls();
    auto ask = GetItemHostCalls().AskCustomIconSize;
    ASSERT_NE(nullptr, ask);
    const struct {
        int entry;   // -1: Cancel
        int expected;
    } cases[] = {{-1, 20}, {48, 48}, {1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        DialogDriver driver(IDC_CIS_SIZE, [&](HWND dialog) {
            if (c.entry < 0) {
                Click(dialog, IDCANCEL);
                return;
            }
            Choose(dialog, c.entry);
            Click(dialog, IDOK);
        });
        EXPECT_EQ(c.expected, ask(nullptr, 20));
        EXPECT_TRUE(driver.Ran());
    }
}

}  // namespace
