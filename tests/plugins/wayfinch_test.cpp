// Wayfinch in a real bar: its combo and history, running entries (the
// prefix's "http" handler is a recorder, so nothing reaches a browser), the
// go button and its per-instance settings.
#include <windows.h>
#include <commctrl.h>
#include "model/live_objects.h"
#include "plugin_fixture.h"

namespace plugin_test {
namespace {

void SendMouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(INPUT));
}

class WayfinchTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        plugins_ = testing_support::BinFolder() + "VTPlugins\\";
        CreateDirectoryA(plugins_.c_str(), nullptr);
        history_ = plugins_ + "Wayfinch.ini";
        DeleteFileA(history_.c_str());
        recorder_log_ = files_.Path() + "recorder.log";
        SetEnvironmentVariableA("TESS_RECORDER_LOG", recorder_log_.c_str());
        SetRecorderAsHttpHandler();
    }
    void TearDown() override {
        PluginTest::TearDown();
        DeleteFileA(history_.c_str());
        for (const char* id : {"wftest", "wfgo"}) DeleteFileA((plugins_ + "Wayfinch" + id + ".ini").c_str());
        SetEnvironmentVariableA("TESS_RECORDER_LOG", nullptr);
    }

    static void SetRecorderAsHttpHandler() {
        std::string command = "\"" + testing_support::BinFolder() + "tess_url_recorder.exe\" \"%1\"";
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\ddeexec\\Application");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\ddeexec\\Topic");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\ddeexec");
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1));
            RegCloseKey(key);
        }
    }

    void WriteHistory(int count) {
        std::string text = "[History]\r\n";
        for (int i = 1; i <= count; ++i)
            text += "Entry" + std::to_string(i) + "=http://old" + std::to_string(i) + "\r\n";
        ASSERT_TRUE(testing_support::WriteFileBytes(history_, text));
    }

    CVellumMenuItem_Plugin* LoadBox(const char* id = "wftest") {
        std::string dll = testing_support::BinFolder() + "Wayfinch.dll";
        bar_ = LoadBarWith("Address", {100, 400, 600, 440},
                           {"[Section1]", "Item1.Type=Plugin", "Item1.Plugin=" + dll,
                            std::string("Item1.Plugin.InstanceID=") + id, "Item2.Title=Next"});
        CVellumMenuItem_Plugin* item = Plugin(bar_, 0);
        if (item) {
            combo_ = FindWindowExA(item->m_childWindow, nullptr, "ComboBoxEx32", nullptr);
            Wait([&] { return IsWindowVisible(item->m_childWindow) != FALSE; }, 2000);
        }
        return item;
    }

    int Entries() { return static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0)); }
    std::string Entry(int index) {
        char text[1000] = "";
        COMBOBOXEXITEMA entry = {};
        entry.mask = CBEIF_TEXT;
        entry.iItem = index;
        entry.pszText = text;
        entry.cchTextMax = sizeof(text);
        SendMessageA(combo_, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry));
        return text;
    }
    HWND Edit() { return reinterpret_cast<HWND>(SendMessageA(combo_, CBEM_GETEDITCONTROL, 0, 0)); }
    std::string EditText() {
        char text[1000] = "";
        GetWindowTextA(Edit(), text, sizeof(text));
        return text;
    }
    // Types text and presses Enter in the box.
    void Enter(const std::string& text) {
        SetWindowTextA(Edit(), text.c_str());
        SetFocus(Edit());
        SendMessageA(Edit(), WM_KEYDOWN, VK_RETURN, 0);
        SendMessageA(Edit(), WM_CHAR, '\r', 0);
        SendMessageA(Edit(), WM_KEYUP, VK_RETURN, 0);
        testing_support::PumpFor(100);
    }
    std::vector<std::string> Recorded() { return ReadLines(recorder_log_); }
    bool WaitRecorded(size_t count) {
        return Wait([&] { return Recorded().size() >= count; }, 5000);
    }
    POINT GoButtonCentre(CVellumMenuItem* item) {
        RECT r = ItemScreenRect(item);
        return POINT{r.right - 2 - 43 / 2, (r.top + r.bottom) / 2};
    }

    std::string plugins_, history_, recorder_log_;
    CVellumMenuObject* bar_ = nullptr;
    HWND combo_ = nullptr;
};

TEST_F(WayfinchTest, TheBoxIsAComboInThePluginWindowWithTheWholeHistory) {
    WriteHistory(30);
    CVellumMenuItem_Plugin* item = LoadBox();
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(0x87, item->m_capabilities);
    ASSERT_NE(nullptr, combo_);
    char cls[64] = "";
    GetClassNameA(GetParent(combo_), cls, sizeof(cls));
    EXPECT_STREQ("TSPluginChild", cls);
    EXPECT_EQ(30, Entries());
    EXPECT_EQ("http://old1", Entry(0));
    EXPECT_EQ("http://old30", Entry(29));
    // The settings file of the box lies beside the history, in "VTPlugins".
    item->SaveInstance();
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((plugins_ + "Wayfinchwftest.ini").c_str()));
    char kept[100] = "";
    GetPrivateProfileStringA("History", "Entry30", "", kept, sizeof(kept), history_.c_str());
    EXPECT_STREQ("http://old30", kept);
}

