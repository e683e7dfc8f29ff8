#include "Gantrel/utils.h"

#include "util/handles.h"
#include "util/text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace gantrel {
namespace {

bool IsBlank(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

// ---- text ---------------------------------------------------------------------------

char* TrimRight(char* text) {
    if (!text) return nullptr;
    size_t n = strlen(text);
    while (n > 0 && IsBlank(text[n - 1])) text[--n] = '\0';
    return text;
}

const char* SkipLeadingSpace(const char* text) {
    if (!text) return nullptr;
    while (*text && IsBlank(*text)) ++text;
    return text;
}

char* SkipLeadingSpace(char* text) {
    return const_cast<char*>(SkipLeadingSpace(static_cast<const char*>(text)));
}

char* PadRight(char* buffer, size_t size, int width) {
    if (!buffer || size == 0) return buffer;
    TrimRight(buffer);
    size_t n = strlen(buffer);
    while (int(n) < width && n + 1 < size) buffer[n++] = ' ';
    buffer[n] = '\0';
    return buffer;
}

char* AlignRight(char* text, size_t size, int width) {
    if (!text || size == 0) return text;
    TrimRight(text);
    size_t n = strlen(text);
    size_t field = width > 1 ? size_t(width - 1) : 0;
    if (field + 1 > size) field = size - 1;
    if (n >= field) return text;
    size_t shift = field - n;
    memmove(text + shift, text, n + 1);
    memset(text, ' ', shift);
    return text;
}

void FormatNumberField(HWND dialog, int control, int width, int decimals) {
    if (width <= 0) return;
    size_t size = size_t(width) + size_t(decimals > 0 ? decimals : 0) + 3;
    char* text = static_cast<char*>(calloc(size, 1));
    if (!text) return;
    GetDlgItemTextA(dialog, control, text, width + 1);
    if (decimals > 0) {
        TrimRight(text);
        char* start = SkipLeadingSpace(text);
        memmove(text, start, strlen(start) + 1);
        char* point = strchr(text, '.');
        if (!point) {
            tess::AppendText(text, size, ".");
            point = strchr(text, '.');
        }
        int have = int(strlen(point + 1));
        for (; have < decimals; ++have) tess::AppendText(text, size, "0");
    }
    AlignRight(text, size, width);
    SetDlgItemTextA(dialog, control, text);
    free(text);
}

char* TrimByMode(char* text, char* mode) {
    if (!text || !mode) return text;
    *mode = char(toupper(static_cast<unsigned char>(*mode)));
    if (*mode == 'B' || *mode == 'T') {
        if (char* lf = strchr(text, '\n')) *lf = ' ';
        TrimRight(text);
    }
    if (*mode == 'B' || *mode == 'L') {
        char* start = SkipLeadingSpace(text);
        memmove(text, start, strlen(start) + 1);
    }
    return text;
}

bool ReplaceFirst(char* text, size_t size, const char* old_text, const char* new_text) {
    if (!text || !old_text || !*old_text || !new_text) return false;
    char* at = strstr(text, old_text);
    if (!at) return false;
    size_t old_len = strlen(old_text), new_len = strlen(new_text), len = strlen(text);
    if (len - old_len + new_len + 1 > size) return false;
    memmove(at + new_len, at + old_len, strlen(at + old_len) + 1);
    memcpy(at, new_text, new_len);
    return true;
}

bool RemoveFirst(char* text, const char* part) {
    if (!text || !part || !*part) return false;
    char* at = strstr(text, part);
    if (!at) return false;
    size_t n = strlen(part);
    memmove(at, at + n, strlen(at + n) + 1);
    return true;
}

bool InsertFront(char* text, size_t size, const char* prefix) {
    if (!text || !prefix) return false;
    size_t len = strlen(text), n = strlen(prefix);
    if (len + n + 1 > size) return false;
    memmove(text + n, text, len + 1);
    memcpy(text, prefix, n);
    return true;
}

const char* FileNamePart(const char* path) {
    if (!path) return nullptr;
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

bool FolderPart(const char* path, char* out, size_t size) {
    if (out && size) out[0] = '\0';
    if (!path || !out || size == 0) return false;
    const char* slash = strrchr(path, '\\');
    if (!slash) return false;
    return tess::CopyTextN(out, size, path, size_t(slash - path));
}

void SizeText(unsigned long bytes, char* out, size_t size, bool kilobytes_only) {
    if (kilobytes_only || (bytes > 1024 && bytes <= 1048576)) {
        tess::FormatText(out, size, "%lu KB", bytes / 1024);
    } else if (bytes <= 1024) {
        tess::FormatText(out, size, "%lu", bytes);
    } else {
        unsigned long long hundredths = (unsigned long long)bytes * 100 / 1048576;
        char whole[16], part[8];
        tess::FormatText(whole, sizeof whole, "%lu", (unsigned long)(hundredths / 100));
        tess::FormatText(part, sizeof part, "%02lu", (unsigned long)(hundredths % 100));
        tess::FormatText(out, size, "%s.%s MB", whole, part);
    }
}

// ---- messages and windows ---------------------------------------------------------------

int PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return 0;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

void ShowMessage(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK); }

bool CenterWindow(HWND window, HWND over) {
    if (!IsWindow(window)) return false;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    HWND parent = (style & WS_CHILD) ? GetParent(window) : nullptr;
    if (!over) {
        if (parent) {
            over = parent;
        } else {
            HWND owner = GetWindow(window, GW_OWNER);
            if (owner && IsWindowVisible(owner) && !IsIconic(owner)) over = owner;
        }
    }
    RECT bounds, target, rect;
    if (parent) {
        GetClientRect(parent, &bounds);
        if (over && over != parent) {
            GetWindowRect(over, &target);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&target), 2);
        } else {
            target = bounds;
        }
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &bounds, 0);
        if (over) GetWindowRect(over, &target);
        else target = bounds;
    }
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = (target.left + target.right - width) / 2;
    int y = (target.top + target.bottom - height) / 2;
    if (x + width > bounds.right) x = bounds.right - width;
    if (y + height > bounds.bottom) y = bounds.bottom - height;
    if (x < bounds.left) x = bounds.left;
    if (y < bounds.top) y = bounds.top;
    return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void ShowLastError(int line, const char* source_file) {
    DWORD error = GetLastError();
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                             reinterpret_cast<char*>(&text), 0, nullptr);
    if (n == 0 || !text) {
        char message[128];
        tess::FormatText(message, sizeof message, "An error occured calling FormatMessage().Error Code %d",
                         int(error));
        MessageBoxA(nullptr, message, "Generic", MB_OK | MB_ICONWARNING);
        return;
    }
    char caption[MAX_PATH + 40];
    tess::FormatText(caption, sizeof caption, "Generic, Line=%d, File=%s", line, source_file ? source_file : "");
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONWARNING);
    LocalFree(text);
}

