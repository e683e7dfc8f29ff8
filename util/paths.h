// Full, relative and canonical paths. Every result goes into a buffer of a
// given size; one that does not fit is a failure (false, buffer empty),
// never a shortened path.
#pragma once
#include <windows.h>
#include <cstddef>

// A drive with its root ("C:\...") or a UNC path ("\\server\share...").
// Neither "C:name" (relative to drive C's current folder) nor "\name"
// (relative to the current drive's root) is full.
bool IsAbsolutePath(const char* path);

// The path with "." and ".." taken out, "/" made "\" and doubled separators
// folded; ".." never climbs above a root (a drive's "C:\" or a share's
// "\\server\share\"). A trailing separator stays. False for an empty path.
bool CanonicalPath(const char* path, char* out, size_t size);

// base + relative, canonical. A full relative path stands for itself; "\name"
// goes below base's root; "C:name" below base when base is on drive C and is
// a failure otherwise. base is a folder, with or without its trailing
// separator. False for an empty relative path.
bool CombineCanonical(const char* base, const char* relative, char* out, size_t size);

// path relative to folder (folder taken as a folder, path as a file), with no
// leading ".\" or "\"; "..\" climbs out of folder. False when no relative
// form exists (another drive or share, or either path not full).
bool RelativePath(const char* folder, const char* path, char* out, size_t size);

// path relative to folder, or else path itself (canonical), as files that
// must find it again store it. False only when neither fits.
bool RelativeToFolder(const char* folder, const char* path, char* out, size_t size);

template <size_t N> bool CanonicalPath(const char* path, char (&out)[N]) {
    return CanonicalPath(path, out, N);
}
template <size_t N> bool CombineCanonical(const char* base, const char* relative, char (&out)[N]) {
    return CombineCanonical(base, relative, out, N);
}
