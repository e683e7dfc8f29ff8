#include "util/window_classes.h"

bool RegisterOwnWindowClass(const WNDCLASSEXA& wc) {
    if (::RegisterClassExA(&wc)) return true;
    if (::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    return ::GetClassInfoExA(wc.hInstance, wc.lpszClassName, &existing) &&
           existing.lpfnWndProc == wc.lpfnWndProc;
}
