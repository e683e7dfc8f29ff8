// Bar layout and size rules: placing the sections along the bar, the bar's
// minimum and maximum size, the user's size rules, clamping a proposed size
// with one side anchored, and snapping the height to the skin's steps.
#include <windows.h>
#include "model/bar_drawing.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/text.h"

namespace {

constexpr int kMinimumFloor = 10;     // a minimum below this ...
constexpr int kMinimumFallback = 5;   // ... becomes this

// A size or rectangle in bar axes: "along" runs with the sections.
struct AxisSpan {
    int along;
    int across;
};

AxisSpan ToAxes(SIZE size, bool vertical) {
    return vertical ? AxisSpan{size.cy, size.cx} : AxisSpan{size.cx, size.cy};
}

SIZE FromAxes(AxisSpan span, bool vertical) {
    return vertical ? SIZE{span.across, span.along} : SIZE{span.along, span.across};
}

// The section's length along the bar as the bar gives it (CalcSize).
int SectionLength(CVellumMenuSection* section, bool vertical) {
    return ToAxes(section->CalcSize(), vertical).along;
}

// Places a section between along positions a and b, across the whole usable area.
void PlaceSection(CVellumMenuSection* section, int a, int b, const AxisSpan& start,
                  const AxisSpan& end, bool vertical) {
    section->SetSectionRect(a, start.across, b, end.across, vertical ? 1 : 0);
}

void EmptySection(CVellumMenuSection* section) {
    section->SetSectionRect(0, 0, 0, 0, 0);
}

// Phrases of the size-rule modifiers, without the axis word.
const char* const kFractionPhrases[8] = {"", "", "", "1/2 ", "1/3 ", "2/3 ", "1/4 ", "3/4 "};

}  // namespace

// ---- laying the bar out ---------------------------------------------------------------------

void CVellumMenuObject::RecalcRects(int redraw, int updatePos) {
    if (m_loading) return;
    // The second pass places again the sections that changed size in the first.
    RecalcRectsFlexible();
    RecalcRectsFlexible();
    if (updatePos) UpdatePos();
    if (redraw) UpdateToDrawBitmap(nullptr, nullptr, nullptr);
    UpdateTooltips();
}

int CVellumMenuObject::RecalcRectsStandard() {
    return m_constructed && m_hWnd ? 1 : 0;
}

int CVellumMenuObject::RecalcRectsFlexible() {
    if (m_loading || !m_constructed || !m_hWnd || !m_skin) return 0;
    const bool vertical = DisplayVertically != FALSE;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const RECT& edge = m_skin->EdgeBuffer;
    const AxisSpan start = ToAxes(SIZE{edge.left, edge.top}, vertical);
    const AxisSpan end = ToAxes(SIZE{client.right - edge.right, client.bottom - edge.bottom},
                                vertical);

    const int count = GetSectionCount();
    for (int i = 0; i < count; ++i) {
        m_sections[i]->RecalcRectsFlexible();
        m_sections[i]->SetWidth(m_sections[i]->m_userWidth);
    }

    // Front pass: fixed sections from the start up to the first resizable one.
    int p = start.along;
    int first_resizable = -1;
    for (int i = 0; i < count; ++i) {
        CVellumMenuSection* section = m_sections[i];
        if (section->IsHidden) continue;
        if (section->bResizable) {
            first_resizable = i;
            break;
        }
        int length = SectionLength(section, vertical);
        if (length > end.along - p) length = end.along - p;
        if (length < 0) length = 0;
        PlaceSection(section, p, p + length, start, end, vertical);
        p += length;
    }
    if (first_resizable < 0) return 1;

    // Back pass: fixed sections from the end back to the last resizable one.
    int e = end.along;
    int last_resizable = first_resizable;
    for (int i = count - 1; i > first_resizable; --i) {
        CVellumMenuSection* section = m_sections[i];
        if (section->IsHidden) continue;
        if (section->bResizable) {
            last_resizable = i;
            break;
        }
        int length = SectionLength(section, vertical);
        PlaceSection(section, e - length, e, start, end, vertical);
        e -= length;
    }

    // The middle: shrink the resizable sections (last first) by what overflows.
    // Each is asked once, so the loop ends even when every section refuses.
    int needed = p;
    for (int i = first_resizable; i <= last_resizable; ++i)
        needed += SectionLength(m_sections[i], vertical);
    int overflow = needed - e;
    for (int i = last_resizable; i >= first_resizable && overflow > 0; --i) {
        CVellumMenuSection* section = m_sections[i];
        if (!section->bResizable || section->IsHidden) continue;
        int before = SectionLength(section, vertical);
        section->SetWidth(before - overflow);
        overflow -= before - SectionLength(section, vertical);
    }

    const int middle_start = p;
    for (int i = first_resizable; i <= last_resizable; ++i) {
        CVellumMenuSection* section = m_sections[i];
        if (section->IsHidden) {
            EmptySection(section);
            continue;
        }
        if (i == last_resizable) {
            section->SetWidth(e - p);
            PlaceSection(section, p, e, start, end, vertical);
        } else {
            PlaceSection(section, p, p + SectionLength(section, vertical), start, end, vertical);
        }
        p += SectionLength(section, vertical);
    }

    // What is still missing or left over goes to the resizable sections, last
    // first; each is asked once. Then the middle is placed again from its
    // start with the lengths taken, the last resizable one reaching the end.
    int gap = e - p;
    if (gap == 0) return 1;
    for (int i = last_resizable; i >= first_resizable && gap != 0; --i) {
        CVellumMenuSection* section = m_sections[i];
        if (!section->bResizable || section->IsHidden) continue;
        if (i == last_resizable && gap > 0) continue;
        int before = SectionLength(section, vertical);
        section->SetWidth(before + gap);
        gap -= SectionLength(section, vertical) - before;
    }
    p = middle_start;
    for (int i = first_resizable; i <= last_resizable; ++i) {
        CVellumMenuSection* section = m_sections[i];
        if (section->IsHidden) {
            EmptySection(section);
            continue;
        }
        int length = SectionLength(section, vertical);
        int stop = i == last_resizable && p + length < e ? e : p + length;
        PlaceSection(section, p, stop, start, end, vertical);
        p += length;
    }
    return 1;
}

