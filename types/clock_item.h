// CVellumMenuItem_Clock: the item whose title is the current time or date.
// It shows one of two texts (the standard time and date, or two format
// strings of the user's); a click shows the other one for 2.4 seconds, a
// double click also opens the system's Date and Time settings. The text is
// made again every 100 ms and the item redrawn when it changed. A custom text
// may have several lines ("\n" as two characters); on horizontal bars the
// clock can show only as many of them as the item's height holds.
#pragma once
#include <windows.h>
#include <string>
#include "model/vellum_menu_item.h"

constexpr int kClockPageDialogId = 121;
constexpr int kClockFormatHelpDialogId = 168;
constexpr int kClockItemIconId = 132;
constexpr UINT kClockTickMs = 100;
constexpr UINT kClockToggleMs = 2400;
constexpr int kClockMaxFittedLines = 99;

// ---- the outside world, replaceable by tests -------------------------------------------
struct ClockSystemCalls {
    // The local time now.
    void (*GetNow)(SYSTEMTIME* now);
    // Opens a program the way ShellExecute does; the double click's applet.
    void (*Launch)(HWND owner, const char* file, const char* parameters);
};
ClockSystemCalls& GetClockSystemCalls();
// Puts the real functions back.
void ResetClockSystemCalls();

// ---- formatting (clock_format.cpp) ---------------------------------------------------------
// A custom format made into a text for the given time: the time pictures
// (H, h, m, s, t) through GetTimeFormat, then the date pictures through
// GetDateFormat, text in single quotes left alone. lineCount 1 or more keeps
// that many lines (separated by the two characters "\n"); -1 keeps all.
// False when a formatting call fails (out is then untouched).
bool FormatCustomClockText(const SYSTEMTIME& time, const char* format, int lineCount,
                           std::string* out);
// The first pass alone: the format with a marker (character 6) around each
// run of time pictures, which the second pass turns into quotes.
std::string QuoteClockTimePictures(const char* format);
// The standard texts (system default locale, the system's own format).
bool FormatStandardClockTime(const SYSTEMTIME& time, bool seconds, bool force24Hours,
                             std::string* out);
bool FormatStandardClockDate(const SYSTEMTIME& time, bool longDate, std::string* out);
// Cuts text after its lineCount-th line (lineCount < 1: unchanged).
void KeepClockLines(std::string* text, int lineCount);

class CVellumMenuItem_Clock : public CVellumMenuItem {
public:
    // Reads the clock keys while the bar reads its file; reserves and starts
    // the timers and makes the text.
    CVellumMenuItem_Clock(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber);
    ~CVellumMenuItem_Clock() override;

    // ---- virtual operations -----------------------------------------------------------------
    CVellumMenuItem* Duplicate() override;
    int GetCustomItemName(char* out) override;
    HICON GetCustomIcon() override;
    int SaveExternal() override;
    void Draw(HDC dc) override;
    SIZE CalcSize(int noSectionStretch, int ignored) override;
    void OnClick() override;
    void OnDblClick() override;
    void SetItemTitle(char* title, int headerLength) override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    HWND CallConfigDialogEx(HWND parent) override;

    // ---- the text ----------------------------------------------------------------------------
    // Makes the text for now; true when it changed (then it is the title and,
    // with relayout, the bar is laid out again).
    bool UpdateClockText(int relayout);
    // Decides how many lines to show; true when it counted them anew.
    bool UpdateClockLines();
    // The text now shown is not the clock's usual one.
    bool ShowsToggledText() const;
    // Forgets the counted lines, so the next UpdateClockLines counts again.
    void ResetLineCount();
    // Starts (or restarts) the 100 ms tick.
    void StartTickTimer();

    // ---- settings (keys of the bar file) ---------------------------------------------------
    BOOL UseCustomStrings;       // "Clock.UseCustomStrings"
    std::string TimeString1;     // "Clock.TimeString1"
    std::string TimeString2;     // "Clock.TimeString2"
    BOOL ShowOnlyLinesAvail;     // "Clock.ShowOnlyLinesAvail"
    BOOL ShowSeconds;            // "Clock.ShowSeconds"
    BOOL LongDate;               // "Clock.LongDate"
    BOOL Force24HourTime;        // "Clock.Force24HourTime"
    BOOL ShowDateByDefault;      // "Clock.ShowDateByDefault"

    // ---- run-time ------------------------------------------------------------------------------
    // Standard mode: the date shows; custom mode: the second string shows.
    BOOL m_showingAlternate;
    std::string m_clockText;
    UINT m_tickTimerId;
    UINT m_toggleTimerId;
    int m_lineCount;             // lines kept, -1 all
    int m_countedHeight;         // the item height the count was made for
    int m_lineHeight;            // one line of text, 0 not measured
    // The date, hour and minute of the last standard time text; wYear 0 none.
    SYSTEMTIME m_lastTime;
    // The lines were counted while the bar painted: the next tick redraws it.
    bool m_redrawPending;
    // The title is the clock's text (until then it is the file's title).
    bool m_textMade;
    HWND m_page;                 // dialog 121

private:
    void InitFields();
    void ReadClockKeys();
    void StopTimers();
    // The text for now in the current mode; false when formatting failed.
    bool MakeText(const SYSTEMTIME& now, std::string* text);
    void OnTick();
    void OnToggleTimer();
    // Counts the lines that fit the item's height on a horizontal bar.
    int CountFittingLines(int itemHeight);
};

// The format help (dialog 168) while it is open, else null.
HWND FindClockFormatHelp();

CVellumMenuItem* MakeClockItem(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                               const char* storedType);
