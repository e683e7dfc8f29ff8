// Item drawing, size and state: what an item measures, how the base item
// paints its skin element, icon, text, bitmap, separator, scroll-arrow
// picture and popup arrow into the bar's memory bitmap, and how a state
// change starts the skin's animation.
#include <windows.h>
#include <cstring>
#include "model/bar_drawing.h"
#include "model/state_animator.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/handles.h"

namespace {

SkinRecord* SkinOf(const CVellumMenuItem* item) {
    return item->m_skinSlot ? *item->m_skinSlot : nullptr;
}

int StyleOf(const CVellumMenuItem* item) {
    int style = item->m_pSection ? item->m_pSection->iSectionSkin : 0;
    return style < 0 ? 0 : (style >= kMaxSectionStyles ? kMaxSectionStyles - 1 : style);
}

bool IsVertical(const CVellumMenuItem* item) {
    return item->m_pBar && item->m_pBar->DisplayVertically;
}

bool HasIconSource(const CVellumMenuItem* item) {
    return item->m_icon1 || item->m_imageList || item->m_iconOnDemand;
}

// The element of the item's state in its section's style.
int StateElement(const CVellumMenuItem* item, UINT state) {
    SkinRecord* skin = SkinOf(item);
    return skin ? GetSkinStateIndex(skin, static_cast<int>(state), StyleOf(item))
                : static_cast<int>(state);
}

// Left edge, centre or right edge (0, 2, other) of extent within [from, to).
int Align(int from, int to, int extent, int align) {
    if (align == 0) return from;
    if (align == 2) return to - extent;
    return from + (to - from - extent) / 2;
}

void DrawArrowPicture(HDC dc, HBITMAP bitmap, HBITMAP mask, DWORD* alpha, int x, int y,
                      COLORREF key) {
    BITMAP info = {};
    if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info)) return;
    if (alpha) {
        DrawAlphaBitmap(dc, bitmap, alpha, x, y);
        return;
    }
    tess::ScopedBitmap made;
    if (!mask) {
        made.reset(CreateBitmapMask(bitmap, key, true));
        mask = made.get();
    }
    DrawTransparentBitmapEx(dc, &info, bitmap, mask, x, y, info.bmWidth, info.bmHeight, 0, 0,
                            info.bmWidth, info.bmHeight, key);
}

}  // namespace

// ---- state ---------------------------------------------------------------------------------------

void CVellumMenuItem::SetState(UINT state, int keep) {
    UINT next = state;
    if (m_pBar && m_pBar->m_keyboardItem == this) next = kStateSelected;
    if (!keep) {
        bool restyle = m_pSection && m_pSection->m_restyle;
        if ((next != m_state || restyle) && m_pBar && m_pBar->m_stateAnimator)
            m_pBar->m_stateAnimator->StartTransition(this, StateElement(this, m_state),
                                                     StateElement(this, next));
        m_state = next;
    }
    UpdateTextSize(0);
}

// ---- measuring -----------------------------------------------------------------------------------

HICON CVellumMenuItem::UpdateDrawingTypes() {
    m_iconBesideText = ShowIcon && ShowText && HasIconSource(this);
    if (!ShowIcon) return nullptr;
    if ((m_state == kStateMouseOver || m_state == kStateSelected) && m_icon2) return m_icon2;
    return m_icon1;
}

