// Shell links and internet shortcuts written and read through the shell's COM
// objects, with real files in a temporary folder and the real Startup folder.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <cstring>
#include <string>

#include "tests/support/test_support.h"
#include "util/handles.h"
#include "util/item_id_list.h"
#include "util/shortcut_files.h"
#include "util/text.h"

using namespace testing_support;

namespace {

// Reads the fields ReadShortcutField does not offer, straight from the link object.
struct LinkFields {
    std::string description, working_folder;
    WORD hotkey = 0;
};

LinkFields ReadOtherFields(const std::string& path) {
    LinkFields f;
    tess::ScopedComInit com;
    tess::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.put_void())))
        return f;
    tess::ComPtr<IPersistFile> file;
    link->QueryInterface(IID_IPersistFile, file.put_void());
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (FAILED(file->Load(wide, STGM_READ))) return f;
    char buf[MAX_PATH] = "";
    link->GetDescription(buf, MAX_PATH);
    f.description = buf;
    buf[0] = 0;
    link->GetWorkingDirectory(buf, MAX_PATH);
    f.working_folder = buf;
    link->GetHotkey(&f.hotkey);
    return f;
}

std::string Field(const std::string& link, int kind, int* result = nullptr) {
    char buf[MAX_PATH] = "junk";
    int r = ReadShortcutField(link.c_str(), buf, MAX_PATH, kind);
    if (result) *result = r;
    return buf;
}

TEST(Shortcuts, LinkRoundTripReadsBackEachField) {
    TempFolder tmp;
    ASSERT_TRUE(tmp.Write("target.exe", "MZ"));
    ASSERT_TRUE(tmp.Write("icons.dll", "MZ"));
    std::string target = tmp.File("target.exe");
    std::string icons = tmp.File("icons.dll");
    std::string link = tmp.File("full.lnk");

    ShortcutInfo info{};
    tess::CopyText(info.target, target.c_str());
    info.mask = kShortcutDescription | kShortcutArguments | kShortcutIcon | kShortcutWorkingFolder |
                kShortcutHotkey | kShortcutShowCommand;
    info.description = "A test link";
    info.arguments = "-s \"some file.tstheme\"";
    info.icon_file = icons.c_str();
    info.icon_index = 2;
    info.working_folder = tmp.Path().c_str();
    info.show_command = SW_SHOWMAXIMIZED;
    info.hotkey = MAKEWORD('T', HOTKEYF_CONTROL | HOTKEYF_ALT);
    ASSERT_EQ(S_OK, CreateShortcut(link.c_str(), info));
    ASSERT_TRUE(ShortcutFileExists(link.c_str()));

    int result = -1;
    EXPECT_EQ(0, lstrcmpiA(target.c_str(), Field(link, kReadTarget, &result).c_str()));
    EXPECT_EQ(1, result);
    EXPECT_EQ("-s \"some file.tstheme\"", Field(link, kReadArguments, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, lstrcmpiA(icons.c_str(), Field(link, kReadIconLocation, &result).c_str()));
    EXPECT_EQ(2, result);   // the third icon of its file

    LinkFields other = ReadOtherFields(link);
    EXPECT_EQ("A test link", other.description);
    EXPECT_EQ(0, lstrcmpiA(tmp.Path().c_str(), other.working_folder.c_str()));
    // The show command as stored in the file's header (Wine's reader ignores it).
    std::string bytes = ReadFileBytes(link);
    ASSERT_GT(bytes.size(), 0x40u);
    EXPECT_EQ(SW_SHOWMAXIMIZED, *reinterpret_cast<const int*>(bytes.data() + 0x3C));
    EXPECT_EQ(info.hotkey, other.hotkey);
}

TEST(Shortcuts, MaskChoosesTheFieldsWritten) {
    TempFolder tmp;
    ASSERT_TRUE(tmp.Write("target.exe", "MZ"));
    ASSERT_TRUE(tmp.Write("other.exe", "MZ"));
    std::string link = tmp.File("plain.lnk");
    ShortcutInfo info{};
    tess::CopyText(info.target, tmp.File("target.exe").c_str());
    info.mask = 0;   // fields given but not asked for
    info.description = "not written";
    info.arguments = "not written";
    ASSERT_EQ(S_OK, CreateShortcut(link.c_str(), info));
    EXPECT_EQ("", Field(link, kReadArguments));
    EXPECT_EQ("", ReadOtherFields(link).description);

    // The item ID list form: an empty target and a list naming the other file.
    LPITEMIDLIST pidl = PidlFromPath(tmp.File("other.exe").c_str());
    ASSERT_NE(nullptr, pidl);
    ShortcutInfo by_list{};
    by_list.mask = kShortcutIdList;
    by_list.id_list = pidl;
    std::string link2 = tmp.File("bylist.lnk");
    EXPECT_EQ(S_OK, CreateShortcut(link2.c_str(), by_list));
    FreePidl(pidl);
    EXPECT_EQ(0, lstrcmpiA(tmp.File("other.exe").c_str(), Field(link2, kReadTarget).c_str()));
}

TEST(Shortcuts, ShortBuffersAndBadInput) {
    TempFolder tmp;
    ASSERT_TRUE(tmp.Write("target.exe", "MZ"));
    std::string link = tmp.File("a.lnk");
    ShortcutInfo info{};
    tess::CopyText(info.target, tmp.File("target.exe").c_str());
    info.mask = kShortcutArguments;
    info.arguments = "abcdefgh";
    ASSERT_EQ(S_OK, CreateShortcut(link.c_str(), info));

    char one[1] = {'x'};
    EXPECT_EQ(1, ReadShortcutField(link.c_str(), one, 1, kReadArguments));
    EXPECT_EQ('\0', one[0]);
    char four[4] = "zzz";
    EXPECT_EQ(1, ReadShortcutField(link.c_str(), four, 4, kReadArguments));
    EXPECT_STREQ("abc", four);
    EXPECT_EQ(0, ReadShortcutField(link.c_str(), nullptr, 10, kReadTarget));

    struct Bad { const char* name; std::string path; };
    ASSERT_TRUE(tmp.Write("garbage.lnk", std::string(300, '\x7f')));
    const Bad bad[] = {
        {"missing file", tmp.File("none.lnk")},
        {"not a link", tmp.File("garbage.lnk")},
        {"empty path", ""},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.name);
        char buf[MAX_PATH] = "junk";
        EXPECT_EQ(0, ReadShortcutField(b.path.c_str(), buf, MAX_PATH, kReadTarget));
        EXPECT_STREQ("", buf);
        tess::CopyText(buf, "junk");
        EXPECT_EQ(0, ReadShortcutField(b.path.c_str(), buf, MAX_PATH, kReadArguments));
        EXPECT_STREQ("", buf);
    }
    EXPECT_TRUE(FAILED(CreateShortcut("", info)));
    EXPECT_TRUE(FAILED(CreateShortcut(tmp.File("no such folder\\x.lnk").c_str(), info)));
    EXPECT_FALSE(ShortcutFileExists(tmp.File("none.lnk").c_str()));
    EXPECT_FALSE(ShortcutFileExists(""));
}

