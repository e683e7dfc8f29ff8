// Bar files loaded into real bars and saved back, compared key by key: the
// write rules of every key, the order of the written keys, and a second
// round trip that gives the same file again.
#include "barfile_fixture.h"
#include <cstring>
#include "skins/skin_cache.h"
#include "model/live_objects.h"
#include "util/profile_writer.h"

using namespace barfile_test;

namespace {

struct RoundTripCase {
    const char* name;
    std::vector<std::string> file;
    std::vector<Expect> expects;
};

const std::vector<RoundTripCase>& Cases() {
    static const std::vector<RoundTripCase> cases = {
        {"defaults are not written",
         {"[Object]", "Title=Start", "[Section1]", "Item1.Title=One", "Item2.Title=Two"},
         {{"Object", "Title", "Start"},
          {"Object", "ShowTitle", "0"},
          {"Object", "Comments", nullptr},
          {"Object", "Alpha", nullptr},
          {"Object", "LastSkin", ""},
          {"Object", "AlwaysOnTop", "1"},
          {"Object", "AlwaysOnTopOrder", "0"},
          {"Object", "DockToEdge", nullptr},
          {"Object", "UseAutohide", nullptr},
          {"Object", "ForcedAutoHideEdge", nullptr},
          {"Object", "RespondToWindowsKey", nullptr},
          {"Object", "vkHotkey", nullptr},
          {"Object", "vkHotkeyModifiers", nullptr},
          {"Object", "bHideBarUntilHotkey", "0"},
          {"Object", "bReshowUnderMouse", nullptr},
          {"Object", "WidthResizableWhenVertical", "1"},
          {"Object", "IsATabStop", nullptr},
          {"Object", "DisplayVertically", "0"},
          {"Object", "ResizingMovingLeft", nullptr},
          {"Object", "ResizingMovingUp", nullptr},
          {"Object", "bRestrictMaximumSize", "1"},
          {"Object", "bIgnoreSkinAutohideSettings", nullptr},
          {"Object", "bUseScreenSizes", "1"},
          {"Object", "SetAsHidden", nullptr},
          {"Object", "BlockHazeglow", nullptr},
          {"Object", "UseLVSkin", "-1"},
          // Made outside a theme load, the bar entered the tab order at its front.
          {"Object", "LastTabOrder", "0"},
          {"Object", "LastMonitor", ""},
          {"Object", "XAlign", nullptr},
          {"Section1", "Properties.AlwaysShowPopupArrows", nullptr},
          {"Section1", "Properties.IsHidden", nullptr},
          {"Section1", "Properties.DefaultIconSize", nullptr},
          // Properties.LastWidth is the width the layout gave the section.
          {"Section1", "Properties.MaxItemWidth", "300"},
          {"Section1", "Properties.ForceValid", "1"},
          {"Section1", "Item1.Title", "One"},
          {"Section1", "Item1.IconSize", "16"},
          {"Section1", "Item1.TextOnlyAlign", "-1"},
          {"Section1", "Item1.Separator", nullptr},
          {"Section1", "Item1.Icon", nullptr},
          {"Section1", "Item1.DisplayAsBitmap", nullptr},
          {"Section1", "Item1.iLayerToActOn", nullptr},
          {"Section1", "Item2.Title", "Two"}}},
        {"keys written only when set",
         {"[Object]", "Title=Tools", "Alpha=200", "DockToEdge=2", "UseAutohide=1",
          "ForcedAutoHideEdge=3", "IsATabStop=0", "vkHotkey=65", "vkHotkeyModifiers=2",
          "RespondToWindowsKey=1", "bHideBarUntilHotkey=1", "bReshowUnderMouse=1",
          "SetAsHidden=1", "BlockHazeglow=1", "ResizingMovingLeft=1", "ResizingMovingUp=1",
          "bIgnoreSkinAutohideSettings=1", "DisplayVertically=1", "LastPos.x=33",
          "LastSize.cx=120", "ptMAXPixels.y=77", "bScaleCY=1", "UseLVSkin=4", "ShowTitle=1",
          "[Section1]", "Properties.IsHidden=1", "Properties.AlwaysShowPopupArrows=1",
          "Properties.DefaultIconSize=32", "Properties.LastWidth=80", "Properties.MaxItemWidth=-1",
          "Item1.Title=A", "Item1.iLayerToActOn=3", "Item1.bAttachLayer=1", "Item1.vkHotkey=70",
          "Item1.vkHotkeyModifiers=1", "Item1.RespondToWindowsKey=1", "Item1.UseActiveText=1"},
         {{"Object", "Alpha", "200"},
          {"Object", "DockToEdge", "2"},
          {"Object", "UseAutohide", "1"},
          {"Object", "ForcedAutoHideEdge", "3"},
          {"Object", "IsATabStop", "0"},
          {"Object", "vkHotkey", "65"},
          {"Object", "vkHotkeyModifiers", "2"},
          {"Object", "RespondToWindowsKey", "1"},
          {"Object", "bHideBarUntilHotkey", "1"},
          {"Object", "bReshowUnderMouse", "1"},
          {"Object", "SetAsHidden", "1"},
          {"Object", "BlockHazeglow", "1"},
          {"Object", "ResizingMovingLeft", "1"},
          {"Object", "ResizingMovingUp", "1"},
          {"Object", "bIgnoreSkinAutohideSettings", "1"},
          {"Object", "DisplayVertically", "1"},
          // LastPos and LastSize: where docking at the right edge put the bar (below).
          {"Object", "ptMAXPixels.y", "77"},
          {"Object", "bScaleCY", "1"},
          {"Object", "UseLVSkin", "4"},
          {"Object", "ShowTitle", "1"},
          {"Section1", "Properties.IsHidden", "1"},
          {"Section1", "Properties.AlwaysShowPopupArrows", "1"},
          {"Section1", "Properties.DefaultIconSize", "32"},
          {"Section1", "Properties.LastWidth", "80"},
          {"Section1", "Properties.MaxItemWidth", "43957"},
          {"Section1", "Item1.iLayerToActOn", "3"},
          {"Section1", "Item1.bAttachLayer", "1"},
          {"Section1", "Item1.vkHotkey", "70"},
          {"Section1", "Item1.vkHotkeyModifiers", "1"},
          {"Section1", "Item1.RespondToWindowsKey", "1"},
          {"Section1", "Item1.UseActiveText", "1"},
          {"Section1", "Item1.IconSize", "32"}}},
        {"values that read as their default are not written",
         {"[Object]", "Title=X", "Alpha=-1", "DockToEdge=7", "IsATabStop=1", "UseAutohide=2",
          "bReshowUnderMouse=1", "vkHotkeyModifiers=5", "XAlign=4", "YAlign=5", "[Section1]",
          "Properties.DefaultIconSize=16", "Properties.IsHidden=0",
          "Properties.AlwaysShowPopupArrows=0", "Item1.Title=A", "Item1.iLayerToActOn=-1",
          "Item1.IsSectionAnchor=1"},
         {{"Object", "Alpha", nullptr},
          {"Object", "DockToEdge", nullptr},
          {"Object", "IsATabStop", nullptr},
          {"Object", "UseAutohide", nullptr},
          {"Object", "bReshowUnderMouse", nullptr},
          {"Object", "vkHotkeyModifiers", nullptr},
          {"Object", "XAlign", nullptr},
          {"Object", "YAlign", nullptr},
          {"Section1", "Properties.DefaultIconSize", nullptr},
          {"Section1", "Properties.IsHidden", nullptr},
          {"Section1", "Properties.AlwaysShowPopupArrows", nullptr},
          {"Section1", "Item1.iLayerToActOn", nullptr},
          {"Section1", "Item1.IsSectionAnchor", nullptr}}},
        {"section types: default names leave no type, known ones keep theirs",
         {"[Object]", "Title=T", "[Section1]", "Properties.Type=Default", "Item1.Title=A",
          "[Section2]", "Properties.Type=Bogus", "Item1.Title=B", "[Section3]",
          "Properties.Type=system tray", "Properties.ForceValid=1", "[Section4]",
          "Properties.Type=TASKBAR", "Properties.ForceValid=1", "[Section5]",
          "Properties.Type=Virtual Desktops", "Properties.ForceValid=1"},
         {{"Section1", "Properties.Type", nullptr},
          {"Section2", "Properties.Type", nullptr},
          {"Section3", "Properties.Type", "Systray"},
          {"Section4", "Properties.Type", "Taskbar"},
          {"Section5", "Properties.Type", "Panorel"}}},
        {"item types fall back to the default item and keep their type name",
         {"[Object]", "Title=T", "[Section1]", "Item1.Type=SHORTCUT", "Item1.Title=S",
          "Item2.Type=Folder", "Item2.Title=F", "Item3.Type=clock", "Item3.Title=C",
          // The clock's title is its text, here a constant.
          "Item3.Clock.UseCustomStrings=1", "Item3.Clock.TimeString1='C'!"},
         {{"Section1", "Item1.Type", "Shortcut"},
          {"Section1", "Item2.Type", nullptr},
          {"Section1", "Item3.Type", "Clock"},
          {"Section1", "Item3.Title", "C!"}}},
        {"titles with line breaks and popup menu entries",
         {"[Object]", "Title=T", "[Section1]", "Item1.Title=Line one\\nLine two", "Item1.Action=1",
          "Item1.Item1.Separator=1", "Item1.Item2.Title=Copy", "Item1.Item2.Action=13",
          "Item1.Item3.Title=Paste", "Item1.Item3.Action=14", "Item1.Item5.Title=Lost",
          "Item1.Item5.Action=9"},
         {{"Section1", "Item1.Title", "Line one\\nLine two"},
          {"Section1", "Item1.Action", "1"},
          {"Section1", "Item1.Item1.Separator", "1"},
          {"Section1", "Item1.Item2.Title", "Copy"},
          {"Section1", "Item1.Item2.Action", "13"},
          {"Section1", "Item1.Item3.Title", "Paste"},
          {"Section1", "Item1.Item3.Action", "14"},
          {"Section1", "Item1.Item4.Title", nullptr},
          {"Section1", "Item1.Item5.Title", nullptr}}},
        {"bitmap items write their bitmap keys",
         {"[Object]", "Title=T", "[Section1]", "Item1.Title=B", "Item1.DisplayAsBitmap=1",
          "Item1.UseTransparency=0", "Item1.BitmapAlign=2", "Item1.PathRelativeToSkin=1",
          "Item1.NormalBitmap=parts\\n.bmp", "Item1.nCustomStates=2",
          "Item1.CustomState0.Name=Hot", "Item1.CustomState0.BmpPath=hot.bmp",
          "Item1.CustomState1.Name=Cold", "Item1.CustomState1.BmpPath=cold.bmp",
          "Item2.Title=plain", "Item2.UseTransparency=0", "Item2.BitmapAlign=2"},
         {{"Section1", "Item1.DisplayAsBitmap", "1"},
          {"Section1", "Item1.UseTransparency", "0"},
          {"Section1", "Item1.BitmapAlign", "2"},
          {"Section1", "Item1.PathRelativeToSkin", "1"},
          {"Section1", "Item1.NormalBitmap", "parts\\n.bmp"},
          {"Section1", "Item1.MouseoverBitmap", ""},
          {"Section1", "Item1.nCustomStates", "2"},
          {"Section1", "Item1.CustomState1.Name", "Cold"},
          {"Section1", "Item1.CustomState1.BmpPath", "cold.bmp"},
          {"Section1", "Item2.UseTransparency", nullptr},
          {"Section1", "Item2.BitmapAlign", nullptr}}},
    };
    return cases;
}

class RoundTripTest : public BarFileTest {};

// Checks every section of a saved file for the write order the format has.
void CheckWriteOrder(const IniText& ini, const char* case_name) {
    const IniSection* object = ini.Find("Object");
    ASSERT_NE(nullptr, object) << case_name;
    EXPECT_EQ(0, object->IndexOf("Title")) << case_name;
    EXPECT_EQ("LastMonitor", object->keys.back().first) << case_name;
    EXPECT_LT(object->IndexOf("UseLVSkin"), object->IndexOf("LastTabOrder")) << case_name;
    for (const IniSection& section : ini.sections) {
        if (section.name == "Object") continue;
        EXPECT_EQ(0, section.IndexOf("Title")) << case_name << " " << section.name;
        int force_valid = section.IndexOf("Properties.ForceValid");
        ASSERT_GE(force_valid, 0) << case_name << " " << section.name;
        int last_property = -1;
        int first_item = static_cast<int>(section.keys.size());
        for (size_t i = 0; i < section.keys.size(); ++i) {
            const std::string& key = section.keys[i].first;
            if (key.rfind("Properties.", 0) == 0 && key != "Properties.Type")
                last_property = static_cast<int>(i);
            if (key.rfind("Item", 0) == 0 && first_item == static_cast<int>(section.keys.size()))
                first_item = static_cast<int>(i);
        }
        EXPECT_EQ(force_valid, last_property) << case_name << " " << section.name;
        EXPECT_LT(force_valid, first_item) << case_name << " " << section.name;
    }
}

}  // namespace

