// The address box itself: the combo box and its list, the go button, running
// what the user entered, and the two dialogs.
#include "plugins/wayfinch/wayfinch.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <cstring>
#include <vector>
#include "plugins/wayfinch/wayfinch_resources.h"
#include "util/text.h"

namespace {

constexpr COLORREF kSeeThrough = RGB(255, 0, 255);

enum GoState { kGoNormal = 0, kGoHot = 1, kGoPressed = 2, kGoPressedOutside = 3 };

bool Attached(const AddressBoxInstance* box) {
    return box->combo && ::GetParent(box->combo) && box->hostItem && !box->parking;
}

RECT ItemScreenRect(const AddressBoxInstance* box) {
    RECT r = {};
    CallHost(VTHC_GETITEMSCREENRECT, reinterpret_cast<INT_PTR>(box->hostItem),
             reinterpret_cast<INT_PTR>(&r));
    return r;
}

bool PointerOnGoButton(const AddressBoxInstance* box) {
    RECT r = ItemScreenRect(box);
    r.left = r.right - box->goWidth - 2;
    r.right -= 2;
    POINT pt;
    ::GetCursorPos(&pt);
    return ::PtInRect(&r, pt) != FALSE;
}

bool LeftButtonDown() { return (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }

int ShellIconIndex(const void* what, UINT flags) {
    SHFILEINFOA info = {};
    if (!::SHGetFileInfoA(static_cast<const char*>(what), 0, &info, sizeof(info),
                          flags | SHGFI_SYSICONINDEX))
        return -1;
    return info.iIcon;
}

void RemoveEntry(HWND combo, int index) {
    ::SendMessageA(combo, CBEM_DELETEITEM, index, 0);
}

void InsertEntry(HWND combo, int index, const char* text, int icon) {
    COMBOBOXEXITEMA entry = {};
    entry.mask = CBEIF_TEXT;
    entry.iItem = index;
    entry.pszText = const_cast<char*>(text);
    if (icon >= 0) {
        entry.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        entry.iImage = entry.iSelectedImage = icon;
    }
    ::SendMessageA(combo, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry));
}

// What was run goes on top, once; 20 entries are kept.
void RememberRun(AddressBoxInstance* box, const std::string& ran, const char* typed) {
    for (int i = 0, n = EntryCount(box->combo); i < n; ++i) {
        if (!lstrcmpiA(EntryText(box->combo, i).c_str(), ran.c_str())) {
            RemoveEntry(box->combo, i);
            break;
        }
    }
    InsertEntry(box->combo, 0, ran.c_str(), GetTypedIconIndex(typed));
    while (EntryCount(box->combo) > kHistoryKept) RemoveEntry(box->combo, kHistoryKept);
}

bool Run(const std::string& what) {
    auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, nullptr, what.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void SetEditText(HWND combo, const std::string& text) {
    HWND edit = reinterpret_cast<HWND>(::SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0));
    ::SetWindowTextA(edit ? edit : combo, text.c_str());
}

}  // namespace

// ---- the combo box and its list -------------------------------------------------------------------

HWND CreateAddressCombo(HWND parent) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_USEREX_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND combo = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOPARENTNOTIFY, WC_COMBOBOXEXA, "",
                                   WS_CHILD | WS_BORDER | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 0, 0,
                                   kComboListHeight, parent, nullptr, WayfinchModule(), nullptr);
    if (!combo) return nullptr;
    ::SendMessageA(combo, CBEM_SETUNICODEFORMAT, FALSE, 0);
    HWND edit = reinterpret_cast<HWND>(::SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0));
    if (edit) ::SHAutoComplete(edit, SHACF_DEFAULT);
    return combo;
}

