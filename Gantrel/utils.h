// Gantrel's general helpers for the suite's programs: text, dates, windows,
// registry and registration. All text is ANSI; output buffers belong to the
// caller and every writer takes the buffer's size.
#pragma once
#include <windows.h>
#include <cstddef>

namespace gantrel {

// ---- text ----------------------------------------------------------------------
char* TrimRight(char* text);                       // in place; none for none
const char* SkipLeadingSpace(const char* text);
char* SkipLeadingSpace(char* text);
// Trims the end, then pads with blanks to width characters (size > width).
char* PadRight(char* buffer, size_t size, int width);
// Trims the end and right-aligns in a field of width - 1 characters.
char* AlignRight(char* text, size_t size, int width);
// Reads the control's text (up to width characters); with decimals above 0
// makes sure a "." is followed by that many digits; right-aligns and writes back.
void FormatNumberField(HWND dialog, int control, int width, int decimals);
// mode (upper-cased in place): "B" both ends, "L" the start, "T" the end;
// trimming the end also turns the first line feed into a blank.
char* TrimByMode(char* text, char* mode);
// In place, bounded by size; false when old/part is missing or it would not fit.
bool ReplaceFirst(char* text, size_t size, const char* old_text, const char* new_text);
bool RemoveFirst(char* text, const char* part);
bool InsertFront(char* text, size_t size, const char* prefix);
// Pointer after the last "\" (the path itself without one).
const char* FileNamePart(const char* path);
// The path up to its last "\" (excluded); false (out empty) without one.
bool FolderPart(const char* path, char* out, size_t size);
// "%lu" up to 1024 bytes, "%lu KB" up to 1 MB, then "%lu.%02lu MB";
// kilobytes_only: always "%lu KB".
void SizeText(unsigned long bytes, char* out, size_t size, bool kilobytes_only);

// ---- messages and windows ----------------------------------------------------------
// Dispatches waiting messages; 0 (with the WM_QUIT posted again) on WM_QUIT.
int PumpMessages();
void ShowMessage(const char* text, const char* caption);
// Centres window over over (or its parent, a visible owner, else the work
// area), kept inside the parent's client area or the work area.
bool CenterWindow(HWND window, HWND over = nullptr);
// The system's text for GetLastError in a warning box.
void ShowLastError(int line, const char* source_file);

// ---- dates -------------------------------------------------------------------------------
// Year, month, day of week, day, hour, minute: SYSTEMTIME's first fields.
struct DateRecord {
    WORD year;
    WORD month;
    WORD day_of_week;
    WORD day;
    WORD hour;
    WORD minute;
};
static_assert(sizeof(DateRecord) == 12, "DateRecord is SYSTEMTIME's head");
static_assert(offsetof(DateRecord, day) == offsetof(SYSTEMTIME, wDay), "DateRecord follows SYSTEMTIME");
static_assert(offsetof(DateRecord, minute) == offsetof(SYSTEMTIME, wMinute), "DateRecord follows SYSTEMTIME");

// Whole years since "MM/DD/YY" (a 1900s year) until today, "%d".
void AgeFromDate(const char* date, char* out, size_t size);
// Today in layout format & 0xFF: 1 mm/dd/yy, 2 dd/mm/yy, 3 yy/mm/dd,
// 4 yyyy/mm/dd, 5 mm/dd/yyyy, 6 dd/mm/yyyy, 7 yyyy/dd/mm; 0x100 adds hh:mm:ss.
void TodayText(char* out, size_t size, int format);
// "%d/%d/%d": flag 1 y/m/d, flag 2 m/d/y, else d/m/y; 0x100 adds a 12-hour
// time with AM/PM, 0x200 a 24-hour time; empty for year 0.
void FormatDateRecord(char* out, size_t size, const DateRecord& date, int flags);
// The user's short date and the time without seconds; empty for year 0.
void FormatLocalDateTime(char* out, size_t size, const SYSTEMTIME& time);
// "yy", "yyyy", "dd", "MM", "d", "M", "MMM" (the two-digit month number).
void FormatDatePart(const char* token, const DateRecord& date, char* out, size_t size);
// Adds (or subtracts) seconds with carries up to the year.
void AddSeconds(DateRecord& date, long seconds);
// Gregorian leap years: 1900 was none, 2000 was one.
bool IsLeapYear(int year);
int DaysInMonth(int month, int year);
double RoundTo(double value, int digits);
// "Mon DD YYYY time" to format & 0xFF: 1 (or other) mm/dd/yy, 2 yyyy/mm/dd,
// 3 mm/dd/yyyy; 0x100 appends the time. January 1, 1900 gives an empty text;
// an unknown month leaves the text unchanged.
void ConvertDateText(char* text, size_t size, int format);

// ---- registry ----------------------------------------------------------------------------
// A value of any type into buffer (size in/out); the buffer, or none on failure.
BYTE* ReadRegistryValue(HKEY root, const char* key, const char* name, BYTE* buffer, DWORD* size);
// A new buffer (free it with free()) holding the value, or none.
BYTE* ReadRegistryValueAlloc(HKEY root, const char* key, const char* name, DWORD* size);
DWORD ReadRegistryDword(HKEY root, const char* key, const char* name);   // 0 when missing
LONG WriteRegistryString(HKEY root, const char* key, const char* name, const char* text);
LONG WriteRegistryDword(HKEY root, const char* key, const char* name, DWORD value);

// ---- registration ----------------------------------------------------------------------
// Loads folder + "\" + file and calls its "DllRegisterServer" / "DllUnregisterServer".
bool RegisterServerDll(const char* folder, const char* file);
bool UnregisterServerDll(const char* folder, const char* file);

}  // namespace gantrel
