// The picture maker: the capture area (smaller bars, largest bar, screen),
// the bars printed into a full-resolution bitmap over the desktop
// background, reduced with one halftone stretch and written as a BMP file.
#include "model/bar_screenshot.h"

#include <algorithm>
#include <vector>

#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/bar_registry.h"
#include "util/dib_files.h"
#include "util/handles.h"

namespace {

constexpr int kMaxTilesForSmallerBars = 5;
constexpr int kMaxPrintedBars = 100;

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

int CeilDiv(int value, int by) { return value <= 0 ? 0 : (value + by - 1) / by; }

std::vector<CVellumMenuObject*> RegistryBars() {
    std::vector<CVellumMenuObject*> bars;
    const int count = GetBarWindowCount();
    for (int i = 0; i < count; ++i)
        if (CVellumMenuObject* bar = LiveBarOfWindow(GetBarWindowAt(i))) bars.push_back(bar);
    return bars;
}

// Visible, or kept in a file: what a theme's picture shows.
bool TakesPart(const CVellumMenuObject* bar) {
    return (bar->m_hWnd && IsWindowVisible(bar->m_hWnd)) || bar->m_barFile[0];
}

bool MayBeLargest(const CVellumMenuObject* bar) {
    if (bar->m_hWnd && IsWindowVisible(bar->m_hWnd)) return true;
    return !bar->m_owningPopupItem && !bar->bHideBarUntilHotkey;
}

int NonSeparatorItems(const CVellumMenuObject* bar) {
    int count = 0;
    for (int s = 0; s < kMaxSections && bar->m_sections[s]; ++s) {
        const CVellumMenuSection* section = bar->m_sections[s];
        for (int i = 0; i < kMaxItems && section->m_items[i]; ++i)
            if (!section->m_items[i]->Separator) ++count;
    }
    return count;
}

// Widens the extent [lo, hi] (-1 unset) by [a, b].
void Widen(LONG& lo, LONG& hi, LONG a, LONG b) {
    if (lo == -1 || a < lo) lo = a;
    if (hi == -1 || b > hi) hi = b;
}

// The area of the bars that cover less than half the screen either way;
// false when there is none or it would need too many tiles.
bool SmallerBarsArea(RECT* out) {
    RECT large = {-1, -1, -1, -1}, small = {-1, -1, -1, -1};
    int small_count = 0;
    const int half_w = ScreenWidth() / 2, half_h = ScreenHeight() / 2;
    for (CVellumMenuObject* bar : RegistryBars()) {
        if (!TakesPart(bar)) continue;
        RECT r = BarScreenshotRect(bar);
        if (r.left < 0) r.left = 0;
        if (r.top < 0) r.top = 0;
        const bool tall = r.bottom - r.top > half_h;
        const bool wide = r.right - r.left > half_w;
        Widen(tall ? large.top : small.top, tall ? large.bottom : small.bottom, r.top, r.bottom);
        Widen(wide ? large.left : small.left, wide ? large.right : small.right, r.left, r.right);
        if (!tall && !wide) ++small_count;
    }
    if (!small_count || small.left == -1 || small.top == -1 || small.right == -1 || small.bottom == -1)
        return false;
    const int columns = CeilDiv(small.right - small.left, kThumbnailWidth);
    const int rows = CeilDiv(small.bottom - small.top, kThumbnailHeight);
    if (std::max(columns, rows) > kMaxTilesForSmallerBars) return false;
    *out = small;
    return true;
}

// Most sections, then most items that are not separators; the earlier bar
// of the registry stays on full equality.
CVellumMenuObject* LargestBar() {
    CVellumMenuObject* best = nullptr;
    int best_sections = 0, best_items = 0;
    for (CVellumMenuObject* bar : RegistryBars()) {
        if (!MayBeLargest(bar)) continue;
        const int sections = bar->GetSectionCount();
        const int items = NonSeparatorItems(bar);
        if (!best || sections > best_sections || (sections == best_sections && items > best_items)) {
            best = bar;
            best_sections = sections;
            best_items = items;
        }
    }
    return best;
}

RECT WholeScreen() { return RECT{0, 0, ScreenWidth(), ScreenHeight()}; }

// Places the window's picture at its screen position in dc (whose origin
// maps screen coordinates).
void PrintBar(HDC dc, const CVellumMenuObject* bar) {
    if (!bar->m_hWnd || !IsWindow(bar->m_hWnd)) return;
    const RECT r = BarScreenshotRect(bar);
    POINT old = {};
    OffsetViewportOrgEx(dc, r.left, r.top, &old);
    SendMessageA(bar->m_hWnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

}  // namespace

RECT BarScreenshotRect(const CVellumMenuObject* bar) {
    const BarPlacement& p = bar->m_placement;
    const int x = p.bAlignX ? p.LastScreenSize.cx - p.LastPos.x : p.LastPos.x;
    const int y = p.bAlignY ? p.LastScreenSize.cy - p.LastPos.y : p.LastPos.y;
    return RECT{x, y, x + p.LastSize.cx, y + p.LastSize.cy};
}

int TilesForArea(const RECT& r) {
    const int columns = std::max(1, CeilDiv(r.right - r.left, kThumbnailWidth));
    const int rows = std::max(1, CeilDiv(r.bottom - r.top, kThumbnailHeight));
    int small = std::min(columns, rows);
    const int large = std::max(columns, rows);
    if (large <= kMaxTilesForSmallerBars) return 0;
    small = std::min(small, 2);
    if (small == 1 && large > 6) small = 2;
    return small;
}

void LayoutCaptureArea(RECT* r, int n) {
    if (!r) return;
    if (n < 0) n = TilesForArea(*r);
    const int W = ScreenWidth(), H = ScreenHeight();
    if (n > 0) {
        const int height = n * kThumbnailHeight, width = n * kThumbnailWidth;
        if (height > r->bottom - r->top) r->top -= (height - (r->bottom - r->top)) / 2;
        if (r->top < 0) r->top = 0;
        r->bottom = r->top + height;
        if (r->bottom > H) {
            r->top -= r->bottom - H;
            r->bottom = H;
        }
        if (width > r->right - r->left) r->left -= (width - (r->right - r->left)) / 2;
        if (r->left < 0) r->left = 0;
        r->right = r->left + width;
        if (r->right > W) {
            r->left -= r->right - W;
            r->right = W;
        }
        return;
    }
    const int w = r->right - r->left, h = r->bottom - r->top;
    int new_w = w, new_h = w * 3 / 4;
    if (new_h < h) {
        new_h = h;
        new_w = h * 4 / 3;
    }
    r->top -= (new_h - h) / 2;
    r->left -= (new_w - w) / 2;
    r->bottom = r->top + new_h;
    r->right = r->left + new_w;
    if (r->bottom > H) OffsetRect(r, 0, H - r->bottom);
    if (r->right > W) OffsetRect(r, W - r->right, 0);
    if (r->top < 0) OffsetRect(r, 0, -r->top);
    if (r->left < 0) OffsetRect(r, -r->left, 0);
}

RECT ChooseCaptureArea(int kind) {
    RECT r = WholeScreen();
    if (kind == kScreenshotAuto || kind == kScreenshotSmallerBars) {
        RECT small;
        if (SmallerBarsArea(&small)) {
            LayoutCaptureArea(&small, 0);
            return small;
        }
        if (kind == kScreenshotSmallerBars) return r;
    }
    if (kind == kScreenshotAuto || kind == kScreenshotLargestBar || kind == kScreenshotLargestBarHalf) {
        if (CVellumMenuObject* bar = LargestBar()) {
            r = BarScreenshotRect(bar);
            LayoutCaptureArea(&r, kind == kScreenshotLargestBar ? 1 : kind == kScreenshotLargestBarHalf ? 2 : -1);
        }
    }
    return r;
}

int SaveScreenshotBitmap(const char* path, CVellumMenuObject* bar, int kind) {
    if (kind == kScreenshotNone || !path || !path[0]) return 0;
    if (bar && !IsLiveBar(bar)) return 0;
    RECT r;
    if (bar) {
        r = BarScreenshotRect(bar);
        LayoutCaptureArea(&r, -1);
    } else {
        r = ChooseCaptureArea(kind);
    }
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return 0;

    tess::ScopedWindowDc screen(nullptr);
    tess::ScopedMemoryDc capture_dc(CreateCompatibleDC(screen.get()));
    tess::ScopedBitmap capture(CreateDib32(width, height));
    tess::ScopedMemoryDc thumb_dc(CreateCompatibleDC(screen.get()));
    tess::ScopedBitmap thumb(CreateDib32(kThumbnailWidth, kThumbnailHeight));
    if (!capture_dc || !capture || !thumb_dc || !thumb) return 0;
    {
        tess::ScopedSelect select_capture(capture_dc.get(), capture.get());
        SetViewportOrgEx(capture_dc.get(), -r.left, -r.top, nullptr);
        DrawDesktopWallpaper(capture_dc.get());
        if (bar) {
            PrintBar(capture_dc.get(), bar);
        } else {
            std::vector<CVellumMenuObject*> printed;
            for (CVellumMenuObject* b : RegistryBars())
                if (TakesPart(b) && printed.size() < kMaxPrintedBars) printed.push_back(b);
            // The first bar of the registry ends on top.
            for (auto it = printed.rbegin(); it != printed.rend(); ++it)
                if (IsLiveBar(*it)) PrintBar(capture_dc.get(), *it);
        }
        SetViewportOrgEx(capture_dc.get(), 0, 0, nullptr);

        tess::ScopedSelect select_thumb(thumb_dc.get(), thumb.get());
        SetStretchBltMode(thumb_dc.get(), HALFTONE);
        SetBrushOrgEx(thumb_dc.get(), 0, 0, nullptr);
        StretchBlt(thumb_dc.get(), 0, 0, kThumbnailWidth, kThumbnailHeight, capture_dc.get(), 0, 0, width,
                   height, SRCCOPY);
    }
    DeleteFileA(path);
    BITMAPINFOHEADER* header = BitmapInfoForDib(thumb.get());
    if (!header) return 0;
    const bool written = SaveDibToFile(path, header, thumb.get(), screen.get());
    LocalFree(header);
    return written ? 1 : 0;
}