// ---- size limits ----------------------------------------------------------------------------

SIZE CVellumMenuObject::CalcMinMaxSize(int wantMin) {
    if (!m_skin) return SIZE{0, 0};
    const bool vertical = DisplayVertically != FALSE;
    AxisSpan total = {0, 0};
    const int count = GetSectionCount();
    for (int i = 0; i < count; ++i) {
        CVellumMenuSection* section = m_sections[i];
        AxisSpan size = ToAxes(section->CalcMinMaxSize(wantMin ? 1 : 0), vertical);
        if (!wantMin && section->bResizable && section->MaxItems == -2) size.along = -1;
        if (total.along >= 0) total.along = size.along < 0 ? -1 : total.along + size.along;
        if (total.across >= 0) {
            if (size.across < 0) total.across = -1;
            else if (size.across > total.across) total.across = size.across;
        }
    }
    SIZE result = FromAxes(total, vertical);
    const RECT& edge = m_skin->EdgeBuffer;
    if (result.cx >= 0) result.cx += edge.left + edge.right;
    if (result.cy >= 0) result.cy += edge.top + edge.bottom;
    return result;
}

int CVellumMenuObject::GetSize(long modifier, long pixels, long subtract, long horizontal,
                               char* textOut) {
    const char* axis = horizontal ? "width of screen" : "height of screen";
    if (textOut) {
        // The caller's buffer is a dialog text of the usual size.
        constexpr size_t kPhraseSize = 64;
        if (modifier == 0) {
            tess::CopyText(textOut, kPhraseSize, "None");
        } else if (modifier == 1) {
            tess::CopyText(textOut, kPhraseSize, "Exactly");
        } else if (modifier == 2) {
            tess::CopyText(textOut, kPhraseSize, horizontal ? "Width of screen" : "Height of screen");
        } else if (modifier >= 3 && modifier <= 7) {
            tess::FormatText(textOut, kPhraseSize, "%s%s", kFractionPhrases[modifier], axis);
        } else {
            return -1;
        }
        return 1;
    }

    if (modifier == 1) return static_cast<int>(pixels);
    if (modifier < 2 || modifier > 7) return -1;

    int d;
    if (bUseScreenSizes) {
        d = horizontal ? m_monitorSize.cx : m_monitorSize.cy;
        if (d <= 0) d = ::GetSystemMetrics(horizontal ? SM_CXSCREEN : SM_CYSCREEN);
    } else {
        RECT work = {0, 0, 0, 0};
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (m_hMonitor && ::GetMonitorInfoA(m_hMonitor, &info))
            work = info.rcWork;
        else
            ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        d = horizontal ? work.right - work.left : work.bottom - work.top;
    }

    int value = 0;
    switch (modifier) {
    case 2: value = d; break;
    case 3: value = d / 2; break;
    case 4: value = d / 3; break;
    case 5: value = 2 * d / 3; break;
    case 6: value = d / 4; break;
    case 7: value = 3 * d / 4; break;
    }
    value = subtract ? value - static_cast<int>(pixels) : value + static_cast<int>(pixels);
    return value < 0 ? 0 : value;
}

