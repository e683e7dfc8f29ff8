// Bar drawing: everything is drawn into the bar's memory bitmap (skin
// background from a cache, title strip, sections, items) and copied from there
// to the window; the window region follows the bitmap's see-through pixels.
#include <windows.h>
#include "model/bar_drawing.h"
#include "model/bar_host.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/bitmap_helpers.h"
#include "util/handles.h"

namespace {

constexpr int kTitleStripHeight = 50;

SIZE ClientSize(HWND wnd) {
    RECT client = {0, 0, 0, 0};
    if (wnd) ::GetClientRect(wnd, &client);
    return SIZE{client.right, client.bottom};
}

// Child windows keep their own pixels: the copy to the screen leaves them
// out. A plug-in's window is itself drawn by the bar; only its own children
// are left out.
struct ChildExclusion {
    HDC dc;
    HWND bar;
};

BOOL CALLBACK ExcludePluginChildRectProc(HWND child, LPARAM lp) {
    const auto* ex = reinterpret_cast<const ChildExclusion*>(lp);
    if (!::IsWindowVisible(child)) return TRUE;
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ex->bar, reinterpret_cast<POINT*>(&rect), 2);
    ::ExcludeClipRect(ex->dc, rect.left, rect.top, rect.right, rect.bottom);
    return TRUE;
}

BOOL CALLBACK ExcludeChildRectProc(HWND child, LPARAM lp) {
    const auto* ex = reinterpret_cast<const ChildExclusion*>(lp);
    if (!::IsWindowVisible(child)) return TRUE;
    HWND parent = ::GetParent(child);
    if (!parent || ::GetParent(parent) || parent != ex->bar) return TRUE;
    if (::GetPropA(child, "PluginItem")) {
        ::EnumChildWindows(child, ExcludePluginChildRectProc, lp);
        return TRUE;
    }
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ex->bar, reinterpret_cast<POINT*>(&rect), 2);
    ::ExcludeClipRect(ex->dc, rect.left, rect.top, rect.right, rect.bottom);
    return TRUE;
}

BOOL CALLBACK ShowPluginWindowProc(HWND child, LPARAM) {
    if (::GetPropA(child, "PluginItem") && !::IsWindowVisible(child))
        ::ShowWindow(child, SW_SHOWNA);
    return TRUE;
}

void UpdateWindowRegion(CVellumMenuObject* bar, HBITMAP bitmap, const RECT* part);

void ExcludeChildWindows(HDC dc, HWND bar) {
    ChildExclusion ex = {dc, bar};
    ::EnumChildWindows(bar, ExcludeChildRectProc, reinterpret_cast<LPARAM>(&ex));
}

// The see-through pixels of the bitmap removed, inside the skin's margins.
HRGN RegionOfBitmap(HBITMAP bitmap, const SkinRecord* skin) {
    const RECT& border = skin->RegionBorder;
    RegionMargins margins = {border.left, border.top, border.right, border.bottom};
    // Without any border the whole bitmap is scanned (the helper would take
    // the inside of four absent borders as solid).
    bool any = border.left >= 0 || border.top >= 0 || border.right >= 0 || border.bottom >= 0;
    return CreateRegionFromBitmap(bitmap, kSkinKeyColor, 0, any ? &margins : nullptr);
}

}  // namespace

// ---- the title strip ---------------------------------------------------------------------------

bool GetTitleStripRect(CVellumMenuObject* bar, RECT* band, UINT* format) {
    if (!bar || !bar->ShowTitle || !bar->m_skin || !band) return false;
    const SkinRecord* skin = bar->m_skin;
    const SIZE size = ClientSize(bar->m_hWnd);
    const int t = skin->TitleOffset.top;
    UINT flags = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (t >= 0) {
        band->top = t;
        band->bottom = t + kTitleStripHeight;
    } else {
        // A negative offset counts up from the bottom edge, so the strip
        // stays inside the window.
        band->bottom = size.cy + t;
        band->top = band->bottom - kTitleStripHeight;
        flags |= DT_BOTTOM;
    }
    band->left = skin->TitleOffset.left;
    band->right = size.cx - skin->TitleOffset.right;
    if (skin->TitleAlignment == 1) flags |= DT_CENTER;
    else if (skin->TitleAlignment == 2) flags |= DT_RIGHT;
    if (format) *format = flags;
    return true;
}

