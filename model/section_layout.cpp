// Section layout: the size a section asks of its bar, placing it in the
// rectangle the bar gives it, its title, the width the user gives it, the
// five ways its items are laid out and where its scroll arrows go.
// Item rectangles are relative to the inner rectangle's origin.
#include <windows.h>
#include "model/bar_drawing.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/handles.h"

namespace {

SkinRecord* SkinOf(const CVellumMenuSection* section) {
    return section->m_skinSlot ? *section->m_skinSlot : nullptr;
}

int StyleOf(const CVellumMenuSection* section) {
    int style = section->iSectionSkin;
    return style < 0 ? 0 : (style >= kMaxSectionStyles ? kMaxSectionStyles - 1 : style);
}

bool IsVertical(const CVellumMenuSection* section) {
    return section->m_pBar && section->m_pBar->DisplayVertically;
}

// The item height of the section's style; never 0, so rows can be counted.
int StyleItemHeight(const SkinRecord* skin, int style) {
    int height = skin->item_height[style] > 0 ? skin->item_height[style] : skin->ItemHeight;
    return height > 0 ? height : 1;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void Empty(CVellumMenuItem* item) {
    if (item) ::SetRectEmpty(&item->m_itemRect);
}


}  // namespace

// ---- placing the section ---------------------------------------------------------------------

int CVellumMenuSection::SetSectionRect(int a, int b, int c, int d, int swap) {
    RECT rect = swap ? RECT{b, a, d, c} : RECT{a, b, c, d};
    if (::EqualRect(&rect, &m_outerRect)) return 0;
    m_outerRect = rect;
    UpdateThisSectionBuffer();
    m_innerRect = RECT{rect.left + m_margins.left, rect.top + m_margins.top,
                       rect.right - m_margins.right, rect.bottom - m_margins.bottom};
    return 1;
}

void CVellumMenuSection::UpdateThisSectionBuffer() {
    m_margins = RECT{0, 0, 0, 0};
    SkinRecord* skin = SkinOf(this);
    if (!skin) return;
    const int style = StyleOf(this);
    m_margins = RECT{skin->SectionBuffer_Left[style], skin->SectionBuffer_Top[style],
                     skin->SectionBuffer_Right[style], skin->SectionBuffer_Bottom[style]};
    if (!bCombineSkin || !m_pBar) return;
    // Neighbours of the same style join without a margin between them.
    const bool vertical = IsVertical(this);
    CVellumMenuSection* previous = m_pBar->GetPreviousSection(this);
    CVellumMenuSection* next = m_pBar->GetNextSection(this);
    if (previous && previous->iSectionSkin == iSectionSkin) (vertical ? m_margins.top : m_margins.left) = 0;
    if (next && next->iSectionSkin == iSectionSkin) (vertical ? m_margins.bottom : m_margins.right) = 0;
}

int CVellumMenuSection::CalcTitleRect(int x, int y) {
    ::SetRectEmpty(&m_titleRect);
    SkinRecord* skin = SkinOf(this);
    if (!skin || !m_titleVisible || !Title[0]) return 0;

    tess::ScopedWindowDc screen(nullptr);
    tess::ScopedMemoryDc dc(::CreateCompatibleDC(screen.get()));
    if (!dc) return 0;
    RECT measured = {0, 0, 0, 10000};
    DrawSkinItemText(skin, dc.get(), Title, &measured, DT_CALCRECT | DT_SINGLELINE,
                     kSkinStateNormalItem, 0, 0, 0, false, false, 0, 0, 0, 0, nullptr);
    const int tw = Width(measured), th = Height(measured);
    const int buffer = skin->ItemWidthBuffer;
    m_titleRect.left = x + m_margins.left;
    m_titleRect.right = m_titleRect.left + buffer + tw + 2;
    if (IsVertical(this)) {
        m_titleRect.top = y + m_margins.top;
        m_titleRect.bottom = m_titleRect.top + buffer + th + 2;
    } else {
        m_titleRect.top = 0;
        m_titleRect.bottom = Height(m_outerRect);
    }
    return 1;
}

// ---- sizes ---------------------------------------------------------------------------------------

SIZE CVellumMenuSection::CalcSize() {
    if (IsHidden) return SIZE{0, 0};
    SIZE ideal = CalcIdealSize();
    if (m_userWidth <= 0) return ideal;
    if (IsVertical(this)) return SIZE{ideal.cx, m_userWidth};
    return SIZE{m_userWidth, Height(m_outerRect)};
}

SIZE CVellumMenuSection::CalcIdealSize() {
    SkinRecord* skin = SkinOf(this);
    if (!skin) return SIZE{0, 0};
    UpdateThisSectionBuffer();
    const bool vertical = IsVertical(this);
    const int count = GetNumOfItems();
    SIZE size = {0, 0};
    if (vertical) {
        size.cy = count * StyleItemHeight(skin, StyleOf(this));
    } else {
        for (int i = 0; i < count; ++i) size.cx += m_items[i]->CalcSize(0, 0).cx;
        size.cy = skin->SkinHeight;
    }
    size.cx += m_margins.left + m_margins.right;
    size.cy += m_margins.top + m_margins.bottom;
    CalcTitleRect(0, 0);
    if (vertical) size.cy += Height(m_titleRect);
    else size.cx += Width(m_titleRect);
    return size;
}

SIZE CVellumMenuSection::CalcMinMaxSize(int minimum) {
    SkinRecord* skin = SkinOf(this);
    if (IsHidden || !skin) return SIZE{0, 0};
    UpdateThisSectionBuffer();
    CalcTitleRect(0, 0);
    const bool vertical = IsVertical(this);
    const int style = StyleOf(this);
    const int tw = Width(m_titleRect), th = Height(m_titleRect);

    int n = minimum ? MinItems : MaxItems;
    if ((!vertical || !AllowMultipleRowsCols) && !bResizable) n = -1;

    SIZE size = {0, 0};
    if (n < -1) {
        // Only the grip.
        if (vertical) size = SIZE{skin->GripWidth[style], skin->GripWidth[style] + th};
        else size = SIZE{tw + skin->GripWidth[style], skin->ItemHeight};
    } else {
        const int count = GetNumOfItems();
        int along = (n == -1 || n > 0) ? (vertical ? th : tw) : 0;
        if (n == -1) n = count;
        int across = 0;
        int first = m_firstShownItem > 0 ? m_firstShownItem : 0;
        int measured = 0;
        const int equal_width = minimum ? MinItemWidth : MaxItemWidth;
        for (int k = first; k < count && measured < n; ++k, ++measured) {
            SIZE s = m_items[k]->CalcSize(1, minimum);
            if (vertical) {
                along += s.cy;
                across = equal_width;
            } else {
                along += EqualWidths ? equal_width : s.cx;
                if (s.cy > across) across = s.cy;
            }
        }
        if (vertical && EqualWidths) {
            across = 0;
            for (int k = 0; k < count; ++k) {
                SIZE s = m_items[k]->CalcSize(1, minimum);
                if (s.cx > across) across = s.cx;
            }
        }
        size = vertical ? SIZE{across, along} : SIZE{along, across};
        size.cx += m_margins.left + m_margins.right;
        size.cy += m_margins.top + m_margins.bottom;
        if (first + measured < count || first > 0) {
            RECT arrows;
            AdjustArrows(&arrows, 1, 1);
            size.cx += arrows.left + arrows.right;
            size.cy += arrows.top + arrows.bottom;
        }
    }
    if (skin->cxTileSize > 0 && size.cx < skin->cxTileSize) size.cx = skin->cxTileSize;
    if (skin->cyTileSize > 0 && size.cy < skin->cyTileSize) size.cy = skin->cyTileSize;
    return size;
}

int CVellumMenuSection::SetWidth(int width) {
    if (IsHidden) return 0;
    const bool vertical = IsVertical(this);
    SIZE low = CalcMinMaxSize(1), high = CalcMinMaxSize(0);
    const int minimum = vertical ? low.cy : low.cx;
    const int maximum = vertical ? high.cy : high.cx;
    int taken = width < minimum ? minimum : width;
    if (maximum == -2) {
        SIZE ideal = CalcIdealSize();
        int ideal_along = vertical ? ideal.cy : ideal.cx;
        if (taken > ideal_along) taken = ideal_along;
    } else if (!bResizable || MaxItems != -1) {
        if (maximum > 0 && maximum < taken) taken = maximum;
    }
    m_userWidth = taken;
    return taken;
}

// ---- item layouts ------------------------------------------------------------------------------

int CVellumMenuSection::RecalcRectsFlexible() {
    const int count = GetNumOfItems();
    if (IsHidden) {
        for (int i = 0; i < count; ++i) Empty(m_items[i]);
        Empty(m_leftArrow);
        Empty(m_rightArrow);
        Empty(m_downArrow);
        return 0;
    }
    if (!SkinOf(this)) return 0;
    UpdateThisSectionBuffer();
    m_innerRect = RECT{m_outerRect.left + m_margins.left, m_outerRect.top + m_margins.top,
                       m_outerRect.right - m_margins.right, m_outerRect.bottom - m_margins.bottom};
    const bool vertical = IsVertical(this);
    if (vertical && AllowMultipleRowsCols) return RecalcRectsMultiRowsColsNew(), 1;
    if (EqualWidths) {
        m_rows = 1;
        if (vertical) RecalcRectsStandard_Max();
        else RecalcRectsStandard();
        return 1;
    }
    if (AllowMultipleRowsCols) return RecalcRectsMultiRowsCols(), 1;
    m_rows = 1;
    LayOutOneLine();
    return 1;
}

// Places the items from the first shown one on, one after another, and
// empties the rest once one passes the limit; true when items were left out.
bool CVellumMenuSection::PlaceLinePass(const RECT& arrows) {
    const bool vertical = IsVertical(this);
    const int count = GetNumOfItems();
    const int W = Width(m_innerRect), H = Height(m_innerRect);
    const int first = m_firstShownItem > 0 ? m_firstShownItem : 0;
    for (int k = 0; k < count && k < first; ++k) Empty(m_items[k]);
    int x = arrows.left + (vertical ? 0 : Width(m_titleRect));
    int y = arrows.top + (vertical ? Height(m_titleRect) : 0);
    for (int k = first; k < count; ++k) {
        CVellumMenuItem* item = m_items[k];
        SIZE s = item->CalcSize(0, 0);
        if (vertical) {
            int w = s.cx;
            int limit = W - arrows.left - arrows.right;
            if (w > limit) w = limit;
            item->m_itemRect = RECT{x, y, x + w, y + s.cy};
            if (item->m_itemRect.bottom > H - arrows.bottom) {
                for (int j = k; j < count; ++j) Empty(m_items[j]);
                return true;
            }
            y = item->m_itemRect.bottom;
        } else {
            int top = (H - s.cy) / 2;
            item->m_itemRect = RECT{x, top, x + s.cx, top + s.cy};
            if (item->m_itemRect.right > W) {
                for (int j = k; j < count; ++j) Empty(m_items[j]);
                return true;
            }
            x = item->m_itemRect.right;
        }
    }
    return false;
}

void CVellumMenuSection::LayOutOneLine() {
    const bool vertical = IsVertical(this);
    const int count = GetNumOfItems();
    CalcTitleRect(0, 0);
    const int W = Width(m_innerRect), H = Height(m_innerRect);
    int sum = 0;
    for (int k = 0; k < count; ++k) {
        SIZE s = m_items[k]->CalcSize(0, 0);
        sum += vertical ? s.cy : s.cx;
    }
    m_arrowMargins = RECT{0, 0, 0, 0};
    const int remembered = m_firstShownItem;
    m_firstShownItem = 0;
    Empty(m_leftArrow);
    Empty(m_rightArrow);
    Empty(m_downArrow);

    if (sum <= (vertical ? H : W)) {
        PlaceLinePass(m_arrowMargins);
        CalcTitleRect(0, 0);
        return;
    }
    bool left_out = PlaceLinePass(m_arrowMargins);
    if (left_out || remembered > 0) {
        m_firstShownItem = remembered > 0 ? remembered : 0;
        RECT arrows;
        AdjustArrows(&arrows, 0, 0);
        m_arrowMargins = arrows;
        PlaceLinePass(m_arrowMargins);
        // The arrows' grey state follows the final picture.
        AdjustArrows(&arrows, 0, 0);
    }
    CalcTitleRect(m_arrowMargins.left, m_arrowMargins.top);
}

int CVellumMenuSection::RecalcRectsStandard() {
    SkinRecord* skin = SkinOf(this);
    if (!skin) return 0;
    const int count = GetNumOfItems();
    const int ih = StyleItemHeight(skin, StyleOf(this));
    CalcTitleRect(0, 0);
    const int tw = Width(m_titleRect);
    const int W = Width(m_innerRect) - tw, H = Height(m_innerRect);

    int n = 0;
    for (int k = 0; k < count; ++k) {
        SIZE s = m_items[k]->CalcSize(0, 0);
        if (s.cx || s.cy) ++n;
    }

    int rows = 1;
    if (AllowMultipleRowsCols) rows = H / ih > 1 ? H / ih : 1;
    m_rows = rows;
    int per_row = MaxItemWidth > 0 ? W / MaxItemWidth : 0;
    bool fixed = rows * per_row >= n;
    if (per_row <= 0) {
        per_row = 1;
        fixed = false;
    }

    int shown = n;
    int w = 0;
    int first = 0;
    bool lowered = false;
    RECT arrows = RECT{0, 0, 0, 0};

    // One placement with row indexes from old_rows (or the fixed rule) and
    // centring from centre_rows; returns the first item left out, or -1.
    int largest_index = 0;
    auto place = [&](int q, int index_rows, int centre_rows) {
        const int x0 = arrows.left + tw;
        int x = x0;
        int index = 0, previous_index = 0;
        int left_out = -1;
        largest_index = 0;
        int line_height = ih;
        if (MaxmizeItems && centre_rows > 0 && H / centre_rows > line_height)
            line_height = H / centre_rows;
        for (int k = first; k < count; ++k) {
            CVellumMenuItem* item = m_items[k];
            if (k > first + shown - 1) {
                if (left_out < 0) left_out = k;
                Empty(item);
                continue;
            }
            if (index_rows > 1) {
                if (fixed) {
                    if (k > first && k % per_row == 0) ++index;
                } else {
                    index = q > 0 ? index_rows * k / q : 0;
                }
                if (index != previous_index) x = x0;
                previous_index = index;
                if (index > largest_index) largest_index = index;
            }
            SIZE s = item->CalcSize(0, 0);
            int y = index_rows == 1 && centre_rows == 1
                        ? (H - s.cy) / 2
                        : (H - centre_rows * line_height) / 2 + index * line_height;
            item->m_itemRect = RECT{x, y, x + w, y + s.cy};
            x += w;
        }
        return left_out;
    };

    // Two passes: the arrows' room follows from the items left out, and the
    // widths from the arrows' room. Each pass places the items before the
    // arrows are measured, so they see this layout and not the last one.
    for (int pass = 0; pass < 2; ++pass) {
        int columns = rows > 1 ? (n + rows - 1) / rows : shown;
        if (columns < 1) columns = 1;
        w = (W - arrows.left - arrows.right) / columns;
        while (w < MinItemWidth) {
            --columns;
            --shown;
            lowered = true;
            if (columns <= 0) return 0;
            w = (W - arrows.left - arrows.right) / columns;
        }
        if (MaxItemWidth > 0 && w > MaxItemWidth) w = MaxItemWidth;
        if (lowered) w = MinItemWidth;
        if (shown <= 0) return 0;
        if (m_firstShownItem > 0 && n - m_firstShownItem < shown)
            m_firstShownItem = n - shown > 0 ? n - shown : 0;
        first = m_firstShownItem > 0 ? m_firstShownItem : 0;
        for (int k = 0; k < count && k < first; ++k) Empty(m_items[k]);
        place(n, rows, rows);
        AdjustArrows(&arrows, 0, 0);
        m_arrowMargins = arrows;
    }

    int left_out = place(n, rows, rows);
    if (rows > 1) {
        if (left_out >= 1) {
            place(left_out, rows, rows);
        } else if (left_out < 0 && (MaxmizeItems || CenterItems) && largest_index + 1 < rows) {
            int used = largest_index + 1;
            m_rows = used;
            place(n, rows, used);
        }
    }
    AdjustArrows(&arrows, 0, 0);
    m_arrowMargins = arrows;
    CalcTitleRect(arrows.left, arrows.top);
    return 1;
}

int CVellumMenuSection::RecalcRectsStandard_Max() {
    if (!SkinOf(this)) return 0;
    const int count = GetNumOfItems();
    CalcTitleRect(0, 0);
    const int th = Height(m_titleRect);
    const int H = Height(m_innerRect);
    int widest = 0;
    for (int k = 0; k < count; ++k) {
        m_items[k]->m_naturalSize = m_items[k]->CalcSize(0, 0);
        if (m_items[k]->m_naturalSize.cx > widest) widest = m_items[k]->m_naturalSize.cx;
    }
    const int first = m_firstShownItem > 0 ? m_firstShownItem : 0;
    for (int k = 0; k < count && k < first; ++k) Empty(m_items[k]);

    RECT arrows = m_arrowMargins;
    for (int pass = 0; pass < 2; ++pass) {
        int x = arrows.left, y = arrows.top + th;
        for (int k = first; k < count; ++k) {
            CVellumMenuItem* item = m_items[k];
            bool stop = y > H - arrows.bottom;
            if (!stop) {
                item->m_itemRect = RECT{x, y, x + widest, y + item->m_naturalSize.cy};
                stop = item->m_itemRect.bottom > H - arrows.bottom;
            }
            if (stop) {
                for (int j = k; j < count; ++j) Empty(m_items[j]);
                break;
            }
            y = item->m_itemRect.bottom;
        }
        AdjustArrows(&arrows, 0, 0);
        m_arrowMargins = arrows;
    }
    CalcTitleRect(arrows.left, arrows.top);
    return 1;
}

// Rows on a horizontal bar and the grid on a vertical one share one pass.
bool CVellumMenuSection::PlaceRowsPass(const RECT& arrows, int rows, int* lines_used) {
    SkinRecord* skin = SkinOf(this);
    const bool vertical = IsVertical(this);
    const int count = GetNumOfItems();
    const int W = Width(m_innerRect), H = Height(m_innerRect);
    const int ih = StyleItemHeight(skin, StyleOf(this));
    const int first = m_firstShownItem > 0 ? m_firstShownItem : 0;
    for (int k = 0; k < count && k < first; ++k) Empty(m_items[k]);

    int line_height = ih;
    if (!vertical && MaxmizeItems && rows > 0 && H / rows > line_height) line_height = H / rows;
    const int x0 = arrows.left + (vertical ? 0 : Width(m_titleRect));
    const int y0 = vertical ? arrows.top + m_margins.top + Height(m_titleRect) : 0;
    int x = x0, y = y0;
    int lines = 1;
    bool left_out = false;
    for (int k = first; k < count; ++k) {
        CVellumMenuItem* item = m_items[k];
        if (left_out) {
            Empty(item);
            continue;
        }
        SIZE s = item->CalcSize(0, 0);
        item->m_itemRect = RECT{x, y, x + s.cx, y + s.cy};
        if (item->m_itemRect.right > W - arrows.right && x > x0) {
            if (H - arrows.bottom >= item->m_itemRect.bottom + line_height) {
                x = x0;
                y += line_height;
                ++lines;
                item->m_itemRect = RECT{x, y, x + s.cx, y + s.cy};
            } else {
                Empty(item);
                left_out = true;
                continue;
            }
        }
        x = item->m_itemRect.right;
    }
    *lines_used = lines;

    if (!vertical) {
        // The lines used are centred across the bar.
        int lh = MaxmizeItems ? H / lines : ih;
        int shift = (H - lines * lh) / 2;
        for (int k = first; k < count; ++k)
            if (!::IsRectEmpty(&m_items[k]->m_itemRect)) ::OffsetRect(&m_items[k]->m_itemRect, 0, shift);
    }
    return left_out;
}

int CVellumMenuSection::LayOutRowsOrGrid() {
    SkinRecord* skin = SkinOf(this);
    if (!skin) return 0;
    const bool vertical = IsVertical(this);
    const int count = GetNumOfItems();
    CalcTitleRect(0, 0);
    const int W = Width(m_innerRect), H = Height(m_innerRect);
    const BOOL centre = CenterItems;
    if (vertical) CenterItems = FALSE;

    int sum = 0;
    for (int k = 0; k < count; ++k) {
        SIZE s = m_items[k]->CalcSize(1, 0);
        sum += vertical ? s.cy : s.cx;
    }
    m_arrowMargins = RECT{0, 0, 0, 0};
    if (sum <= (vertical ? H : W)) {
        m_rows = 1;
        m_firstShownItem = 0;
        PlaceLinePass(m_arrowMargins);
        CalcTitleRect(0, 0);
        CenterItems = centre;
        return 1;
    }

    const int ih = StyleItemHeight(skin, StyleOf(this));
    const int rows = H / ih > 1 ? H / ih : 1;
    auto pass = [&](const RECT& arrows) {
        m_rows = rows;
        int lines = 1;
        bool left_out = PlaceRowsPass(arrows, rows, &lines);
        m_rows = lines;
        if (!left_out && lines < rows && (vertical || MaxmizeItems || !CenterItems))
            PlaceRowsPass(arrows, lines, &lines);
        return left_out;
    };

    const int remembered = m_firstShownItem;
    m_firstShownItem = 0;
    bool left_out = pass(m_arrowMargins);
    if (left_out || remembered > 0) {
        m_firstShownItem = remembered > 0 ? remembered : 0;
        RECT arrows;
        AdjustArrows(&arrows, 0, 0);
        m_arrowMargins = arrows;
        pass(m_arrowMargins);
        AdjustArrows(&arrows, 0, 0);
    }
    CalcTitleRect(m_arrowMargins.left, m_arrowMargins.top);
    CenterItems = centre;
    return 1;
}

int CVellumMenuSection::RecalcRectsMultiRowsCols() {
    return LayOutRowsOrGrid();
}

int CVellumMenuSection::RecalcRectsMultiRowsColsNew() {
    return LayOutRowsOrGrid();
}

// ---- scroll arrows -------------------------------------------------------------------------------

int CVellumMenuSection::IsArrowLeftAligned(CVellumMenuItem*, ARROWBITMAPSETS* horizontalSet,
                                           ARROWBITMAPSETS* verticalSet, int horizontalStyle) {
    ARROWBITMAPSETS* set = horizontalStyle ? horizontalSet : verticalSet;
    return set && set->xAlign == 0 ? 1 : 0;
}

int CVellumMenuSection::AdjustArrows(RECT* margins, int measureOnly, int noVisibilityRules) {
    RECT m = {0, 0, 0, 0};
    if (margins) *margins = m;
    SkinRecord* skin = SkinOf(this);
    if (!skin) return 0;
    const bool vertical = IsVertical(this);
    const int W0 = Width(m_outerRect), H0 = Height(m_outerRect);
    const int horizontal_style = vertical ? (SwapVertArrowStyle ? 1 : 0)
                                          : (SwapHorzArrowStyle ? 0 : 1);
    ARROWBITMAPSETS* sets = skin->arrows;
    const int count = GetNumOfItems();

    auto place = [&](CVellumMenuItem* arrow, ARROWBITMAPSETS* hset, ARROWBITMAPSETS* vset,
                     bool grayed) {
        SetArrowPosition(arrow, hset, vset, m.left, m.top, W0 - m.right, H0 - m.bottom, &m,
                         grayed ? 1 : 0, horizontal_style, measureOnly);
    };

    if (UseDownArrow) {
        bool needed = false;
        for (int k = 0; k < count && !needed; ++k) needed = m_items[k]->IsItemHiddenNeedsScrolling();
        if (needed) place(m_downArrow, &sets[kArrowDown], &sets[kArrowRight], false);
        else if (!measureOnly) Empty(m_downArrow);
        if (!measureOnly) {
            Empty(m_leftArrow);
            Empty(m_rightArrow);
        }
        if (margins) *margins = m;
        return 1;
    }

    if (!measureOnly) Empty(m_downArrow);
    bool left_grayed = false, right_grayed = false, left_shown = true, right_shown = true;
    if (!noVisibilityRules) {
        const int first = m_firstShownItem;
        left_grayed = first <= 0;
        left_shown = !left_grayed || bAllowShowingOfLeftGrayedArrow;
        right_grayed = true;
        for (int k = 0; k < count; ++k) {
            if (!m_items[k]->IsItemHiddenNeedsScrolling()) continue;
            if (k > first) {
                right_grayed = false;
            } else {
                left_grayed = false;
                left_shown = true;
            }
        }
        if (left_grayed && right_grayed && (!ShowUnneededArrows || vertical))
            left_shown = right_shown = false;
    }
    if (!left_shown && !measureOnly) Empty(m_leftArrow);
    if (!right_shown && !measureOnly) Empty(m_rightArrow);

    ARROWBITMAPSETS* left_h = &sets[kArrowLeft];
    ARROWBITMAPSETS* left_v = &sets[kArrowUp];
    ARROWBITMAPSETS* right_h = &sets[kArrowRight];
    ARROWBITMAPSETS* right_v = &sets[kArrowDown];
    bool left_placed = false, right_placed = false;
    if (left_shown && IsArrowLeftAligned(m_leftArrow, left_h, left_v, horizontal_style)) {
        place(m_leftArrow, left_h, left_v, left_grayed);
        left_placed = true;
    }
    if (right_shown && !IsArrowLeftAligned(m_rightArrow, right_h, right_v, horizontal_style)) {
        place(m_rightArrow, right_h, right_v, right_grayed);
        right_placed = true;
    }
    if (left_shown && !left_placed) place(m_leftArrow, left_h, left_v, left_grayed);
    if (right_shown && !right_placed) place(m_rightArrow, right_h, right_v, right_grayed);
    if (margins) *margins = m;
    return 1;
}

int CVellumMenuSection::SetArrowPosition(CVellumMenuItem* arrow, ARROWBITMAPSETS* horizontalSet,
                                         ARROWBITMAPSETS* verticalSet, int left, int top,
                                         int right, int bottom, RECT* margins, int grayed,
                                         int horizontalStyle, int measureOnly) {
    SkinRecord* skin = SkinOf(this);
    if (!skin || !margins) return 0;
    const int style = StyleOf(this);
    if (!measureOnly && arrow) {
        if (grayed) arrow->m_typeWord = 3;
        else arrow->m_typeWord &= ~static_cast<LONG_PTR>(3);
    }
    right -= m_margins.left + m_margins.right;
    bottom -= m_margins.top + m_margins.bottom;

    ARROWBITMAPSETS* set = horizontalStyle ? horizontalSet : verticalSet;
    if (!set) return 0;
    if (!measureOnly && arrow)
        arrow->SetBitmap(grayed ? set->GrayedBitmap() : set->normal.get(),
                         grayed ? set->GrayedMask() : set->normal_mask.get(), 1, 0, 0);
    RECT rect;
    if (horizontalStyle) {
        const int width = set->normal_info.bmWidth;
        const int offset = set->xOffset[style];
        if (set->xAlign != 0) {
            rect = RECT{right - offset - width, 0, right - offset, bottom};
            int margin = offset + width - m_margins.right;
            if (margin > 0) margins->right = margin;
        } else {
            int at = left + offset - m_margins.left;
            rect = RECT{at, 0, at + width, bottom};
            int margin = offset + width - m_margins.left;
            if (margin > 0) margins->left = margin;
        }
    } else {
        const int height = set->normal_info.bmHeight;
        const int offset = set->yOffset[style];
        if (set->yAlign != 0) {
            rect = RECT{0, bottom - offset - height, right, bottom - offset};
            int margin = offset + height - m_margins.bottom;
            if (margin > 0) margins->bottom = margin;
        } else {
            int at = top + offset - m_margins.top;
            rect = RECT{0, at, right, at + height};
            int margin = offset + height - m_margins.top;
            if (margin > 0) margins->top = margin;
        }
    }
    if (!measureOnly && arrow) arrow->m_itemRect = rect;
    return 1;
}