int CVellumMenuObject::AdjustForMinimumSize(SIZE* size, POINT* origin, int applyRules) {
    if (!size) return 0;
    const SIZE before = *size;
    SIZE screen = m_monitorSize;
    if (screen.cx <= 0) screen.cx = ::GetSystemMetrics(SM_CXSCREEN);
    if (screen.cy <= 0) screen.cy = ::GetSystemMetrics(SM_CYSCREEN);

    SIZE minimum = CalcMinMaxSize(1);
    if (minimum.cx < 0) minimum.cx = screen.cx;
    if (minimum.cy < 0) minimum.cy = screen.cy;
    if (minimum.cx < kMinimumFloor) minimum.cx = kMinimumFallback;
    if (minimum.cy < kMinimumFloor) minimum.cy = kMinimumFallback;

    const POINT at = origin ? *origin : m_placement.LastPos;
    const SIZE room = {screen.cx - at.x, screen.cy - at.y};

    SIZE maximum = CalcMinMaxSize(0);
    if (maximum.cx < 0 || maximum.cx > room.cx) maximum.cx = room.cx;
    if (maximum.cy < 0 || maximum.cy > room.cy) maximum.cy = room.cy;
    if (maximum.cx < minimum.cx) maximum.cx = minimum.cx;
    if (maximum.cy < minimum.cy) maximum.cy = minimum.cy;

    if (size->cx < minimum.cx) size->cx = minimum.cx;
    if (size->cy < minimum.cy) size->cy = minimum.cy;
    if (bRestrictMaximumSize) {
        if (size->cx > maximum.cx) size->cx = maximum.cx;
        if (size->cy > maximum.cy) size->cy = maximum.cy;
    }

    if (applyRules) {
        int v = GetSize(ptMIN.modifiers.x, ptMIN.pixels.x, ptMIN.subtract.x, 1, nullptr);
        if (v > 0 && v > size->cx) size->cx = v;
        v = GetSize(ptMIN.modifiers.y, ptMIN.pixels.y, ptMIN.subtract.y, 0, nullptr);
        if (v > 0 && v > size->cy) size->cy = v;
        v = GetSize(ptMAX.modifiers.x, ptMAX.pixels.x, ptMAX.subtract.x, 1, nullptr);
        if (v > 0 && v < size->cx) size->cx = v;
        v = GetSize(ptMAX.modifiers.y, ptMAX.pixels.y, ptMAX.subtract.y, 0, nullptr);
        if (v > 0 && v < size->cy) size->cy = v;
    }
    return size->cx != before.cx || size->cy != before.cy ? 1 : 0;
}

// ---- anchored size changes ----------------------------------------------------------------------

int CVellumMenuObject::CorrectAutoSizeChange(SIZE* size, RECT* out, int edge, POINT* origin,
                                             SIZE* delta, int applyRules) {
    if (!size || !out) return 0;
    const POINT at = origin ? *origin : m_placement.LastPos;
    if (edge < 0) edge = m_resizeEdge > 0 ? m_resizeEdge : 0;

    bool grow_left = false, grow_up = false;
    if (!m_keepSizeAnchored) {
        grow_left = ResizingMovingLeft != FALSE;
        grow_up = ResizingMovingUp != FALSE;
        if (UseAutohide) {
            switch (m_autohide.edge) {
            case kEdgeLeft: grow_left = false; break;
            case kEdgeTop: grow_up = false; break;
            case kEdgeRight: grow_left = true; break;
            case kEdgeBottom: grow_up = true; break;
            default: break;
            }
        }
        // The edge the user drags moves; the opposite one stays.
        if (edge == 1 || edge == 5 || edge == 6) grow_up = true;
        if (edge == 2 || edge == 7 || edge == 8) grow_up = false;
        if (edge == 4 || edge == 6 || edge == 8) grow_left = false;
        if (edge == 3 || edge == 5 || edge == 7) grow_left = true;
    }

    POINT clamp_origin = at;
    AdjustForMinimumSize(size, &clamp_origin, applyRules);

    const SIZE old = m_placement.LastSize;
    RECT result = {at.x, at.y, at.x + old.cx, at.y + old.cy};
    if (grow_left) result.left += old.cx - size->cx;
    else result.right += size->cx - old.cx;
    if (grow_up) result.top += old.cy - size->cy;
    else result.bottom += size->cy - old.cy;
    *out = result;
    if (delta) *delta = SIZE{size->cx - old.cx, size->cy - old.cy};
    return 1;
}

int CVellumMenuObject::CorrectAutoSizeChange(int x, int y, int cx, int cy, RECT* out, int edge,
                                             SIZE* delta, int applyRules) {
    SIZE size = {cx, cy};
    POINT origin = {x, y};
    return CorrectAutoSizeChange(&size, out, edge, &origin, delta, applyRules);
}

int CVellumMenuObject::CorrectAutoSizeChange(int* x, int* y, int* cx, int* cy, int edge,
                                             SIZE* delta, int applyRules) {
    if (!x || !y || !cx || !cy) return 0;
    RECT out;
    if (!CorrectAutoSizeChange(*x, *y, *cx, *cy, &out, edge, delta, applyRules)) return 0;
    *x = out.left;
    *y = out.top;
    *cx = out.right - out.left;
    *cy = out.bottom - out.top;
    return 1;
}

// ---- height steps ----------------------------------------------------------------------------

int CVellumMenuObject::CheckHeightByMultiple(int* height, int down) {
    if (!height || DisplayVertically || !m_skin || m_skin->ResizeBase < 0) return 0;
    const int base = m_skin->ResizeBase;
    const int step = m_skin->ResizeMultiple > 0 ? m_skin->ResizeMultiple : 1;
    const int before = *height;
    if (before < base) {
        *height = base;
    } else {
        const int d = before - base;
        int snapped = base + step * (d / step);
        if (!down && d % step > step / 2) snapped += step;
        *height = snapped;
    }
    return *height != before ? 1 : 0;
}
