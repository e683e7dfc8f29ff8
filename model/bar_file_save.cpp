// Writing a bar file: the [Object] keys, the position keys, the sections,
// the automatic file name, the screenshot beside the file and duplicates.
//
// A save composes the whole file in memory, writes it to a temporary file in
// the bar file's folder and then replaces the bar file with it in one step,
// so a reader (or a crash, or a full disk) sees either the old file or the
// new one, never a half-written one.
#include <windows.h>
#include <shlwapi.h>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include "model/bar_file.h"
#include "model/plugin_calls.h"
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_cache.h"
#include "util/general_helpers.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr unsigned char kCommentLineBreak = 0xAF;
constexpr int kFlashInversions = 10;
constexpr DWORD kFlashIntervalMs = 50;
constexpr int kMaxAutomaticNameTries = 10000;
constexpr const char kObjectSection[] = "Object";
constexpr const char kDuplicateFileName[] = "tempduplicate~~123.tsbar";

bool HostSays(bool (*query)()) {
    return query && query();
}

// CR LF pairs become 0xAF 0xAF, so the comment stays on one line of the file.
std::string EncodeComments(const char* text) {
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (p[0] == '\r' && p[1] == '\n') {
            out += static_cast<char>(kCommentLineBreak);
            out += static_cast<char>(kCommentLineBreak);
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

BOOL WINAPI MoveFileReplacing(const char* from, const char* to, DWORD flags) {
    return ::MoveFileExA(from, to, flags);
}

// The user learns that the file on disk did not change, and why.
void ReportSaveFailure(HWND owner, const char* title, const char* file, DWORD error) {
    std::string text = "The bar \"";
    text += title ? title : "";
    text += "\" could not be saved to\n";
    text += file ? file : "";
    text += "\n\n" + tess::ErrorText(error) +
            "\n\nThe file on disk is unchanged; the bar keeps its changes.";
    ::MessageBoxA(owner, text.c_str(), "Tessellar - Saving Bar",
                  MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// Inverts the bar's shape on the screen ten times, so the user sees which
// bar asks for a file name.
void FlashBar(HWND wnd) {
    if (!wnd) return;
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (!region) return;
    RECT rect;
    ::GetWindowRect(wnd, &rect);
    if (::GetWindowRgn(wnd, region) == ERROR) {
        ::SetRectRgn(region, rect.left, rect.top, rect.right, rect.bottom);
    } else {
        ::OffsetRgn(region, rect.left, rect.top);
    }
    HDC screen = ::GetDC(nullptr);
    if (screen) {
        for (int i = 0; i < kFlashInversions; ++i) {
            ::InvertRgn(screen, region);
            ::GdiFlush();
            ::Sleep(kFlashIntervalMs);
        }
        ::ReleaseDC(nullptr, screen);
    }
    ::DeleteObject(region);
}

}  // namespace

// ---- shared helpers --------------------------------------------------------------------------

int WriteIntSetting(int value, const char* section, const char* key, const char* file) {
    char text[100];
    _itoa(value, text, 10);
    return tess::WriteProfileString(section, key, text, file);
}

ReplaceFileFunction& BarFileReplaceFunction() {
    static ReplaceFileFunction function = MoveFileReplacing;
    return function;
}

void MakeBarFileName(const char* title, char* out, size_t out_size) {
    if (!out || !out_size) return;
    std::string name;
    for (const char* p = title ? title : ""; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        bool bad = c < 32 || std::strchr("\\/:*?\"<>|", c) != nullptr;
        name += bad ? '_' : static_cast<char>(c);
    }
    // "." and ".." are no file names; trailing dots and blanks vanish on disk.
    size_t first = name.find_first_not_of(". ");
    name = first == std::string::npos ? std::string() : name.substr(first);
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name.empty()) name = "Bar";
    if (name.size() >= out_size) name.resize(out_size - 1);
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    tess::CopyText(out, out_size, name.empty() ? "Bar" : name.c_str());
}

bool FindFreeBarFileName(const char* folder, const char* title, char* out, size_t out_size) {
    if (!folder || !out || !out_size) return false;
    out[0] = '\0';
    // Room for the folder, "_<number>" and ".tsbar" within a path.
    size_t used = std::strlen(folder) + 6 + 1 + 5;
    if (used >= static_cast<size_t>(MAX_PATH) || used >= out_size) return false;
    size_t room = (out_size < MAX_PATH ? out_size : MAX_PATH) - used;
    char name[MAX_PATH];
    MakeBarFileName(title, name, room);
    char path[MAX_PATH];
    for (int i = 0; i <= kMaxAutomaticNameTries; ++i) {
        bool fits = i == 0 ? tess::FormatText(path, sizeof(path), "%s%s.tsbar", folder, name)
                           : tess::FormatText(path, sizeof(path), "%s%s_%i.tsbar", folder, name, i);
        if (!fits) return false;
        if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return tess::CopyText(out, out_size, path);
    }
    return false;
}

// ---- position keys ------------------------------------------------------------------------------------

int CVellumMenuObject::SavePosition() {
    if (m_neverSave || !m_barFile[0]) return 0;
    const char* file = m_barFile;
    ::SetFileAttributesA(file, FILE_ATTRIBUTE_NORMAL);
    // Within a whole save the keys join the file being composed; on their
    // own they change the file on disk in one replacement.
    std::unique_ptr<tess::ProfileSession> own;
    if (!m_savingWhole) own.reset(new tess::ProfileSession(file, false));
    auto write_int = [&](const char* key, int value) {
        WriteIntSetting(value, kObjectSection, key, file);
    };
    const BarPlacement& place = m_placement;
    write_int("LastTabOrder", LastTabOrder);
    write_int("LastPos.x", place.LastPos.x);
    write_int("LastPos.y", place.LastPos.y);
    write_int("LastSize.cx", place.LastSize.cx);
    write_int("LastSize.cy", place.LastSize.cy);
    write_int("bAlignX", place.bAlignX);
    write_int("bAlignY", place.bAlignY);
    write_int("LastScreenSize.cx", place.LastScreenSize.cx);
    write_int("LastScreenSize.cy", place.LastScreenSize.cy);
    bool hidden_with_popup =
        m_hWnd && !::IsWindowVisible(m_hWnd) && m_associatedPopupItem != nullptr;
    write_int("bWasHiddenOnLastCloseByPopup", hidden_with_popup ? 1 : 0);
    char monitor[kMonitorNameSize];
    tess::CopyText(monitor, LastMonitor);
    tess::WriteProfileString(kObjectSection, "LastMonitor", monitor, file);
    DWORD error = 0;
    if (own && !own->Commit(&error, false, BarFileReplaceFunction())) {
        ReportSaveFailure(m_hWnd, m_displayTitle, file, error);
        return 0;
    }
    return 1;
}

int CVellumMenuObject::SaveTabOrder() {
    if (m_neverSave || !m_barFile[0]) return 0;
    ::SetFileAttributesA(m_barFile, FILE_ATTRIBUTE_NORMAL);
    tess::ProfileSession session(m_barFile, false);
    WriteIntSetting(LastTabOrder, kObjectSection, "LastTabOrder", m_barFile);
    DWORD error = 0;
    if (!session.Commit(&error, false, BarFileReplaceFunction())) {
        ReportSaveFailure(m_hWnd, m_displayTitle, m_barFile, error);
        return 0;
    }
    return 1;
}

// Does nothing by design: theme files are written by the theme code.
int CVellumMenuObject::SaveTheme() { return 0; }

// ---- the [Object] keys -------------------------------------------------------------------------------------

static void WriteObjectKeys(CVellumMenuObject* bar, const char* skin_path) {
    const char* file = bar->m_barFile;
    auto write_int = [&](const char* key, int value) {
        WriteIntSetting(value, kObjectSection, key, file);
    };
    auto write_text = [&](const char* key, const char* value) {
        tess::WriteProfileString(kObjectSection, key, value, file);
    };
    write_text("Title", bar->Title);
    write_int("ShowTitle", bar->ShowTitle);
    if (bar->Comments && bar->Comments[0]) write_text("Comments", EncodeComments(bar->Comments).c_str());
    if (bar->Alpha >= 0) write_int("Alpha", bar->Alpha);
    char relative[MAX_PATH] = "";
    // The placeholder is no skin file: nothing to name.
    bool placeholder =
        bar->m_skin && lstrcmpiA(::PathFindFileNameA(bar->m_skin->path), kInvalidSkinName) == 0;
    if (bar->m_skin && (!placeholder || (skin_path && skin_path[0])))
        GetSkinPathRelativeTo(bar->m_skin, bar->m_barFolder, relative, sizeof(relative),
                              skin_path && skin_path[0] ? skin_path : nullptr);
    write_text("LastSkin", relative);
    write_int("AlwaysOnTop", bar->AlwaysOnTop);
    write_int("AlwaysOnTopOrder", bar->AlwaysOnTopOrder);
    if (bar->DockToEdge >= 0) write_int("DockToEdge", bar->DockToEdge);
    if (bar->UseAutohide) {
        write_int("UseAutohide", 1);
        write_int("ForcedAutoHideEdge", bar->ForcedAutoHideEdge);
    }
    if (bar->RespondToWindowsKey) write_int("RespondToWindowsKey", 1);
    if (bar->vkHotkey) {
        write_int("vkHotkey", bar->vkHotkey);
        write_int("vkHotkeyModifiers", bar->vkHotkeyModifiers);
    }
    write_int("bHideBarUntilHotkey", bar->bHideBarUntilHotkey);
    if (bar->bHideBarUntilHotkey) write_int("bReshowUnderMouse", bar->bReshowUnderMouse);
    write_int("WidthResizableWhenVertical", bar->WidthResizableWhenVertical);
    if (!bar->IsATabStop) write_int("IsATabStop", 0);
    write_int("DisplayVertically", bar->DisplayVertically);
    if (bar->ResizingMovingLeft) write_int("ResizingMovingLeft", bar->ResizingMovingLeft);
    if (bar->ResizingMovingUp) write_int("ResizingMovingUp", bar->ResizingMovingUp);
    write_int("bRestrictMaximumSize", bar->bRestrictMaximumSize);
    if (bar->bIgnoreSkinAutohideSettings) write_int("bIgnoreSkinAutohideSettings", 1);
    write_int("bUseActiveWindowsTitle", bar->bUseActiveWindowsTitle);
    write_int("bUseScreenSizes", bar->bUseScreenSizes);
    write_int("ptMINModifiers.x", bar->ptMIN.modifiers.x);
    write_int("ptMINModifiers.y", bar->ptMIN.modifiers.y);
    write_int("ptMINPixels.x", bar->ptMIN.pixels.x);
    write_int("ptMINPixels.y", bar->ptMIN.pixels.y);
    write_int("ptMINSubtract.x", bar->ptMIN.subtract.x);
    write_int("ptMINSubtract.y", bar->ptMIN.subtract.y);
    write_int("ptMAXModifiers.x", bar->ptMAX.modifiers.x);
    write_int("ptMAXModifiers.y", bar->ptMAX.modifiers.y);
    write_int("ptMAXPixels.x", bar->ptMAX.pixels.x);
    write_int("ptMAXPixels.y", bar->ptMAX.pixels.y);
    write_int("ptMAXSubtract.x", bar->ptMAX.subtract.x);
    write_int("ptMAXSubtract.y", bar->ptMAX.subtract.y);
    write_int("bScaleCX", bar->m_placement.bScaleCX);
    write_int("bScaleCY", bar->m_placement.bScaleCY);
    write_int("bScaleX", bar->m_placement.bScaleX);
    write_int("bScaleY", bar->m_placement.bScaleY);
    if (bar->SetAsHidden) write_int("SetAsHidden", 1);
    if (bar->BlockHazeglow) write_int("BlockHazeglow", 1);
    write_int("UseLVSkin", bar->UseLVSkin);
}

// ---- choosing the file ----------------------------------------------------------------------------------------

static bool ChooseBarFile(CVellumMenuObject* bar, char* path, size_t path_size) {
    const BarHostServices& host = GetBarHostServices();
    char folder[MAX_PATH] = "";
    if (HostSays(host.IsAutoSaveBars) && bar->Title[0] && !IsInternalBar(bar) &&
        host.GetThemeBarsFolder && host.GetThemeBarsFolder(folder) && folder[0]) {
        ::CreateDirectoryA(folder, nullptr);
        return FindFreeBarFileName(folder, bar->Title, path, path_size);
    }
    // A bar without window (a template for copies), or a process without the
    // program's shell (no theme to save into), has nobody to ask.
    if (!bar->m_hWnd || !host.GetThemeBarsFolder) return false;
    FlashBar(bar->m_hWnd);
    char title[kBarTitleSize + 32];
    tess::FormatText(title, sizeof(title), "Save Bar - \"%s\"", bar->m_displayTitle);
    char file[MAX_PATH] = "";
    static const char kFilter[] = "Bar Files (*.tsbar)\0*.tsbar\0";
    if (!ShowSaveFileDialog(bar->m_hWnd, file, title, kFilter, nullptr, 0)) return false;
    return file[0] && tess::CopyText(path, path_size, file);
}

// ---- writing ---------------------------------------------------------------------------------------------------

int CVellumMenuObject::Save(char* path) {
    if (m_neverSave) return 0;
    const BarHostServices& host = GetBarHostServices();
    char target[kBarPathSize] = "";
    if (path && path[0]) {
        if (!tess::CopyText(target, path)) return 0;   // would name another file
    } else if (!ChooseBarFile(this, target, sizeof(target))) {
        return 0;
    }
    if (!target[0]) return 0;

    if (m_foreignSkin && m_skin && host.ImportSkinFile) {
        char copy[MAX_PATH] = "";
        if (host.ImportSkinFile(m_skin->path, copy, sizeof(copy)) && copy[0]) {
            if (!HostSays(host.IsSavingTheme))
                ::MessageBoxA(m_hWnd,
                              "Note: The bar you are closing/saving is set to display a skin that "
                              "belongs to another theme.\nTo ensure that everything in your theme "
                              "stays in your theme's folder, the skin has been copied to the "
                              "\"Skins\\Imports\\\" folder in your theme's folder.\n",
                              "Tessellar - Saving Bar",
                              MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
            tess::CopyText(m_pendingSkinPath, copy);
            m_foreignSkin = FALSE;
            if (!m_closing) ReloadSkin(0);
        }
    }

    char old_file[kBarPathSize];
    char old_folder[kBarPathSize];
    tess::CopyText(old_file, m_barFile);
    tess::CopyText(old_folder, m_barFolder);
    m_modified = FALSE;
    m_layoutChanged = FALSE;
    tess::CopyText(m_barFile, target);
    SaveScreenshot(0);
    GetParentFolder(m_barFolder, m_barFile, true, sizeof(m_barFolder));

    // Every key of the bar, its sections and items goes into one document,
    // which replaces the file only when all of it is on disk.
    DWORD error = 0;
    bool written;
    const PluginCalls& plugins = GetPluginCalls();
    if (plugins.BeginDataFileRegistration) plugins.BeginDataFileRegistration(this);
    {
        tess::ProfileSession session(target, true);
        m_savingWhole = TRUE;
        WriteObjectKeys(this, m_pendingSkinPath);
        SavePosition();
        m_modified = FALSE;
        for (int n = 0; n < kMaxSections && m_sections[n]; ++n) m_sections[n]->Save(n + 1);
        m_savingWhole = FALSE;
        ::SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
        written = session.Commit(&error, true, BarFileReplaceFunction());
    }
    if (plugins.EndDataFileRegistration) plugins.EndDataFileRegistration(this, written);
    if (!written) {
        // Not saved: the bar still differs from its file, and keeps the file
        // it had.
        tess::CopyText(m_barFile, old_file);
        tess::CopyText(m_barFolder, old_folder);
        m_modified = TRUE;
        ReportSaveFailure(m_hWnd, m_displayTitle, target, error);
        return 0;
    }
    return 1;
}

// ---- screenshot and duplicate ------------------------------------------------------------------------------

int CVellumMenuObject::SaveScreenshot(int onlyIfMissing) {
    size_t length = std::strlen(m_barFile);
    if (length <= 6) return 0;
    char path[kBarPathSize + 8];
    tess::CopyTextN(path, sizeof(path), m_barFile, length - 6);
    tess::AppendText(path, "_ss.bmp");
    if (onlyIfMissing && ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return 0;
    SaveScreenshotBitmap(path, this, 0);
    return 1;
}

void CVellumMenuObject::Duplicate() {
    const BarHostServices& host = GetBarHostServices();
    char old_file[kBarPathSize];
    char old_folder[kBarPathSize];
    tess::CopyText(old_file, m_barFile);
    tess::CopyText(old_folder, m_barFolder);
    BOOL modified = m_modified;
    BOOL modified_silently = m_modifiedSilently;

    char folder[MAX_PATH] = "";
    if (host.GetThemeBarsFolder) host.GetThemeBarsFolder(folder);
    if (!folder[0]) tess::CopyText(folder, m_barFolder);
    tess::CopyText(m_barFolder, folder);
    char temp[MAX_PATH];
    bool saved = tess::FormatText(temp, sizeof(temp), "%s%s", folder, kDuplicateFileName) &&
                 Save(temp);

    if (saved) {
        CVellumMenuObject* copy = new CVellumMenuObject(m_hMainWindow);
        copy->LoadTheme(temp, 1, nullptr);
        copy->m_barFile[0] = '\0';
        copy->m_barFolder[0] = '\0';
        tess::AppendText(copy->Title, " Copy");
        copy->SetTitle(copy->Title);
        copy->SetModified();
        ::DeleteFileA(temp);
        // The preview written beside the temporary file goes with it.
        char preview[MAX_PATH];
        size_t length = std::strlen(temp);
        tess::CopyTextN(preview, sizeof(preview), temp, length - 6);
        tess::AppendText(preview, "_ss.bmp");
        ::DeleteFileA(preview);
    }

    tess::CopyText(m_barFile, old_file);
    tess::CopyText(m_barFolder, old_folder);
    m_modified = modified;
    m_modifiedSilently = modified_silently;
}
