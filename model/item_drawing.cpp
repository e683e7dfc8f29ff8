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
    if ((m_state == kStateMouseOver || m_state == kStateSelected) && m_icon2) return m_icon2.get();
    return m_icon1.get();
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

void CVellumMenuItem::RedrawItem(int) {
    if (!m_pBar || !m_pSection) return;
    // The drop mark lies between items: only a redraw of the section clears it.
    if (m_pSection->m_dropMarkShown) {
        m_pSection->RedrawSection();
        return;
    }
    RECT rect;
    GetRealItemRect(&rect);
    if (::IsRectEmpty(&rect)) return;
    m_pBar->UpdateToDrawBitmap(m_pSection, this, &rect);
}

namespace {

// One paint of one item. The item draws in one of four modes: a plug-in
// style bitmap ("DisplayAsBitmap"), a separator, a loaded picture, or the
// skinned icon and text (with the popup arrow of items that open a menu).
class ItemPainter {
public:
    ItemPainter(CVellumMenuItem* item, HDC dc)
        : item_(item),
          dc_(dc),
          skin_(SkinOf(item)),
          style_(StyleOf(item)),
          vertical_(IsVertical(item)),
          element_(item->m_pBar && item->m_pBar->m_stateAnimator
                       ? item->m_drawnElement
                       : StateElement(item, item->m_state)),
          frame_(item->m_frame) {
        item->GetRealItemRect(&rect_);
    }

    void Run();

private:
    void DrawAsBitmap();
    // The state's picture of a "DisplayAsBitmap" item: its custom state, or
    // the state's own bitmap, falling back to the other states.
    void ChooseStateBitmap(HBITMAP* bitmap, HBITMAP* mask, unsigned long** bits);
    void FetchIconOnDemand();
    void DrawSeparator();
    void DrawLoadedPicture();
    // The text alignment (0 left, 1 right, 2 centre) this paint uses.
    int TextAlignment();
    // The skin element of the state; scroll arrows have their own.
    int DrawnElement();
    void DrawIconAndText(HICON icon, int align, int drawn);
    void DrawPopupArrow();
    void NeedTooltip(bool needed);

    CVellumMenuItem* item_;
    HDC dc_;
    SkinRecord* skin_;
    const int style_;
    const bool vertical_;
    const int element_;
    const int frame_;
    RECT rect_;
};

void ItemPainter::Run() {
    if (item_->DisplayAsBitmap) {
        DrawAsBitmap();
        return;
    }
    FetchIconOnDemand();
    HICON icon = item_->UpdateDrawingTypes();
    if (item_->Separator) {
        DrawSeparator();
        return;
    }
    const int align = TextAlignment();
    const int drawn = DrawnElement();
    if (item_->m_normalBitmap) {
        DrawLoadedPicture();
        return;
    }
    if (!skin_) return;
    DrawIconAndText(icon, align, drawn);
    DrawPopupArrow();
}

void ItemPainter::NeedTooltip(bool needed) {
    item_->m_tooltipNeeded = needed ? TRUE : FALSE;
    item_->UpdateTooltips(0);
}

void ItemPainter::ChooseStateBitmap(HBITMAP* bitmap, HBITMAP* mask, unsigned long** bits) {
    CVellumMenuItem* it = item_;
    // A custom state the item holds is drawn in place of the state bitmaps.
    if (it->m_customState[0] && it->FindCustomState(it->m_customState, bitmap, mask) >= 0) {
        if (bits) *bits = nullptr;
        return;
    }
    struct Choice {
        HBITMAP bitmap, mask;
        unsigned long* bits;
    };
    const Choice normal = {it->m_normalBitmap.get(), it->m_normalMask.get(), it->m_normalBits};
    const Choice selected = {it->m_selectedBitmap.get(), it->m_selectedMask.get(),
                             it->m_selectedBits};
    const Choice over = {it->m_mouseOverBitmap.get(), it->m_mouseOverMask.get(),
                         it->m_mouseOverBits};
    const Choice* order[3] = {&normal, &normal, &normal};
    if (it->m_state == kStateSelected) order[0] = &selected, order[2] = &over;
    else if (it->m_state == kStateMouseOver) order[0] = &over, order[2] = &selected;
    for (const Choice* choice : order) {
        if (choice->bitmap) {
            *bitmap = choice->bitmap;
            *mask = choice->mask;
            *bits = choice->bits;
            return;
        }
    }
}

void ItemPainter::DrawAsBitmap() {
    // A bitmap shows no title: the tooltip always carries it.
    if (!item_->m_tooltipNeeded) NeedTooltip(true);
    HBITMAP bitmap = nullptr, mask = nullptr;
    unsigned long* bits = nullptr;
    ChooseStateBitmap(&bitmap, &mask, &bits);
    if (item_->ShowSkinBehindBitmap && skin_) DrawSkinNineGrid(skin_, dc_, &rect_, element_, 0);
    if (!bitmap) return;
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof(info), &info);
    const int w = info.bmWidth, h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    int x, y;
    if (vertical_) {
        y = rect_.top + (rect_.bottom - rect_.top - h) / 2;
        x = Align(rect_.left, rect_.right, w, item_->BitmapAlign);
    } else {
        x = rect_.left + (rect_.right - rect_.left - w) / 2;
        y = Align(rect_.top, rect_.bottom, h, item_->BitmapAlign);
    }
    if (bits) DrawAlphaBitmap(dc_, bitmap, reinterpret_cast<DWORD*>(bits), x, y);
    else if (!mask) DrawBitmap(dc_, bitmap, x, y);
    else DrawTransparentBitmapEx(dc_, &info, bitmap, mask, x, y, w, h, 0, 0, w, h, kSkinKeyColor);
}

