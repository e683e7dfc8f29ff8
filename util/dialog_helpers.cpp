#include "util/dialog_helpers.h"

#include <cstdio>
#include <cstring>

#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

// ---- dialog controls -----------------------------------------------------------

int GetDlgItemCheck(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

void SetDlgItemCheck(HWND dialog, int id, int state) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void SetDlgCheck(HWND dialog, int id, int state) { SetDlgItemCheck(dialog, id, state); }

int GetDlgItemTextMax(HWND dialog, int id, char* buffer) {
    HWND control = GetDlgItem(dialog, id);
    if (!buffer) return control ? GetWindowTextLengthA(control) : 0;
    buffer[0] = '\0';
    if (!control) return 0;
    int n = GetWindowTextA(control, buffer, static_cast<int>(kDlgTextSize));
    buffer[kDlgTextSize - 1] = '\0';
    return n;
}

void SetDlgItemTextIfAny(HWND dialog, int id, const char* text) {
    if (text) SetDlgItemTextA(dialog, id, text);
}

void SetDlgText(HWND dialog, int id, const char* text) { SetDlgItemTextIfAny(dialog, id, text); }

bool UpdateIntFromDlgCheck(HWND dialog, int id, int* value) {
    if (!value) return false;
    int state = GetDlgItemCheck(dialog, id);
    if (state == *value) return false;
    *value = state;
    return true;
}

bool UpdateTextFromDlgItem(HWND dialog, int id, char* buffer, size_t buffer_size) {
    if (!buffer || buffer_size == 0) return false;
    char text[kDlgTextSize];
    int len = GetDlgItemTextMax(dialog, id, text);
    // A cut text would be stored as a different setting; keep the old one.
    if (static_cast<size_t>(len) >= buffer_size) return false;
    if (lstrcmpiA(text, buffer) == 0) return false;
    tess::CopyText(buffer, buffer_size, text);
    return true;
}

bool IsDlgItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

void EnableDlgItem(HWND dialog, int id, bool enable) {
    EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE);
}

// ---- list views ---------------------------------------------------------------------

int ListViewInsertColumn(HWND list, int column, const char* text, int width, int sub_item,
                         bool image_column) {
    if (!list || !text) return 0;
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = const_cast<char*>(text);
    if (width > 0) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    if (image_column) {
        col.mask |= LVCF_FMT;
        col.fmt = LVCFMT_IMAGE;
    }
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&col));
    return 1;
}

void ListViewSetSubItemText(HWND list, int row, int sub_item, const char* text) {
    if (!list || !text) return;
    char name[MAX_PATH];
    if (!GetFileNameOfPath(name, text, sizeof(name))) tess::CopyText(name, text);
    LVITEMA item{};
    item.iSubItem = sub_item;
    item.pszText = name;
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int ListViewInsertItem(HWND list, const char* text, int row, int image, void* data, int indent) {
    if (!list) return -1;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_NORECOMPUTE;
    item.iItem = row;
    item.pszText = const_cast<char*>(text ? text : "");
    if (image >= 0) {
        item.mask |= LVIF_IMAGE;
        item.iImage = image;
    }
    if (data) {
        item.mask |= LVIF_PARAM;
        item.lParam = reinterpret_cast<LPARAM>(data);
    }
    if (indent >= 0) {
        item.mask |= LVIF_INDENT;
        item.iIndent = indent;
    }
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

// ---- double-buffered background ------------------------------------------------------

namespace {

void EraseInto(HWND wnd, HDC memory) {
    WNDPROC saved = reinterpret_cast<WNDPROC>(GetPropA(wnd, "Wndproc"));
    if (saved)
        CallWindowProcA(saved, wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    else
        SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
}

}  // namespace

void PaintBackgroundBufferedRect(HWND wnd, HDC dc, const RECT& rect) {
    RECT client;
    if (!wnd || !dc || !GetClientRect(wnd, &client)) return;
    tess::ScopedMemoryDc memory(CreateCompatibleDC(dc));
    tess::ScopedBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (!memory || !bitmap) return;
    tess::ScopedSelect select(memory.get(), bitmap.get());
    EraseInto(wnd, memory.get());
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory.get(),
           rect.left, rect.top, SRCCOPY);
}

void PaintBackgroundBuffered(HWND wnd, HDC dc) {
    RECT client;
    if (!wnd || !GetClientRect(wnd, &client)) return;
    PaintBackgroundBufferedRect(wnd, dc, client);
}

// ---- image lists -----------------------------------------------------------------------

namespace {

const COLORREF kMaskColour = RGB(255, 0, 255);

HIMAGELIST ImageListFromBitmap(HBITMAP bitmap, int image_width) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info) || image_width <= 0) return nullptr;
    int count = info.bmWidth / image_width;
    if (count <= 0) return nullptr;
    tess::ScopedImageList list(
        ImageList_Create(image_width, info.bmHeight, ILC_COLOR24 | ILC_MASK, count, 1));
    if (!list || ImageList_AddMasked(list.get(), bitmap, kMaskColour) < 0) return nullptr;
    return list.release();
}

}  // namespace

HIMAGELIST ImageListFromBitmapFile(const char* path, int image_width) {
    if (!path) return nullptr;
    tess::ScopedBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    return ImageListFromBitmap(bitmap.get(), image_width);
}

HIMAGELIST ImageListFromBitmapResource(HINSTANCE module, const char* name, int image_width) {
    tess::ScopedBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return ImageListFromBitmap(bitmap.get(), image_width);
}

