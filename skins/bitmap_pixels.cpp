// 32-bpp pixel access, masks, masked and alpha blits.
#include "skins/bitmap_helpers.h"

#include <cstdlib>
#include <cstring>

#include "util/general_helpers.h"
#include "util/handles.h"

namespace {

bool BitmapSize(HBITMAP bitmap, BITMAP* info) {
    return bitmap && GetObjectA(bitmap, sizeof(*info), info) == sizeof(*info) &&
           info->bmWidth > 0 && info->bmHeight != 0;
}

BITMAPINFOHEADER Header32(const BITMAP& bm, int bit_count) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = bm.bmWidth;
    header.biHeight = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bit_count);
    header.biCompression = BI_RGB;
    return header;
}

}  // namespace

DWORD* GetBitmapBits32(HBITMAP bitmap, int bit_count) {
    BITMAP bm;
    // The buffer holds four bytes a pixel: deeper formats would not fit.
    if (bit_count <= 0 || bit_count > 32 || !BitmapSize(bitmap, &bm)) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader = Header32(bm, bit_count);
    size_t count = static_cast<size_t>(info.bmiHeader.biWidth) * info.bmiHeader.biHeight;
    DWORD* bits = static_cast<DWORD*>(calloc(count + 1, sizeof(DWORD)));
    if (!bits) return nullptr;
    tess::ScopedWindowDc screen(nullptr);
    if (!GetDIBits(screen.get(), bitmap, 0, info.bmiHeader.biHeight, bits, &info, DIB_RGB_COLORS)) {
        free(bits);
        return nullptr;
    }
    return bits;
}

void FreeBitmapBits32(DWORD* bits) { free(bits); }

bool SetBitmapBits32(HBITMAP bitmap, int bit_count, const DWORD* bits) {
    BITMAP bm;
    if (!bits || bit_count <= 0 || bit_count > 32 || !BitmapSize(bitmap, &bm)) return false;
    BITMAPINFO info{};
    info.bmiHeader = Header32(bm, bit_count);
    tess::ScopedWindowDc screen(nullptr);
    return SetDIBits(screen.get(), bitmap, 0, info.bmiHeader.biHeight, bits, &info,
                     DIB_RGB_COLORS) != 0;
}

bool BitsHaveAlpha(const DWORD* bits, int pixel_count) {
    if (!bits) return false;
    for (int i = 0; i < pixel_count; ++i)
        if (bits[i] & 0xFF000000u) return true;
    return false;
}

bool BitmapHasAlpha(HBITMAP bitmap) {
    // Alpha channels in bitmaps are honoured only from Windows XP on.
    if (WindowsVersion() != kWinXP) return false;
    BITMAP bm;
    if (!BitmapSize(bitmap, &bm)) return false;
    DWORD* bits = GetBitmapBits32(bitmap, 32);
    bool alpha = BitsHaveAlpha(bits, bm.bmWidth * (bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight));
    FreeBitmapBits32(bits);
    return alpha;
}

int GetDibColorCount(const BITMAPINFOHEADER* header) {
    if (!header) return 0;
    int bit_count;
    DWORD used = 0;
    if (header->biSize == sizeof(BITMAPCOREHEADER)) {
        bit_count = reinterpret_cast<const BITMAPCOREHEADER*>(header)->bcBitCount;
    } else {
        bit_count = header->biBitCount;
        used = header->biClrUsed;
    }
    if (bit_count != 1 && bit_count != 4 && bit_count != 8) return 0;
    int full = 1 << bit_count;
    return used && used < static_cast<DWORD>(full) ? static_cast<int>(used) : full;
}

int GetDibPaletteSize(const BITMAPINFOHEADER* header) {
    if (!header) return 0;
    int entry = header->biSize == sizeof(BITMAPCOREHEADER) ? 3 : 4;
    return GetDibColorCount(header) * entry;
}