// ---- dates ------------------------------------------------------------------------------------

void AgeFromDate(const char* date, char* out, size_t size) {
    if (!out || size == 0) return;
    out[0] = '\0';
    if (!date || strlen(date) < 8) return;
    size_t len = strlen(date);
    int month = (date[0] - '0') * 10 + (date[1] - '0');
    int day = (date[3] - '0') * 10 + (date[4] - '0');
    int year = 1900 + (date[len - 2] - '0') * 10 + (date[len - 1] - '0');
    SYSTEMTIME now;
    GetLocalTime(&now);
    int age = now.wYear - year;
    if (now.wMonth < month || (now.wMonth == month && now.wDay < day)) --age;
    tess::FormatText(out, size, "%d", age);
}

void TodayText(char* out, size_t size, int format) {
    if (!out || size == 0) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    int yy = t.wYear % 100, y = t.wYear, m = t.wMonth, d = t.wDay;
    switch (format & 0xFF) {
    case 2: tess::FormatText(out, size, "%02d/%02d/%02d", d, m, yy); break;
    case 3: tess::FormatText(out, size, "%02d/%02d/%02d", yy, m, d); break;
    case 4: tess::FormatText(out, size, "%04d/%02d/%02d", y, m, d); break;
    case 5: tess::FormatText(out, size, "%02d/%02d/%04d", m, d, y); break;
    case 6: tess::FormatText(out, size, "%02d/%02d/%04d", d, m, y); break;
    case 7: tess::FormatText(out, size, "%04d/%02d/%02d", y, d, m); break;
    default: tess::FormatText(out, size, "%02d/%02d/%02d", m, d, yy); break;
    }
    if (format & 0x100) {
        char date[64];
        tess::CopyText(date, out);
        tess::FormatText(out, size, "%s %02d:%02d:%02d", date, t.wHour, t.wMinute, t.wSecond);
    }
}

