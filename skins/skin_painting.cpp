#include "skins/skin_painting.h"

#include "skins/bitmap_helpers.h"
#include "util/handles.h"

namespace {

bool g_glow_disabled = false;

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);

// Bound on first use and kept: the library stays loaded for the process's
// life, and a system without it is not asked again.
AlphaBlendFunction BoundAlphaBlend() {
    static const AlphaBlendFunction function = [] {
        HMODULE library = LoadLibraryA("MsImg32.dll");
        return library ? reinterpret_cast<AlphaBlendFunction>(GetProcAddress(library, "AlphaBlend"))
                       : nullptr;
    }();
    return function;
}

// The one draw of a part: source and target sizes may differ.
struct PartDrawer {
    HDC target;
    HDC image_dc;
    HDC mask_dc;
    AlphaBlendFunction blend;   // set for per-pixel alpha
    bool masked;

    bool Draw(int x, int y, int width, int height, int src_x, int src_y, int src_width,
              int src_height) const {
        if (blend) {
            BLENDFUNCTION function = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            return blend(target, x, y, width, height, image_dc, src_x, src_y, src_width,
                         src_height, function) != FALSE;
        }
        if (masked) {
            DrawMaskedBitmap(target, image_dc, mask_dc, x, y, width, height, src_x, src_y,
                             src_width, src_height);
            return true;
        }
        return StretchBlt(target, x, y, width, height, image_dc, src_x, src_y, src_width,
                          src_height, SRCCOPY) != FALSE;
    }
};

}  // namespace

int BlitSkinPart(HDC target, HDC image_dc, HDC mask_dc, bool alpha, bool transparency, int x,
                 int y, int width, int height, int src_x, int src_y, int src_width, int src_height,
                 bool tile_horizontal, int tile_vertical) {
    if (!target || !image_dc) return 0;
    // A target smaller than an element's borders leaves its middle parts with
    // no room: a negative extent would mirror the part over its neighbours.
    // An empty source would never finish tiling.
    if (width <= 0 || height <= 0 || src_width <= 0 || src_height <= 0) return 0;
    PartDrawer drawer = {target, image_dc, mask_dc, nullptr, false};
    if (alpha) {
        drawer.blend = BoundAlphaBlend();
        if (!drawer.blend) return 0;
    } else {
        // Without its mask a keyed part is copied plainly rather than inverted.
        drawer.masked = transparency && mask_dc;
    }

    bool ok = true;
    const int right = x + width, bottom = y + height;
    if (!tile_horizontal && !tile_vertical) {
        ok = drawer.Draw(x, y, width, height, src_x, src_y, src_width, src_height);
    } else if (tile_horizontal && !tile_vertical) {
        for (int tx = x; tx < right; tx += src_width) {
            int w = right - tx < src_width ? right - tx : src_width;
            ok &= drawer.Draw(tx, y, w, height, src_x, src_y, w, src_height);
        }
    } else if (!tile_horizontal) {
        for (int ty = y; ty < bottom; ty += src_height) {
            int h = bottom - ty < src_height ? bottom - ty : src_height;
            ok &= drawer.Draw(x, ty, width, h, src_x, src_y, src_width, h);
        }
    } else {
        // Rows of tiles: within a row neither direction is stretched.
        for (int ty = y; ty < bottom; ty += src_height) {
            int h = bottom - ty < src_height ? bottom - ty : src_height;
            for (int tx = x; tx < right; tx += src_width) {
                int w = right - tx < src_width ? right - tx : src_width;
                ok &= drawer.Draw(tx, ty, w, h, src_x, src_y, w, h);
            }
        }
    }
    return ok ? 1 : 0;
}

