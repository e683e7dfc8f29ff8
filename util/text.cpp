#include "util/text.h"

#include <cstdio>
#include <cstring>

namespace tess {

bool CopyTextN(char* dst, size_t size, const char* src, size_t count) {
    if (!dst || size == 0) return false;
    if (!src) { dst[0] = '\0'; return true; }
    size_t n = 0;
    while (n < count && n + 1 < size && src[n]) { dst[n] = src[n]; ++n; }
    dst[n] = '\0';
    return n == count || src[n] == '\0';
}

bool CopyText(char* dst, size_t size, const char* src) {
    return CopyTextN(dst, size, src, static_cast<size_t>(-1));
}

bool AppendText(char* dst, size_t size, const char* src) {
    if (!dst || size == 0) return false;
    size_t len = strnlen(dst, size);
    if (len >= size) { dst[size - 1] = '\0'; return false; }
    return CopyText(dst + len, size - len, src);
}

bool FormatTextV(char* dst, size_t size, const char* format, va_list args) {
    if (!dst || size == 0) return false;
    int n = vsnprintf(dst, size, format, args);
    dst[size - 1] = '\0';
    if (n < 0) { dst[0] = '\0'; return false; }
    return static_cast<size_t>(n) < size;
}

bool FormatText(char* dst, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool ok = FormatTextV(dst, size, format, args);
    va_end(args);
    return ok;
}

}  // namespace tess
