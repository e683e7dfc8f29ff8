// The theme editor tree's own painting: the tree draws into a memory bitmap,
// then the two header rows get their bold texts and a gradient rule, and the
// bitmap goes to the window in one copy (no flicker).
#include "shell/theme_editor_internal.h"

#include <cstring>

namespace {

constexpr char kOldTreeProcProperty[] = "TSEditorTreeProc";
constexpr int kHeaderTextX = 14;
constexpr int kFirstHeaderTextY = 8;
constexpr int kSecondHeaderTextY = 10;
constexpr int kRuleGap = 2;

using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

GradientFillFunction GradientFillOnce() {
    static bool bound = false;
    static GradientFillFunction gradient = nullptr;
    if (!bound) {
        bound = true;
        // Kept loaded for the rest of the run, like every function bound at run time.
        if (HMODULE library = ::LoadLibraryA("msimg32.dll"))
            gradient = reinterpret_cast<GradientFillFunction>(::GetProcAddress(library, "GradientFill"));
    }
    return gradient;
}

WNDPROC OldTreeProc(HWND tree) {
    return reinterpret_cast<WNDPROC>(::GetPropA(tree, kOldTreeProcProperty));
}

COLOR16 Channel(BYTE value) { return static_cast<COLOR16>(value << 8); }

void DrawRule(HDC dc, int left, int right, int y) {
    if (right <= left) return;
    if (GradientFillFunction gradient = GradientFillOnce()) {
        const COLORREF from = ::GetSysColor(COLOR_HIGHLIGHT), to = ::GetSysColor(COLOR_WINDOW);
        TRIVERTEX ends[2] = {
            {left, y, Channel(GetRValue(from)), Channel(GetGValue(from)), Channel(GetBValue(from)), 0},
            {right, y + 1, Channel(GetRValue(to)), Channel(GetGValue(to)), Channel(GetBValue(to)), 0},
        };
        GRADIENT_RECT rect = {0, 1};
        gradient(dc, ends, 2, &rect, 1, GRADIENT_FILL_RECT_H);
        return;
    }
    tess::ScopedSelect pen(dc, ::GetStockObject(BLACK_PEN));
    ::MoveToEx(dc, left, y, nullptr);
    ::LineTo(dc, right, y);
}

// TVM_GETITEMRECT takes the node in the rectangle it fills.
bool RowRect(HWND tree, HTREEITEM node, RECT* rect) {
    std::memcpy(rect, &node, sizeof(node));
    return ::SendMessageA(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(rect)) != 0;
}

// The header's two rows are cleared, its text drawn, the rule below it.
void PaintHeader(HWND tree, HDC dc, HTREEITEM first_row, const char* text, int text_y) {
    if (!first_row) return;
    RECT first = {}, second = {};
    if (!RowRect(tree, first_row, &first)) return;
    RECT rows = first;
    HTREEITEM next = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(first_row)));
    if (next && RowRect(tree, next, &second)) ::UnionRect(&rows, &first, &second);
    RECT client = {};
    ::GetClientRect(tree, &client);
    rows.left = client.left;
    rows.right = client.right;
    ::FillRect(dc, &rows, ::GetSysColorBrush(COLOR_WINDOW));
    tess::ScopedSelect font(dc, Editor().header_font.get() ? static_cast<HGDIOBJ>(Editor().header_font.get())
                                                           : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    const int y = first.top + text_y;
    ::TextOutA(dc, kHeaderTextX, y, text, ::lstrlenA(text));
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text, ::lstrlenA(text), &extent);
    DrawRule(dc, client.left + 1, client.right - 2, y + extent.cy + kRuleGap);
}

void PaintTree(HWND tree, WNDPROC old) {
    PAINTSTRUCT ps;
    HDC window_dc = ::BeginPaint(tree, &ps);
    RECT client = {};
    ::GetClientRect(tree, &client);
    tess::ScopedMemoryDc memory(::CreateCompatibleDC(window_dc));
    tess::ScopedBitmap bitmap(::CreateCompatibleBitmap(window_dc, client.right, client.bottom));
    if (!memory || !bitmap) {
        ::EndPaint(tree, &ps);
        // No bitmap to spare: the tree paints straight to the window.
        ::InvalidateRect(tree, nullptr, FALSE);
        ::CallWindowProcA(old, tree, WM_PAINT, 0, 0);
        return;
    }
    {
        tess::ScopedSelect select(memory.get(), bitmap.get());
        ::FillRect(memory.get(), &client, ::GetSysColorBrush(COLOR_WINDOW));
        ::CallWindowProcA(old, tree, WM_PAINT, reinterpret_cast<WPARAM>(memory.get()), 0);
        PaintHeader(tree, memory.get(), Editor().docked_header, "Docked Bars", kFirstHeaderTextY);
        PaintHeader(tree, memory.get(), Editor().floating_header, "Floating Bars", kSecondHeaderTextY);
        ::BitBlt(window_dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
    }
    ::EndPaint(tree, &ps);
    for (HWND child = ::GetWindow(tree, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

LRESULT CALLBACK EditorTreeProc(HWND tree, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC old = OldTreeProc(tree);
    if (!old) return ::DefWindowProcA(tree, msg, wp, lp);
    switch (msg) {
    case WM_PAINT:
        // A tree asked to paint into a given DC (printing) does so itself.
        if (wp) break;
        PaintTree(tree, old);
        return 0;
    case WM_ERASEBKGND:
        // The paint fills the background in its bitmap.
        return 1;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
        if (Editor().window) ::PostMessageA(Editor().window, msg, wp, lp);
        break;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        ::RemovePropA(tree, kOldTreeProcProperty);
        break;
    default:
        break;
    }
    return ::CallWindowProcA(old, tree, msg, wp, lp);
}

}  // namespace

void SubclassEditorTree(HWND tree) {
    if (!tree || OldTreeProc(tree)) return;
    LONG_PTR old = ::GetWindowLongPtrA(tree, GWLP_WNDPROC);
    if (!old || !::SetPropA(tree, kOldTreeProcProperty, reinterpret_cast<HANDLE>(old))) return;
    ::SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorTreeProc));
}
