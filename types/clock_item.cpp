// CVellumMenuItem_Clock: construction and keys, the timers, making the text,
// counting the lines that fit, the toggle and the double click.
#include "types/clock_item.h"
#include <cstring>
#include <new>
#include "model/bar_file.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/ini_section_reader.h"
#include "types/type_registration.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

const char kDefaultTimeString1[] = "h:mm tt";
const char kDefaultTimeString2[] = "dddd, MMM d, yyyy";
const char kDateTimeProgram[] = "rundll32.exe";
const char kDateTimeParameters[] = " shell32.dll,Control_RunDLL timedate.cpl,,0";

bool BarIsReadingFile(const CVellumMenuObject* bar) {
    return bar && bar->m_loadingSections && bar->m_sectionReader;
}

bool SameMinute(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute;
}

int LinesIn(const char* text) {
    int lines = 1;
    for (const char* p = text; p && *p; ++p)
        if (*p == '\n') ++lines;
    return lines;
}

void RealGetNow(SYSTEMTIME* now) { ::GetLocalTime(now); }

void RealLaunch(HWND owner, const char* file, const char* parameters) {
    ::ShellExecuteA(owner, nullptr, file, parameters, nullptr, SW_SHOWNORMAL);
}

const ItemClassRegistration kClockRegistration("Clock", MakeClockItem);

}  // namespace

ClockSystemCalls& GetClockSystemCalls() {
    static ClockSystemCalls calls{RealGetNow, RealLaunch};
    return calls;
}

void ResetClockSystemCalls() { GetClockSystemCalls() = ClockSystemCalls{RealGetNow, RealLaunch}; }

// ---- construction ------------------------------------------------------------------------------

CVellumMenuItem* MakeClockItem(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                               const char*) {
    return new (std::nothrow) CVellumMenuItem_Clock(bar, section, itemNumber);
}

void CVellumMenuItem_Clock::InitFields() {
    UseCustomStrings = FALSE;
    TimeString1 = kDefaultTimeString1;
    TimeString2 = kDefaultTimeString2;
    ShowOnlyLinesAvail = TRUE;
    ShowSeconds = FALSE;
    LongDate = FALSE;
    Force24HourTime = FALSE;
    ShowDateByDefault = FALSE;
    m_showingAlternate = FALSE;
    m_tickTimerId = 0;
    m_toggleTimerId = 0;
    m_lineCount = -1;
    m_countedHeight = -1;
    m_lineHeight = 0;
    std::memset(&m_lastTime, 0, sizeof(m_lastTime));
    m_redrawPending = false;
    m_textMade = false;
    m_page = nullptr;
}

CVellumMenuItem_Clock::CVellumMenuItem_Clock(CVellumMenuObject* bar, CVellumMenuSection* section,
                                             int itemNumber)
    : CVellumMenuItem(bar, section, itemNumber, nullptr, -1) {
    InitFields();
    if (BarIsReadingFile(bar) && section && itemNumber > 0) {
        ReadClockKeys();
    } else {
        // A clock the user adds shows its text, not an icon.
        ShowIcon = FALSE;
        ShowText = TRUE;
    }
    m_showingAlternate = UseCustomStrings ? FALSE : ShowDateByDefault;
    if (bar) {
        m_tickTimerId = bar->ReserveTimerID();
        m_toggleTimerId = bar->ReserveTimerID();
    }
    StartTickTimer();
    UpdateClockText(0);
}

void CVellumMenuItem_Clock::ReadClockKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    UseCustomStrings = reader->GetBool(name("Clock.UseCustomStrings"), 0);
    if (UseCustomStrings) {
        // An empty value keeps the default.
        const char* first = reader->Lookup(name("Clock.TimeString1"), true, nullptr, nullptr);
        if (first && first[0]) TimeString1 = first;
        const char* second = reader->Lookup(name("Clock.TimeString2"), true, nullptr, nullptr);
        if (second && second[0]) TimeString2 = second;
        ShowOnlyLinesAvail = reader->GetInt(name("Clock.ShowOnlyLinesAvail"), 1);
    } else {
        ShowSeconds = reader->GetBool(name("Clock.ShowSeconds"), 0);
        LongDate = reader->GetBool(name("Clock.LongDate"), 0);
        Force24HourTime = reader->GetBool(name("Clock.Force24HourTime"), 0);
        ShowDateByDefault = reader->GetBool(name("Clock.ShowDateByDefault"), 0);
    }
}

CVellumMenuItem_Clock::~CVellumMenuItem_Clock() {
    StopTimers();
    if (m_page && ::IsWindow(m_page)) ::DestroyWindow(m_page);
}

void CVellumMenuItem_Clock::StartTickTimer() {
    if (m_pBar && m_pBar->m_hWnd && m_tickTimerId)
        ::SetTimer(m_pBar->m_hWnd, m_tickTimerId, kClockTickMs, nullptr);
}

