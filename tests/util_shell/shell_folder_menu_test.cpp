// CShellFolderMenu on real folder trees in a temporary folder, on the prefix's
// Programs folders and My Computer, and the default verb of its entries.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "util/handles.h"
#include "util/icon_menu.h"
#include "util/item_id_list.h"
#include "util/text.h"

using namespace testing_support;

namespace {

std::string TextAt(HMENU menu, int pos) {
    char buf[1024] = "";
    GetMenuStringA(menu, pos, buf, sizeof(buf), MF_BYPOSITION);
    return buf;
}

std::vector<std::string> Texts(HMENU menu) {
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) out.push_back(TextAt(menu, i));
    return out;
}

int PositionOf(HMENU menu, const std::string& text) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (lstrcmpiA(TextAt(menu, i).c_str(), text.c_str()) == 0) return i;
    return -1;
}

UINT IdAt(HMENU menu, int pos) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID;
    GetMenuItemInfoA(menu, pos, TRUE, &info);
    return info.wID;
}

std::string NoBackslash(const std::string& path) {
    return path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

// Primary or secondary folder of a menu from a path.
bool FolderPair(const std::string& path, IShellFolder** folder, LPITEMIDLIST* list) {
    *list = PidlFromPath(path.c_str());
    *folder = *list ? BindToShellFolder(*list) : nullptr;
    return *folder != nullptr;
}

TEST(ShellFolderMenu, FolderTreeWithLazySubmenus) {
    TempFolder tmp;
    ASSERT_TRUE(tmp.MakeFolder("Zeta folder"));
    ASSERT_TRUE(tmp.MakeFolder("alpha folder"));
    ASSERT_TRUE(tmp.MakeFolder("Empty"));
    ASSERT_TRUE(tmp.MakeFolder("alpha folder\\nested"));
    ASSERT_TRUE(tmp.Write("alpha folder\\inner.txt", "x"));
    ASSERT_TRUE(tmp.Write("b file.txt", "x"));
    ASSERT_TRUE(tmp.Write("A file.txt", "x"));
    ASSERT_TRUE(tmp.Write("c file.txt", "x"));

    CShellFolderMenu menu(300);
    ASSERT_TRUE(menu.SetFolder(NoBackslash(tmp.Path()).c_str()));
    EXPECT_EQ(6, menu.Fill());
    HMENU m = menu.GetMenu();
    // Folders first, then files, each by name without regard to case.
    EXPECT_EQ((std::vector<std::string>{"alpha folder", "Empty", "Zeta folder", "A file.txt",
                                        "b file.txt", "c file.txt"}),
              Texts(m));
    for (int i = 0; i < 3; ++i) EXPECT_NE(nullptr, GetSubMenu(m, i)) << i;
    for (int i = 3; i < 6; ++i) EXPECT_EQ(nullptr, GetSubMenu(m, i)) << i;

    // Submenus stay empty until opened.
    HMENU alpha = GetSubMenu(m, 0);
    HMENU empty = GetSubMenu(m, 1);
    EXPECT_EQ(0, GetMenuItemCount(alpha));
    EXPECT_EQ(1, menu.OnInitMenuPopup(alpha));
    EXPECT_EQ((std::vector<std::string>{"nested", "inner.txt"}), Texts(alpha));
    EXPECT_EQ(1, menu.OnInitMenuPopup(alpha));   // filled once only
    EXPECT_EQ(2, GetMenuItemCount(alpha));
    HMENU nested = GetSubMenu(alpha, 0);
    ASSERT_NE(nullptr, nested);
    menu.OnInitMenuPopup(nested);
    EXPECT_EQ(std::vector<std::string>{"(Empty)"}, Texts(nested));

    menu.OnInitMenuPopup(empty);
    ASSERT_EQ(std::vector<std::string>{"(Empty)"}, Texts(empty));
    EXPECT_TRUE(GetMenuState(empty, 0, MF_BYPOSITION) & MF_GRAYED);

    int pos = -1;
    EXPECT_EQ(alpha, menu.FindParentMenu(m, nested, &pos));
    EXPECT_EQ(0, pos);
    EXPECT_EQ(m, menu.FindParentMenu(m, empty, &pos));
    EXPECT_EQ(1, pos);
    EXPECT_EQ(nullptr, menu.FindParentMenu(m, CreatePopupMenu(), &pos));

    ShellMenuItem* zeta = menu.FindItemByName(m, "ZETA FOLDER", true);
    ASSERT_NE(nullptr, zeta);
    EXPECT_NE(nullptr, zeta->folder);
    EXPECT_EQ(0, zeta->outside_file_system);
    EXPECT_EQ(0, zeta->drive_letter);
    EXPECT_EQ(nullptr, menu.FindItemByName(m, "Zeta folder", false));   // not as a file
    ShellMenuItem* b = menu.FindItemByName(m, "b file.txt", false);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(nullptr, b->folder);
    char* parsing = GetPidlParsingName(b->absolute);
    EXPECT_EQ(0, lstrcmpiA(tmp.File("b file.txt").c_str(), parsing));
    ShellFree(parsing);

    // Icons are fetched when an entry is drawn.
    IconMenuItemData* data = menu.FindItemData(nullptr, IdAt(m, 4), false, false);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(-1, data->image_index);
    FetchShellItemIcon(&menu, data);
    EXPECT_TRUE(data->image_index >= 0 || data->icon);
}

TEST(ShellFolderMenu, TwoFoldersMergeSameNames) {
    TempFolder tmp;
    for (const char* f : {"user", "common", "user\\Shared", "common\\Shared", "user\\Games",
                          "common\\Tools"})
        ASSERT_TRUE(tmp.MakeFolder(f));
    ASSERT_TRUE(tmp.Write("user\\Shared\\from user.txt", "x"));
    ASSERT_TRUE(tmp.Write("common\\Shared\\from common.txt", "x"));
    ASSERT_TRUE(tmp.Write("user\\same.txt", "x"));
    ASSERT_TRUE(tmp.Write("common\\SAME.txt", "x"));
    ASSERT_TRUE(tmp.Write("common\\only common.txt", "x"));
    ASSERT_TRUE(tmp.Write("common\\Games", "a file named like the user's folder"));

    CShellFolderMenu menu(1);
    IShellFolder* f1;
    IShellFolder* f2;
    LPITEMIDLIST l1, l2;
    ASSERT_TRUE(FolderPair(tmp.File("user"), &f1, &l1));
    ASSERT_TRUE(FolderPair(tmp.File("common"), &f2, &l2));
    menu.SetPrimaryFolder(f1, l1);
    menu.SetSecondaryFolder(f2, l2);
    menu.Fill();
    HMENU m = menu.GetMenu();
    EXPECT_EQ((std::vector<std::string>{"Games", "Shared", "Tools", "Games", "only common.txt",
                                        "same.txt"}),
              Texts(m));
    HMENU shared = GetSubMenu(m, 1);
    ASSERT_NE(nullptr, shared);
    ShellMenuItem* item = menu.FindItemByName(m, "Shared", true);
    ASSERT_NE(nullptr, item);
    EXPECT_NE(nullptr, item->merged_folder);
    menu.OnInitMenuPopup(shared);
    EXPECT_EQ((std::vector<std::string>{"from common.txt", "from user.txt"}), Texts(shared));
}

TEST(ShellFolderMenu, ProgramsFoldersOfThePrefix) {
    char user[MAX_PATH], common[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, user, CSIDL_PROGRAMS, TRUE));
    if (!SHGetSpecialFolderPathA(nullptr, common, CSIDL_COMMON_PROGRAMS, TRUE))
        GTEST_SKIP() << "no common Programs folder";
    const std::string group = "Tessellar Test Group";
    std::string user_group = std::string(user) + "\\" + group;
    std::string common_group = std::string(common) + "\\" + group;
    RemoveTree(user_group);
    RemoveTree(common_group);
    ASSERT_TRUE(CreateDirectoryA(user_group.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(common_group.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(user_group + "\\user item.txt", "x"));
    ASSERT_TRUE(WriteFileBytes(common_group + "\\common item.txt", "x"));
    {
        CShellFolderMenu menu(1);
        ASSERT_TRUE(menu.SetFolder("PROGRAMS"));
        menu.Fill();
        HMENU m = menu.GetMenu();
        std::vector<std::string> texts = Texts(m);
        EXPECT_EQ(1, std::count(texts.begin(), texts.end(), group));
        int pos = PositionOf(m, group);
        ASSERT_GE(pos, 0);
        HMENU sub = GetSubMenu(m, pos);
        ASSERT_NE(nullptr, sub);
        menu.OnInitMenuPopup(sub);
        EXPECT_EQ((std::vector<std::string>{"common item.txt", "user item.txt"}), Texts(sub));
    }
    RemoveTree(user_group);
    RemoveTree(common_group);
}

TEST(ShellFolderMenu, NamedFolders) {
    struct Case { const char* name; bool ok; };
    const Case cases[] = {
        {"Desktop", true},   {"desktop", true},  {"StartMenu", true}, {"Startup", true},
        {"MyComputer", true}, {"Drives", true},  {"Programs", true},  {"Fonts", true},
        {"C:\\windows", true}, {"C:\\no such folder here", false}, {"", false},
    };
    for (const Case& c : cases) {
        CShellFolderMenu menu(1);
        EXPECT_EQ(c.ok, menu.SetFolder(c.name)) << c.name;
        if (c.ok) menu.Fill();
    }
    CShellFolderMenu menu(1);
    EXPECT_FALSE(menu.SetFolder(nullptr));
    EXPECT_EQ(0, menu.Fill());   // no folder: an empty menu
    EXPECT_EQ(0, GetMenuItemCount(menu.GetMenu()));
}

TEST(ShellFolderMenu, DrivesComeFirstByLetter) {
    CShellFolderMenu menu(1);
    ASSERT_TRUE(menu.SetFolder("MyComputer"));
    ASSERT_GT(menu.Fill(), 0);
    HMENU m = menu.GetMenu();
    std::vector<char> letters;
    bool drives_done = false;
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
        IconMenuItemData* data = menu.FindItemData(m, i, true, false);
        ASSERT_NE(nullptr, data);
        auto* item = static_cast<ShellMenuItem*>(data->payload);
        if (item->drive_letter) {
            EXPECT_FALSE(drives_done) << TextAt(m, i);
            letters.push_back(static_cast<char>(toupper(item->drive_letter)));
        } else {
            drives_done = true;
        }
    }
    ASSERT_GE(letters.size(), 2u);   // C: and Z: at least
    EXPECT_TRUE(std::is_sorted(letters.begin(), letters.end()));
}

TEST(ShellFolderMenu, CompareShellItemsOrder) {
    ShellMenuItem drive_c{}, drive_d{}, drive_d2{}, virt{}, folder{}, file{};
    drive_c.drive_letter = 'C';
    drive_d.drive_letter = 'd';
    drive_d2.drive_letter = 'D';
    virt.outside_file_system = 1;
    IconMenuItemData dc{-1, nullptr, 1, &drive_c}, dd{-1, nullptr, 1, &drive_d},
        dd2{-1, nullptr, 1, &drive_d2}, dv{-1, nullptr, 1, &virt}, df{-1, nullptr, 1, &folder},
        dfile{-1, nullptr, 0, &file};
    auto entry = [](const char* text, IconMenuItemData* d) {
        MenuSortEntry e{};
        tess::CopyText(e.text, text);
        e.data = d;
        e.has_submenu = d->has_submenu;
        return e;
    };
    std::vector<MenuSortEntry> v = {
        entry("a file", &dfile), entry("Z folder", &df), entry("Control Panel", &dv),
        entry("Data (D:)", &dd), entry("Local (C:)", &dc), entry("b folder", &df)};
    qsort(v.data(), v.size(), sizeof(MenuSortEntry), CompareShellItems);
    std::vector<std::string> order;
    for (const MenuSortEntry& e : v) order.push_back(e.text);
    EXPECT_EQ((std::vector<std::string>{"Local (C:)", "Data (D:)", "Control Panel", "b folder",
                                        "Z folder", "a file"}),
              order);
    MenuSortEntry x = entry("x", &dd), y = entry("y", &dd2);
    EXPECT_LT(CompareShellItems(&x, &y), 0);   // same letter in either case: by text
}

// ---- the default verb --------------------------------------------------------------------

// A context menu that offers entries with or without a default and records
// which verb it was asked to run.
class StubContextMenu : public IContextMenu {
public:
    explicit StubContextMenu(int default_offset) : default_offset_(default_offset) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IContextMenu) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT, UINT first, UINT, UINT flags) override {
        if (!queries++) first_flags = flags;
        AppendMenuA(menu, MF_STRING, first + 1, "one");
        AppendMenuA(menu, MF_STRING, first + 3, "three");
        if (default_offset_ >= 0) SetMenuDefaultItem(menu, first + default_offset_, FALSE);
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 4);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
        ++invoked;
        verb = reinterpret_cast<UINT_PTR>(info->lpVerb);
        show = info->nShow;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) override {
        return E_NOTIMPL;
    }
    int invoked = 0;
    UINT_PTR verb = 0;
    int show = 0;
    UINT first_flags = 0;
    int queries = 0;
    ULONG refs_ = 1;