// An item whose icon comes from its owner asks once per paint until it has
// one; the state's effect is handed along.
void ItemPainter::FetchIconOnDemand() {
    CVellumMenuItem* it = item_;
    if (it->m_icon1 || !it->m_iconOnDemand || it->m_iconAsked) return;
    SkinStateRecord* record = skin_ ? GetSkinStateRecord(skin_, element_) : nullptr;
    const int effect = record ? record->effect : 0;
    if (effect || !it->m_imageList) {
        it->m_icon1.Own(tess::ScopedIcon(it->IconCallback(effect)));
        if (!it->m_imageList) it->m_iconAsked = TRUE;
    }
}

void ItemPainter::DrawSeparator() {
    if (skin_)
        DrawSkinNineGrid(skin_, dc_, &rect_, kSkinStateSeparator + kSkinStatesPerStyle * style_, 0);
}

int ItemPainter::TextAlignment() {
    CVellumMenuItem* it = item_;
    int align;
    if (it->m_iconBesideText) align = 0;
    else align = vertical_ ? (skin_ ? skin_->ItemTextAlign_Vertical : 0) : 2;
    if (it->ShowText && !it->ShowIcon && it->TextOnlyAlign >= 0) align = it->TextOnlyAlign;
    it->m_textAlignment = align;
    return align;
}

int ItemPainter::DrawnElement() {
    if (!item_->m_arrowItem) return element_;
    const UINT state = item_->m_state;
    return state == kStateSelected    ? kSkinStateArrowSelected
           : state == kStateMouseOver ? kSkinStateArrowMouseover
                                      : kSkinStateArrowNormal;
}

void ItemPainter::DrawLoadedPicture() {
    HBITMAP picture = item_->m_normalBitmap.get();
    BITMAP info = {};
    ::GetObjectA(picture, sizeof(info), &info);
    const int w = info.bmWidth, h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    const int x = rect_.left + (rect_.right - rect_.left - w) / 2;
    const int y = rect_.top + (rect_.bottom - rect_.top - h) / 2;
    DrawTransparentBitmapEx(dc_, &info, picture, item_->m_normalMask.get(), x, y, w, h, 0, 0, w, h,
                            item_->m_bitmapKeyColor);
}

