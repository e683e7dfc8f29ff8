// Helpers of bar drawing that tests and other bar code reach by name.
#pragma once
#include <windows.h>
#include "model/bar_types.h"
// The bar's kSkinPathSize (the pending skin path) and the skin record's own
// constant share a name: the skin headers are read with theirs renamed.
#define kSkinPathSize kSkinRecordPathSize
#include "skins/skin_cache.h"
#include "skins/skin_painting.h"
#include "skins/skin_record.h"
#undef kSkinPathSize

class CVellumMenuObject;

using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// "SetLayeredWindowAttributes" of USER32, looked up once and kept; null on
// systems without layered windows (then bars use window regions only).
SetLayeredWindowAttributesFunction BindSetLayeredWindowAttributes();

// The band of the bar's title strip in client coordinates, and the DrawText
// format of its text; false when the bar shows no title.
bool GetTitleStripRect(CVellumMenuObject* bar, RECT* band, UINT* format);

// The key colour of see-through skin pixels.
constexpr COLORREF kSkinKeyColor = RGB(255, 0, 255);