TEST(Shortcuts, InternetShortcutUrl) {
    TempFolder tmp;
    const std::string url = "http://www.example.com/tessellar/index.html?a=1&b=2";
    ASSERT_TRUE(tmp.Write("site.url", "[InternetShortcut]\r\nURL=" + url + "\r\n"));
    char buf[MAX_PATH] = "junk";
    EXPECT_EQ(S_OK, GetInternetShortcutUrl(tmp.File("site.url").c_str(), buf, sizeof(buf)));
    EXPECT_EQ(url, std::string(buf));

    // Exactly fitting, one short, and far too long: a cut URL is never handed out.
    char exact[64];
    ASSERT_LT(url.size() + 1, sizeof(exact));
    EXPECT_EQ(S_OK, GetInternetShortcutUrl(tmp.File("site.url").c_str(), exact, url.size() + 1));
    EXPECT_EQ(url, std::string(exact));
    tess::CopyText(exact, "junk");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER),
              GetInternetShortcutUrl(tmp.File("site.url").c_str(), exact, url.size()));
    EXPECT_STREQ("", exact);

    const std::string long_url = "http://www.example.com/" + std::string(1500, 'q');
    ASSERT_TRUE(tmp.Write("long.url", "[InternetShortcut]\r\nURL=" + long_url + "\r\n"));
    char small[MAX_PATH] = "junk";
    HRESULT hr = GetInternetShortcutUrl(tmp.File("long.url").c_str(), small, sizeof(small));
    EXPECT_TRUE(FAILED(hr));
    EXPECT_STREQ("", small);

    tess::CopyText(buf, "junk");
    EXPECT_TRUE(FAILED(GetInternetShortcutUrl(tmp.File("missing.url").c_str(), buf, sizeof(buf))));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(E_INVALIDARG, GetInternetShortcutUrl(tmp.File("site.url").c_str(), buf, 0));
}

class StartupShortcutTest : public ::testing::Test {
protected:
    static constexpr const char* kName = "Tessellar Test Startup";
    void SetUp() override { DeleteStartupShortcut(kName); }
    void TearDown() override { DeleteStartupShortcut(kName); }
};

TEST_F(StartupShortcutTest, PathCreateExistsDelete) {
    char startup[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, startup, CSIDL_STARTUP, TRUE));
    char path[MAX_PATH] = "junk";
    EXPECT_EQ(1, GetStartupShortcutPath(kName, path));
    EXPECT_EQ(std::string(startup) + "\\" + kName + ".lnk", std::string(path));
    EXPECT_EQ(0, GetStartupShortcutPath(kName, nullptr));
    EXPECT_STREQ("Vantrell Tessellar", kStartupShortcutName);

    EXPECT_FALSE(StartupShortcutExists(kName, nullptr));
    ASSERT_TRUE(CreateStartupShortcut(kName));
    EXPECT_TRUE(FileExistsOnDisk(path));
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_EQ(0, lstrcmpiA(self, Field(path, kReadTarget).c_str()));
    int index = -1;
    EXPECT_EQ(0, lstrcmpiA(self, Field(path, kReadIconLocation, &index).c_str()));
    EXPECT_EQ(0, index);
    EXPECT_EQ(kName, ReadOtherFields(path).description);

    struct Case { const char* stored; const char* asked; bool exists; };
    const Case cases[] = {
        {nullptr, nullptr, true},   // only the file counts
        {nullptr, "", true},        // no arguments stored, none asked
        {nullptr, "-s", false},
        {"-tray", "", false},       // any stored arguments differ from none
        {"-tray", "-TRAY", true},   // compared without case
        {"-tray", nullptr, true},
        {"-tray", "-tray x", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored ? c.stored : "(none)") + " / " + (c.asked ? c.asked : "(null)"));
        DeleteStartupShortcut(kName);
        ASSERT_TRUE(CreateStartupShortcutWithArgs(kName, c.stored));
        EXPECT_EQ(c.exists, StartupShortcutExists(kName, c.asked));
    }
    DeleteStartupShortcut(kName);
    EXPECT_FALSE(FileExistsOnDisk(path));
    EXPECT_FALSE(StartupShortcutExists(kName, nullptr));
}

}  // namespace