void CVellumMenuItem_Clock::StopTimers() {
    if (!m_pBar || !m_pBar->m_hWnd) return;
    if (m_tickTimerId) ::KillTimer(m_pBar->m_hWnd, m_tickTimerId);
    if (m_toggleTimerId) ::KillTimer(m_pBar->m_hWnd, m_toggleTimerId);
}

// ---- the text ----------------------------------------------------------------------------------

bool CVellumMenuItem_Clock::MakeText(const SYSTEMTIME& now, std::string* text) {
    if (UseCustomStrings) {
        const std::string& format = m_showingAlternate ? TimeString2 : TimeString1;
        return FormatCustomClockText(now, format.c_str(), m_lineCount, text);
    }
    if (m_showingAlternate) {
        std::memset(&m_lastTime, 0, sizeof(m_lastTime));
        return FormatStandardClockDate(now, LongDate != FALSE, text);
    }
    // Without seconds the time is made again only when the minute it shows
    // is another one: date, hour and minute are compared, so that a jump of
    // whole hours (a clock change, waking from sleep) shows at once.
    if (!ShowSeconds && m_lastTime.wYear && SameMinute(now, m_lastTime)) return false;
    if (!FormatStandardClockTime(now, ShowSeconds != FALSE, Force24HourTime != FALSE, text))
        return false;
    m_lastTime = now;
    return true;
}

bool CVellumMenuItem_Clock::UpdateClockText(int relayout) {
    SYSTEMTIME now = {};
    GetClockSystemCalls().GetNow(&now);
    std::string text;
    // A failed format keeps the text shown.
    if (!MakeText(now, &text)) return false;
    if (m_textMade && lstrcmpiA(text.c_str(), m_clockText.c_str()) == 0) return false;
    m_textMade = true;
    m_clockText = text;
    CVellumMenuItem::SetItemTitle(const_cast<char*>(m_clockText.c_str()), 0);
    if (relayout && m_pBar) m_pBar->RecalcRects(kRecalcNoRedraw, kRecalcUpdatePos);
    return true;
}

void CVellumMenuItem_Clock::SetItemTitle(char*, int) {
    // The title is the clock's own: a new one only makes the text again.
    m_lastTime.wYear = 0;
    UpdateClockText(1);
}

bool CVellumMenuItem_Clock::ShowsToggledText() const {
    if (UseCustomStrings) return m_showingAlternate != FALSE;
    return (m_showingAlternate != FALSE) != (ShowDateByDefault != FALSE);
}

// ---- lines -------------------------------------------------------------------------------------

void CVellumMenuItem_Clock::ResetLineCount() {
    m_countedHeight = -1;
    m_lineHeight = 0;
}

int CVellumMenuItem_Clock::CountFittingLines(int itemHeight) {
    int count = 1;
    int previous_height = 0;
    for (int lines = 1; lines <= kClockMaxFittedLines; ++lines) {
        m_lineCount = lines;
        m_lastTime.wYear = 0;
        UpdateClockText(0);
        UpdateTextSize(1);
        const int height = m_textExtent.cy;
        if (lines == 1) m_lineHeight = height;
        if (height <= previous_height || height >= itemHeight) {
            count = lines - 1;
            break;
        }
        count = lines;
        previous_height = height;
    }
    return count < 1 ? 1 : count;
}

bool CVellumMenuItem_Clock::UpdateClockLines() {
    const bool horizontal = m_pBar && !m_pBar->DisplayVertically;
    if (UseCustomStrings && ShowOnlyLinesAvail && horizontal) {
        const int height = m_itemRect.bottom - m_itemRect.top;
        if (height == m_countedHeight) return false;
        m_countedHeight = height;
        m_lineCount = CountFittingLines(height);
        m_lastTime.wYear = 0;
        UpdateClockText(1);
        return true;
    }
    if (m_lineCount != -1) {
        m_lineCount = -1;
        m_countedHeight = -1;
        UpdateClockText(1);
        if (m_pBar) m_pBar->RecalcRects(kRecalcNoRedraw, kRecalcUpdatePos);
    }
    return false;
}

// ---- drawing and size --------------------------------------------------------------------------

void CVellumMenuItem_Clock::Draw(HDC dc) {
    const std::string before = m_clockText;
    if (UpdateClockLines() || m_clockText != before) m_redrawPending = true;
    CVellumMenuItem::Draw(dc);
}

SIZE CVellumMenuItem_Clock::CalcSize(int noSectionStretch, int ignored) {
    // With fitted lines a horizontal bar's clock asks for one line: the bar's
    // height decides how many lines it shows, not the other way round.
    const bool horizontal = m_pBar && !m_pBar->DisplayVertically;
    if (!(UseCustomStrings && ShowOnlyLinesAvail && horizontal) || !m_shownTitle)
        return CVellumMenuItem::CalcSize(noSectionStretch, ignored);
    const SIZE kept = m_textExtent;
    int one_line = m_lineHeight > 0 ? m_lineHeight : m_textExtent.cy / LinesIn(m_shownTitle);
    if (one_line < m_textExtent.cy) m_textExtent.cy = one_line;
    SIZE size = CVellumMenuItem::CalcSize(noSectionStretch, ignored);
    m_textExtent = kept;
    return size;
}

