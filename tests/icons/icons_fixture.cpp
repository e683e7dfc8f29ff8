#include "tests/icons/icons_fixture.h"

#include <cstring>

#include "shell/app_state.h"

using namespace testing_support;

namespace icons_test {

namespace {

// The folder with exactly one backslash after it: file dialogs take a
// doubled one for a missing file.
std::string Folder(std::string folder) {
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder + "\\";
}

}  // namespace

std::string FixtureLibrary() { return Folder(BinFolder()) + "icons.dll"; }

std::string FixtureIcon(const std::string& name) {
    return Folder(SourceFolder()) + "tests\\icons\\fixtures\\" + name;
}

std::string WithZeroedImageSizes(std::string ico) {
    const size_t count = static_cast<unsigned char>(ico[4]) | (static_cast<unsigned char>(ico[5]) << 8);
    for (size_t i = 0; i < count; ++i) {
        DWORD offset = 0;
        std::memcpy(&offset, ico.data() + 6 + 16 * i + 12, 4);
        std::memset(&ico[offset + 20], 0, 4);
    }
    return ico;
}

ThemeFolder::ThemeFolder() : previous_(GetCurrentThemeFile()) {
    SetCurrentThemeFile(folder_.File("theme.tstheme").c_str());
}

ThemeFolder::~ThemeFolder() { SetCurrentThemeFile(previous_.c_str()); }

namespace {

struct Pending {
    int marker = 0;
    std::function<void(HWND)> drive;
    bool ran = false;
    HWND dialog = nullptr;
    std::vector<AnsweredBox> boxes;
    std::string file_answer;
};
Pending g_pending;

BOOL CALLBACK CollectShownDialog(HWND wnd, LPARAM list) {
    char cls[16] = "";
    GetClassNameA(wnd, cls, sizeof(cls));
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
    return TRUE;
}

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectShownDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The file name field of the common file dialogs (explorer style, old style).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

void AnswerBox(HWND box) {
    char caption[512] = "", text[1024] = "";
    GetWindowTextA(box, caption, sizeof(caption));
    if (IsFileDialog(box)) {
        g_pending.boxes.push_back({caption, "file dialog"});
        if (g_pending.file_answer.empty()) {
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        const int field = GetDlgItem(box, kFileNameCombo) ? kFileNameCombo : kFileNameEdit;
        SetDlgItemTextA(box, field, g_pending.file_answer.c_str());
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
    }
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    g_pending.boxes.push_back({caption, text});
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND wnd : ThreadDialogs()) {
        if (wnd == g_pending.dialog) continue;
        if (GetDlgItem(wnd, g_pending.marker)) {
            if (g_pending.ran || !IsWindowEnabled(wnd) || !g_pending.drive) continue;
            g_pending.ran = true;
            g_pending.dialog = wnd;
            auto drive = g_pending.drive;
            drive(wnd);
            if (IsWindow(wnd) && IsWindowVisible(wnd)) EndDialog(wnd, IDCANCEL);
            return;
        }
        // Each box once: it stays until its own loop takes the posted OK.
        const HWND answered = reinterpret_cast<HWND>(GetPropA(wnd, "IconsTestAnswered"));
        if (answered) continue;
        SetPropA(wnd, "IconsTestAnswered", wnd);
        AnswerBox(wnd);
    }
}

}  // namespace

DialogDriver::DialogDriver(int marker, std::function<void(HWND)> drive) {
    g_pending = Pending{};
    g_pending.marker = marker;
    g_pending.drive = std::move(drive);
    timer_ = SetTimer(nullptr, 0, 30, DriveDialog);
}

DialogDriver::~DialogDriver() {
    KillTimer(nullptr, timer_);
    g_pending = Pending{};
}

bool DialogDriver::Ran() const { return g_pending.ran; }
void DialogDriver::AnswerFileDialogs(const std::string& file) { g_pending.file_answer = file; }

bool IsFileDialog(HWND dialog) {
    return GetDlgItem(dialog, kFileNameCombo) != nullptr || GetDlgItem(dialog, kFileNameEdit) != nullptr;
}
std::vector<AnsweredBox> DialogDriver::Boxes() const { return g_pending.boxes; }

std::string DlgText(HWND dialog, int id) {
    char text[2048] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace icons_test