TEST_F(RoundTripTest, FixtureFilesSaveBackKeyByKey) {
    for (const RoundTripCase& c : Cases()) {
        std::string in = WriteBarFile("in.tsbar", Lines(c.file));
        CVellumMenuObject* bar = LoadBar(in);
        std::string out = temp_.File("out.tsbar");
        ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str()))) << c.name;
        IniText ini = ParseIniFile(out);
        CheckKeys(ini, c.expects, c.name);
        if (HasFatalFailure()) return;
        CheckWriteOrder(ini, c.name);
        // The place is what the bar's placement gave it.
        const BarPlacement& place = bar->m_placement;
        CheckKeys(ini,
                  {{"Object", "LastPos.x", std::to_string(place.LastPos.x).c_str()},
                   {"Object", "LastPos.y", std::to_string(place.LastPos.y).c_str()},
                   {"Object", "LastSize.cx", std::to_string(place.LastSize.cx).c_str()},
                   {"Object", "LastSize.cy", std::to_string(place.LastSize.cy).c_str()}},
                  c.name);

        // What the program wrote reads back into the same file.
        std::string again = temp_.File("again.tsbar");
        CVellumMenuObject* second = LoadBar(out);
        ASSERT_EQ(1, second->Save(const_cast<char*>(again.c_str()))) << c.name;
        EXPECT_EQ(testing_support::ReadFileBytes(out), testing_support::ReadFileBytes(again))
            << c.name;
        DeleteFileA(out.c_str());
        DeleteFileA(again.c_str());
    }
}

