// Paths inside a bar file are relative to the bar file's folder; these turn
// them into full paths and back, and load images by such paths.
#include <windows.h>
#include <shlwapi.h>
#include <cstring>
#include "model/vellum_menu_object.h"
#include "skins/bitmap_helpers.h"
#include "skins/skin_record.h"
#include "util/text.h"

namespace {

// A drive path ("C:...") or a UNC path ("\\server\share...").
bool IsAbsolutePath(const char* path) {
    if (!path || !path[0]) return false;
    if (path[1] == ':') return true;
    return path[0] == '\\' && path[1] == '\\';
}

// base + relative, canonical, into out (MAX_PATH); an absolute path stays
// itself. False when the result does not fit.
bool CombineCanonical(const char* base, const char* relative, char* out) {
    char joined[MAX_PATH];
    bool fits = IsAbsolutePath(relative)
                    ? tess::CopyText(joined, relative)
                    : tess::FormatText(joined, sizeof(joined), "%s%s", base ? base : "", relative);
    if (!fits) return false;
    return ::PathCanonicalizeA(out, joined) != FALSE;
}

}  // namespace

int CVellumMenuObject::MakePathAbsolute(char* path, char* out, char* base) {
    if (out) out[0] = '\0';
    if (!path || !path[0] || !out) return 0;
    char result[MAX_PATH];
    if (!CombineCanonical(base ? base : m_barFolder, path, result)) return 0;
    tess::CopyText(out, MAX_PATH, result);
    return 1;
}

int CVellumMenuObject::MakePathRelative(char* path, char* out, char* base) {
    if (out) out[0] = '\0';
    if (!path || !path[0] || !out) return 0;
    const char* from = base ? base : m_barFolder;
    char canonical[MAX_PATH];
    if (std::strlen(path) >= MAX_PATH || !::PathCanonicalizeA(canonical, path)) return 1;
    if (!from[0] || std::strlen(from) >= MAX_PATH) return 1;
    char relative[MAX_PATH] = "";
    // No relative form (another drive, another share): out stays empty.
    if (!::PathRelativePathToA(relative, from, FILE_ATTRIBUTE_DIRECTORY, canonical,
                               FILE_ATTRIBUTE_NORMAL))
        return 1;
    tess::CopyText(out, MAX_PATH, relative[0] == '\\' ? relative + 1 : relative);
    return 1;
}

void CVellumMenuObject::ApplyItemPathRequest(bool toRelative, const char* path, char* out) {
    if (toRelative)
        MakePathRelative(const_cast<char*>(path), out, nullptr);
    else
        MakePathAbsolute(const_cast<char*>(path), out, nullptr);
}

void CVellumMenuObject::UpdateImagePath(int makeRelative, char* path, int toBarFolder) {
    if (!path || !path[0]) return;
    char result[MAX_PATH] = "";
    if (!makeRelative) {
        if (IsAbsolutePath(path)) return;
        if (CombineCanonical(m_barFolder, path, result)) tess::CopyText(path, MAX_PATH, result);
        return;
    }
    if (!IsAbsolutePath(path)) return;
    char folder[MAX_PATH] = "";
    if (toBarFolder)
        tess::CopyText(folder, m_barFolder);
    else if (m_skin)
        tess::CopyText(folder, m_skin->folder);
    MakePathRelative(path, result, folder);
    if (result[0]) tess::CopyText(path, MAX_PATH, result);
}

HBITMAP CVellumMenuObject::MyLoadImage(int relative, char* path, unsigned long** alphaBits) {
    if (alphaBits) *alphaBits = nullptr;
    if (!path || !path[0]) return nullptr;
    DWORD** bits = reinterpret_cast<DWORD**>(alphaBits);
    if (!relative || IsAbsolutePath(path)) return LoadBitmapOrTga(m_hModule, path, bits);
    char full[MAX_PATH];
    if (m_skin && CombineCanonical(m_skin->folder, path, full))
        if (HBITMAP bitmap = LoadBitmapOrTga(m_hModule, full, bits)) return bitmap;
    if (CombineCanonical(m_barFolder, path, full)) return LoadBitmapOrTga(m_hModule, full, bits);
    return nullptr;
}
