// Web pages of the maker open with the shell's default action, through one
// function that tests replace (under Wine the shell would hand the address
// to the desktop of the host system).
#pragma once
#include <windows.h>

constexpr const char kThemeLibraryPageUrl[] = "https://www.vantrell.com/tessellar/themes/";

typedef void (*WebPageOpener)(const char* url);
WebPageOpener& WebPageOpenerFunction();
void OpenWebPage(const char* url);
