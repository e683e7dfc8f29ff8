// Paths inside a bar file are relative to the bar file's folder; these turn
// them into full paths and back, and load images by such paths.
#include <windows.h>
#include "model/vellum_menu_object.h"
#include "skins/bitmap_helpers.h"
#include "skins/skin_record.h"
#include "util/paths.h"
#include "util/text.h"

int CVellumMenuObject::MakePathAbsolute(char* path, char* out, char* base) {
    if (out) out[0] = '\0';
    if (!path || !path[0] || !out) return 0;
    return CombineCanonical(base ? base : m_barFolder, path, out, MAX_PATH) ? 1 : 0;
}

int CVellumMenuObject::MakePathRelative(char* path, char* out, char* base) {
    if (out) out[0] = '\0';
    if (!path || !path[0] || !out) return 0;
    // No relative form (another drive, another share): out stays empty.
    RelativePath(base ? base : m_barFolder, path, out, MAX_PATH);
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
