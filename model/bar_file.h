// Helpers of the bar file shared by the bar, section and item writers, and
// the seams the bar file uses into other parts of the program.
#pragma once
#include <windows.h>

class CVellumMenuObject;

// Room for one key name of a bar file ("Item12.Item3.Title" and the like).
constexpr int kIniKeyNameSize = 260;
// Longest value of an item's title or path as read from a bar file.
constexpr int kIniValueSize = 1100;

// Writes value as decimal text through the profile writer (into the file's
// open session during a whole save); its result.
int WriteIntSetting(int value, const char* section, const char* key, const char* file);

// The preview picture of a bar (SaveScreenshotBitmap).
#include "model/bar_screenshot.h"

// A file name for a bar titled title: the characters a file name cannot hold
// (\ / : * ? " < > | and control characters) become "_", leading and
// trailing dots and blanks are dropped, and the result is cut to fit out_size;
// "Bar" when nothing is left.
void MakeBarFileName(const char* title, char* out, size_t out_size);
// The first free name in folder (with trailing backslash): "<name>.tsbar",
// then "<name>_1.tsbar", ... False when none fits in out_size characters.
bool FindFreeBarFileName(const char* folder, const char* title, char* out, size_t out_size);

// How a finished temporary bar file replaces the old one; tests may put
// another function in to make the replacement fail.
typedef BOOL (WINAPI* ReplaceFileFunction)(const char* from, const char* to, DWORD flags);
ReplaceFileFunction& BarFileReplaceFunction();