void FormatDateRecord(char* out, size_t size, const DateRecord& date, int flags) {
    if (!out || size == 0) return;
    out[0] = '\0';
    if (date.year == 0) return;
    switch (flags & 0xFF) {
    case 1: tess::FormatText(out, size, "%d/%d/%d", date.year, date.month, date.day); break;
    case 2: tess::FormatText(out, size, "%d/%d/%d", date.month, date.day, date.year); break;
    default: tess::FormatText(out, size, "%d/%d/%d", date.day, date.month, date.year); break;
    }
    char day[64];
    tess::CopyText(day, out);
    if (flags & 0x100) {
        int hour = date.hour % 12;
        tess::FormatText(out, size, "%s %d:%02d %s", day, hour ? hour : 12, date.minute,
                         date.hour < 12 ? "AM" : "PM");
    } else if (flags & 0x200) {
        tess::FormatText(out, size, "%s %d:%02d", day, date.hour, date.minute);
    }
}

void FormatLocalDateTime(char* out, size_t size, const SYSTEMTIME& time) {
    if (!out || size == 0) return;
    out[0] = '\0';
    if (time.wYear == 0) return;
    char date[80], clock[80];
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date)) return;
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, sizeof clock)) return;
    tess::FormatText(out, size, "%s %s", date, clock);
}

void FormatDatePart(const char* token, const DateRecord& date, char* out, size_t size) {
    if (!out || size == 0) return;
    out[0] = '\0';
    if (!token) return;
    if (!strcmp(token, "yy")) tess::FormatText(out, size, "%02d", date.year % 100);
    else if (!strcmp(token, "yyyy")) tess::FormatText(out, size, "%04d", date.year);
    else if (!strcmp(token, "dd")) tess::FormatText(out, size, "%02d", date.day);
    else if (!strcmp(token, "MM") || !strcmp(token, "MMM")) tess::FormatText(out, size, "%02d", date.month);
    else if (!strcmp(token, "d")) tess::FormatText(out, size, "%d", date.day);
    else if (!strcmp(token, "M")) tess::FormatText(out, size, "%d", date.month);
}

void AddSeconds(DateRecord& date, long seconds) {
    SYSTEMTIME t{};
    t.wYear = date.year;
    t.wMonth = date.month;
    t.wDay = date.day;
    t.wHour = date.hour;
    t.wMinute = date.minute;
    FILETIME ft;
    if (!SystemTimeToFileTime(&t, &ft)) return;
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    v.QuadPart += (long long)seconds * 10000000LL;
    ft.dwLowDateTime = v.LowPart;
    ft.dwHighDateTime = v.HighPart;
    if (!FileTimeToSystemTime(&ft, &t)) return;
    date.year = t.wYear;
    date.month = t.wMonth;
    date.day_of_week = t.wDayOfWeek;
    date.day = t.wDay;
    date.hour = t.wHour;
    date.minute = t.wMinute;
}

// The Gregorian rule: a century year is a leap year only when it divides by
// 400, so February 1900 had 28 days and February 2000 had 29.
bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int month, int year) {
    switch (month) {
    case 2: return IsLeapYear(year) ? 29 : 28;
    case 4: case 6: case 9: case 11: return 30;
    default: return 31;
    }
}

double RoundTo(double value, int digits) {
    double scale = pow(10.0, digits);
    return floor(value * scale + 0.5) / scale;
}

void ConvertDateText(char* text, size_t size, int format) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!text || strlen(text) < 11) return;
    int month = 0;
    for (int i = 0; i < 12; ++i)
        if (!strncmp(text, kMonths[i], 3)) month = i + 1;
    if (!month) return;
    int day = atoi(text + 4), year = atoi(text + 7);
    const char* time = SkipLeadingSpace(text + 11);
    char clock[64];
    tess::CopyText(clock, time);
    char out[128];
    if (month == 1 && day == 1 && year == 1900) {
        text[0] = '\0';
        return;
    }
    switch (format & 0xFF) {
    case 2: tess::FormatText(out, sizeof out, "%02d%02d/%02d/%02d", year / 100, year % 100, month, day); break;
    case 3: tess::FormatText(out, sizeof out, "%02d/%02d/%02d%02d", month, day, year / 100, year % 100); break;
    default: tess::FormatText(out, sizeof out, "%02d/%02d/%02d", month, day, year % 100); break;
    }
    if (format & 0x100) {
        char date[128];
        tess::CopyText(date, out);
        tess::FormatText(out, sizeof out, "%s %s", date, clock);
    }
    tess::CopyText(text, size, out);
}

