// Plug-in items in bars: size, drawing through the plug-in, clicks, the
// state relay, the instance id and the configure sequence.
#include "model/live_objects.h"
#include "model/registered_names.h"
#include "model/vellum_menu_section.h"
#include "plugin_fixture.h"
#include "types/plugin_host.h"

namespace plugin_test {
namespace {

int Count(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(Only(lines, {prefix}).size());
}

SIZE ItemSize(CVellumMenuItem* item) {
    return SIZE{item->m_itemRect.right - item->m_itemRect.left,
                item->m_itemRect.bottom - item->m_itemRect.top};
}

using PluginItemTest = PluginTest;

TEST_F(PluginItemTest, ThePluginSizesTheItemOnlyWhenItPaintsAndAnswers) {
    std::string answers = Probe("answers", {"Capabilities=3", "Width=77", "Height=33"});
    std::string paints = Probe("paints", {"Capabilities=1", "Width=77", "Height=33"});
    CVellumMenuObject* bar = LoadBarWith(
        "Sizes", {100, 100, 600, 160},
        {"[Section1]", "Item1.Type=Plugin", "Item1.Title=Same", "Item1.Plugin=" + answers,
         "Item2.Type=Plugin", "Item2.Title=Same", "Item2.Plugin=" + paints, "Item3.Title=Same"});
    CVellumMenuItem_Plugin* sized = Plugin(bar, 0);
    ASSERT_NE(nullptr, sized);
    EXPECT_EQ(77, ItemSize(sized).cx);
    EXPECT_EQ(33, ItemSize(sized).cy);
    // Without 0x2 the plug-in is not asked and the host's size stands.
    SIZE host = ItemSize(bar->m_sections[0]->m_items[2]);
    EXPECT_EQ(host.cx, ItemSize(Plugin(bar, 1)).cx);
    EXPECT_EQ(0, Count(LogOf(paints), "GETSIZE"));
    EXPECT_GT(Count(LogOf(answers), "GETSIZE"), 0);
}

TEST_F(PluginItemTest, MagentaInThePluginsPaintShowsTheBarThrough) {
    std::string dll = Probe("painter", {"Capabilities=3", "Width=80", "Height=30", "PaintSplit=1"});
    CVellumMenuObject* bar = LoadBarWith(
        "Painted", {200, 200, 500, 240},
        {"[Section1]", "Item1.Type=Plugin", "Item1.Plugin=" + dll, "Item2.Title=Beside"});
    CVellumMenuItem_Plugin* item = Plugin(bar, 0);
    ASSERT_NE(nullptr, item);
    ASSERT_TRUE(item->m_attached);
    // Drawn anew once attached: the plug-in paints the item.
    bar->RecalcRects(kRecalcRedraw, kRecalcKeepPos);
    ASSERT_TRUE(Wait([&] { return Count(LogOf(dll), "PAINT") > 0; }));
    testing_support::PumpFor(200);
    RECT r = ItemScreenRect(item);
    testing_support::ScreenCapture shot(r);
    ASSERT_TRUE(shot.Valid());
    const int y = shot.Height() / 2;
    EXPECT_EQ(RGB(0, 200, 0), shot.Pixel(shot.Width() / 4, y));
    COLORREF right = shot.Pixel(shot.Width() * 3 / 4, y);
    EXPECT_NE(RGB(255, 0, 255), right);
    EXPECT_NE(RGB(0, 200, 0), right);
}

TEST_F(PluginItemTest, AClickGoesToThePluginOnlyWhenItAsks) {
    std::string quiet = Probe("quiet", {"Capabilities=0"});
    std::string asks = Probe("asks", {"Capabilities=4"});
    CVellumMenuObject* bar = LoadBarWith(
        "Clicks", {200, 300, 500, 330},
        {"[Section1]", "Item1.Type=Plugin", "Item1.Title=Quiet", "Item1.Plugin=" + quiet,
         "Item1.Action=2", "Item2.Type=Plugin", "Item2.Title=Asks", "Item2.Plugin=" + asks});
    Click(Plugin(bar, 0));
    Click(Plugin(bar, 1));
    EXPECT_TRUE(Wait([&] { return Count(LogOf(asks), "COMMAND") == 1; }));
    EXPECT_EQ(0, Count(LogOf(quiet), "COMMAND"));
    EXPECT_TRUE(IsLiveBar(bar));
}

TEST_F(PluginItemTest, ThePluginsReplyDecidesTheState) {
    const struct {
        const char* reply;
        UINT state;
        const char* custom;
    } cases[] = {{"Mouse up", 6, ""}, {"Mouse down", 8, ""}, {"Glow", 7, "Glow"}, {"", 7, ""}};
    for (const auto& c : cases) {
        std::string dll = Probe(std::string("reply") + std::to_string(&c - cases),
                                {std::string("Reply=") + c.reply, "States=Glow"});
        CVellumMenuObject* bar = LoadBarWith("States", {100, 100, 400, 130},
                                             {"[Section1]", "Item1.Type=Plugin", "Item1.Plugin=" + dll});
        CVellumMenuItem_Plugin* item = Plugin(bar, 0);
        ASSERT_NE(nullptr, item);
        item->SetState(7, 0);
        EXPECT_EQ(c.state, item->m_state) << c.reply;
        EXPECT_STREQ(c.custom, item->m_customState) << c.reply;
        EXPECT_EQ(1, Count(LogOf(dll), "STATECHANGE Mouse over")) << c.reply;
        CloseAllBars();
    }
}

TEST_F(PluginItemTest, AMissingInstanceIdIsMadeAndTheBarMarked) {
    std::string dll = Probe("noid");
    CVellumMenuObject* bar = LoadBarWith("NoId", {100, 100, 400, 130},
                                         {"[Section1]", "Item1.Type=Plugin", "Item1.Plugin=" + dll});
    CVellumMenuItem_Plugin* item = Plugin(bar, 0);
    ASSERT_NE(nullptr, item);
    ASSERT_NE('\0', item->m_instanceId[0]);
    EXPECT_TRUE(bar->m_modifiedSilently);
    EXPECT_EQ(1, Count(LogOf(dll), std::string("LOAD ") + item->m_instanceId));
    // Saved: the library relative to the plug-ins folder, the id kept.
    std::string file = bars_ + "NoId.tsbar";
    ASSERT_EQ(1, bar->Save(const_cast<char*>(file.c_str())));
    char id[64] = "";
    GetPrivateProfileStringA("Section1", "Item1.Plugin.InstanceID", "", id, sizeof(id), file.c_str());
    EXPECT_STREQ(item->m_instanceId, id);
    char type[32] = "";
    GetPrivateProfileStringA("Section1", "Item1.Type", "", type, sizeof(type), file.c_str());
    EXPECT_STREQ("Plugin", type);
}

TEST_F(PluginItemTest, TheConfigureSequencePutsANewItemWithTheOldIdInItsSlot) {
    std::string dll = Probe("configured");
    CVellumMenuObject* bar = LoadBarWith(
        "Configure", {100, 100, 400, 130},
        {"[Section1]", "Item1.Title=Before", "Item2.Type=Plugin", "Item2.Plugin=" + dll,
         "Item2.Plugin.InstanceID=kept", "Item3.Title=After"});
    CVellumMenuItem_Plugin* w = Plugin(bar, 1);
    ASSERT_NE(nullptr, w);
    const UINT configure = RegisterWindowMessageA(RegisteredNameText(RegisteredName::ConfigurePlugin));
    EXPECT_EQ(1, SendMessageA(MainWindow(), configure, reinterpret_cast<WPARAM>(w), 0));
    CVellumMenuItem_Plugin* n = Plugin(bar, 1);
    ASSERT_NE(nullptr, n);
    EXPECT_FALSE(IsLiveItem(w));
    EXPECT_STREQ("kept", n->m_instanceId);
    EXPECT_TRUE(n->IsPluginLoaded());
    EXPECT_TRUE(n->m_attached);
    EXPECT_EQ(3, bar->m_sections[0]->GetNumOfItems());
    std::vector<std::string> log = LogOf(dll);
    EXPECT_EQ(1, Count(log, "CONFIGURE"));
    EXPECT_EQ(2, Count(log, "CLONE"));
    EXPECT_EQ(1, Count(log, "INITIALIZE"));
    EXPECT_EQ(0, Count(log, "MODULEDONE"));
    CloseAllBars();
    EXPECT_EQ(1, Count(LogOf(dll), "MODULEDONE"));
    EXPECT_EQ(nullptr, GetModuleHandleA(dll.c_str()));
}

TEST_F(PluginItemTest, TheConfigureSequenceSurvivesItsBarClosingDuringTheDialog) {
    std::string dll = Probe("closing", {"ConfigureLoopMs=400"});
    CVellumMenuObject* bar = LoadBarWith("Closing", {100, 100, 400, 130},
                                         {"[Section1]", "Item1.Type=Plugin", "Item1.Plugin=" + dll});
    CVellumMenuItem_Plugin* w = Plugin(bar, 0);
    ASSERT_NE(nullptr, w);
    bar->m_neverSave = TRUE;
    bar->Destroy();   // reaches the bar while the plug-in's dialog runs
    const UINT configure = RegisterWindowMessageA(RegisteredNameText(RegisteredName::ConfigurePlugin));
    SendMessageA(MainWindow(), configure, reinterpret_cast<WPARAM>(w), 0);
    EXPECT_TRUE(Wait([&] { return !IsLiveBar(bar); }));
    std::vector<std::string> log = LogOf(dll);
    EXPECT_EQ(1, Count(log, "CONFIGURE"));
    EXPECT_EQ(Count(log, "CREATEINSTANCE"), Count(log, "ENDINSTANCE"));
    EXPECT_EQ(1, Count(log, "MODULEDONE"));
    EXPECT_EQ(nullptr, GetModuleHandleA(dll.c_str()));
}

}  // namespace
}  // namespace plugin_test