void ItemPainter::DrawIconAndText(HICON icon, int align, int drawn) {
    CVellumMenuItem* it = item_;
    const int frame = frame_;
    const bool icon_source = HasIconSource(it);
    const int icon_size = it->IconSize;

    int ix = 0, iy = 0;
    if (icon_source && it->ShowIcon) {
        ix = align == 2 ? (rect_.left + rect_.right - icon_size) / 2
                        : rect_.left + skin_->ItemIconBuffer_LeftOfIcon[style_];
        iy = (rect_.top + rect_.bottom - icon_size) / 2;
    }
    if (it->ShowIcon) {
        if ((icon || it->m_imageList) && ix <= rect_.right)
            DrawSkinIcon(skin_, dc_, icon, &rect_, ix, iy, drawn, icon_size, frame,
                         icon ? nullptr : it->m_imageList, it->m_imageIndex);
        else if (it->ShowText && it->m_shownTitle && it->m_shownTitle[0])
            DrawSkinNineGrid(skin_, dc_, &rect_, drawn, frame);
    }

    RECT text = rect_;
    int inset;
    if (it->m_iconBesideText && icon_source) {
        text.left += icon_size + 2 + skin_->ItemIconBuffer_BetweenTextAndIcon[style_] +
                     skin_->ItemIconBuffer_LeftOfIcon[style_];
        inset = 0;
    } else {
        inset = align == 0 ? skin_->ItemTextOnlyBuffer_LeftOfText[style_] : 0;
    }
    const int clip = it->m_iconBesideText ? skin_->ItemIconBuffer_RightTextClip[style_] : 0;

    if (it->ShowText && (it->m_iconBesideText || !icon_source || !it->ShowIcon)) {
        UINT format = DT_EXPANDTABS | DT_VCENTER | DT_END_ELLIPSIS;
        if (align == 1) format |= DT_RIGHT;
        else if (align == 2) format |= DT_CENTER;
        int cut = 0;
        DrawSkinItemText(skin_, dc_, it->m_shownTitle ? it->m_shownTitle : "", &text, format,
                         drawn, inset, 0, clip, !it->ShowIcon, it->m_disabled != FALSE, frame,
                         it->m_textExtent.cy, it->m_textExtent.cx, it->m_headerLength, &cut);
        // A title cut short shows in full as the tooltip.
        if ((cut != 0) != (it->m_tooltipNeeded != FALSE)) NeedTooltip(cut != 0);
    } else if (!it->ShowText && !it->m_tooltipNeeded) {
        NeedTooltip(true);
    }
}

// The popup arrow of items that open a menu: on vertical bars, and on
// horizontal ones when the section always shows them.
void ItemPainter::DrawPopupArrow() {
    CVellumMenuItem* it = item_;
    if (!it->IsPopup() || !(vertical_ || (it->m_pSection && it->m_pSection->AlwaysShowPopupArrows)))
        return;
    ARROWBITMAPSETS& set = skin_->arrows[kArrowPopup];
    HBITMAP bitmap = set.normal.get();
    HBITMAP mask = set.normal_mask.get();
    DWORD* alpha = set.normal_alpha;
    const bool hot = it->m_state == kStateMouseOver || it->m_state == kStateSelected;
    if (hot && set.grayed && set.grayed.get() != set.normal.get()) {
        bitmap = set.grayed.get();
        mask = set.grayed_mask.get();
        alpha = set.grayed_alpha;
    } else if (it->m_state == kStateSelected && set.selected) {
        bitmap = set.selected.get();
        mask = set.selected_mask.get();
        alpha = set.selected_alpha;
    } else if (it->m_state == kStateMouseOver && set.mouseover) {
        bitmap = set.mouseover.get();
        mask = set.mouseover_mask.get();
        alpha = set.mouseover_alpha;
    }
    if (!bitmap) return;
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof(info), &info);
    const int h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    DrawArrowPicture(dc_, bitmap, mask, alpha, rect_.right - info.bmWidth,
                     rect_.top + (rect_.bottom - rect_.top - h) / 2, it->m_bitmapKeyColor);
}

}  // namespace

void CVellumMenuItem::Draw(HDC dc) {
    if (!dc || ::IsRectEmpty(&m_itemRect)) return;
    ItemPainter(this, dc).Run();
}
