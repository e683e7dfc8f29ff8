// The helper-lines overlay: one highlighted bar at a time, a hidden window
// that marks the overlay as active, the tints on the bar's drawing bitmap and
// on the editor's tree rows.
#include "shell/helper_lines.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/global_settings.h"
#include "shell/startup.h"
#include "util/handles.h"
#include "util/window_classes.h"

namespace {

constexpr COLORREF kColors[kHelperLineColorCount] = {
    RGB(255, 0, 0),     RGB(255, 130, 63),  RGB(0, 250, 0),     RGB(0, 250, 250),
    RGB(0, 0, 255),     RGB(132, 0, 129),   RGB(147, 0, 0),     RGB(170, 87, 42),
    RGB(0, 147, 0),     RGB(0, 147, 147),   RGB(0, 0, 120),     RGB(110, 0, 110),
    RGB(255, 118, 118), RGB(255, 184, 145), RGB(144, 250, 144), RGB(153, 250, 233),
    RGB(5, 132, 250),   RGB(229, 0, 224),   RGB(0, 0, 0),       RGB(255, 255, 255),
};

// Tree rows grow by this much while the overlay marks them.
constexpr int kTreeRowGrowth = 2;
// A tree row's mark reaches over the node's icon and a little past its text.
constexpr int kRowMarkLeft = 38;
constexpr int kRowMarkRight = 4;
// The tree's tints go through a work bitmap of this size.
constexpr int kTreeWorkSize = 500;
constexpr const char kOldTreeProcProperty[] = "TSHelperLinesTreeProc";

struct HelperLineTools {
    tess::ScopedBrush brush;
    tess::ScopedPen wide_pen;    // 3 pixels, on bars
    tess::ScopedPen narrow_pen;  // 2 pixels, on tree rows
};

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);

HelperLineTools g_tools[kHelperLineColorCount];
CVellumMenuObject* g_bar = nullptr;
HWND g_overlay = nullptr;
HelperLinesEditor g_editor = {};
int g_old_row_height = -1;
int g_tree_state = 0;
AlphaBlendFunction g_alpha_blend = nullptr;

void BindAlphaBlend() {
    static bool bound = false;
    if (bound) return;
    bound = true;
    // Kept loaded for the rest of the run, like every function bound at run time.
    if (HMODULE library = ::LoadLibraryA("MsImg32.dll"))
        g_alpha_blend =
            reinterpret_cast<AlphaBlendFunction>(::GetProcAddress(library, "AlphaBlend"));
}

bool EditorTreeExists() {
    return g_editor.editor && ::IsWindow(g_editor.editor) && g_editor.tree &&
           ::IsWindow(g_editor.tree);
}

// The bar still alive and still the highlighted one.
CVellumMenuObject* HighlightedBar() {
    if (g_bar && !IsLiveBar(g_bar)) g_bar = nullptr;
    return g_bar;
}

void RedrawBar(CVellumMenuObject* bar) {
    if (bar && IsLiveBar(bar) && bar->m_hWnd) bar->UpdateToDrawBitmap(nullptr, nullptr, nullptr);
}

void RedrawTree() {
    if (EditorTreeExists()) ::RedrawWindow(g_editor.tree, nullptr, nullptr,
                                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// Fills rect with the colour at the constant alpha, through a bitmap of the
// colour (at most work_limit pixels each way; 0: the rectangle's size).
void BlendColor(HDC dc, const RECT& rect, int index, int work_limit) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (work_limit > 0) {
        if (width > work_limit) width = work_limit;
        if (height > work_limit) height = work_limit;
    }
    if (width <= 0 || height <= 0 || !g_alpha_blend) return;
    tess::ScopedMemoryDc work_dc(::CreateCompatibleDC(dc));
    tess::ScopedBitmap work(::CreateCompatibleBitmap(dc, width, height));
    if (!work_dc || !work) return;
    tess::ScopedSelect select(work_dc.get(), work.get());
    RECT all = {0, 0, width, height};
    ::FillRect(work_dc.get(), &all, g_tools[index].brush.get());
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, kHelperLineAlpha, 0};
    g_alpha_blend(dc, rect.left, rect.top, width, height, work_dc.get(), 0, 0, width, height,
                  blend);
}

