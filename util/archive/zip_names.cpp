// Member names, wildcards and folders: the checks that keep extraction inside
// its destination folder.
#include "util/archive/zip_archive.h"

#include <windows.h>
#include <cctype>
#include <cstring>
#include <string>

namespace tess::archive {
namespace {

bool IsDeviceName(const std::string& part) {
    // "CON", "nul.txt", "COM1" ... open devices instead of files on Windows.
    std::string stem = part.substr(0, part.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (auto& c : stem) c = char(toupper(static_cast<unsigned char>(c)));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
    for (const char* d : kDevices)
        if (stem == d) return true;
    if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
        stem[3] >= '0' && stem[3] <= '9')
        return true;
    return false;
}

bool IsSafePart(const std::string& part) {
    if (part.empty()) return false;
    bool only_dots_and_blanks = true;
    for (unsigned char c : part) {
        if (c < 32 || strchr("<>:\"|?*", c)) return false;
        if (c != '.' && c != ' ') only_dots_and_blanks = false;
    }
    return !only_dots_and_blanks && !IsDeviceName(part);
}

}  // namespace

bool SafeMemberPath(const char* member, char* out, size_t size) {
    if (!member || !out || size == 0) return false;
    out[0] = '\0';
    if (member[0] == '\0' || member[0] == '/' || member[0] == '\\') return false;
    std::string result;
    std::string part;
    size_t length = strlen(member);
    bool folder = member[length - 1] == '/' || member[length - 1] == '\\';
    for (const char* p = member;; ++p) {
        char c = *p;
        if (c == '/' || c == '\\' || c == '\0') {
            if (part == ".") {
                // "./a" is harmless; skip it
            } else if (!part.empty()) {
                if (!IsSafePart(part)) return false;
                if (!result.empty()) result += '\\';
                result += part;
            } else if (c != '\0' && p != member) {
                // "a//b": an empty part; harmless, skipped
            }
            part.clear();
            if (c == '\0') break;
        } else {
            part += c;
        }
    }
    if (result.empty()) return false;
    if (folder) result += '\\';
    if (result.size() + 1 > size) return false;
    memcpy(out, result.c_str(), result.size() + 1);
    return true;
}

bool MatchWildcard(const char* pattern, const char* name) {
    auto fold = [](char c) {
        if (c == '\\') return '/';
        return char(tolower(static_cast<unsigned char>(c)));
    };
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern && (*pattern == '?' || fold(*pattern) == fold(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

bool CreateFoldersFor(const char* path) {
    std::string p(path ? path : "");
    size_t last = p.find_last_of("\\/");
    if (last == std::string::npos) return true;
    // Mostly the folder is there already: one look instead of one per part.
    DWORD parent = GetFileAttributesA(p.substr(0, last).c_str());
    if (parent != INVALID_FILE_ATTRIBUTES && (parent & FILE_ATTRIBUTE_DIRECTORY)) return true;
    // Start after a drive ("C:\") or a UNC prefix so the root is not created.
    size_t start = 0;
    if (p.size() > 2 && p[1] == ':') start = 3;
    else if (p.compare(0, 2, "\\\\") == 0) {
        size_t server = p.find('\\', 2);
        start = (server == std::string::npos) ? p.size() : p.find('\\', server + 1) + 1;
    }
    for (size_t i = start; i <= last && i < p.size(); ++i) {
        if (p[i] != '\\' && p[i] != '/') continue;
        if (i == 0) continue;
        std::string folder = p.substr(0, i);
        DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
            continue;
        }
        if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

}  // namespace tess::archive
