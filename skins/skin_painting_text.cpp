#include <cstring>
#include <string>

#include "skins/bitmap_helpers.h"
#include "skins/skin_painting.h"

namespace {

// Distance of a tab's right-aligned piece (a shortcut name) from the right.
constexpr int kTabPieceMargin = 10;
// Room beyond the measured text that a shadow or glow may spread into.
constexpr int kEffectSlack = 10;

const SkinStateRecord* ElementOf(const SkinRecord* skin, int state_index) {
    if (!skin || !skin->states || state_index < 0 || state_index >= skin->state_count)
        return nullptr;
    return &skin->states[state_index];
}

// A writable copy of length characters of text with room for the ellipsis
// that DT_MODIFYSTRING may append.
std::string EditableCopy(const char* text, size_t length) {
    std::string copy(text, length);
    copy.resize(length + 8, '\0');
    return copy;
}

// Draws length characters from a copy; *cut (when given and still 0)
// becomes 1 when DrawTextEx shortened the copy.
int DrawFromCopy(HDC dc, const char* text, size_t length, RECT* rect, UINT format, int* cut) {
    std::string copy = EditableCopy(text, length);
    int result = DrawTextExA(dc, &copy[0], -1, rect, format, nullptr);
    if (cut && !*cut && (format & DT_MODIFYSTRING) &&
        (strlen(copy.c_str()) != length || strncmp(copy.c_str(), text, length) != 0))
        *cut = 1;
    return result;
}

// DrawTextWithShadow works on a copy of its own; whether that copy was cut is
// found by the same DrawTextEx on a scratch DC with the same font.
void NoteEffectCut(HDC dc, const char* text, const RECT* rect, UINT format, int* cut) {
    if (!cut || *cut || !(format & DT_MODIFYSTRING)) return;
    tess::ScopedMemoryDc scratch(CreateCompatibleDC(dc));
    if (!scratch) return;
    tess::ScopedSelect font(scratch.get(), GetCurrentObject(dc, OBJ_FONT));
    RECT area = *rect;
    const char* tab = strrchr(text, '\t');
    // Only the piece before a tab is cut to the rectangle; the shortcut is not.
    size_t length = tab ? static_cast<size_t>(tab - text) : strlen(text);
    DrawFromCopy(scratch.get(), text, length, &area, format, cut);
}

// Puts the font back on scope exit when one was selected.
class FontChoice {
public:
    FontChoice(HDC dc, HFONT font) : dc_(dc), old_(font ? SelectObject(dc, font) : nullptr) {}
    ~FontChoice() { if (old_) SelectObject(dc_, old_); }
    FontChoice(const FontChoice&) = delete;
    FontChoice& operator=(const FontChoice&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

HFONT ElementFont(const SkinStateRecord& e) {
    return e.font_valid ? e.font.get() : nullptr;
}

// Everything of a DrawSkinItemText call but the text and the x offset.
struct TextCall {
    SkinRecord* skin;
    HDC dc;
    UINT format;
    int state_index, x_offset, y_offset, right_margin;
    bool draw_background, disabled;
    int frame, text_height, text_width;
    int* cut;

    int Draw(const char* text, RECT* target, int x_offset_here, bool background, bool keep) const {
        return DrawSkinText(skin, dc, text, target, format, state_index, x_offset_here, y_offset,
                            right_margin, background, disabled, frame, text_height, text_width,
                            keep, cut);
    }

    // The header in the header font and its default colour; *width receives
    // its measured width.
    int DrawHeader(const SkinFontRecord& header, const std::string& text, RECT* target,
                   int x_offset_here, bool background, int* width) const {
        FontChoice font(dc, header.font.get());
        COLORREF old_color = SetTextColor(dc, header.default_color);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        *width = size.cx;
        int result = Draw(text.c_str(), target, x_offset_here, background, true);
        SetTextColor(dc, old_color);
        return result;
    }
};

}  // namespace

int DrawSkinText(SkinRecord* skin, HDC dc, const char* text, RECT* rect, UINT format,
                 int state_index, int x_offset, int y_offset, int right_margin,
                 bool draw_background, bool disabled, int frame, int text_height, int text_width,
                 bool keep_font_and_color, int* cut) {
    const SkinStateRecord* element = ElementOf(skin, state_index);
    if (!element || !dc || !text || !rect) return 0;
    const SkinStateRecord& e = *element;
    if (cut) format |= DT_MODIFYSTRING;

    FontChoice font(dc, keep_font_and_color ? nullptr : ElementFont(e));
    SetBkMode(dc, TRANSPARENT);

    if (format & DT_CALCRECT) {
        // Measuring only; the caller's text is never modified.
        std::string copy = EditableCopy(text, strlen(text));
        return DrawTextExA(dc, &copy[0], -1, rect, format, nullptr);
    }

    if (draw_background) DrawSkinNineGrid(skin, dc, rect, state_index, frame);

    RECT area = {rect->left + x_offset + e.TextOffset.x, rect->top + y_offset + e.TextOffset.y,
                 rect->right - right_margin, rect->bottom};
    if ((format & DT_VCENTER) && text_height > 0) {
        int shrink = (area.bottom - area.top - text_height) / 2;
        area.top += shrink;
        area.bottom -= shrink;
        format &= ~DT_VCENTER;
    }

    if (!keep_font_and_color) SetTextColor(dc, disabled ? e.DisabledTextColor : e.TextColor);
    const char* tab = strrchr(text, '\t');
    const bool effect = e.effect && e.text_intensity != 0 && !IsSkinGlowDisabled();
    if (effect) {
        // The shadow is blurred over the text's own rectangle only.
        if (!(format & (DT_CENTER | DT_RIGHT)) && !tab) {
            int right = area.left + text_width + kEffectSlack;
            if (right < area.right) area.right = right;
        }
        NoteEffectCut(dc, text, &area, format, cut);
        // The shadow painter cuts its own copy; nothing reads that copy back, and
        // a cut before a tab would run over the shortcut piece behind it.
        DrawTextWithShadow(dc, text, &area, format & ~DT_MODIFYSTRING, e.text_blur,
                           e.text_intensity, e.text_shadow_x, e.text_shadow_y, e.shadow_color);
    } else if (tab) {
        DrawFromCopy(dc, text, static_cast<size_t>(tab - text), &area, format, cut);
        RECT right_piece = area;
        right_piece.right -= kTabPieceMargin;
        DrawFromCopy(dc, tab + 1, strlen(tab + 1), &right_piece, format | DT_RIGHT, nullptr);
    } else {
        DrawFromCopy(dc, text, strlen(text), &area, format, cut);
    }
    return 1;
}

int DrawSkinItemText(SkinRecord* skin, HDC dc, const char* text, RECT* rect, UINT format,
                     int state_index, int x_offset, int y_offset, int right_margin,
                     bool draw_background, bool disabled, int frame, int text_height,
                     int text_width, int header_length, int* cut) {
    if (cut) *cut = 0;
    TextCall call = {skin, dc, format, state_index, x_offset, y_offset, right_margin,
                     draw_background, disabled, frame, text_height, text_width, cut};
    if (!skin || !text || header_length == 0 || !skin->fonts[kSkinFontGroupHeader].valid ||
        !skin->fonts[kSkinFontGroupHeader].font)
        return call.Draw(text, rect, x_offset, draw_background, false);
    const SkinStateRecord* element = ElementOf(skin, state_index);
    if (!element || !dc || !rect) return 0;

    const SkinFontRecord& header = skin->fonts[kSkinFontGroupHeader];
    const size_t length = strlen(text);
    const bool measuring = (format & DT_CALCRECT) != 0;
    const RECT original = *rect;
    // With DT_CALCRECT the second piece is measured on its own and widens the first.
    RECT second_area = original;
    RECT* second = measuring ? &second_area : rect;
    int result = 0;
    bool second_drawn = false;

    // The element's background goes under the first piece only: drawn again for
    // the second it would paint over the first.
    // The header in front (or a text no longer than a trailing header: all header).
    const size_t tail = header_length < 0 ? static_cast<size_t>(-(long long)header_length) : 0;
    if (header_length > 0 || length <= tail) {
        size_t n = header_length > 0 ? static_cast<size_t>(header_length) : length;
        if (n > length) n = length;
        int width = 0;
        result = call.DrawHeader(header, std::string(text, n), rect, x_offset, draw_background,
                                 &width);
        if (n < length) {
            result += call.Draw(text + n, second, x_offset + width, false, false);
            second_drawn = true;
        }
    } else {
        // A trailing header: the front in the element's font, then the header.
        const std::string front(text, length - tail);
        result = call.Draw(front.c_str(), rect, x_offset, draw_background, false);
        SIZE size = {};
        {
            FontChoice font(dc, ElementFont(*element));
            GetTextExtentPoint32A(dc, front.c_str(), static_cast<int>(front.size()), &size);
        }
        int width = 0;
        result += call.DrawHeader(header, std::string(text + length - tail, tail), second,
                                  x_offset + size.cx, false, &width);
        second_drawn = true;
    }
    if (measuring && second_drawn) rect->right += second_area.right - second_area.left;
    return result;
}

int DrawSkinMultilineText(SkinRecord* skin, HDC dc, const char* text, RECT* rect, UINT format,
                          int state_index, int x_offset, int y_offset, int right_margin,
                          bool draw_background, bool disabled, int frame, int text_height,
                          int text_width, bool keep_font_and_color) {
    if (!ElementOf(skin, state_index) || !dc || !text || !rect) return 0;
    // One background under all lines, not one per line over the lines above.
    if (draw_background) DrawSkinNineGrid(skin, dc, rect, state_index, frame);
    int top = rect->top;
    const char* line = text;
    while (true) {
        const char* end = strchr(line, '\n');
        size_t length = end ? static_cast<size_t>(end - line) : strlen(line);
        std::string piece(line, length);
        if (!piece.empty() && piece.back() == '\r') piece.pop_back();

        RECT measure = {rect->left, top, rect->right, rect->bottom};
        int height = DrawSkinText(skin, dc, piece.empty() ? " " : piece.c_str(), &measure,
                                  (format | DT_CALCRECT) & ~DT_VCENTER, state_index, 0, 0, 0,
                                  false, disabled, frame, 0, 0, keep_font_and_color, nullptr);
        RECT line_area = {rect->left, top, rect->right, top + height};
        DrawSkinText(skin, dc, piece.c_str(), &line_area, format & ~DT_CALCRECT, state_index,
                     x_offset, y_offset, right_margin, false, disabled, frame, text_height,
                     text_width, keep_font_and_color, nullptr);
        top += height;
        if (!end) break;
        line = end + 1;
    }
    return 1;
}

bool SelectSkinFont(SkinRecord* skin, HDC dc) {
    if (!skin || !dc) return false;
    const SkinFontRecord& item = skin->fonts[kSkinFontItem];
    if (!item.valid || !item.font) return false;
    return SelectObject(dc, item.font.get()) != nullptr;
}

bool SelectSystemFont(HDC dc) {
    return dc && SelectObject(dc, GetStockObject(SYSTEM_FONT)) != nullptr;
}