// ---- drawing into a DC ----------------------------------------------------------------------------

void CVellumMenuObject::Draw(HDC dc, RECT* rect, int whole) {
    if (!dc || !m_hWnd) return;
    const SIZE size = ClientSize(m_hWnd);
    if (size.cx <= 0 || size.cy <= 0) return;

    tess::ScopedMemoryDc cache_dc(::CreateCompatibleDC(dc));
    if (!cache_dc) return;
    if (!m_backgroundCache || m_backgroundCacheSize.cx != size.cx ||
        m_backgroundCacheSize.cy != size.cy) {
        tess::ScopedBitmap cache(::CreateCompatibleBitmap(dc, size.cx, size.cy));
        if (!cache) return;   // the previous picture stays
        ReplaceBackgroundCache(std::move(cache), size);
        tess::ScopedSelect select(cache_dc.get(), m_backgroundCache);
        RECT all = {0, 0, size.cx, size.cy};
        ::FillRect(cache_dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::SetStretchBltMode(cache_dc.get(), COLORONCOLOR);
        if (m_skin) DrawBarSkinBackground(m_skin, cache_dc.get(), m_hWnd);
    }

    RECT part = rect ? *rect : RECT{0, 0, size.cx, size.cy};
    {
        tess::ScopedSelect select(cache_dc.get(), m_backgroundCache);
        ::BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top,
                 cache_dc.get(), part.left, part.top, SRCCOPY);
    }

    RECT band;
    UINT format = 0;
    if (GetTitleStripRect(this, &band, &format)) {
        const SkinFontRecord& font = m_skin->fonts[kSkinFontTitle];
        const bool own_font = font.valid && font.font;
        tess::ScopedSelect select(dc, own_font ? static_cast<HGDIOBJ>(font.font.get()) : nullptr);
        COLORREF old_color = own_font ? ::SetTextColor(dc, font.default_color) : 0;
        int old_mode = ::SetBkMode(dc, TRANSPARENT);
        // The foreground window's title, as the shell last saw it.
        const char* text = m_displayTitle;
        char active[512];
        const BarHostServices& host = GetBarHostServices();
        if (bUseActiveWindowsTitle && host.GetActiveWindowTitle &&
            host.GetActiveWindowTitle(active, sizeof(active)) && active[0])
            text = active;
        ::DrawTextA(dc, text, -1, &band, format);
        ::SetBkMode(dc, old_mode);
        if (own_font) ::SetTextColor(dc, old_color);
    }

    if (whole)
        for (int i = 0; i < kMaxSections && m_sections[i]; ++i) m_sections[i]->Draw(dc, 1, 0);
}

// ---- the memory bitmap ------------------------------------------------------------------------------

HBITMAP CVellumMenuObject::LoadMemoryBitmap(HDC dc, SIZE size, int* created) {
    if (created) *created = 0;
    if (size.cx < 1) size.cx = 1;
    if (size.cy < 1) size.cy = 1;
    if (!m_memoryBitmap || m_memoryBitmapSize.cx != size.cx || m_memoryBitmapSize.cy != size.cy) {
        tess::ScopedBitmap bitmap(::CreateCompatibleBitmap(dc, size.cx, size.cy));
        if (!bitmap) return nullptr;
        ReplaceMemoryBitmap(std::move(bitmap), size);
        if (created) *created = 1;
    }
    m_memoryBitmapInUse = TRUE;
    return m_memoryBitmap;
}