// ---- clicks ------------------------------------------------------------------------------------

void CVellumMenuItem_Clock::OnClick() {
    ResetLineCount();
    m_showingAlternate = m_showingAlternate ? FALSE : TRUE;
    UpdateClockLines();
    if (ShowsToggledText() && m_pBar && m_pBar->m_hWnd && m_toggleTimerId)
        ::SetTimer(m_pBar->m_hWnd, m_toggleTimerId, kClockToggleMs, nullptr);
    m_lastTime.wYear = 0;
    UpdateClockText(1);
    if (m_pBar) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

void CVellumMenuItem_Clock::OnDblClick() {
    OnClick();
    GetClockSystemCalls().Launch(m_pBar ? m_pBar->m_hWnd : nullptr, kDateTimeProgram,
                                 kDateTimeParameters);
}

// ---- timers ------------------------------------------------------------------------------------

void CVellumMenuItem_Clock::OnToggleTimer() {
    if (m_pBar && m_pBar->m_hWnd) ::KillTimer(m_pBar->m_hWnd, m_toggleTimerId);
    if (ShowsToggledText()) OnClick();
}

void CVellumMenuItem_Clock::OnTick() {
    RECT before = m_itemRect;
    bool changed = UpdateClockText(1);
    if (m_redrawPending || (changed && !::EqualRect(&before, &m_itemRect))) {
        // The layout moved: the whole bar is drawn again.
        m_redrawPending = false;
        if (m_pBar) m_pBar->UpdateToDrawBitmap(nullptr, nullptr, nullptr);
    } else if (changed) {
        RedrawItem();
    }
}

void CVellumMenuItem_Clock::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        if (m_toggleTimerId && wp == m_toggleTimerId)
            OnToggleTimer();
        else if (m_tickTimerId && wp == m_tickTimerId)
            OnTick();
    }
    CVellumMenuItem::ProcessUserMessage(msg, wp, lp);
}

// ---- copies, names and saving ------------------------------------------------------------------

CVellumMenuItem* CVellumMenuItem_Clock::Duplicate() {
    auto* copy = new (std::nothrow) CVellumMenuItem_Clock(m_pBar, m_pSection, 0);
    if (!copy) return nullptr;
    Copy(copy, 0);
    copy->UseCustomStrings = UseCustomStrings;
    copy->TimeString1 = TimeString1;
    copy->TimeString2 = TimeString2;
    copy->ShowOnlyLinesAvail = ShowOnlyLinesAvail;
    copy->ShowSeconds = ShowSeconds;
    copy->LongDate = LongDate;
    copy->Force24HourTime = Force24HourTime;
    copy->ShowDateByDefault = ShowDateByDefault;
    copy->m_showingAlternate = m_showingAlternate;
    copy->m_lastTime.wYear = 0;
    copy->UpdateClockText(0);
    return copy;
}

int CVellumMenuItem_Clock::GetCustomItemName(char* out) {
    if (!out) return 0;
    tess::CopyText(out, 6, "Clock");
    return 1;
}

HICON CVellumMenuItem_Clock::GetCustomIcon() {
    HINSTANCE module = ResourceModuleOf(m_pBar);
    return static_cast<HICON>(
        ::LoadImageA(module, MAKEINTRESOURCEA(kClockItemIconId), IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuItem_Clock::SaveExternal() {
    if (!m_pBar) return 1;
    const char* file = m_pBar->m_barFile;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    auto write_int = [&](const char* k, int value) {
        WriteIntSetting(value, m_sectionName, name(k), file);
    };
    tess::WriteProfileString(m_sectionName, name("Type"), "Clock", file);
    write_int("Clock.UseCustomStrings", UseCustomStrings ? 1 : 0);
    if (UseCustomStrings) {
        tess::WriteProfileString(m_sectionName, name("Clock.TimeString1"), TimeString1.c_str(), file);
        tess::WriteProfileString(m_sectionName, name("Clock.TimeString2"), TimeString2.c_str(), file);
        write_int("Clock.ShowOnlyLinesAvail", ShowOnlyLinesAvail);
    } else {
        if (ShowSeconds) write_int("Clock.ShowSeconds", 1);
        if (LongDate) write_int("Clock.LongDate", 1);
        if (ShowDateByDefault) write_int("Clock.ShowDateByDefault", 1);
        if (Force24HourTime) write_int("Clock.Force24HourTime", 1);
    }
    return CVellumMenuItem::SaveExternal();
}
