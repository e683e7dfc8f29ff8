// The module: its instance, the count of live objects and server locks that
// keeps it loaded, its identity (LIBID, CLSID) and the library's text helpers.
#pragma once
#include <windows.h>
#include <ole2.h>

namespace gantrel {

HINSTANCE ModuleInstance();
// Full path of Gantrel.dll (MAX_PATH buffer); false when it cannot be found.
bool ModulePath(char* path, size_t size);

// Every live object and every IClassFactory::LockServer(TRUE) counts.
void LockModule();
void UnlockModule();
LONG ModuleLockCount();

extern const GUID kLibId;          // GANTRELLib
extern const CLSID kSplashClsid;   // Splash
constexpr WORD kTypeLibMajor = 1;
constexpr WORD kTypeLibMinor = 0;

// UTF-16 to the ANSI code page into size bytes: always terminated, empty on failure.
void WideToAnsi(const wchar_t* text, char* out, int size);
// ANSI to UTF-16; the length written (without terminator), 0 on failure.
int AnsiToWide(const char* text, wchar_t* out, int count);
// Length of the folder part of a UTF-16 path: the position after its last
// "\", "/" or ":".
int FolderPartLength(const wchar_t* path);

}  // namespace gantrel
