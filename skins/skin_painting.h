// The drawing primitives that every bar, section and item goes through: the
// nine-grid painter and the blitter under it, the bar background, icons and
// texts with the skin's shadow or glow, and the two-font text of task-group
// headers. Colour strings and font creation live in skin_colors_fonts.h.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "skins/skin_colors_fonts.h"
#include "skins/skin_record.h"

// ---- switches (skin_painting.cpp) ----------------------------------------------------------------
// Icons and texts are painted without the skins' shadow or glow while this
// is set. The program sets it from its global option "bDisableGlow"; off
// until then.
void SetSkinGlowDisabled(bool disabled);
bool IsSkinGlowDisabled();

// ---- nine-grid and parts (skin_painting.cpp) -----------------------------------------------------
// Frame `frame` of element `state_index` into rect. 0 when the skin, DC or
// rectangle is missing, the index is out of range or the element has no bitmap.
int DrawSkinNineGrid(SkinRecord* skin, HDC dc, const RECT* rect, int state_index, int frame);

// One part of an element: per-pixel alpha (through AlphaBlend), colour-key
// mask or plain stretch. Tiles are as large as the source part; the last one
// is cut to what remains. A part with an empty source or target is not drawn (0).
int BlitSkinPart(HDC target, HDC image_dc, HDC mask_dc, bool alpha, bool transparency, int x,
                 int y, int width, int height, int src_x, int src_y, int src_width, int src_height,
                 bool tile_horizontal, int tile_vertical);

// BackgroundColor over the bar window's rectangle (at 0,0), then element 0.
int DrawBarSkinBackground(SkinRecord* skin, HDC dc, HWND bar);

// ---- icons (skin_painting_icons.cpp) --------------------------------------------------------------
// The element into rect (when given), then the icon (or the image list's image when no
// icon is given) at (x, y) plus the element's IconOffset, with the element's
// shadow or glow unless glow is switched off (SetSkinGlowDisabled).
int DrawSkinIcon(SkinRecord* skin, HDC dc, HICON icon, const RECT* rect, int x, int y,
                 int state_index, int size, int frame, HIMAGELIST image_list, int image_index);
// The skin's menu icon (0 or 1) at size 16; skins never fill these, so in
// practice only the element is painted.
int DrawSkinMenuIcon(SkinRecord* skin, HDC dc, int icon_number, const RECT* rect, int x, int y,
                     int state_index);

// ---- text (skin_painting_text.cpp) ----------------------------------------------------------------
// The text in the element's font and colour. With DT_CALCRECT only measures
// (DrawTextEx's result, rect updated). With cut given, an end ellipsis cuts
// a copy (the caller's text is never written) and *cut becomes 1 when it did.
// 0 for a missing argument or an index out of range, else 1.
int DrawSkinText(SkinRecord* skin, HDC dc, const char* text, RECT* rect, UINT format,
                 int state_index, int x_offset, int y_offset, int right_margin,
                 bool draw_background, bool disabled, int frame, int text_height, int text_width,
                 bool keep_font_and_color, int* cut);
// A text whose first header_length characters (or last -header_length when
// negative) are a task-group header, drawn in the skin's header font and its
// default colour; the rest in the element's. The results of both pieces are added.
int DrawSkinItemText(SkinRecord* skin, HDC dc, const char* text, RECT* rect, UINT format,
                     int state_index, int x_offset, int y_offset, int right_margin,
                     bool draw_background, bool disabled, int frame, int text_height,
                     int text_width, int header_length, int* cut);

// A text with line breaks, each line drawn with DrawSkinText one under the other.
int DrawSkinMultilineText(SkinRecord* skin, HDC dc, const char* text, RECT* rect, UINT format,
                          int state_index, int x_offset, int y_offset, int right_margin,
                          bool draw_background, bool disabled, int frame, int text_height,
                          int text_width, bool keep_font_and_color);

// Selects the skin's item font; false when the skin has none.
bool SelectSkinFont(SkinRecord* skin, HDC dc);
// Selects the stock SYSTEM_FONT.
bool SelectSystemFont(HDC dc);