void CVellumMenuItem::UpdateTextSize(int force) {
    SkinRecord* skin = SkinOf(this);
    if (!skin || !ShowText || !m_shownTitle) return;
    const int element = StateElement(this, m_state);
    SkinStateRecord* record = GetSkinStateRecord(skin, element);
    HFONT font = record && record->font_valid ? record->font.get()
                                              : skin->fonts[kSkinFontItem].font.get();
    if (!force && font == m_measuredFont && (m_textExtent.cx || m_textExtent.cy)) return;

    tess::ScopedWindowDc screen(nullptr);
    tess::ScopedMemoryDc dc(::CreateCompatibleDC(screen.get()));
    if (!dc) return;
    SelectSkinFont(skin, dc.get());
    RECT measured = {0, 0, 0, 10000};
    const int height = DrawSkinItemText(skin, dc.get(), m_shownTitle, &measured, DT_CALCRECT,
                                        element, 0, 0, 0, false, false, 0, 0, 0, m_headerLength,
                                        nullptr);
    int width = measured.right - measured.left;
    if (std::strchr(m_shownTitle, '\n')) {
        // Each line alone: the widest gives the width.
        width = 0;
        const char* line = m_shownTitle;
        char piece[kTitleExpandBufferSize];
        while (*line) {
            const char* end = std::strchr(line, '\n');
            size_t length = end ? static_cast<size_t>(end - line) : std::strlen(line);
            if (length >= sizeof(piece)) length = sizeof(piece) - 1;
            std::memcpy(piece, line, length);
            piece[length] = '\0';
            RECT one = {0, 0, 0, 10000};
            DrawSkinItemText(skin, dc.get(), piece, &one, DT_CALCRECT | DT_SINGLELINE, element, 0,
                             0, 0, false, false, 0, 0, 0, 0, nullptr);
            if (one.right - one.left > width) width = one.right - one.left;
            line = end ? end + 1 : line + length;
        }
    }
    SelectSystemFont(dc.get());
    m_textExtent = SIZE{width, height};
    m_measuredFont = font;
}

HICON CVellumMenuItem::IconCallback(int) {
    return nullptr;
}

SIZE CVellumMenuItem::CalcSize(int noSectionStretch, int) {
    SkinRecord* skin = SkinOf(this);
    const int style = StyleOf(this);
    const bool vertical = IsVertical(this);
    CVellumMenuSection* section = m_pSection;
    int m = 0;
    if (skin) m = skin->item_height[style] > 0 ? skin->item_height[style] : skin->ItemHeight;

    int b = 0, c = 0;
    const bool plain = !DisplayAsBitmap && !Separator;
    if (DisplayAsBitmap) {
        b = m_bitmapInfo.bmWidth;
        c = m_bitmapInfo.bmHeight > m ? m_bitmapInfo.bmHeight : m;
    } else if (Separator) {
        if (!skin) {
            m_emptySize = TRUE;
            return SIZE{0, 0};
        }
        SkinStateRecord* e = GetSkinStateRecord(skin, kSkinStateSeparator + kSkinStatesPerStyle * style);
        if (e && e->bitmap) {
            if (vertical) {
                c = e->bitmap_height > 0 ? e->bitmap_height : 10;
                b = 0;
            } else {
                b = e->frame_width > 0 ? e->frame_width : 0;
                c = 10;
            }
        } else {
            b = 0;
            c = 10;
        }
    } else {
        UpdateDrawingTypes();
        if (skin) {
            if (m_iconBesideText)
                b = skin->ItemIconBuffer_LeftOfIcon[style] + skin->ItemIconBuffer_BetweenTextAndIcon[style];
            else if (ShowText)
                b = skin->ItemTextOnlyBuffer_LeftOfText[style];
        }
        if (m_iconBesideText || ShowText) {
            c = m_textExtent.cy + 2;
            b += m_textExtent.cx + 2;
        }
        if (m_iconBesideText || (HasIconSource(this) && ShowIcon)) {
            b += IconSize + 2;
            if (c < IconSize + 2) c = IconSize + 2;
        }
        if (skin) {
            bool tight = section && section->UseTightItemWidthBuffer;
            b += 2 * (tight ? skin->TightItemWidthBuffer : skin->ItemWidthBuffer);
        }
        if (section) {
            if (section->m_minItemHeight >= 0 && c < section->m_minItemHeight) c = section->m_minItemHeight;
            if (section->MinItemWidth >= 0 && b < section->MinItemWidth) b = section->MinItemWidth;
            if (section->m_maxItemHeight > 0 && c > section->m_maxItemHeight) c = section->m_maxItemHeight;
            if (section->MaxItemWidth > 0 && b > section->MaxItemWidth) b = section->MaxItemWidth;
        }
        if (c < m) c = m;
        if (vertical && skin && IsPopup()) b += skin->arrows[kArrowPopup].xOffset[style];
    }

    if (!noSectionStretch && section && section->MaxmizeItems) {
        const RECT& inner = section->m_innerRect;
        int extent = vertical ? inner.right - inner.left : inner.bottom - inner.top;
        // Several rows share the breadth; a section without rows yet keeps it whole.
        if (section->AllowMultipleRowsCols && section->m_rows > 0) extent /= section->m_rows;
        if (vertical) b = extent;
        else c = extent;
    }

    if (skin) {
        if (plain && skin->ItemHeightBuffer > 0) c += skin->ItemHeightBuffer;
        if (skin->cxTileSize > 0 && b < skin->cxTileSize) b = skin->cxTileSize;
        if (skin->cyTileSize > 0 && c < skin->cyTileSize) c = skin->cyTileSize;
    }
    m_emptySize = b == 0 && c == 0;
    return SIZE{b, c};
}

