// Window regions cut out of skin bitmaps by a key colour.
#include "skins/bitmap_helpers.h"

#include <cstring>
#include <vector>

#include "util/handles.h"

namespace {

constexpr size_t kRectsPerFlush = 2000;
constexpr size_t kRectsGrowth = 100;

// Copies a bitmap into a 32-bpp DIB section of its size.
struct PixelCopy {
    tess::ScopedBitmap dib;
    DWORD* bits = nullptr;
    int width = 0;
    int height = 0;

    bool Make(HBITMAP bitmap) {
        BITMAP bm;
        if (!bitmap || GetObjectA(bitmap, sizeof(bm), &bm) != sizeof(bm)) return false;
        width = bm.bmWidth;
        height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
        if (width <= 0 || height <= 0) return false;
        dib.reset(Create32BitDibSection(width, height, &bits));
        if (!dib) return false;
        tess::ScopedMemoryDc src(CreateCompatibleDC(nullptr));
        tess::ScopedMemoryDc dst(CreateCompatibleDC(nullptr));
        if (!src || !dst) return false;
        tess::ScopedSelect src_sel(src.get(), bitmap);
        tess::ScopedSelect dst_sel(dst.get(), dib.get());
        BitBlt(dst.get(), 0, 0, width, height, src.get(), 0, 0, SRCCOPY);
        GdiFlush();
        return true;
    }
    // Rows are bottom-up in memory; y counts from the top.
    DWORD At(int x, int y) const { return bits[(height - 1 - y) * width + x]; }
};

// Per-channel ranges [key, key + tolerance] capped at 255.
struct KeyMatcher {
    int lo[3], hi[3];
    KeyMatcher(COLORREF key, COLORREF tolerance) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = (key >> (8 * c)) & 0xFF;
            int t = (tolerance >> (8 * c)) & 0xFF;
            hi[c] = lo[c] + t > 255 ? 255 : lo[c] + t;
        }
    }
    // Pixel bytes blue, green, red against the key's low, middle, high bytes.
    bool Matches(DWORD pixel) const {
        for (int c = 0; c < 3; ++c) {
            int v = (pixel >> (8 * c)) & 0xFF;
            if (v < lo[c] || v > hi[c]) return false;
        }
        return true;
    }
};

// Collects rectangles and ORs them into one region every kRectsPerFlush.
class RegionBuilder {
public:
    RegionBuilder() { rects_.reserve(kRectsGrowth); }

    bool Add(const RECT& rect) {
        if (rects_.size() == rects_.capacity()) rects_.reserve(rects_.size() + kRectsGrowth);
        rects_.push_back(rect);
        return rects_.size() < kRectsPerFlush || Flush();
    }

    bool Flush() {
        if (rects_.empty()) return true;
        std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects_.size() * sizeof(RECT));
        RGNDATA* rgn = reinterpret_cast<RGNDATA*>(data.data());
        rgn->rdh.dwSize = sizeof(RGNDATAHEADER);
        rgn->rdh.iType = RDH_RECTANGLES;
        rgn->rdh.nCount = static_cast<DWORD>(rects_.size());
        rgn->rdh.nRgnSize = static_cast<DWORD>(rects_.size() * sizeof(RECT));
        RECT bounds = rects_[0];
        for (const RECT& r : rects_) {
            if (r.left < bounds.left) bounds.left = r.left;
            if (r.top < bounds.top) bounds.top = r.top;
            if (r.right > bounds.right) bounds.right = r.right;
            if (r.bottom > bounds.bottom) bounds.bottom = r.bottom;
        }
        rgn->rdh.rcBound = bounds;
        memcpy(rgn->Buffer, rects_.data(), rects_.size() * sizeof(RECT));
        tess::ScopedRegion part(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rgn));
        rects_.clear();
        if (!part) return false;
        return Merge(part.get());
    }

    bool Merge(HRGN part) {
        if (!result_) {
            result_.reset(CreateRectRgn(0, 0, 0, 0));
            if (!result_) return false;
        }
        return CombineRgn(result_.get(), result_.get(), part, RGN_OR) != ERROR;
    }

    HRGN Finish() {
        if (!Flush()) return nullptr;
        if (!result_) result_.reset(CreateRectRgn(0, 0, 0, 0));
        return result_.release();
    }

private:
    std::vector<RECT> rects_;
    tess::ScopedRegion result_;
};

}  // namespace

HBITMAP Create32BitDibSection(int width, int height, DWORD** bits) {
    if (bits) *bits = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (dib && bits) *bits = static_cast<DWORD*>(pixels);
    return dib;
}

HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF key, COLORREF tolerance,
                            const RegionMargins* margins) {
    PixelCopy copy;
    if (!copy.Make(bitmap)) return nullptr;
    KeyMatcher matcher(key, tolerance);

    RECT inner = {0, 0, copy.width, copy.height};
    if (margins) {
        if (margins->left >= 0) inner.left += margins->left;
        if (margins->top >= 0) inner.top += margins->top;
        if (margins->right >= 0) inner.right -= margins->right;
        if (margins->bottom >= 0) inner.bottom -= margins->bottom;
    }
    bool has_inner = margins && inner.left < inner.right && inner.top < inner.bottom;

    RegionBuilder builder;
    for (int y = 0; y < copy.height; ++y) {
        bool row_in_inner = has_inner && y >= inner.top && y < inner.bottom;
        int x = 0;
        while (x < copy.width) {
            if (row_in_inner && x >= inner.left && x < inner.right) {
                ++x;
                continue;
            }
            int start = x;
            while (x < copy.width && !matcher.Matches(copy.At(x, y))) ++x;
            if (x > start) {
                RECT run = {start, y, x, y + 1};
                if (!builder.Add(run)) return nullptr;
            }
            ++x;   // past the key pixel that ended the run
        }
    }
    if (has_inner) {
        tess::ScopedRegion inside(CreateRectRgnIndirect(&inner));
        if (!inside || !builder.Merge(inside.get())) return nullptr;
    }
    return builder.Finish();
}

HRGN CreateRegionFromBitmapMerged(HBITMAP bitmap, COLORREF key, COLORREF tolerance) {
    PixelCopy copy;
    if (!copy.Make(bitmap)) return nullptr;
    KeyMatcher matcher(key, tolerance);

    // Runs of the previous rows that are still growing downward.
    std::vector<RECT> open, row;
    RegionBuilder builder;
    for (int y = 0; y <= copy.height; ++y) {
        row.clear();
        for (int x = 0; y < copy.height && x < copy.width;) {
            int start = x;
            while (x < copy.width && !matcher.Matches(copy.At(x, y))) ++x;
            if (x > start) row.push_back(RECT{start, y, x, y + 1});
            ++x;
        }
        if (row.size() == open.size()) {
            bool same = true;
            for (size_t i = 0; i < row.size() && same; ++i)
                same = row[i].left == open[i].left && row[i].right == open[i].right;
            if (same) {
                for (RECT& r : open) r.bottom = y + 1;
                continue;
            }
        }
        for (const RECT& r : open)
            if (!builder.Add(r)) return nullptr;
        open = row;
    }
    return builder.Finish();
}
