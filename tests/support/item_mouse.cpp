#include "tests/support/item_mouse.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "tests/support/test_support.h"

namespace testing_support {

void SendMouseButton(DWORD flags, DWORD time) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.time = time;
    SendInput(1, &input, sizeof(INPUT));
}

RECT ItemScreenRect(CVellumMenuItem* item) {
    RECT r;
    item->GetRealItemRect(&r);
    RECT bar = {};
    GetWindowRect(item->m_pBar->m_hWnd, &bar);
    OffsetRect(&r, bar.left, bar.top);
    return r;
}

void MovePointerToItem(CVellumMenuItem* item) {
    const RECT r = ItemScreenRect(item);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMouseButton(MOUSEEVENTF_MOVE);
    PumpFor(30);
}

void ClickItem(CVellumMenuItem* item) {
    MovePointerToItem(item);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(30);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(60);
}

}  // namespace testing_support
