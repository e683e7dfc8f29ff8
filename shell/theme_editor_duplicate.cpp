// Duplicating a section (it is written to a temporary bar file and read back
// as a new section) and saving a bar as a template of the theme.
#include <windows.h>
#include <shlwapi.h>
#include <cstdlib>
#include <cstring>
#include <memory>
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/theme_editor.h"
#include "shell/theme_editor_create_internal.h"
#include "skins/ini_section_reader.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr int kSectionTypeSize = 260;
constexpr char kCopyMark[] = "(Copy)";
constexpr char kNumberedCopyMark[] = "(Copy ";
constexpr char kCopySuffix[] = " (Copy)";

// Writes text at title + at within size, cutting the title before at when
// the text would not fit there.
void WriteTitleTail(char* title, size_t size, size_t at, const char* text) {
    const size_t length = std::strlen(text);
    if (length + 1 > size) return;
    if (at + length + 1 > size) at = size - length - 1;
    tess::CopyText(title + at, size - at, text);
}

// What the bar is while a section is read from another file, put back on
// every path.
class BarFileSwap {
public:
    explicit BarFileSwap(CVellumMenuObject* bar) : bar_(bar) {
        tess::CopyText(file_, bar->m_barFile);
        tess::CopyText(folder_, bar->m_barFolder);
        reader_ = bar->m_sectionReader;
        loading_sections_ = bar->m_loadingSections;
        modified_ = bar->m_modified;
        modified_silently_ = bar->m_modifiedSilently;
    }
    ~BarFileSwap() { Restore(); }
    BarFileSwap(const BarFileSwap&) = delete;
    BarFileSwap& operator=(const BarFileSwap&) = delete;

    bool PointAt(const char* file) {
        if (!tess::CopyText(bar_->m_barFile, file)) return false;
        tess::CopyText(bar_->m_barFolder, file);
        if (char* name = ::PathFindFileNameA(bar_->m_barFolder)) *name = '\0';
        return true;
    }

    void Restore() {
        if (restored_) return;
        restored_ = true;
        tess::CopyText(bar_->m_barFile, file_);
        tess::CopyText(bar_->m_barFolder, folder_);
        bar_->m_sectionReader = reader_;
        bar_->m_loadingSections = loading_sections_;
        bar_->m_modified = modified_;
        bar_->m_modifiedSilently = modified_silently_;
    }

private:
    CVellumMenuObject* bar_;
    char file_[kBarPathSize];
    char folder_[kBarPathSize];
    CIniSectionReader* reader_;
    BOOL loading_sections_;
    BOOL modified_;
    BOOL modified_silently_;
    bool restored_ = false;
};

// A temporary file of our own, deleted when this goes.
class TemporaryFile {
public:
    TemporaryFile() {
        char folder[MAX_PATH] = "";
        const DWORD length = ::GetTempPathA(MAX_PATH, folder);
        if (length == 0 || length >= MAX_PATH) return;
        if (::GetTempFileNameA(folder, "tss", 0, path_) == 0) path_[0] = '\0';
    }
    ~TemporaryFile() {
        if (path_[0]) ::DeleteFileA(path_);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const char* Path() const { return path_; }
    bool Valid() const { return path_[0] != '\0'; }

private:
    char path_[MAX_PATH] = "";
};

// The section written alone as "[Section1]" of file; false when the file
// could not be written whole.
bool WriteSectionFile(CVellumMenuSection* section, const char* file) {
    const int number = section->m_sectionNumber;
    char ini_name[kSectionNameSize];
    tess::CopyText(ini_name, section->m_iniSectionName);
    DWORD error = 0;
    bool written;
    {
        tess::ProfileSession session(file, true);
        section->Save(1);
        written = session.Commit(&error, true);
    }
    // The section keeps the number its bar gave it.
    section->m_sectionNumber = number;
    tess::CopyText(section->m_iniSectionName, ini_name);
    return written;
}

// A new section of the bar read from "[Section1]" of the bar's present
// file, taken out of its slot; null when none could be made.
CVellumMenuSection* ReadSectionCopy(CVellumMenuObject* bar) {
    char type[kSectionTypeSize] = "";
    ::GetPrivateProfileStringA("Section1", "Properties.Type", "", type, sizeof(type), bar->m_barFile);
    auto reader = std::make_unique<CIniSectionReader>();
    bar->m_sectionReader = reader.get();
    bar->m_loadingSections = TRUE;
    const int slot = bar->AddSection(type, 1, 0);
    bar->m_sectionReader = nullptr;
    bar->m_loadingSections = FALSE;
    if (slot < 0 || slot >= kMaxSections || !bar->m_sections[slot]) return nullptr;
    CVellumMenuSection* copy = bar->m_sections[slot];
    bar->RemoveSection(slot, 0);
    return copy;
}

}  // namespace