void Outline(HDC dc, const RECT& rect, HPEN pen) {
    tess::ScopedSelect select_pen(dc, pen);
    tess::ScopedSelect select_brush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

// Runs mark(section, colour) for every visible section of the bar in order.
template <typename Mark>
void ForEachVisibleSection(CVellumMenuObject* bar, Mark mark) {
    int visible = 0;
    for (int i = 0; i < kMaxSections; ++i) {
        CVellumMenuSection* section = bar->m_sections[i];
        if (!section) break;
        if (section->IsHidden) continue;
        const int index = visible++ % kHelperLineColorCount;
        CreateHelperLineColor(index);
        mark(section, index);
    }
}

void MarkTreeRows(HWND tree, CVellumMenuObject* bar) {
    if (!g_editor.SectionRow) return;
    tess::ScopedWindowDc dc(tree);
    if (!dc) return;
    ForEachVisibleSection(bar, [&](CVellumMenuSection* section, int index) {
        HTREEITEM row = g_editor.SectionRow(tree, section);
        RECT rect = {};
        if (!row || !TreeView_GetItemRect(tree, row, &rect, TRUE)) return;
        rect.left -= kRowMarkLeft;
        rect.right += kRowMarkRight;
        ::OffsetRect(&rect, 0, 1);
        if (::IsRectEmpty(&rect)) return;
        BlendColor(dc.get(), rect, index, kTreeWorkSize);
        Outline(dc.get(), rect, g_tools[index].narrow_pen.get());
    });
}

// The tree's own procedure, kept on the tree when it was first subclassed.
WNDPROC OldTreeProc(HWND tree) {
    return reinterpret_cast<WNDPROC>(::GetPropA(tree, kOldTreeProcProperty));
}

void SubclassTreeOnce(HWND tree) {
    if (OldTreeProc(tree)) return;
    LONG_PTR old = ::GetWindowLongPtrA(tree, GWLP_WNDPROC);
    if (!old || !::SetPropA(tree, kOldTreeProcProperty, reinterpret_cast<HANDLE>(old))) return;
    ::SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HelperLinesTreeProc));
}

// ---- the overlay window ---------------------------------------------------------------------
void OnOverlayCreate(HWND wnd) {
    g_overlay = wnd;
    if (EditorTreeExists()) {
        g_old_row_height = TreeView_GetItemHeight(g_editor.tree);
        if (g_old_row_height > 0) TreeView_SetItemHeight(g_editor.tree, g_old_row_height + kTreeRowGrowth);
        SubclassTreeOnce(g_editor.tree);
        RedrawTree();
    }
    RedrawBar(HighlightedBar());
}

void OnOverlayDestroy() {
    CVellumMenuObject* bar = HighlightedBar();
    g_bar = nullptr;
    RedrawBar(bar);
    if (EditorTreeExists() && g_old_row_height > 0) TreeView_SetItemHeight(g_editor.tree, g_old_row_height);
    g_old_row_height = -1;
    RedrawTree();
    g_overlay = nullptr;
}

LRESULT CALLBACK HelperLinesWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        OnOverlayCreate(wnd);
        return 0;
    case WM_DESTROY:
        OnOverlayDestroy();
        return 0;
    default:
        return ::DefWindowProcA(wnd, msg, wp, lp);
    }
}