// ---- blits -------------------------------------------------------------------------------------

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
    BITMAP bm;
    if (!dc || !BitmapSize(bitmap, &bm)) return;
    tess::ScopedMemoryDc mem(CreateCompatibleDC(dc));
    if (!mem) return;
    tess::ScopedSelect select(mem.get(), bitmap);
    SetMapMode(mem.get(), GetMapMode(dc));
    POINT size = {bm.bmWidth, bm.bmHeight};
    DPtoLP(dc, &size, 1);
    POINT origin = {0, 0};
    DPtoLP(mem.get(), &origin, 1);
    BitBlt(dc, x, y, size.x, size.y, mem.get(), origin.x, origin.y, SRCCOPY);
}

void BlitBitmap(HDC dc, const BITMAP* info, HBITMAP bitmap, int x, int y) {
    BITMAP bm;
    if (info) bm = *info;
    else if (!BitmapSize(bitmap, &bm)) return;
    tess::ScopedMemoryDc mem(CreateCompatibleDC(dc));
    if (!mem) return;
    tess::ScopedSelect select(mem.get(), bitmap);
    BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem.get(), 0, 0, SRCCOPY);
}

HBITMAP CreateBitmapMask(HBITMAP bitmap, COLORREF key, bool blackout) {
    BITMAP bm;
    if (!BitmapSize(bitmap, &bm)) return nullptr;
    int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    tess::ScopedBitmap mask(CreateBitmap(bm.bmWidth, height, 1, 1, nullptr));
    tess::ScopedMemoryDc image_dc(CreateCompatibleDC(nullptr));
    tess::ScopedMemoryDc mask_dc(CreateCompatibleDC(nullptr));
    if (!mask || !image_dc || !mask_dc) return nullptr;
    {
        tess::ScopedSelect image_sel(image_dc.get(), bitmap);
        tess::ScopedSelect mask_sel(mask_dc.get(), mask.get());
        // Colour to monochrome: pixels of the background colour become white.
        COLORREF old_bk = SetBkColor(image_dc.get(), key);
        BitBlt(mask_dc.get(), 0, 0, bm.bmWidth, height, image_dc.get(), 0, 0, SRCCOPY);
        SetBkColor(image_dc.get(), old_bk);
        if (blackout) {
            // Monochrome to colour maps white to the background and black to
            // the text colour: white key pixels XOR themselves away.
            COLORREF old_text = SetTextColor(image_dc.get(), RGB(0, 0, 0));
            old_bk = SetBkColor(image_dc.get(), key);
            BitBlt(image_dc.get(), 0, 0, bm.bmWidth, height, mask_dc.get(), 0, 0, SRCINVERT);
            SetBkColor(image_dc.get(), old_bk);
            SetTextColor(image_dc.get(), old_text);
        }
    }
    return mask.release();
}

void DrawMaskedBitmap(HDC dc, HDC image_dc, HDC mask_dc, int x, int y, int width, int height,
                      int src_x, int src_y, int src_width, int src_height) {
    if (src_width <= 0) src_width = width;
    if (src_height <= 0) src_height = height;
    COLORREF old_text = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF old_bk = SetBkColor(dc, RGB(255, 255, 255));
    if (src_width == width && src_height == height) {
        BitBlt(dc, x, y, width, height, mask_dc, src_x, src_y, SRCAND);
        BitBlt(dc, x, y, width, height, image_dc, src_x, src_y, SRCINVERT);
    } else {
        StretchBlt(dc, x, y, width, height, mask_dc, src_x, src_y, src_width, src_height, SRCAND);
        StretchBlt(dc, x, y, width, height, image_dc, src_x, src_y, src_width, src_height,
                   SRCINVERT);
    }
    SetTextColor(dc, old_text);
    SetBkColor(dc, old_bk);
}