TEST_F(WayfinchTest, ARunHeadsTheHistoryOnceAndTwentyAreKept) {
    WriteHistory(30);
    CVellumMenuItem_Plugin* item = LoadBox();
    ASSERT_NE(nullptr, combo_);
    Enter("http://one.example");
    ASSERT_TRUE(WaitRecorded(1));
    EXPECT_EQ("http://one.example", Recorded()[0]);
    ASSERT_TRUE(Wait([&] { return Entries() == 20; }));
    EXPECT_EQ("http://one.example", Entry(0));
    Enter("http://two.example");
    ASSERT_TRUE(WaitRecorded(2));
    Enter("HTTP://ONE.example");
    ASSERT_TRUE(WaitRecorded(3));
    ASSERT_TRUE(Wait([&] { return Entry(0) == "HTTP://ONE.example"; }));
    int ones = 0;
    for (int i = 0; i < Entries(); ++i) ones += lstrcmpiA(Entry(i).c_str(), "http://one.example") == 0;
    EXPECT_EQ(1, ones);
    EXPECT_EQ("http://two.example", Entry(1));
    item->SaveInstance();
    char first[100] = "";
    GetPrivateProfileStringA("History", "Entry1", "", first, sizeof(first), history_.c_str());
    EXPECT_STREQ("HTTP://ONE.example", first);
    GetPrivateProfileStringA("History", "Entry21", "", first, sizeof(first), history_.c_str());
    EXPECT_STREQ("", first);
}

TEST_F(WayfinchTest, ABareNameIsTriedAsAnInternetAddressAPathOnAMissingDriveIsNot) {
    LoadBox();
    ASSERT_NE(nullptr, combo_);
    Enter("wayfinch-bare-name");
    ASSERT_TRUE(WaitRecorded(1));
    EXPECT_EQ("http://wayfinch-bare-name", Recorded()[0]);
    ASSERT_TRUE(Wait([&] { return Entries() == 1; }));
    EXPECT_EQ("http://wayfinch-bare-name", Entry(0));
    EXPECT_EQ("http://wayfinch-bare-name", EditText());

    testing_support::MessageBoxWatcher boxes(IDOK);
    Enter("Q:\\nothing");
    ASSERT_TRUE(Wait([&] { return boxes.Count() >= 1; }, 5000));
    EXPECT_TRUE(boxes.SawCaption("Wayfinch"));
    EXPECT_EQ(0u, boxes.Seen()[0].text.find("Windows cannot find 'Q:\\nothing'.")) << boxes.Seen()[0].text;
    testing_support::PumpFor(300);
    EXPECT_EQ(1u, Recorded().size());
    EXPECT_EQ(1, Entries());
}

TEST_F(WayfinchTest, TheGoButtonRunsWhenReleasedOverItOnly) {
    CVellumMenuItem_Plugin* item = LoadBox();
    ASSERT_NE(nullptr, combo_);
    SetWindowTextA(Edit(), "http://go.example");
    POINT go = GoButtonCentre(item);
    RECT r = ItemScreenRect(item);
    auto move = [&](int x, int y) {
        SetCursorPos(x, y);
        SendMouse(MOUSEEVENTF_MOVE);
        testing_support::PumpFor(60);
    };
    // Pressed, moved off, back on and released: runs.
    move(go.x, go.y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    testing_support::PumpFor(60);
    move(go.x, r.bottom + 30);
    move(go.x, go.y);
    SendMouse(MOUSEEVENTF_LEFTUP);
    testing_support::PumpFor(60);
    ASSERT_TRUE(WaitRecorded(1));
    EXPECT_EQ("http://go.example", Recorded()[0]);
    // Pressed and released elsewhere: nothing runs.
    move(go.x, go.y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    testing_support::PumpFor(60);
    move(go.x, r.bottom + 30);
    SendMouse(MOUSEEVENTF_LEFTUP);
    testing_support::PumpFor(400);
    EXPECT_EQ(1u, Recorded().size());
    move(10, 10);
}

TEST_F(WayfinchTest, WithoutTheGoButtonTheComboTakesTheWholeWidth) {
    CVellumMenuItem_Plugin* shown = LoadBox("wftest");
    ASSERT_NE(nullptr, combo_);
    RECT item = ItemScreenRect(shown);
    RECT combo;
    GetWindowRect(combo_, &combo);
    EXPECT_EQ((item.right - item.left) - 43 - 4, combo.right - combo.left);
    CloseAllBars();

    WritePrivateProfileStringA("General", "ShowGoButton", "0", (plugins_ + "Wayfinchwfgo.ini").c_str());
    CVellumMenuItem_Plugin* hidden = LoadBox("wfgo");
    ASSERT_NE(nullptr, combo_);
    item = ItemScreenRect(hidden);
    GetWindowRect(combo_, &combo);
    EXPECT_EQ(item.right - item.left, combo.right - combo.left);
}

}  // namespace
}  // namespace plugin_test