// ---- drawing -------------------------------------------------------------------------------------

void CVellumMenuItem::RedrawItem() {
    if (!m_pBar || !m_pSection) return;
    RECT rect;
    GetRealItemRect(&rect);
    if (::IsRectEmpty(&rect)) return;
    m_pBar->UpdateToDrawBitmap(m_pSection, this, &rect);
}

void CVellumMenuItem::Draw(HDC dc) {
    if (!dc || ::IsRectEmpty(&m_itemRect)) return;
    SkinRecord* skin = SkinOf(this);
    const int style = StyleOf(this);
    const bool vertical = IsVertical(this);
    const int element = m_pBar && m_pBar->m_stateAnimator ? m_drawnElement
                                                          : StateElement(this, m_state);
    const int frame = m_frame;
    RECT rect;
    GetRealItemRect(&rect);

    if (DisplayAsBitmap) {
        if (!m_tooltipNeeded) {
            m_tooltipNeeded = TRUE;
            UpdateTooltips(0);
        }
        HBITMAP bitmap = nullptr, mask = nullptr;
        unsigned long* bits = nullptr;
        if (!(m_customState[0] && FindCustomState(m_customState, &bitmap, &mask))) {
            struct Choice {
                HBITMAP bitmap, mask;
                unsigned long* bits;
            };
            const Choice normal = {m_normalBitmap, m_normalMask, m_normalBits};
            const Choice selected = {m_selectedBitmap, m_selectedMask, m_selectedBits};
            const Choice over = {m_mouseOverBitmap, m_mouseOverMask, m_mouseOverBits};
            const Choice* order[3] = {&normal, &normal, &normal};
            if (m_state == kStateSelected) order[0] = &selected, order[2] = &over;
            else if (m_state == kStateMouseOver) order[0] = &over, order[2] = &selected;
            for (const Choice* choice : order) {
                if (choice->bitmap) {
                    bitmap = choice->bitmap;
                    mask = choice->mask;
                    bits = choice->bits;
                    break;
                }
            }
        }
        if (ShowSkinBehindBitmap && skin) DrawSkinNineGrid(skin, dc, &rect, element, 0);
        if (!bitmap) return;
        BITMAP info = {};
        ::GetObjectA(bitmap, sizeof(info), &info);
        const int w = info.bmWidth, h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        int x, y;
        if (vertical) {
            y = rect.top + (rect.bottom - rect.top - h) / 2;
            x = Align(rect.left, rect.right, w, BitmapAlign);
        } else {
            x = rect.left + (rect.right - rect.left - w) / 2;
            y = Align(rect.top, rect.bottom, h, BitmapAlign);
        }
        if (bits) DrawAlphaBitmap(dc, bitmap, reinterpret_cast<DWORD*>(bits), x, y);
        else if (!mask) DrawBitmap(dc, bitmap, x, y);
        else DrawTransparentBitmapEx(dc, &info, bitmap, mask, x, y, w, h, 0, 0, w, h, kSkinKeyColor);
        return;
    }

    if (!m_icon1 && m_iconOnDemand && !m_iconAsked) {
        SkinStateRecord* record = skin ? GetSkinStateRecord(skin, element) : nullptr;
        const int effect = record ? record->effect : 0;
        if (effect || !m_imageList) {
            m_icon1 = IconCallback(effect);
            if (!m_imageList) m_iconAsked = TRUE;
        }
    }
    HICON icon = UpdateDrawingTypes();
    const bool icon_source = HasIconSource(this);

    if (Separator) {
        if (skin) DrawSkinNineGrid(skin, dc, &rect, kSkinStateSeparator + kSkinStatesPerStyle * style, 0);
        return;
    }

    int align;
    if (m_iconBesideText) align = 0;
    else align = vertical ? (skin ? skin->ItemTextAlign_Vertical : 0) : 2;
    if (ShowText && !ShowIcon && TextOnlyAlign >= 0) align = TextOnlyAlign;
    m_textAlignment = align;
    UINT format = DT_EXPANDTABS | DT_VCENTER | DT_END_ELLIPSIS;
    if (align == 1) format |= DT_RIGHT;
    else if (align == 2) format |= DT_CENTER;

    int drawn = element;
    if (m_arrowItem) {
        drawn = m_state == kStateSelected ? kSkinStateArrowSelected
                : m_state == kStateMouseOver ? kSkinStateArrowMouseover
                                             : kSkinStateArrowNormal;
    }

    if (m_normalBitmap) {
        BITMAP info = {};
        ::GetObjectA(m_normalBitmap, sizeof(info), &info);
        const int w = info.bmWidth, h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        const int x = rect.left + (rect.right - rect.left - w) / 2;
        const int y = rect.top + (rect.bottom - rect.top - h) / 2;
        DrawTransparentBitmapEx(dc, &info, m_normalBitmap, m_normalMask, x, y, w, h, 0, 0, w, h,
                                m_bitmapKeyColor);
        return;
    }
    if (!skin) return;

    int ix = 0, iy = 0;
    if (icon_source && ShowIcon) {
        ix = align == 2 ? (rect.left + rect.right - IconSize) / 2
                        : rect.left + skin->ItemIconBuffer_LeftOfIcon[style];
        iy = (rect.top + rect.bottom - IconSize) / 2;
    }
    if (ShowIcon) {
        if ((icon || m_imageList) && ix <= rect.right)
            DrawSkinIcon(skin, dc, icon, &rect, ix, iy, drawn, IconSize, frame,
                         icon ? nullptr : m_imageList, m_imageIndex);
        else if (ShowText && m_shownTitle && m_shownTitle[0])
            DrawSkinNineGrid(skin, dc, &rect, drawn, frame);
    }

    RECT text = rect;
    int inset;
    if (m_iconBesideText && icon_source) {
        text.left += IconSize + 2 + skin->ItemIconBuffer_BetweenTextAndIcon[style] +
                     skin->ItemIconBuffer_LeftOfIcon[style];
        inset = 0;
    } else {
        inset = align == 0 ? skin->ItemTextOnlyBuffer_LeftOfText[style] : 0;
    }
    const int clip = m_iconBesideText ? skin->ItemIconBuffer_RightTextClip[style] : 0;

    if (ShowText && (m_iconBesideText || !icon_source || !ShowIcon)) {
        int cut = 0;
        DrawSkinItemText(skin, dc, m_shownTitle ? m_shownTitle : "", &text, format, drawn, inset,
                         0, clip, !ShowIcon, m_disabled != FALSE, frame, m_textExtent.cy,
                         m_textExtent.cx, m_headerLength, &cut);
        if ((cut != 0) != (m_tooltipNeeded != FALSE)) {
            m_tooltipNeeded = cut ? TRUE : FALSE;
            UpdateTooltips(0);
        }
    } else if (!ShowText && !m_tooltipNeeded) {
        m_tooltipNeeded = TRUE;
        UpdateTooltips(0);
    }

    // The popup arrow of items that open a menu.
    if (!IsPopup() || !(vertical || (m_pSection && m_pSection->AlwaysShowPopupArrows))) return;
    ARROWBITMAPSETS& set = skin->arrows[kArrowPopup];
    HBITMAP bitmap = set.normal.get();
    HBITMAP mask = set.normal_mask.get();
    DWORD* alpha = set.normal_alpha;
    const bool hot = m_state == kStateMouseOver || m_state == kStateSelected;
    if (hot && set.grayed && set.grayed.get() != set.normal.get()) {
        bitmap = set.grayed.get();
        mask = set.grayed_mask.get();
        alpha = set.grayed_alpha;
    } else if (m_state == kStateSelected && set.selected) {
        bitmap = set.selected.get();
        mask = set.selected_mask.get();
        alpha = set.selected_alpha;
    } else if (m_state == kStateMouseOver && set.mouseover) {
        bitmap = set.mouseover.get();
        mask = set.mouseover_mask.get();
        alpha = set.mouseover_alpha;
    }
    if (!bitmap) return;
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof(info), &info);
    const int h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    DrawArrowPicture(dc, bitmap, mask, alpha, rect.right - info.bmWidth,
                     rect.top + (rect.bottom - rect.top - h) / 2, m_bitmapKeyColor);
}
