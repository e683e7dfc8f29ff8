// The icon list shared by both filtering dialogs: filling it from the shared
// table and the remembered icons, and drawing its two group captions.
#include "lanternfold/icon_dialog.h"

#include <cstring>
#include <vector>

#include "lanternfold/filter_dialog_ids.h"
#include "lanternfold/tray_server.h"
#include "util/callback_guard.h"
#include "util/text.h"

namespace tray {

namespace {

constexpr int kIconListBytes = 5000;

// GradientFill is bound once at run time; without it the rule is black.
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
GradientFillFn BoundGradientFill() {
    static GradientFillFn fn = [] {
        HMODULE lib = LoadLibraryA("msimg32.dll");
        return lib ? reinterpret_cast<GradientFillFn>(GetProcAddress(lib, "GradientFill")) : nullptr;
    }();
    return fn;
}

void DrawRule(HDC dc, int left, int right, int y) {
    if (right <= left) return;
    if (GradientFillFn fill = BoundGradientFill()) {
        COLORREF from = GetSysColor(COLOR_HIGHLIGHT), to = GetSysColor(COLOR_WINDOW);
        TRIVERTEX v[2] = {
            {left, y, static_cast<COLOR16>(GetRValue(from) << 8), static_cast<COLOR16>(GetGValue(from) << 8),
             static_cast<COLOR16>(GetBValue(from) << 8), 0},
            {right, y + 1, static_cast<COLOR16>(GetRValue(to) << 8), static_cast<COLOR16>(GetGValue(to) << 8),
             static_cast<COLOR16>(GetBValue(to) << 8), 0},
        };
        GRADIENT_RECT rect = {0, 1};
        fill(dc, v, 2, &rect, 1, GRADIENT_FILL_RECT_H);
        return;
    }
    tess::ScopedPen pen(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    tess::ScopedSelect use(dc, pen.get());
    MoveToEx(dc, left, y, nullptr);
    LineTo(dc, right, y);
}

// Fills the group row pair's rectangle and draws its caption and rule.
void DrawGroupCaption(HWND list, HDC dc, HFONT font, int row, const char* caption, int text_offset) {
    if (row < 0) return;
    RECT first = {}, second = {}, client = {};
    first.left = second.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&first))) return;
    if (!SendMessageA(list, LVM_GETITEMRECT, row + 1, reinterpret_cast<LPARAM>(&second))) second = first;
    GetClientRect(list, &client);
    RECT pair = {client.left, first.top, client.right, second.bottom};
    FillRect(dc, &pair, GetSysColorBrush(COLOR_WINDOW));
    tess::ScopedSelect use(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const int y = first.top + text_offset;
    TextOutA(dc, 14, y, caption, static_cast<int>(strlen(caption)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, caption, static_cast<int>(strlen(caption)), &extent);
    DrawRule(dc, 1, client.right - 2, y + extent.cy + 2);
}

void PaintList(HWND list, IconListDialog* dialog) {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(list, &ps);
    RECT client = {};
    GetClientRect(list, &client);
    const int width = client.right, height = client.bottom;
    tess::ScopedMemoryDc memory(CreateCompatibleDC(screen));
    tess::ScopedBitmap bitmap(CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1));
    if (memory && bitmap) {
        tess::ScopedSelect use(memory.get(), bitmap.get());
        FillRect(memory.get(), &client, GetSysColorBrush(COLOR_WINDOW));
        CallWindowProcA(dialog->OriginalListProc(), list, WM_PAINT, reinterpret_cast<WPARAM>(memory.get()), 0);
        DrawGroupCaption(list, memory.get(), dialog->CaptionFont(), dialog->CurrentGroupRow(), "Current Icons", 8);
        DrawGroupCaption(list, memory.get(), dialog->CaptionFont(), dialog->PastGroupRow(), "Past Icons", 10);
        // The header draws itself: copy only what lies under it.
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        int top = 0;
        RECT header_rect = {};
        if (header && IsWindowVisible(header) && GetWindowRect(header, &header_rect))
            top = header_rect.bottom - header_rect.top;
        BitBlt(screen, 0, top, width, height - top, memory.get(), 0, top, SRCCOPY);
        EndPaint(list, &ps);
        if (header) {
            RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            HWND next = GetWindow(header, GW_HWNDNEXT);
            if (next && IsWindowVisible(next)) RedrawWindow(next, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
        return;
    }
    EndPaint(list, &ps);
}

}  // namespace

LRESULT CALLBACK IconListViewProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
    IconListDialog* dialog = IconListDialog::FromList(list);
    WNDPROC original = dialog ? dialog->OriginalListProc() : nullptr;
    return tess::GuardSubclassProc(original, list, msg, wp, lp, [&]() -> LRESULT {
        if (!original) return DefWindowProcA(list, msg, wp, lp);
        switch (msg) {
        case WM_PAINT:
            if (wp) break;   // a caller's own DC: let the list draw into it
            PaintList(list, dialog);
            return 0;
        case WM_ERASEBKGND:
            return 1;        // the paint covers everything
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_MOUSEWHEEL:
            // So that the behaviour box follows the row.
            PostMessageA(GetParent(list), msg, wp, lp);
            break;
        case WM_COMMAND:
            // The behaviour box lives inside the list: its commands belong to the dialog.
            return SendMessageA(GetParent(list), msg, wp, lp);
        default:
            break;
        }
        return CallWindowProcA(original, list, msg, wp, lp);
    });
}

IconListDialog* IconListDialog::FromList(HWND list) {
    // Only these dialogs put IconListViewProc on their list.
    return static_cast<IconListDialog*>(DialogBase::FromWindow(GetParent(list)));
}

bool IconListDialog::Run(HWND parent, int template_id) {
    if (parent && !IsWindow(parent)) parent = nullptr;
    return RunModal(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(template_id), parent) != -1;
}

INT_PTR IconListDialog::OnInit() {
    SetPropA(Dialog(), kServerProp, server_);
    list_ = GetDlgItem(Dialog(), IDC_ICON_LIST);
    SetUpList();
    OnInitControls();
    FillList();
    SetPropA(Dialog(), kInitializedProp, reinterpret_cast<HANDLE>(1));
    return TRUE;
}

INT_PTR IconListDialog::OnCommand(int id, int code) {
    if (!GetPropA(Dialog(), kInitializedProp)) return FALSE;
    OnControlCommand(id, code);
    return TRUE;
}

INT_PTR IconListDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NOTIFY:
        OnNotify(reinterpret_cast<const NMHDR*>(lp));
        return FALSE;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
        OnListScrolled();
        return FALSE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

void IconListDialog::SetUpList() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        metrics.lfMessageFont.lfWeight = 800;
        caption_font_.reset(CreateFontIndirectA(&metrics.lfMessageFont));
    }
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    images_ = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 8, 8);
    SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_));
    SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    SendMessageA(list_, CCM_SETVERSION, 5, 0);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 180;
    column.pszText = const_cast<char*>("Icon");
    SendMessageA(list_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = 126;
    column.pszText = const_cast<char*>(SecondColumnTitle());
    SendMessageA(list_, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    original_list_proc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(IconListViewProc)));
}