void DrawImageOverBackground(HWND wnd, HDC dc, HIMAGELIST list, int image, int x, int y) {
    int cx = 0, cy = 0;
    if (!list || !ImageList_GetIconSize(list, &cx, &cy)) return;
    RECT rect = {x, y, x + cx, y + cy};
    PaintBackgroundBufferedRect(wnd, dc, rect);
    ImageList_Draw(list, image, dc, x, y, ILD_TRANSPARENT);
}

HBITMAP CreateDib32Section(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* local = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits ? bits : &local, nullptr, 0);
    return dib;
}

void DrawBlendedImages(HDC dc, HIMAGELIST list, int first, int second, int weight, int x, int y) {
    int cx = 0, cy = 0;
    if (!dc || !list || !ImageList_GetIconSize(list, &cx, &cy)) return;
    if (weight < 0) weight = 0;
    if (weight > 255) weight = 255;
    void* bits_a = nullptr;
    void* bits_b = nullptr;
    tess::ScopedBitmap a(CreateDib32Section(cx, cy, &bits_a));
    tess::ScopedBitmap b(CreateDib32Section(cx, cy, &bits_b));
    tess::ScopedMemoryDc memory(CreateCompatibleDC(dc));
    if (!a || !b || !memory) return;
    // Both images over what the DC shows now, then mixed channel by channel.
    for (int pass = 0; pass < 2; ++pass) {
        tess::ScopedSelect select(memory.get(), pass == 0 ? a.get() : b.get());
        BitBlt(memory.get(), 0, 0, cx, cy, dc, x, y, SRCCOPY);
        ImageList_Draw(list, pass == 0 ? first : second, memory.get(), 0, 0, ILD_TRANSPARENT);
    }
    GdiFlush();
    BYTE* pa = static_cast<BYTE*>(bits_a);
    const BYTE* pb = static_cast<const BYTE*>(bits_b);
    for (int i = 0; i < cx * cy * 4; ++i)
        pa[i] = static_cast<BYTE>((pa[i] * (255 - weight) + pb[i] * weight) / 255);
    tess::ScopedSelect select(memory.get(), a.get());
    BitBlt(dc, x, y, cx, cy, memory.get(), 0, 0, SRCCOPY);
}

// ---- memory DCs kept as window properties -------------------------------------------------

namespace {

const char* const kMemoryDcProps[] = {"prophdc", "propoldbm", "propx", "propy"};

}  // namespace

HDC CreateWindowMemoryDc(HWND wnd) {
    RECT client;
    if (!wnd || !GetClientRect(wnd, &client)) return nullptr;
    FreeWindowMemoryDc(wnd);
    tess::ScopedWindowDc screen(wnd);
    tess::ScopedMemoryDc memory(CreateCompatibleDC(screen.get()));
    tess::ScopedBitmap bitmap(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    if (!memory || !bitmap) return nullptr;
    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    const bool kept =
        SetPropA(wnd, "prophdc", memory.get()) && SetPropA(wnd, "propoldbm", old) &&
        SetPropA(wnd, "propx", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(client.right))) &&
        SetPropA(wnd, "propy", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(client.bottom)));
    if (!kept) {
        // Without its record nobody could free it later: free it now.
        for (const char* name : kMemoryDcProps) RemovePropA(wnd, name);
        SelectObject(memory.get(), old);
        return nullptr;
    }
    bitmap.release();   // the record's DC holds it from now on
    return memory.release();
}

HDC GetWindowMemoryDc(HWND wnd) { return static_cast<HDC>(GetPropA(wnd, "prophdc")); }

void FreeWindowMemoryDc(HWND wnd) {
    tess::ScopedMemoryDc memory(static_cast<HDC>(RemovePropA(wnd, "prophdc")));
    HGDIOBJ old = static_cast<HGDIOBJ>(RemovePropA(wnd, "propoldbm"));
    RemovePropA(wnd, "propx");
    RemovePropA(wnd, "propy");
    if (!memory || !old) return;
    // Putting the original bitmap back hands ours over to be deleted.
    tess::ScopedGdiObject bitmap(SelectObject(memory.get(), old));
}

// ---- small things -------------------------------------------------------------------------------

COLORREF ReadIniColour(const char* ini_file, const char* key, int system_colour) {
    char text[64] = "";
    if (ini_file && key)
        GetPrivateProfileStringA("Colours", key, "", text, sizeof(text), ini_file);
    int r = 0, g = 0, b = 0;
    if (!text[0] || sscanf(text, "%d %d %d", &r, &g, &b) != 3) return GetSysColor(system_colour);
    auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
    return RGB(clamp(r), clamp(g), clamp(b));
}

int LowestSetBit(DWORD mask) {
    for (int i = 0; i < 32; ++i)
        if (mask & (1u << i)) return i;
    return -1;
}

HWND CreateWindowTooltipWithStyle(HWND wnd, const char* text, DWORD style) {
    if (!wnd) return nullptr;
    tess::ScopedWindow tip(CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, wnd, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!tip) return nullptr;
    SetWindowPos(tip.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = wnd;
    tool.lpszText = const_cast<char*>(text ? text : "");
    GetClientRect(wnd, &tool.rect);
    if (!SendMessageA(tip.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) return nullptr;
    return tip.release();
}

HWND CreateWindowTooltip(HWND wnd, const char* text) {
    return CreateWindowTooltipWithStyle(wnd, text, TTS_ALWAYSTIP);
}