void CreateOverlayWindow(CVellumMenuObject* bar) {
    RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR monitor = bar->m_hWnd ? ::MonitorFromWindow(bar->m_hWnd, MONITOR_DEFAULTTONEAREST)
                                   : nullptr;
    if (monitor && ::GetMonitorInfoA(monitor, &info)) screen = info.rcMonitor;
    ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kHelperLinesClass, "", WS_POPUPWINDOW, 0, 0,
                      screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr,
                      ::GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

// ---- the editor's side ------------------------------------------------------------------------
void SetHelperLinesEditor(const HelperLinesEditor* editor) {
    if (!editor) {
        CloseHelperLines();
        g_bar = nullptr;
        g_editor = {};
        return;
    }
    g_editor = *editor;
}

// ---- the overlay -------------------------------------------------------------------------------
bool RegisterHelperLinesClass(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = HelperLinesWindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kHelperLinesClass;
    return RegisterOwnWindowClass(wc);
}

void ShowHelperLines(CVellumMenuObject* bar) {
    if (bar && !IsLiveBar(bar)) bar = nullptr;
    if (bar && bar == HighlightedBar()) return;
    CloseHelperLines();
    g_bar = nullptr;
    if (!bar) return;
    g_bar = bar;
    BindAlphaBlend();
    if (EditorTreeExists()) CreateOverlayWindow(bar);
}

void CloseHelperLines() {
    if (g_overlay && ::IsWindow(g_overlay)) ::SendMessageA(g_overlay, WM_SYSCOMMAND, SC_CLOSE, 0);
    // DefWindowProc's close destroys the window; a window of another thread
    // or one that refused leaves the module state to clear here.
    if (g_overlay && !::IsWindow(g_overlay)) g_overlay = nullptr;
}

bool AreHelperLinesShown() { return g_overlay && ::IsWindow(g_overlay); }

CVellumMenuObject* GetHelperLinesBar() { return HighlightedBar(); }

void HelperLinesBarClosing(CVellumMenuObject* bar) {
    if (bar && bar == g_bar) {
        CloseHelperLines();
        g_bar = nullptr;
    }
}

void SetHelperLinesSwitch(bool on, CVellumMenuObject* selected_bar) {
    Settings().bHelperEnabled = on ? 1 : 0;
    if (!on) {
        CloseHelperLines();
        g_bar = nullptr;
        return;
    }
    ShowHelperLines(nullptr);
    ShowHelperLines(selected_bar);
}

// ---- drawing ---------------------------------------------------------------------------------------
void DrawHelperLinesOnBar(HDC dc, CVellumMenuObject* bar) {
    if (!dc || !bar || bar != HighlightedBar() || !AreHelperLinesShown()) return;
    ForEachVisibleSection(bar, [&](CVellumMenuSection* section, int index) {
        RECT rect = section->m_outerRect;
        ::InflateRect(&rect, -1, -1);
        if (::IsRectEmpty(&rect)) return;
        BlendColor(dc, rect, index, 0);
        Outline(dc, rect, g_tools[index].wide_pen.get());
    });
}

LRESULT CALLBACK HelperLinesTreeProc(HWND tree, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC old = OldTreeProc(tree);
    if (!old) return ::DefWindowProcA(tree, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        ::RemovePropA(tree, kOldTreeProcProperty);
        return ::CallWindowProcA(old, tree, msg, wp, lp);
    }
    CVellumMenuObject* bar = HighlightedBar();
    if (msg != WM_PAINT || !bar || !AreHelperLinesShown())
        return ::CallWindowProcA(old, tree, msg, wp, lp);
    LRESULT result = ::CallWindowProcA(old, tree, msg, wp, lp);
    MarkTreeRows(tree, bar);
    return result;
}

// ---- colours ----------------------------------------------------------------------------------------
COLORREF HelperLineColor(int index) {
    if (index < 0 || index >= kHelperLineColorCount) return CLR_INVALID;
    return kColors[index];
}

void CreateHelperLineColor(int index) {
    if (index < 0 || index >= kHelperLineColorCount || g_tools[index].brush) return;
    const COLORREF color = kColors[index];
    g_tools[index].brush.reset(::CreateSolidBrush(color));
    g_tools[index].wide_pen.reset(::CreatePen(PS_SOLID, 3, color));
    g_tools[index].narrow_pen.reset(::CreatePen(PS_SOLID, 2, color));
}

int HelperLineColorOfSection(CVellumMenuObject* bar, const CVellumMenuSection* section) {
    if (!bar || !section) return -1;
    int visible = 0;
    for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i) {
        const CVellumMenuSection* each = bar->m_sections[i];
        if (each->IsHidden) {
            if (each == section) return -1;
            continue;
        }
        if (each == section) return visible % kHelperLineColorCount;
        ++visible;
    }
    return -1;
}

// ---- hooks ----------------------------------------------------------------------------------------------
void HelperLinesOnBarWindowChange(CVellumMenuObject*, UINT, WPARAM) {}
void HelperLinesRefresh() {}
void HelperLinesOnTreeExpanded() {}
void HelperLinesOnEditorMoved() {}
void HelperLinesOnRecalcRects(CVellumMenuObject*) {}
// Kept for the editor; nothing reads it.
void SetHelperLinesTreeState(int state) { g_tree_state = state; }