void LayoutAddressCombo(AddressBoxInstance* box) {
    if (!Attached(box)) return;
    RECT r = ItemScreenRect(box);
    ::OffsetRect(&r, -r.left, -r.top);
    if (box->showGo && box->goWidth < r.right - 4) r.right -= box->goWidth + 4;
    ::SetWindowPos(box->combo, nullptr, r.left, r.top, r.right - r.left, kComboListHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void AppendEntry(HWND combo, const char* text, int icon) {
    if (combo) InsertEntry(combo, EntryCount(combo), text, icon);
}

int EntryCount(HWND combo) {
    if (!combo) return 0;
    LRESULT count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

std::string EntryText(HWND combo, int index) {
    char text[kEntrySize] = "";
    COMBOBOXEXITEMA entry = {};
    entry.mask = CBEIF_TEXT;
    entry.iItem = index;
    entry.pszText = text;
    entry.cchTextMax = sizeof(text);
    if (!combo || !::SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry)))
        return std::string();
    text[sizeof(text) - 1] = '\0';
    return entry.pszText == text ? std::string(text) : std::string(entry.pszText ? entry.pszText : "");
}

std::string EditText(HWND combo) {
    char text[kEntrySize] = "";
    HWND edit = reinterpret_cast<HWND>(::SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0));
    ::GetWindowTextA(edit ? edit : combo, text, sizeof(text));
    return text;
}

int GetTypedIconIndex(const char* text) {
    if (!text || !text[0]) return -1;
    wchar_t wide[kEntrySize];
    if (::MultiByteToWideChar(CP_ACP, 0, text, -1, wide, kEntrySize)) {
        LPITEMIDLIST pidl = nullptr;
        if (SUCCEEDED(::SHParseDisplayName(wide, nullptr, &pidl, 0, nullptr)) && pidl) {
            int index = ShellIconIndex(pidl, SHGFI_PIDL | SHGFI_SMALLICON);
            if (index <= 0) index = ShellIconIndex(pidl, SHGFI_PIDL | SHGFI_SHELLICONSIZE);
            FreeItemIdList(pidl);
            if (index > 0) return index;
        }
    }
    int index = ShellIconIndex(text, SHGFI_SMALLICON | SHGFI_SHELLICONSIZE);
    return index;
}

// ---- the go button ---------------------------------------------------------------------------------

int TrackGoButton(AddressBoxInstance* box, UINT message) {
    if (!box->showGo) return 0;
    const bool inside = PointerOnGoButton(box);
    const int before = box->goState;
    int handled = 0;
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
        if (inside) {
            if (box->goState == kGoNormal) box->goState = kGoHot;
            else if (box->goState == kGoPressedOutside) box->goState = LeftButtonDown() ? kGoPressed : kGoHot;
        } else {
            if (box->goState == kGoHot) box->goState = kGoNormal;
            else if (box->goState == kGoPressed) box->goState = LeftButtonDown() ? kGoPressedOutside : kGoNormal;
        }
        break;
    case WM_LBUTTONDOWN:
        if (inside) {
            if (box->combo) ::SetCapture(::GetParent(box->combo));
            box->goState = kGoPressed;
            handled = 1;
        } else {
            box->goState = kGoNormal;
        }
        break;
    case WM_LBUTTONUP:
        ::ReleaseCapture();
        if (inside && box->goState == kGoPressed) {
            std::string text = EditText(box->combo);
            if (!text.empty()) PostForRunning(box, text);
        }
        box->goState = inside ? kGoHot : kGoNormal;
        break;
    default:
        break;
    }
    if (box->goState != before) CallHost(VTHC_REDRAWITEM, reinterpret_cast<INT_PTR>(box->hostItem), 0);
    return handled;
}

