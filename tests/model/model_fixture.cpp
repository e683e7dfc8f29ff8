#include "model_fixture.h"
#include <algorithm>
#include "model/bar_host.h"
#include "model/bar_window.h"
#include "model/command_seam.h"
#include "model/live_objects.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace model_test {

HWND g_after_window_answer = nullptr;

namespace {

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) {
        MainWindowMessages().push_back({msg, wp});
        if (msg == RegisterWindowMessageA("Get After Window - Always On Top"))
            return reinterpret_cast<LRESULT>(g_after_window_answer);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND MakeMainWindow(bool with_stats) {
    HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Model Test Main", MainProc);
    if (!with_stats) RemovePropA(wnd, "lpStatsMonitor");
    return wnd;
}

}  // namespace

std::vector<Delivery>& Deliveries() {
    static std::vector<Delivery> deliveries;
    return deliveries;
}

std::vector<std::pair<UINT, WPARAM>>& MainWindowMessages() {
    static std::vector<std::pair<UINT, WPARAM>> messages;
    return messages;
}

size_t CountMainMessages(UINT msg, WPARAM wp) {
    const auto& all = MainWindowMessages();
    return std::count(all.begin(), all.end(), std::make_pair(msg, wp));
}

HWND MainWindow() {
    static HWND wnd = MakeMainWindow(true);
    return wnd;
}

HWND MainWindowWithoutStats() {
    static HWND wnd = MakeMainWindow(false);
    return wnd;
}

int RecordingSection::destroyed = 0;

RecordingSection::RecordingSection(CVellumMenuObject* bar, const char* name)
    : CVellumMenuSection(bar, 1, 0), name_(name) {}

RecordingSection::~RecordingSection() {
    ++destroyed;
}

void RecordingSection::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    Deliveries().push_back({m_pBar, msg, wp, lp});
    if (on_message) on_message(msg, wp, lp);
    CVellumMenuSection::ProcessUserMessage(msg, wp, lp);
}

int RecordingSection::GetCustomSectionName(char* out) {
    tess::CopyText(out, 64, name_.c_str());
    return 1;
}

void BarTest::SetUp() {
    MainWindow();
    GetBarHostServices() = BarHostServices{};
    SetFileDialogOpen(false);
    Deliveries().clear();
    MainWindowMessages().clear();
    g_after_window_answer = nullptr;
    RecordingSection::destroyed = 0;
}

void BarTest::TearDown() {
    for (CVellumMenuObject* bar : bars_)
        if (IsLiveBar(bar)) CloseBar(bar);
    bars_.clear();
    g_after_window_answer = nullptr;
    GetBarHostServices() = BarHostServices{};
    SetFileDialogOpen(false);
}

CVellumMenuObject* BarTest::NewBar(HWND main) {
    auto* bar = new CVellumMenuObject(main);
    bars_.push_back(bar);
    return bar;
}

CVellumMenuObject* BarTest::NewRecordingBar(RecordingSection** section, const char* name) {
    CVellumMenuObject* bar = NewBar();
    auto* s = new RecordingSection(bar, name);
    bar->InsertSection(-1, s);
    if (section) *section = s;
    return bar;
}

void BarTest::CloseBar(CVellumMenuObject* bar) { testing_support::CloseTestBar(bar, false); }

}  // namespace model_test