int DrawSkinNineGrid(SkinRecord* skin, HDC dc, const RECT* rect, int state_index, int frame) {
    if (!skin || !dc || !rect || !skin->states) return 0;
    if (state_index < 0 || state_index >= skin->state_count) return 0;
    const SkinStateRecord& e = skin->states[state_index];
    if (!e.bitmap) return 0;

    const int L = e.LeftWidth, R = e.RightWidth, T = e.TopHeight, B = e.BottomHeight;
    const int CW = e.center_width, CH = e.center_height;
    const int x0 = rect->left, y0 = rect->top, x1 = rect->right, y1 = rect->bottom;
    const int H = y1 - y0 - B;        // height above the bottom border
    const int MW = x1 - x0 - L - R;   // middle width

    const bool alpha = e.alpha_pixels != nullptr;
    const bool keyed = !alpha && e.UseTransparency;
    tess::ScopedMemoryDc image_dc(CreateCompatibleDC(dc));
    if (!image_dc) return 0;
    tess::ScopedSelect image_select(image_dc.get(), e.bitmap.get());
    tess::ScopedMemoryDc mask_dc(keyed && e.mask ? CreateCompatibleDC(dc) : nullptr);
    tess::ScopedSelect mask_select(mask_dc.get(), e.mask.get());

    // Masks are monochrome: white and black map through these two colours.
    const COLORREF old_bk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF old_text = SetTextColor(dc, RGB(0, 0, 0));
    // Shrunk colour parts keep their colours instead of being ANDed together.
    const int old_stretch = SetStretchBltMode(dc, COLORONCOLOR);

    auto part = [&](int x, int y, int w, int h, int sx, int sy, int sw, int sh, bool tile_h,
                    int tile_v) {
        BlitSkinPart(dc, image_dc.get(), mask_dc.get(), alpha, keyed, x, y, w, h, sx, sy, sw, sh,
                     tile_h, tile_v);
    };

    const int frame_start = (frame > 0 ? frame : 0) * e.frame_width;
    const bool tile_center = e.TileCenter != 0;
    if (L > 0) {
        const int sx = frame_start;
        part(x0, y0, L, T, sx, 0, L, T, false, 0);
        part(x0, y0 + T, L, H - T, sx, T, L, CH, false, e.TileVCenter);
        part(x0, y0 + H, L, B, sx, T + CH, L, B, false, 0);
    }
    if (CW > 0) {
        const int sx = frame_start + L;
        part(x0 + L, y0, MW, T, sx, 0, CW, T, tile_center, 0);
        if (!e.OmitCenter) part(x0 + L, y0 + T, MW, H - T, sx, T, CW, CH, tile_center, e.TileVCenter);
        part(x0 + L, y0 + H, MW, B, sx, T + CH, CW, B, tile_center, 0);
    }
    if (R > 0) {
        const int sx = frame_start + L + CW;
        part(x1 - R, y0, R, T, sx, 0, R, T, false, 0);
        part(x1 - R, y0 + T, R, H - T, sx, T, R, CH, false, e.TileVCenter);
        part(x1 - R, y0 + H, R, B, sx, T + CH, R, B, false, 0);
    }

    SetStretchBltMode(dc, old_stretch);
    SetTextColor(dc, old_text);
    SetBkColor(dc, old_bk);
    return 1;
}

int DrawBarSkinBackground(SkinRecord* skin, HDC dc, HWND bar) {
    if (!skin || !dc || !bar) return 0;
    RECT area;
    if (!GetWindowRect(bar, &area)) return 0;
    OffsetRect(&area, -area.left, -area.top);

    const COLORREF color = skin->BackgroundColor;
    const bool white = color == RGB(255, 255, 255);
    tess::ScopedBrush brush(white ? nullptr : CreateSolidBrush(color));
    tess::ScopedPen pen(white ? nullptr : CreatePen(PS_SOLID, 1, color));
    {
        tess::ScopedSelect brush_select(dc, brush ? static_cast<HGDIOBJ>(brush.get())
                                                  : GetStockObject(WHITE_BRUSH));
        tess::ScopedSelect pen_select(dc, pen ? static_cast<HGDIOBJ>(pen.get())
                                              : GetStockObject(WHITE_PEN));
        Rectangle(dc, area.left - 1, area.top - 1, area.right + 1, area.bottom + 1);
    }
    DrawSkinNineGrid(skin, dc, &area, kSkinStateBarBackground, 0);
    return 1;
}

void SetSkinGlowDisabled(bool disabled) { g_glow_disabled = disabled; }
bool IsSkinGlowDisabled() { return g_glow_disabled; }