void CVellumMenuObject::FreeMemoryBitmap() {
    m_memoryBitmapInUse = FALSE;
}

// ---- redrawing ----------------------------------------------------------------------------------------

void CVellumMenuObject::RedrawVellumWindow() {
    if (m_loading || !m_hWnd) return;
    UpdateToDrawBitmap(nullptr, nullptr, nullptr);
}

void CVellumMenuObject::UpdateToDrawBitmap(CVellumMenuSection* section, CVellumMenuItem* item,
                                           RECT* rect) {
    if (!m_hWnd || m_memoryBitmapInUse) return;
    const SIZE size = ClientSize(m_hWnd);
    if (size.cx <= 0 || size.cy <= 0) return;
    const bool partial = (section || item) && rect;
    RECT area = partial ? *rect : RECT{0, 0, size.cx, size.cy};

    if (m_relayoutPending) {
        m_relayoutPending = FALSE;
        RecalcRects(kRecalcNoRedraw, kRecalcKeepPos);
    }

    tess::ScopedWindowDc window_dc(m_hWnd);
    if (!window_dc) return;
    tess::ScopedMemoryDc memory_dc(::CreateCompatibleDC(window_dc.get()));
    if (!memory_dc) return;
    HBITMAP bitmap = LoadMemoryBitmap(window_dc.get(), size, nullptr);
    if (!bitmap) {
        FreeMemoryBitmap();
        return;
    }
    HDC dc = memory_dc.get();
    HGDIOBJ old_bitmap = ::SelectObject(dc, bitmap);
    if (m_skin) SelectSkinFont(m_skin, dc);
    ::SetBkMode(dc, TRANSPARENT);
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);

    {
        COLORREF fill = m_skin ? m_skin->BackgroundColor : RGB(255, 255, 255);
        tess::ScopedBrush brush(::CreateSolidBrush(fill));
        RECT wider = area;
        ::InflateRect(&wider, 1, 1);
        if (brush) ::FillRect(dc, &wider, brush.get());
    }
    ::SetStretchBltMode(dc, COLORONCOLOR);

    if (partial && item) {
        Draw(dc, &area, 0);
        CVellumMenuSection* own = item->m_pSection;
        if (own && (own->m_dropMarkShown || own->m_transitionRunning)) {
            // A drop mark or a moving neighbour may cross the item's
            // rectangle: the whole section paints it again.
            own->Draw(dc, 1, 1);
        } else {
            // Only the item's own background and the item: its neighbours
            // lie outside the clip and keep their pixels.
            if (own) own->Draw(dc, 0, 1);
            item->Draw(dc);
        }
    } else if (partial) {
        Draw(dc, &area, 0);
        section->Draw(dc, 1, 1);
    } else {
        Draw(dc, &area, 1);
    }

    // The editor's helper lines go over everything the bar drew.
    if (const BarHostServices& host = GetBarHostServices(); host.DrawHelperLines)
        host.DrawHelperLines(dc, this);

    // The region scan reads the bitmap's bits: take it out of the DC first.
    ::SelectObject(dc, old_bitmap);
    if (m_skin) UpdateWindowRegion(this, bitmap, partial ? &area : nullptr);
    ::SelectObject(dc, bitmap);

    {
        int saved = ::SaveDC(window_dc.get());
        ExcludeChildWindows(window_dc.get(), m_hWnd);
        ::BitBlt(window_dc.get(), area.left, area.top, area.right - area.left,
                 area.bottom - area.top, dc, area.left, area.top, SRCCOPY);
        ::RestoreDC(window_dc.get(), saved);
    }
    if (!partial) ::ValidateRect(m_hWnd, nullptr);

    if (m_showPluginWindows) {
        m_showPluginWindows = FALSE;
        ::EnumChildWindows(m_hWnd, ShowPluginWindowProc, 0);
    }

    SelectSystemFont(dc);
    ::SelectObject(dc, old_bitmap);
    FreeMemoryBitmap();
}

