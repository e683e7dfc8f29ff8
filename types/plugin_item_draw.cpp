// A plug-in item's size and drawing: the plug-in's answer to VTM_GETSIZE,
// its child window placed over the item, and VTM_PAINT into a bitmap of the
// item's size that goes onto the bar with magenta as the see-through colour.
#include <algorithm>
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/bitmap_helpers.h"
#include "types/plugin_item.h"
#include "util/handles.h"

namespace {

HBITMAP CreateDib(HDC reference, int width, int height, int bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits_out = nullptr;
    return ::CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits_out, nullptr, 0);
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

SIZE CVellumMenuItem_Plugin::CalcSize(int noSectionStretch, int ignored) {
    SIZE base = CVellumMenuItem::CalcSize(noSectionStretch, ignored);
    return IsPluginLoaded() ? PluginCalcSize(base) : base;
}

SIZE CVellumMenuItem_Plugin::PluginCalcSize(SIZE base) {
    if (m_pendingSize.cx && m_pendingSize.cy) {
        SIZE pending = m_pendingSize;
        m_pendingSize = SIZE{0, 0};
        m_emptySize = FALSE;
        return pending;
    }
    SIZE asked = base;
    if ((m_capabilities & kPluginAnswersSize) &&
        (m_capabilities & (kPluginPaints | kPluginPaintsOver))) {
        PluginSizeInfo info = {};
        info.cx = base.cx;
        info.cy = base.cy;
        SendPluginMessage(VTM_GETSIZE, reinterpret_cast<INT_PTR>(&info), 0);
        asked = SIZE{info.cx, info.cy};
    }
    SIZE size;
    if (m_pBar && m_pBar->DisplayVertically) {
        size.cx = base.cx;
        int count = m_pSection ? m_pSection->GetNumOfItems() : 0;
        int share = count > 0 ? Height(m_pSection->m_innerRect) / count : 0;
        size.cy = std::max(share, static_cast<int>(asked.cy));
    } else {
        size.cx = asked.cx;
        size.cy = m_pSection && m_pSection->EqualWidths ? base.cy : asked.cy;
    }
    m_emptySize = size.cx == 0 && size.cy == 0;
    return size;
}

void CVellumMenuItem_Plugin::Draw(HDC dc) {
    if (!PluginDraw(dc)) CVellumMenuItem::Draw(dc);
}

void CVellumMenuItem_Plugin::FreePaintBitmap() {
    if (m_paintBitmap) ::DeleteObject(m_paintBitmap);
    m_paintBitmap = nullptr;
}

bool CVellumMenuItem_Plugin::PluginDraw(HDC dc) {
    RECT r;
    GetRealItemRect(&r);
    bool resized = false;
    if (m_childWindow && !::EqualRect(&r, &m_lastRect)) {
        resized = Width(r) != Width(m_lastRect) || Height(r) != Height(m_lastRect);
        if (resized) FreePaintBitmap();
        if (::IsRectEmpty(&r)) {
            ::ShowWindow(m_childWindow, SW_HIDE);
        } else if (m_scriptEnabled) {
            if (!::IsWindowVisible(m_childWindow)) ::ShowWindow(m_childWindow, SW_SHOWNA);
        } else {
            // The bar shows it again once it has painted what lies beneath.
            ::ShowWindow(m_childWindow, SW_HIDE);
            if (m_pBar) m_pBar->m_showPluginWindows = TRUE;
        }
        m_lastRect = r;
        ::SetWindowPos(m_childWindow, nullptr, r.left, r.top, Width(r), Height(r),
                       SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (!IsPluginLoaded()) return false;
    if (!m_attached) return (m_capabilities & kPluginPaints) != 0;
    if (resized) {
        PluginMovedInfo moved = {Width(r), Height(r), r.right, r.bottom};
        SendPluginMessage(VTM_MOVED, reinterpret_cast<INT_PTR>(&moved), 0);
    }
    if (m_scriptEnabled) return true;
    if (!(m_capabilities & (kPluginPaints | kPluginPaintsOver))) return false;
    if (m_capabilities & kPluginPaintsOver) CVellumMenuItem::Draw(dc);
    if (::IsRectEmpty(&r) || !dc) return true;
    // The bar clips its children: the child window steps aside while the bar
    // copies the painted item to the screen, and comes back after.
    if (m_childWindow && ::IsWindowVisible(m_childWindow) && m_pBar) {
        ::ShowWindow(m_childWindow, SW_HIDE);
        m_pBar->m_showPluginWindows = TRUE;
    }
    const int width = Width(r), height = Height(r);
    if (!m_paintBitmap) m_paintBitmap = CreateDib(dc, width, height, 32);
    if (!m_paintBitmap) return true;

    tess::ScopedMemoryDc paint_dc(::CreateCompatibleDC(dc));
    if (!paint_dc) return true;
    {
        tess::ScopedSelect bitmap(paint_dc.get(), m_paintBitmap);
        tess::ScopedSelect pen(paint_dc.get(), ::GetStockObject(NULL_PEN));
        if (m_capabilities & kPluginPaintsOver)
            ::BitBlt(paint_dc.get(), 0, 0, width, height, dc, r.left, r.top, SRCCOPY);
        PluginPaintInfo info = {};
        info.dc = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(paint_dc.get()));
        info.bitmap = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(m_paintBitmap));
        info.rect = RECT{0, 0, width, height};
        info.stateName = "Normal";
        SendPluginMessage(VTM_PAINT, reinterpret_cast<INT_PTR>(&info), 0);
    }
    // A 24-bit copy, so that the see-through test compares plain colours.
    tess::ScopedBitmap copy(CreateDib(dc, width, height, 24));
    tess::ScopedMemoryDc copy_dc(::CreateCompatibleDC(dc));
    if (!copy || !copy_dc) return true;
    {
        tess::ScopedSelect into(copy_dc.get(), copy.get());
        tess::ScopedMemoryDc source_dc(::CreateCompatibleDC(dc));
        tess::ScopedSelect from(source_dc.get(), m_paintBitmap);
        ::BitBlt(copy_dc.get(), 0, 0, width, height, source_dc.get(), 0, 0, SRCCOPY);
    }
    DrawTransparentBitmap(dc, copy.get(), r.left, r.top, width, height);
    return true;
}