INT_PTR OnPaint(AddressBoxInstance* box, const PluginPaintInfo* info) {
    if (!box || !info) return 0;
    TrackGoButton(box, WM_MOUSEMOVE);
    LayoutAddressCombo(box);
    HDC dc = reinterpret_cast<HDC>(static_cast<ULONG_PTR>(info->dc));
    HBRUSH magenta = ::CreateSolidBrush(kSeeThrough);
    ::FillRect(dc, &info->rect, magenta);
    ::DeleteObject(magenta);
    if (!box->go[kGoNormal]) return 0;
    if (!box->showGo) return 1;
    HBITMAP bitmap = box->go[kGoNormal];
    if (box->goState == kGoHot && box->go[1]) bitmap = box->go[1];
    if (box->goState == kGoPressed && box->go[2]) bitmap = box->go[2];
    const int width = info->rect.right - info->rect.left;
    const int height = info->rect.bottom - info->rect.top;
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(source, bitmap);
    ::BitBlt(dc, width - box->goWidth - 2, (height - box->goHeight) / 2, box->goWidth, box->goHeight,
             source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
    return 1;
}

// ---- running ------------------------------------------------------------------------------------------

void PostForRunning(AddressBoxInstance* box, const std::string& text) {
    HWND target = box->combo ? ::GetParent(box->combo) : nullptr;
    if (!target) return;
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    if (!::PostMessageA(target, RunThisProgramMessage(), reinterpret_cast<WPARAM>(copy), 0))
        delete[] copy;
}

void RunThisProgram(AddressBoxInstance* box, char* text) {
    const std::string typed = text;
    std::string ran = typed;
    bool done = Run(typed);
    if (!done && !(typed.size() > 1 && typed[1] == ':') && typed[0] != '\\') {
        ran = "http://" + typed;
        done = Run(ran);
        if (done) SetEditText(box->combo, ran);
    }
    if (!done) {
        std::string message = "Windows cannot find '" + typed +
                              "'.  Check the spelling and try again, or try searching for the item "
                              "by clicking the Start button and then clicking Search.";
        ::MessageBoxA(nullptr, message.c_str(), "Wayfinch", MB_OK | MB_ICONERROR);
    } else {
        RememberRun(box, ran, typed.c_str());
    }
    delete[] text;
}

INT_PTR OnWindowMessage(AddressBoxInstance* box, const PluginWindowMessage* message) {
    if (!message) return 0;
    switch (message->message) {
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
        TrackGoButton(box, message->message);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return TrackGoButton(box, message->message);
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(message->lParam);
        if (!header || header->hwndFrom != box->combo) return 0;
        if (header->code == CBEN_ENDEDITA) {
            const auto* end = reinterpret_cast<const NMCBEENDEDITA*>(header);
            if (end->iWhy == CBENF_RETURN) {
                char text[kEntrySize];
                tess::CopyTextN(text, sizeof(text), end->szText, sizeof(end->szText));
                if (text[0]) PostForRunning(box, text);
            }
        } else if (header->code == NM_SETCURSOR) {
            TrackGoButton(box, WM_MOUSEMOVE);
        }
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(message->wParam) == CBN_SELENDOK &&
            reinterpret_cast<HWND>(message->lParam) == box->combo) {
            LRESULT index = ::SendMessageA(box->combo, CB_GETCURSEL, 0, 0);
            if (index > 0) PostForRunning(box, EntryText(box->combo, static_cast<int>(index)));
        }
        return 0;
    default:
        if (message->message == RunThisProgramMessage() && message->wParam)
            RunThisProgram(box, reinterpret_cast<char*>(message->wParam));
        return 0;
    }
}

// ---- dialogs ---------------------------------------------------------------------------------------------

INT_PTR CALLBACK ParkingDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

INT_PTR CALLBACK AddressBoxConfigDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto* box = static_cast<AddressBoxInstance*>(::GetPropA(dialog, "lpPin"));
    switch (msg) {
    case WM_INITDIALOG:
        box = reinterpret_cast<AddressBoxInstance*>(lp);
        ::SetPropA(dialog, "lpPin", box);
        ::CheckDlgButton(dialog, IDC_SHOW_GO, box && box->showGo ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    case WM_COMMAND:
        if (!box) return FALSE;
        switch (LOWORD(wp)) {
        case IDOK:
            box->showGo = ::IsDlgButtonChecked(dialog, IDC_SHOW_GO) == BST_CHECKED ? 1 : 0;
            ::EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_CLEAR_HISTORY:
            ::WritePrivateProfileStringA("History", nullptr, nullptr, HistoryFile().c_str());
            ::SendMessageA(box->combo, CB_RESETCONTENT, 0, 0);
            SetEditText(box->combo, "");
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        ::RemovePropA(dialog, "lpPin");
        return FALSE;
    default:
        return FALSE;
    }
}