void MakeCopyTitle(char* title, size_t size) {
    if (!title || size == 0) return;
    title[size - 1] = '\0';
    if (char* mark = std::strstr(title, kCopyMark)) {
        WriteTitleTail(title, size, mark - title, "(Copy 2)");
        return;
    }
    if (char* mark = std::strstr(title, kNumberedCopyMark)) {
        char* digits = mark + std::strlen(kNumberedCopyMark);
        const long number = std::strtol(digits, nullptr, 10);
        char tail[32];
        tess::FormatText(tail, sizeof(tail), "%ld)", number + 1);
        WriteTitleTail(title, size, digits - title, tail);
        return;
    }
    WriteTitleTail(title, size, std::strlen(title), kCopySuffix);
}

bool DuplicateSection(CVellumMenuSection* section) {
    if (!section || !IsLiveSection(section)) return false;
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar || !IsLiveBar(bar) || bar->FindSection(section) < 0) return false;
    // Both are in use by the bar while it reads its own file.
    if (bar->m_loadingSections || bar->m_sectionReader) return false;

    TemporaryFile temporary;
    if (!temporary.Valid()) return false;
    CVellumMenuSection* copy = nullptr;
    {
        BarFileSwap swap(bar);
        if (!swap.PointAt(temporary.Path())) return false;
        if (!WriteSectionFile(section, temporary.Path())) return false;
        copy = ReadSectionCopy(bar);
    }
    if (!copy) return false;

    MakeCopyTitle(copy->Title, sizeof(copy->Title));
    bar->InsertSection(section, copy);
    if (bar->FindSection(copy) < 0) {
        delete copy;
        return false;
    }
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->UpdatePos();
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    ShowSectionInEditor(copy, GetEditorLastTab(EditorNodeKind::Section));
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->SetModified();
    return true;
}

// ---- templates ------------------------------------------------------------------------------------

namespace {

// Names the system keeps for devices, whatever extension follows.
bool IsDeviceName(const char* name) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4",
                                           "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2",
                                           "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    const size_t stem = std::strcspn(name, ".");
    for (const char* device : kDevices)
        if (std::strlen(device) == stem && _strnicmp(name, device, stem) == 0) return true;
    return false;
}

}  // namespace

bool IsValidTemplateName(const char* name) {
    if (!name || !name[0] || IsDeviceName(name)) return false;
    if (std::strstr(name, "..")) return false;
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || std::strchr("\\/:*?\"<>|", c)) return false;
    }
    // Names made only of blanks and dots name no file.
    return std::strspn(name, " .") != std::strlen(name);
}

bool FreeTemplatePath(const char* folder, const char* name, char* out, size_t size) {
    if (!tess::FormatText(out, size, "%s%s.tsbar", folder, name)) return false;
    for (int n = 1; ::PathFileExistsA(out); ++n)
        if (n > 100000 || !tess::FormatText(out, size, "%s%s_%i.tsbar", folder, name, n)) return false;
    return true;
}
