// Paths taken apart into a root and a list of names, and put back together;
// no system call, so the limits are the caller's buffer and nothing else.
#include "util/paths.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "util/text.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDrive(const char* path) { return IsDriveLetter(path[0]) && path[1] == ':'; }

bool IsUnc(const char* path) { return IsSeparator(path[0]) && IsSeparator(path[1]); }

// A path as its root ("C:\", "\\server\share\", "C:", "\" or none) and names.
struct SplitPath {
    std::string root;
    bool rooted = false;   // ".." stops at the root
    std::vector<std::string> names;
    bool trailing = false;
};

// Takes one name from p (up to the next separator); p moves past it.
std::string TakeName(const char*& p) {
    const char* start = p;
    while (*p && !IsSeparator(*p)) ++p;
    return std::string(start, p);
}

void SkipSeparators(const char*& p) {
    while (IsSeparator(*p)) ++p;
}

SplitPath Split(const char* path) {
    SplitPath s;
    const char* p = path;
    if (IsUnc(p)) {
        p += 2;
        SkipSeparators(p);
        std::string server = TakeName(p);
        SkipSeparators(p);
        std::string share = TakeName(p);
        s.root = "\\\\" + server + "\\";
        if (!share.empty()) s.root += share + "\\";
        s.rooted = true;
    } else if (HasDrive(p)) {
        s.root.assign(p, 2);
        p += 2;
        if (IsSeparator(*p)) {
            s.root += '\\';
            s.rooted = true;
        }
    } else if (IsSeparator(*p)) {
        s.root = "\\";
        s.rooted = true;
    }
    const char* names_start = p;
    while (*p) {
        SkipSeparators(p);
        if (!*p) break;
        std::string name = TakeName(p);
        if (name == ".") continue;
        if (name == "..") {
            if (!s.names.empty() && s.names.back() != "..")
                s.names.pop_back();
            else if (!s.rooted)
                s.names.push_back(name);
            continue;
        }
        s.names.push_back(name);
    }
    s.trailing = p > names_start && IsSeparator(p[-1]) && !s.names.empty();
    return s;
}

std::string Join(const SplitPath& s) {
    std::string out = s.root;
    for (size_t i = 0; i < s.names.size(); ++i) {
        if (i) out += '\\';
        out += s.names[i];
    }
    if (s.trailing) out += '\\';
    return out;
}

bool Deliver(const std::string& text, char* out, size_t size) {
    if (!out || !size) return false;
    out[0] = '\0';
    if (text.empty() || text.size() >= size) return false;
    return tess::CopyText(out, size, text.c_str());
}

bool SameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool Clear(char* out, size_t size) {
    if (out && size) out[0] = '\0';
    return false;
}

}  // namespace

bool IsAbsolutePath(const char* path) {
    if (!path) return false;
    return IsUnc(path) || (HasDrive(path) && IsSeparator(path[2]));
}

bool CanonicalPath(const char* path, char* out, size_t size) {
    if (!path || !path[0]) return Clear(out, size);
    return Deliver(Join(Split(path)), out, size);
}

bool CombineCanonical(const char* base, const char* relative, char* out, size_t size) {
    if (!relative || !relative[0]) return Clear(out, size);
    if (IsAbsolutePath(relative)) return CanonicalPath(relative, out, size);
    const std::string folder = base ? base : "";
    std::string joined;
    if (HasDrive(relative)) {
        // Only base's own drive has a folder known here.
        if (!HasDrive(folder.c_str()) || toupper(folder[0]) != toupper(relative[0]))
            return Clear(out, size);
        joined = folder + "\\" + (relative + 2);
    } else if (IsSeparator(relative[0])) {
        joined = Split(folder.c_str()).root + relative;
    } else {
        joined = folder.empty() ? std::string(relative) : folder + "\\" + relative;
    }
    return Deliver(Join(Split(joined.c_str())), out, size);
}

bool RelativePath(const char* folder, const char* path, char* out, size_t size) {
    Clear(out, size);
    if (!IsAbsolutePath(folder) || !IsAbsolutePath(path)) return false;
    const SplitPath from = Split(folder), to = Split(path);
    if (!SameName(from.root, to.root)) return false;
    size_t common = 0;
    while (common < from.names.size() && common < to.names.size() &&
           SameName(from.names[common], to.names[common]))
        ++common;
    SplitPath rel;
    rel.names.assign(from.names.size() - common, "..");
    rel.names.insert(rel.names.end(), to.names.begin() + common, to.names.end());
    rel.trailing = to.trailing && !rel.names.empty();
    if (rel.names.empty()) rel.names.push_back(".");
    return Deliver(Join(rel), out, size);
}

bool RelativeToFolder(const char* folder, const char* path, char* out, size_t size) {
    // The full path finds the file as well where the relative one cannot be
    // had (another drive) or does not fit.
    return RelativePath(folder, path, out, size) || CanonicalPath(path, out, size);
}