void DrawTransparentBitmapEx(HDC dc, const BITMAP* info, HBITMAP bitmap, HBITMAP mask,
                             int x, int y, int width, int height,
                             int src_x, int src_y, int src_width, int src_height, COLORREF key) {
    BITMAP bm;
    if (info) bm = *info;
    else if (!BitmapSize(bitmap, &bm)) return;
    if (!dc || !bitmap) return;
    if (width <= 0) width = bm.bmWidth;
    if (height <= 0) height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (src_width <= 0) src_width = width;
    if (src_height <= 0) src_height = height;

    tess::ScopedBitmap own_mask;
    bool mask_made = false;
    if (!mask) {
        own_mask.reset(CreateBitmapMask(bitmap, key, false));
        if (!own_mask) return;
        mask = own_mask.get();
        mask_made = true;
    }
    tess::ScopedMemoryDc image_dc(CreateCompatibleDC(dc));
    tess::ScopedMemoryDc mask_dc(CreateCompatibleDC(dc));
    if (!image_dc || !mask_dc) return;
    tess::ScopedSelect image_sel(image_dc.get(), bitmap);
    tess::ScopedSelect mask_sel(mask_dc.get(), mask);
    COLORREF old_text = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF old_bk = SetBkColor(dc, RGB(255, 255, 255));
    if (src_width == width && src_height == height) {
        if (mask_made) {
            // The image is not blacked out: XOR, AND, XOR leaves the key out.
            BitBlt(dc, x, y, width, height, image_dc.get(), src_x, src_y, SRCINVERT);
            BitBlt(dc, x, y, width, height, mask_dc.get(), src_x, src_y, SRCAND);
            BitBlt(dc, x, y, width, height, image_dc.get(), src_x, src_y, SRCINVERT);
        } else {
            BitBlt(dc, x, y, width, height, mask_dc.get(), src_x, src_y, SRCAND);
            BitBlt(dc, x, y, width, height, image_dc.get(), src_x, src_y, SRCINVERT);
        }
    } else {
        StretchBlt(dc, x, y, width, height, mask_dc.get(), src_x, src_y, src_width, src_height,
                   SRCAND);
        StretchBlt(dc, x, y, width, height, image_dc.get(), src_x, src_y, src_width, src_height,
                   SRCINVERT);
    }
    SetTextColor(dc, old_text);
    SetBkColor(dc, old_bk);
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
    DrawTransparentBitmapEx(dc, nullptr, bitmap, nullptr, x, y, width, height, 0, 0, 0, 0,
                            kMagenta);
}

// ---- alpha -------------------------------------------------------------------------------------------

int AlphaCompositeBits(HBITMAP bitmap, const DWORD* source, int width, int height) {
    BITMAP bm;
    if (!source || width <= 0 || height <= 0 || !BitmapSize(bitmap, &bm)) return 0;
    int bm_height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    // Never read or write past either buffer.
    if (bm.bmWidth != width || bm_height != height) return 0;
    DWORD* target = GetBitmapBits32(bitmap, 32);
    if (!target) return 0;
    int count = width * height;
    for (int i = 0; i < count; ++i) {
        DWORD s = source[i];
        int a = static_cast<int>(s >> 24);
        if (a == 0) continue;
        if (a == 255) {
            target[i] = s;
            continue;
        }
        DWORD t = target[i];
        int tb = t & 0xFF, tg = (t >> 8) & 0xFF, tr = (t >> 16) & 0xFF;
        int sb = s & 0xFF, sg = (s >> 8) & 0xFF, sr = (s >> 16) & 0xFF;
        int g = (tg + ((a * (sg - tg)) >> 8)) & 0xFF;
        int r = (tr + ((a * (sr - tr)) >> 8)) & 0xFF;
        int b = (tb - ((a * (tb - sb) + 255) >> 8)) & 0xFF;
        target[i] = static_cast<DWORD>(b | (g << 8) | (r << 16));
    }
    bool ok = SetBitmapBits32(bitmap, 32, target);
    FreeBitmapBits32(target);
    return ok ? 1 : 0;
}

void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, const DWORD* pixels, int x, int y) {
    BITMAP bm;
    if (!dc || !pixels || !BitmapSize(bitmap, &bm)) return;
    int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    tess::ScopedBitmap copy(CreateCompatibleBitmap(dc, bm.bmWidth, height));
    tess::ScopedMemoryDc mem(CreateCompatibleDC(dc));
    if (!copy || !mem) return;
    {
        tess::ScopedSelect select(mem.get(), copy.get());
        BitBlt(mem.get(), 0, 0, bm.bmWidth, height, dc, x, y, SRCCOPY);
    }
    if (!AlphaCompositeBits(copy.get(), pixels, bm.bmWidth, height)) return;
    tess::ScopedSelect select(mem.get(), copy.get());
    BitBlt(dc, x, y, bm.bmWidth, height, mem.get(), 0, 0, SRCCOPY);
}
