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

// Some systems' formatting functions take formats and give texts of a
// limited length only (Wine refuses or even faults on a few hundred
// characters), so a custom format is formatted in pieces: cut only between
// pictures and quoted texts, each piece formats alone as it would inside the
// whole. A quoted text longer than a piece is closed and opened again.
constexpr size_t kPieceChars = 40;

// Pictures (runs of one letter), quoted texts (with their quotes; two quotes
// inside stand for one) and single other characters.
std::vector<std::string> FormatTokens(const std::string& format) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < format.size()) {
        size_t end = i + 1;
        if (format[i] == kQuote) {
            while (end < format.size()) {
                if (format[end] == kQuote && end + 1 < format.size() && format[end + 1] == kQuote) {
                    end += 2;
                    continue;
                }
                if (format[end] == kQuote) {
                    ++end;
                    break;
                }
                ++end;
            }
        } else {
            while (end < format.size() && format[end] == format[i]) ++end;
        }
        tokens.push_back(format.substr(i, end - i));
        i = end;
    }
    return tokens;
}

// A quoted text cut into quoted pieces, never between two quotes that stand
// for one; any other over-long token in plain slices.
void SplitLongToken(const std::string& token, std::vector<std::string>* pieces) {
    if (token[0] != kQuote) {
        for (size_t at = 0; at < token.size(); at += kPieceChars)
            pieces->push_back(token.substr(at, kPieceChars));
        return;
    }
    const bool closed = token.size() >= 2 && token.back() == kQuote;
    const std::string inner = token.substr(1, token.size() - (closed ? 2 : 1));
    const std::string quote(1, kQuote);
    std::string piece;
    for (size_t i = 0; i < inner.size();) {
        const size_t unit = inner[i] == kQuote && i + 1 < inner.size() && inner[i + 1] == kQuote ? 2 : 1;
        if (piece.size() + unit > kPieceChars - 2) {
            pieces->push_back(quote + piece + quote);
            piece.clear();
        }
        piece += inner.substr(i, unit);
        i += unit;
    }
    if (!piece.empty()) pieces->push_back(quote + piece + quote);
}

std::vector<std::string> FormatPieces(const std::string& format) {
    std::vector<std::string> pieces;
    std::string piece;
    for (const std::string& token : FormatTokens(format)) {
        if (token.size() > kPieceChars) {
            if (!piece.empty()) pieces.push_back(piece);
            piece.clear();
            SplitLongToken(token, &pieces);
            continue;
        }
        if (piece.size() + token.size() > kPieceChars) {
            pieces.push_back(piece);
            piece.clear();
        }
        piece += token;
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

typedef int(WINAPI* FormatFn)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);

// One call; the buffer is sized by asking first. A failure leaves out untouched.
bool FormatOnce(FormatFn fn, const SYSTEMTIME& time, DWORD flags, const char* format,
                std::string* out) {
    int needed = fn(LOCALE_SYSTEM_DEFAULT, flags, &time, format, nullptr, 0);
    if (needed <= 0) return false;
    std::vector<char> buffer(static_cast<size_t>(needed) + 1, '\0');
    if (fn(LOCALE_SYSTEM_DEFAULT, flags, &time, format, buffer.data(), needed) <= 0) return false;
    out->assign(buffer.data());
    return true;
}

bool FormatInPieces(FormatFn fn, const SYSTEMTIME& time, const std::string& format,
                    std::string* out) {
    std::string whole;
    for (const std::string& piece : FormatPieces(format)) {
        std::string text;
        if (!FormatOnce(fn, time, 0, piece.c_str(), &text)) return false;
        whole += text;
    }
    *out = whole;
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
    if (!FormatInPieces(::GetTimeFormatA, time, marked, &timed)) return false;
    for (char& c : timed)
        if (c == kMarker) c = kQuote;
    std::string dated;
    if (!FormatInPieces(::GetDateFormatA, time, timed, &dated)) return false;
    KeepClockLines(&dated, lineCount);
    *out = dated;
    return true;
}

bool FormatStandardClockTime(const SYSTEMTIME& time, bool seconds, bool force24Hours,
                             std::string* out) {
    if (!out) return false;
    DWORD flags = (seconds ? 0 : TIME_NOSECONDS) | (force24Hours ? TIME_FORCE24HOURFORMAT : 0);
    std::string text;
    if (!FormatOnce(::GetTimeFormatA, time, flags, nullptr, &text)) return false;
    CutToStandardLength(&text);
    *out = text;
    return true;
}

bool FormatStandardClockDate(const SYSTEMTIME& time, bool longDate, std::string* out) {
    if (!out) return false;
    std::string text;
    if (!FormatOnce(::GetDateFormatA, time, longDate ? DATE_LONGDATE : DATE_SHORTDATE, nullptr, &text))
        return false;
    CutToStandardLength(&text);
    *out = text;
    return true;
}