private:
    int default_offset_;
};

class StubFolder : public IShellFolder {
public:
    explicit StubFolder(StubContextMenu* menu) : menu_(menu) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID iid, UINT*, void** out) override {
        if (!menu_) return E_FAIL;
        return menu_->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override { return E_NOTIMPL; }

private:
    StubContextMenu* menu_;
};

TEST(ShellFolderMenu, DefaultVerbIsTheDefaultEntryOnly) {
    BYTE item[8] = {6, 0, 'x', 'y', 'z', 'w', 0, 0};
    LPCITEMIDLIST relative = reinterpret_cast<LPCITEMIDLIST>(item);
    struct Case { const char* name; int default_offset; int result; UINT_PTR verb; };
    const Case cases[] = {
        {"default is the third", 3, 1, 3},
        {"default is the first", 1, 1, 1},
        {"no default entry", -1, 0, 0},   // nothing is run rather than verb -1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StubContextMenu context(c.default_offset);
        StubFolder folder(&context);
        EXPECT_EQ(c.result, InvokeDefaultVerb(nullptr, &folder, relative));
        EXPECT_EQ(c.result, context.invoked);
        EXPECT_EQ(c.verb, context.verb);
        if (c.result) {
            EXPECT_EQ(SW_SHOWNORMAL, context.show);
        }
        EXPECT_TRUE(context.first_flags & CMF_DEFAULTONLY);
        EXPECT_EQ(1u, context.refs_);   // released again
    }
    StubFolder no_menu(nullptr);
    EXPECT_EQ(0, InvokeDefaultVerb(nullptr, &no_menu, relative));
    EXPECT_EQ(0, InvokeDefaultVerb(nullptr, nullptr, relative));
}

TEST(ShellFolderMenu, CommandsReachTheEntrysContextMenu) {
    // Wine's item menu marks an entry that only works inside file dialogs as
    // its default, so the run itself is shown with the stubs above; here the
    // ids are routed to a real entry and its real context menu.
    TempFolder tmp;
    ASSERT_TRUE(tmp.Write("doc.tsverbtest", "x"));
    CShellFolderMenu menu(40);
    ASSERT_TRUE(menu.SetFolder(NoBackslash(tmp.Path()).c_str()));
    menu.Fill();
    HMENU m = menu.GetMenu();
    ASSERT_EQ(1, GetMenuItemCount(m));
    EXPECT_EQ(40u, IdAt(m, 0));
    EXPECT_EQ(0, menu.HandleCommand(39));
    EXPECT_EQ(0, menu.HandleCommand(41));
    EXPECT_EQ(1, menu.HandleCommand(40));
}

}  // namespace