namespace {

// The window region after a redraw of the whole bar (part null) or of part.
void UpdateWindowRegion(CVellumMenuObject* bar, HBITMAP bitmap, const RECT* part) {
    const SkinRecord* skin = bar->m_skin;
    if (!skin->UseRegions || bar->m_colorKeyOn) {
        if (bar->m_windowRegion || bar->m_regionCopy) {
            ::SetWindowRgn(bar->m_hWnd, nullptr, TRUE);
            bar->m_windowRegion = nullptr;   // the window owned it
            bar->ReplaceRegionCopy();
        }
        return;
    }
    if (bar->m_skipRegionUpdate) {
        bar->m_skipRegionUpdate = FALSE;
        return;
    }
    if (skin->OnlyUpdateRegionOnResize) {
        if (part || !bar->m_regionDirty) return;
        bar->m_regionDirty = FALSE;
    }

    tess::ScopedRegion fresh(RegionOfBitmap(bitmap, skin));
    if (!fresh) return;
    if (part) {
        // Only the redrawn rectangle is taken from the new picture.
        const SIZE size = bar->m_memoryBitmapSize;
        tess::ScopedRegion rest(::CreateRectRgn(0, 0, size.cx, size.cy));
        tess::ScopedRegion inside(::CreateRectRgnIndirect(part));
        if (!rest || !inside) return;
        if (bar->m_regionCopy) ::CombineRgn(rest.get(), bar->m_regionCopy, nullptr, RGN_COPY);
        ::CombineRgn(rest.get(), rest.get(), inside.get(), RGN_DIFF);
        ::CombineRgn(inside.get(), inside.get(), fresh.get(), RGN_AND);
        ::CombineRgn(fresh.get(), rest.get(), inside.get(), RGN_OR);
    }
    if (bar->m_regionCopy && ::EqualRgn(bar->m_regionCopy, fresh.get())) return;

    tess::ScopedRegion copy(::CreateRectRgn(0, 0, 0, 0));
    if (!copy || ::CombineRgn(copy.get(), fresh.get(), nullptr, RGN_COPY) == ERROR) return;
    if (!::SetWindowRgn(bar->m_hWnd, fresh.get(), TRUE)) return;
    bar->m_windowRegion = fresh.release();   // the window owns it now
    bar->ReplaceRegionCopy(std::move(copy));
}

}  // namespace

// ---- painting the window ------------------------------------------------------------------------------

void CVellumMenuObject::PaintWindow(HDC dc, const RECT& update, bool dc_given) {
    if (!dc || !m_hWnd || m_memoryBitmapInUse) return;
    const SIZE size = ClientSize(m_hWnd);
    if (!m_memoryBitmap || m_memoryBitmapSize.cx != size.cx ||
        m_memoryBitmapSize.cy != size.cy) {
        // Nothing drawn yet at this size: draw (which also reaches the screen).
        UpdateToDrawBitmap(nullptr, nullptr, nullptr);
        if (!m_memoryBitmap || m_memoryBitmapInUse) return;
    }

    tess::ScopedMemoryDc memory_dc(::CreateCompatibleDC(dc));
    if (!memory_dc) return;
    int saved = ::SaveDC(dc);
    ExcludeChildWindows(dc, m_hWnd);
    if (dc_given && m_colorKeyOn && m_skin) {
        // A printed copy has no colour key: clip to the shape instead.
        tess::ScopedRegion shape(RegionOfBitmap(m_memoryBitmap, m_skin));
        if (shape) ::ExtSelectClipRgn(dc, shape.get(), RGN_AND);
    }
    {
        tess::ScopedSelect select(memory_dc.get(), m_memoryBitmap);
        ::BitBlt(dc, update.left, update.top, update.right - update.left,
                 update.bottom - update.top, memory_dc.get(), update.left, update.top, SRCCOPY);
    }
    ::RestoreDC(dc, saved);
}
