// The owner-drawn header lines of the bar context menu, served by the bar
// window: measured and drawn in a bold menu font as a tooltip-coloured box
// naming the item, the section or the bar.
#include <cstring>
#include "model/bar_menu_resources.h"
#include "model/menu_header_text.h"
#include "model/vellum_menu_object.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr UINT kItemHeaderId = 40063;

// One font for every bar: only one menu runs at a time.
tess::ScopedFont& HeaderFont() {
    static tess::ScopedFont font;
    return font;
}

bool AnyLineHasText() {
    return GetItemMenuHeaderText()[0] || GetSectionMenuHeaderText()[0] || GetBarMenuHeaderText()[0];
}

void MakeHeaderFont() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
    metrics.lfMenuFont.lfWeight = FW_BOLD;
    HeaderFont().reset(::CreateFontIndirectA(&metrics.lfMenuFont));
}

// The line an entry shows, or null when it is not a header or its line is
// empty. 40142 shows the item line without its first five characters.
const char* LineOf(UINT id) {
    const char* line = nullptr;
    if (id == kItemHeaderId) line = GetItemMenuHeaderText();
    if (id == IDM_NEW_SECTION) {
        line = GetItemMenuHeaderText();
        line += std::strlen(line) < 5 ? std::strlen(line) : 5;
    }
    if (id == IDM_SECTION_HEADER) line = GetSectionMenuHeaderText();
    if (id == IDM_BAR_HEADER) line = GetBarMenuHeaderText();
    return line && line[0] ? line : nullptr;
}

bool TwoLines(UINT id) { return id == IDM_SECTION_HEADER && IsItemHeaderSecondLine(); }

// The section line as drawn with the item line under it: "," once at its end.
void SectionLineWithComma(char (&out)[kMenuHeaderTextSize + 2]) {
    tess::CopyText(out, GetSectionMenuHeaderText());
    const size_t n = std::strlen(out);
    if (n == 0 || out[n - 1] != ',') tess::AppendText(out, ",");
}

SIZE TextSize(HDC dc, const char* text) {
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return size;
}

void MeasureHeader(MEASUREITEMSTRUCT* measure, const char* line) {
    if (!HeaderFont()) MakeHeaderFont();
    tess::ScopedWindowDc dc(nullptr);
    tess::ScopedSelect font(dc.get(), HeaderFont().get());
    SIZE size = TextSize(dc.get(), line);
    LONG width = size.cx;
    LONG height = size.cy + 18;
    if (TwoLines(measure->itemID)) {
        SIZE second = TextSize(dc.get(), GetItemMenuHeaderText());
        if (second.cx > width) width = second.cx;
        height += second.cy + 4;
    }
    measure->itemWidth = static_cast<UINT>(width + 14);
    measure->itemHeight = static_cast<UINT>(height);
}

void DrawCentred(HDC dc, RECT rect, const char* text) {
    ::DrawTextA(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void DrawHeader(const DRAWITEMSTRUCT* draw, const char* line) {
    HDC dc = draw->hDC;
    RECT box = draw->rcItem;
    ::InflateRect(&box, -6, -3);
    tess::ScopedBrush fill(::CreateSolidBrush(::GetSysColor(COLOR_INFOBK)));
    ::FillRect(dc, &box, fill.get());
    ::FrameRect(dc, &box, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));

    if (!HeaderFont()) MakeHeaderFont();
    tess::ScopedSelect font(dc, HeaderFont().get());
    const int old_mode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF old_color = ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
    if (TwoLines(draw->itemID)) {
        char first[kMenuHeaderTextSize + 2];
        SectionLineWithComma(first);
        const int step = TextSize(dc, first).cy + 4;
        RECT upper = box;
        ::OffsetRect(&upper, 0, -step / 2);
        DrawCentred(dc, upper, first);
        RECT lower = upper;
        ::OffsetRect(&lower, 0, step);
        DrawCentred(dc, lower, GetItemMenuHeaderText());
    } else {
        DrawCentred(dc, box, line);
    }
    ::SetTextColor(dc, old_color);
    ::SetBkMode(dc, old_mode);
}

}  // namespace

bool CVellumMenuObject::ServeContextMenuHeader(UINT msg, WPARAM, LPARAM lp) {
    if (!lp) return false;
    if (msg == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (measure->CtlType != ODT_MENU) return false;
        const char* line = LineOf(measure->itemID);
        if (!line) return false;
        MeasureHeader(measure, line);
        return true;
    }
    if (msg == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (draw->CtlType != ODT_MENU) return false;
        const char* line = LineOf(draw->itemID);
        if (!line) return false;
        DrawHeader(draw, line);
        return true;
    }
    return false;
}

void CVellumMenuObject::CreateMenuHeaderFont() {
    if (AnyLineHasText()) MakeHeaderFont();
}

void CVellumMenuObject::DeleteMenuHeaderFont() { HeaderFont().reset(); }