namespace {

struct KeyWrite {
    std::string section, key, value;
    bool has_key, has_value;
};
std::vector<KeyWrite> g_journal;
std::string g_journal_file;

void RecordWrite(const char* section, const char* key, const char* value, const char* file) {
    if (!section || !file || lstrcmpiA(file, g_journal_file.c_str()) != 0) return;
    g_journal.push_back({section, key ? key : "", value ? value : "", key != nullptr,
                         value != nullptr});
}

}  // namespace

// The whole file composed at once is byte for byte the file that the same
// keys give when written one by one into an empty file through the system.
TEST_F(RoundTripTest, FixtureFilesSaveToTheBytesOfKeyByKeyWrites) {
    tess::WriteObserverHook() = RecordWrite;
    for (const RoundTripCase& c : Cases()) {
        std::string in = WriteBarFile("in.tsbar", Lines(c.file));
        CVellumMenuObject* bar = LoadBar(in);
        g_journal_file = temp_.File("whole.tsbar");
        g_journal.clear();
        ASSERT_EQ(1, bar->Save(const_cast<char*>(g_journal_file.c_str()))) << c.name;
        EXPECT_GT(g_journal.size(), 20u) << c.name;

        std::string keyed = temp_.File("keyed.tsbar");
        ASSERT_TRUE(testing_support::WriteFileBytes(keyed, ""));
        for (const KeyWrite& w : g_journal)
            WritePrivateProfileStringA(w.section.c_str(), w.has_key ? w.key.c_str() : nullptr,
                                       w.has_value ? w.value.c_str() : nullptr, keyed.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, keyed.c_str());
        EXPECT_EQ(testing_support::ReadFileBytes(keyed),
                  testing_support::ReadFileBytes(g_journal_file))
            << c.name;
        DeleteFileA(keyed.c_str());
        DeleteFileA(g_journal_file.c_str());
    }
    tess::WriteObserverHook() = nullptr;
}