// ---- registry ------------------------------------------------------------------------------

BYTE* ReadRegistryValue(HKEY root, const char* key, const char* name, BYTE* buffer, DWORD* size) {
    if (!buffer || !size) return nullptr;
    tess::ScopedRegKey opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, opened.put()) != ERROR_SUCCESS) return nullptr;
    if (RegQueryValueExA(opened.get(), name, nullptr, nullptr, buffer, size) != ERROR_SUCCESS) return nullptr;
    return buffer;
}

BYTE* ReadRegistryValueAlloc(HKEY root, const char* key, const char* name, DWORD* size) {
    tess::ScopedRegKey opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, opened.put()) != ERROR_SUCCESS) return nullptr;
    DWORD needed = 0;
    if (RegQueryValueExA(opened.get(), name, nullptr, nullptr, nullptr, &needed) != ERROR_SUCCESS) return nullptr;
    // One spare zero so a string value that lacks its terminator still ends.
    BYTE* buffer = static_cast<BYTE*>(calloc(needed + 2, 1));
    if (!buffer) return nullptr;
    DWORD got = needed;
    if (RegQueryValueExA(opened.get(), name, nullptr, nullptr, buffer, &got) != ERROR_SUCCESS) {
        free(buffer);
        return nullptr;
    }
    if (size) *size = got;
    return buffer;
}

DWORD ReadRegistryDword(HKEY root, const char* key, const char* name) {
    DWORD value = 0, size = sizeof value;
    tess::ScopedRegKey opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, opened.put()) != ERROR_SUCCESS) return 0;
    DWORD type = 0;
    if (RegQueryValueExA(opened.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return value;
}

LONG WriteRegistryString(HKEY root, const char* key, const char* name, const char* text) {
    tess::ScopedRegKey opened;
    LONG r = RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, opened.put(), nullptr);
    if (r != ERROR_SUCCESS) return r;
    const char* value = text ? text : "";
    return RegSetValueExA(opened.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), DWORD(strlen(value) + 1));
}

LONG WriteRegistryDword(HKEY root, const char* key, const char* name, DWORD value) {
    tess::ScopedRegKey opened;
    LONG r = RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, opened.put(), nullptr);
    if (r != ERROR_SUCCESS) {
        SetLastError(DWORD(r));
        ShowLastError(1041, "utils.cpp");
        return r;
    }
    r = RegSetValueExA(opened.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (r != ERROR_SUCCESS) {
        SetLastError(DWORD(r));
        ShowLastError(1035, "utils.cpp");
    }
    return r;
}

// ---- registration ----------------------------------------------------------------------------

namespace {

bool CallServerEntry(const char* folder, const char* file, const char* entry, const char* failed,
                     const char* load_caption) {
    char path[MAX_PATH];
    if (!folder || !file || !tess::FormatText(path, sizeof path, "%s\\%s", folder, file)) {
        MessageBoxA(nullptr, "The path of the DLL is too long.", load_caption, MB_OK | MB_ICONERROR);
        return false;
    }
    tess::ScopedModule library(LoadLibraryA(path));
    if (!library) {
        DWORD error = GetLastError();
        char* text = nullptr;
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
        MessageBoxA(nullptr, text ? text : "", load_caption, MB_OK | MB_ICONERROR);
        if (text) LocalFree(text);
        return false;
    }
    using Entry = HRESULT(__stdcall*)();
    auto call = reinterpret_cast<Entry>(GetProcAddress(library.get(), entry));
    if (!call) {
        MessageBoxA(nullptr, "Unable to locate entry point in the DLL", "ERROR", MB_OK | MB_ICONERROR);
        return false;
    }
    if (FAILED(call())) {
        MessageBoxA(nullptr, failed, "ERROR", MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

}  // namespace

bool RegisterServerDll(const char* folder, const char* file) {
    return CallServerEntry(folder, file, "DllRegisterServer", "Failed to register the DLL", "Error Registering OCX");
}

bool UnregisterServerDll(const char* folder, const char* file) {
    return CallServerEntry(folder, file, "DllUnregisterServer", "Failed to unregister the DLL",
                           "Error UnRegistering DLL");
}

}  // namespace gantrel
