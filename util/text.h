// Bounded text helpers: every copy into a fixed buffer goes through these,
// takes the destination size and always terminates.
#pragma once
#include <cstddef>
#include <cstdarg>

namespace tess {

// Copies at most size-1 characters and terminates; returns false when cut.
bool CopyText(char* dst, size_t size, const char* src);
// Copies at most count characters of src (which need not be terminated).
bool CopyTextN(char* dst, size_t size, const char* src, size_t count);
// Appends within size; returns false when cut.
bool AppendText(char* dst, size_t size, const char* src);
// snprintf that always terminates; returns false when cut or on error.
bool FormatText(char* dst, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool FormatTextV(char* dst, size_t size, const char* format, va_list args);

template <size_t N> bool CopyText(char (&dst)[N], const char* src) { return CopyText(dst, N, src); }
template <size_t N> bool AppendText(char (&dst)[N], const char* src) { return AppendText(dst, N, src); }

}  // namespace tess