int IconListDialog::InsertRow(const char* text, int image, LPARAM data) {
    if (RowCount() >= kMaxDialogRows) return -1;
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int IconListDialog::InsertGroupRows() {
    int first = InsertRow("", I_IMAGENONE, 0);
    InsertRow("", I_IMAGENONE, 0);
    return first;
}

void IconListDialog::FillList() {
    CTrayIconServer& server = *server_;
    const int count = server.IconCount();
    if (count > 0) current_group_ = InsertGroupRows();
    for (int i = 0; i < count; ++i) {
        TrayIconRecord* r = server.Record(i);
        if (!r->alive) continue;
        int image = r->icon ? AddImage(reinterpret_cast<HICON>(static_cast<UINT_PTR>(r->icon))) : -1;
        if (image < 0) image = DefaultImage();
        char tip[sizeof(r->short_tip) + 1];
        tess::CopyTextN(tip, sizeof(tip), r->short_tip, sizeof(r->short_tip));
        LPARAM data = MakeLiveRow(i, image);
        int row = InsertRow(tip, image, data);
        if (row < 0) {
            FreeRow(data);
            break;
        }
        RefreshRow(row);
    }

    // The remembered icons of programs that are not running now.
    std::vector<char> keys(kIconListBytes, '\0');
    DWORD length = GetPrivateProfileStringA("IconText", nullptr, "", keys.data(), kIconListBytes,
                                            server.SettingsFile());
    if (length >= kIconListBytes - 2) {
        // The list was cut: its last key is not whole and is left out.
        char* last = keys.data() + length;
        while (last > keys.data() && last[-1]) --last;
        *last = '\0';
    }
    for (const char* key = keys.data(); *key; key += strlen(key) + 1) {
        if (server.FindIconByKey(key) >= 0) continue;
        char text[512] = {};
        GetPrivateProfileStringA("IconText", key, "", text, sizeof(text), server.SettingsFile());
        if (!text[0]) continue;
        if (past_group_ < 0) past_group_ = InsertGroupRows();
        LPARAM data = MakePastRow(key, DefaultImage());
        int row = InsertRow(text, DefaultImage(), data);
        if (row < 0) {
            FreeRow(data);
            break;
        }
        RefreshRow(row);
    }
}

void IconListDialog::OnNotify(const NMHDR* header) {
    if (!header) return;
    if (header->hwndFrom == list_) {
        switch (header->code) {
        case LVN_DELETEITEM: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if (change->lParam) FreeRow(change->lParam);
            break;
        }
        case LVN_ITEMCHANGED:
            if (GetPropA(Dialog(), kInitializedProp)) OnListChanged(reinterpret_cast<const NMLISTVIEW*>(header));
            break;
        case NM_DBLCLK:
            if (GetPropA(Dialog(), kInitializedProp)) OnListDoubleClick();
            break;
        default:
            break;
        }
        return;
    }
    switch (header->code) {
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
        OnListScrolled();   // column widths moved: the behaviour box follows
        break;
    default:
        break;
    }
}

void IconListDialog::OnDestroy() {
    // Rows free their records as the list deletes them.
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    if (original_list_proc_)
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_list_proc_));
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;
    caption_font_.reset();
    RemovePropA(Dialog(), kServerProp);
    RemovePropA(Dialog(), kInitializedProp);
}

int IconListDialog::SelectedRow() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

LPARAM IconListDialog::RowData(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (row < 0 || !SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.lParam;
}

int IconListDialog::RowCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

void IconListDialog::SetRowText(int row, int column, const char* text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void IconListDialog::SetRowImage(int row, int image) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int IconListDialog::AddImage(HICON icon) { return icon && images_ ? ImageList_AddIcon(images_, icon) : -1; }

int IconListDialog::DefaultImage() {
    if (default_image_ < 0) default_image_ = AddImage(LoadIcon(nullptr, IDI_APPLICATION));
    return default_image_;
}

}  // namespace tray
