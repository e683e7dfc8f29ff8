// The clock's texts: the standard time and date, and the user's format
// strings, formatted in two passes so that a format can mix time and date
// pictures. The first pass wraps each run of time pictures in markers; the
// time pass formats them, the markers become quotes, and the date pass then
// leaves the formatted time alone while it formats the date pictures.
#include <cstring>
#include <vector>
#include "types/clock_item.h"

namespace {

constexpr char kMarker = 6;
constexpr char kQuote = '\'';
constexpr int kStandardTextChars = 200;

bool IsTimePicture(char c) {
    return c == 'H' || c == 'h' || c == 'm' || c == 's' || c == 't';
}

// The output buffers are sized by asking the function first, so a long
// format is never cut or overrun; a failure leaves out untouched.
bool TimeFormat(const SYSTEMTIME& time, DWORD flags, const char* format, std::string* out) {
    int needed = ::GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, flags, &time, format, nullptr, 0);
    if (needed <= 0) return false;
    std::vector<char> buffer(static_cast<size_t>(needed) + 1, '\0');
    if (::GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, flags, &time, format, buffer.data(), needed) <= 0)
        return false;
    out->assign(buffer.data());
    return true;
}

bool DateFormat(const SYSTEMTIME& time, DWORD flags, const char* format, std::string* out) {
    int needed = ::GetDateFormatA(LOCALE_SYSTEM_DEFAULT, flags, &time, format, nullptr, 0);
    if (needed <= 0) return false;
    std::vector<char> buffer(static_cast<size_t>(needed) + 1, '\0');
    if (::GetDateFormatA(LOCALE_SYSTEM_DEFAULT, flags, &time, format, buffer.data(), needed) <= 0)
        return false;
    out->assign(buffer.data());
    return true;
}

// The standard texts were at most 199 characters.
void CutToStandardLength(std::string* text) {
    if (text->size() >= kStandardTextChars) text->resize(kStandardTextChars - 1);
}

}  // namespace

std::string QuoteClockTimePictures(const char* format) {
    std::string out;
    if (!format) return out;
    // Each input character gives itself and at most one marker.
    out.reserve(std::strlen(format) * 2 + 1);
    char run = 0;
    char previous = 0;
    for (const char* p = format; *p; ++p) {
        const char c = *p;
        bool ended_run = false;
        bool next_run_follows = false;
        if (run && c != run) {
            ended_run = true;
            run = 0;
            // A run of another picture right after one stays inside the same
            // quoted piece: markers between the two would make an escaped
            // quote ("''") of the date pass.
            next_run_follows = IsTimePicture(c);
            if (c != kQuote && !next_run_follows) out += kMarker;
        }
        if (!run && IsTimePicture(c)) {
            if (next_run_follows) {
                // already inside the quoted piece
            } else if (previous == kQuote) {
                // The picture is the user's quoted text: the marker written
                // after the quote goes. A quote that closed a run wrote none,
                // and the quote itself stays.
                if (!out.empty() && out.back() == kMarker) out.pop_back();
            } else {
                out += kMarker;
            }
            run = c;
        }
        out += c;
        if (c == kQuote && !ended_run) out += kMarker;
        previous = c;
    }
    return out;
}

void KeepClockLines(std::string* text, int lineCount) {
    if (!text || lineCount < 1) return;
    size_t from = 0;
    for (int line = 0; line < lineCount; ++line) {
        size_t separator = text->find("\\n", from);
        if (separator == std::string::npos) return;
        if (line == lineCount - 1) {
            text->resize(separator);
            return;
        }
        from = separator + 2;
    }
}

bool FormatCustomClockText(const SYSTEMTIME& time, const char* format, int lineCount,
                           std::string* out) {
    if (!out) return false;
    std::string marked = QuoteClockTimePictures(format ? format : "");
    std::string timed;
    if (marked.empty()) {
        timed.clear();
    } else if (!TimeFormat(time, 0, marked.c_str(), &timed)) {
        return false;
    }
    for (char& c : timed)
        if (c == kMarker) c = kQuote;
    std::string dated;
    if (!timed.empty() && !DateFormat(time, 0, timed.c_str(), &dated)) return false;
    KeepClockLines(&dated, lineCount);
    *out = dated;
    return true;
}

bool FormatStandardClockTime(const SYSTEMTIME& time, bool seconds, bool force24Hours,
                             std::string* out) {
    if (!out) return false;
    DWORD flags = (seconds ? 0 : TIME_NOSECONDS) | (force24Hours ? TIME_FORCE24HOURFORMAT : 0);
    std::string text;
    if (!TimeFormat(time, flags, nullptr, &text)) return false;
    CutToStandardLength(&text);
    *out = text;
    return true;
}

bool FormatStandardClockDate(const SYSTEMTIME& time, bool longDate, std::string* out) {
    if (!out) return false;
    std::string text;
    if (!DateFormat(time, longDate ? DATE_LONGDATE : DATE_SHORTDATE, nullptr, &text)) return false;
    CutToStandardLength(&text);
    *out = text;
    return true;
}