TEST_F(RoundTripTest, CommentLineBreaksAreStoredAsTwoBytesAndReadBack) {
    std::string in = WriteBarFile("c.tsbar", Lines({"[Object]", "Title=C",
                                                    "Comments=first\xAF\xAFsecond\xAF\xAFthird"}));
    CVellumMenuObject* bar = LoadBar(in);
    EXPECT_STREQ("first\r\nsecond\r\nthird", bar->Comments);

    std::string out = temp_.File("c_out.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str())));
    std::string bytes = testing_support::ReadFileBytes(out);
    EXPECT_NE(std::string::npos, bytes.find("Comments=first\xAF\xAFsecond\xAF\xAFthird\r\n"));

    // A comment typed with line breaks stays on one line of the file.
    delete[] bar->Comments;
    bar->Comments = new char[16];
    strcpy(bar->Comments, "a\r\nb");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str())));
    CVellumMenuObject* again = LoadBar(out);
    EXPECT_STREQ("a\r\nb", again->Comments);
}

TEST_F(RoundTripTest, ItemsAreRenumberedFromOneWithoutGaps) {
    std::string in = WriteBarFile("r.tsbar", Lines({"[Object]", "Title=R", "[Section1]",
                                                    "Item1.Title=One", "Item2.Title=Two",
                                                    "Item3.Title=Three", "[Section2]",
                                                    "Item1.Title=Other"}));
    CVellumMenuObject* bar = LoadBar(in);
    ASSERT_EQ(2, bar->GetSectionCount());
    ASSERT_EQ(3, bar->m_sections[0]->GetNumOfItems());
    bar->m_sections[0]->RemoveItem(0, 1);
    bar->RemoveSection(0, 1);   // Section2 becomes Section1
    bar->InsertSection(-1, new CVellumMenuSection(bar, 7, 0));
    std::string out = temp_.File("r_out.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str())));
    IniText ini = ParseIniFile(out);
    ASSERT_NE(nullptr, ini.Find("Section1"));
    EXPECT_EQ("Other", *ini.Find("Section1")->Get("Item1.Title"));
    ASSERT_NE(nullptr, ini.Find("Section2"));
    EXPECT_EQ(nullptr, ini.Find("Section2")->Get("Item1.Title"));
    EXPECT_EQ(nullptr, ini.Find("Section3"));
    EXPECT_EQ(nullptr, ini.Find("Section7"));

    CVellumMenuObject* reread = LoadBar(out);
    // The empty section stays: its ForceValid keeps it.
    EXPECT_EQ(2, reread->GetSectionCount());
}

TEST_F(RoundTripTest, RelativePathsStayRelative) {
    temp_.MakeFolder("Skins");
    temp_.Write("Skins\\own.tsskin", Lines({"[Skin]", "Name=own"}));
    temp_.MakeFolder("Icons");
    std::string in = WriteBarFile(
        "p.tsbar", Lines({"[Object]", "Title=P", "LastSkin=Skins\\own.tsskin", "[Section1]",
                          "Item1.Title=A", "Item1.Icon=Icons\\a.ico", "Item1.IconIndex=2",
                          "Item1.Icon2=..\\b.ico", "Item1.DisplayAsBitmap=1",
                          "Item1.NormalBitmap=Icons\\n.bmp"}));
    CVellumMenuObject* bar = LoadBar(in);
    ASSERT_NE(nullptr, bar->m_skin);
    EXPECT_NE(nullptr, StrStrIA(bar->m_skin->path, "own.tsskin"));
    CVellumMenuItem* item = bar->m_sections[0]->m_items[0];
    // In memory the paths are full ones.
    EXPECT_EQ(temp_.File("Icons\\a.ico"), item->Icon);
    EXPECT_EQ(temp_.File("Icons\\n.bmp"), item->NormalBitmap);

    std::string out = temp_.File("p_out.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str())));
    IniText ini = ParseIniFile(out);
    const IniSection* section = ini.Find("Section1");
    ASSERT_NE(nullptr, section);
    auto relative_to = [&](const char* key, const std::string& expected_full) {
        const std::string* value = section->Get(key);
        ASSERT_NE(nullptr, value) << key;
        EXPECT_EQ(std::string::npos, value->find(':')) << key << "=" << *value;
        char full[MAX_PATH];
        PathCombineA(full, temp_.Path().c_str(), value->c_str());
        EXPECT_STRCASEEQ(expected_full.c_str(), full) << key;
    };
    relative_to("Item1.Icon", temp_.File("Icons\\a.ico"));
    relative_to("Item1.NormalBitmap", temp_.File("Icons\\n.bmp"));
    EXPECT_EQ("2", *section->Get("Item1.IconIndex"));
    EXPECT_EQ("Skins\\own.tsskin", *ini.Find("Object")->Get("LastSkin"));
}

TEST_F(RoundTripTest, SkinsComeFromTheCacheAndGoBackToIt) {
    temp_.MakeFolder("Skins");
    temp_.Write("Skins\\shared.tsskin", Lines({"[Skin]", "Name=shared"}));
    temp_.Write("Skins\\theme.tsskin", Lines({"[Skin]", "Name=theme"}));
    std::string file = Lines({"[Object]", "Title=S", "LastSkin=Skins\\shared.tsskin"});
    std::string path = WriteBarFile("s.tsbar", file);
    std::string shared = temp_.File("Skins\\shared.tsskin");

    CVellumMenuObject* first = LoadBar(path);
    SkinRecord* record = FindCachedSkin(shared.c_str());
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(record, first->m_skin);
    EXPECT_EQ(1, record->reference_count);
    CVellumMenuObject* second = LoadBar(path);
    EXPECT_EQ(record, second->m_skin);
    EXPECT_EQ(2, record->reference_count);

    // The theme's skin wins over the bar's own; the old one is given back.
    std::string theme = temp_.File("Skins\\theme.tsskin");
    second->LoadTheme(const_cast<char*>(path.c_str()), 0, const_cast<char*>(theme.c_str()));
    EXPECT_EQ(1, record->reference_count);
    EXPECT_EQ(FindCachedSkin(theme.c_str()), second->m_skin);

    second->m_neverSave = TRUE;
    second->Destroy();
    testing_support::PumpUntil([second] { return !IsLiveBar(second); }, 3000);
    EXPECT_EQ(nullptr, FindCachedSkin(theme.c_str()));
    EXPECT_EQ(1, record->reference_count);
}

TEST_F(RoundTripTest, EveryObjectKeyIsWrittenInItsOrder) {
    std::string in = WriteBarFile(
        "o.tsbar", Lines({"[Object]", "Title=O", "Comments=c", "Alpha=9", "DockToEdge=1",
                          "UseAutohide=1", "RespondToWindowsKey=1", "vkHotkey=65",
                          "bHideBarUntilHotkey=1", "IsATabStop=0", "ResizingMovingLeft=1",
                          "ResizingMovingUp=1", "bIgnoreSkinAutohideSettings=1", "SetAsHidden=1",
                          "BlockHazeglow=1"}));
    CVellumMenuObject* bar = LoadBar(in);
    std::string out = temp_.File("o_out.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(out.c_str())));
    const std::vector<std::string> expected = {
        "Title", "ShowTitle", "Comments", "Alpha", "LastSkin", "AlwaysOnTop", "AlwaysOnTopOrder",
        "DockToEdge", "UseAutohide", "ForcedAutoHideEdge", "RespondToWindowsKey", "vkHotkey",
        "vkHotkeyModifiers", "bHideBarUntilHotkey", "bReshowUnderMouse",
        "WidthResizableWhenVertical", "IsATabStop", "DisplayVertically", "ResizingMovingLeft",
        "ResizingMovingUp", "bRestrictMaximumSize", "bIgnoreSkinAutohideSettings",
        "bUseActiveWindowsTitle", "bUseScreenSizes", "ptMINModifiers.x", "ptMINModifiers.y",
        "ptMINPixels.x", "ptMINPixels.y", "ptMINSubtract.x", "ptMINSubtract.y",
        "ptMAXModifiers.x", "ptMAXModifiers.y", "ptMAXPixels.x", "ptMAXPixels.y",
        "ptMAXSubtract.x", "ptMAXSubtract.y", "bScaleCX", "bScaleCY", "bScaleX", "bScaleY",
        "SetAsHidden", "BlockHazeglow", "UseLVSkin", "LastTabOrder", "LastPos.x", "LastPos.y",
        "LastSize.cx", "LastSize.cy", "bAlignX", "bAlignY", "LastScreenSize.cx",
        "LastScreenSize.cy", "bWasHiddenOnLastCloseByPopup", "LastMonitor"};
    std::vector<std::string> written;
    IniText ini = ParseIniFile(out);
    for (const auto& pair : ini.Find("Object")->keys) written.push_back(pair.first);
    EXPECT_EQ(expected, written);
}
