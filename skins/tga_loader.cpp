// Skin images: .bmp files, or 32-bpp TGA files with premultiplied alpha.
#include "skins/bitmap_helpers.h"

#include <shlwapi.h>
#include <cstring>

#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

#pragma pack(push, 1)
struct TgaHeader {
    BYTE id_length;
    BYTE color_map_type;
    BYTE image_type;
    WORD color_map_first;
    WORD color_map_length;
    BYTE color_map_entry_size;
    WORD x_origin;
    WORD y_origin;
    WORD width;
    WORD height;
    BYTE bits_per_pixel;
    BYTE descriptor;
};
#pragma pack(pop)
static_assert(sizeof(TgaHeader) == 18, "TGA header is 18 bytes on disk");
static_assert(offsetof(TgaHeader, width) == 12, "TGA width field");
static_assert(offsetof(TgaHeader, descriptor) == 17, "TGA descriptor field");

constexpr BYTE kTrueColorUncompressed = 2;
constexpr BYTE kBottomLeftEightAlphaBits = 8;

bool ReadExactly(HANDLE file, void* buffer, DWORD size) {
    DWORD read = 0;
    return ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

}  // namespace

bool IsTgaFile(const char* path) {
    return path && _stricmp(PathFindExtensionA(path), ".tga") == 0;
}

HBITMAP LoadTgaFile(const char* path, DWORD** pixels) {
    if (pixels) *pixels = nullptr;
    if (!path) return nullptr;
    tess::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;

    TgaHeader header;
    if (!ReadExactly(file.get(), &header, sizeof(header))) return nullptr;
    if (header.color_map_type != 0 || header.image_type != kTrueColorUncompressed ||
        header.bits_per_pixel != 32 || header.descriptor != kBottomLeftEightAlphaBits)
        return nullptr;
    if (header.width == 0 || header.height == 0) return nullptr;

    // The pixels must really be in the file: a header that promises more than
    // the file holds is refused before anything is allocated.
    LARGE_INTEGER file_size;
    if (!GetFileSizeEx(file.get(), &file_size)) return nullptr;
    unsigned long long pixel_bytes =
        static_cast<unsigned long long>(header.width) * header.height * 4ull;
    unsigned long long needed = sizeof(TgaHeader) + header.id_length + pixel_bytes;
    if (static_cast<unsigned long long>(file_size.QuadPart) < needed) return nullptr;

    if (header.id_length &&
        SetFilePointer(file.get(), header.id_length, nullptr, FILE_CURRENT) ==
            INVALID_SET_FILE_POINTER)
        return nullptr;

    DWORD* bits = nullptr;
    tess::ScopedBitmap dib(Create32BitDibSection(header.width, header.height, &bits));
    if (!dib || !bits) return nullptr;
    if (!ReadExactly(file.get(), bits, static_cast<DWORD>(pixel_bytes))) return nullptr;

    size_t count = static_cast<size_t>(header.width) * header.height;
    for (size_t i = 0; i < count; ++i) {
        DWORD p = bits[i];
        DWORD a = p >> 24;
        DWORD b = (p & 0xFF) * a / 255;
        DWORD g = ((p >> 8) & 0xFF) * a / 255;
        DWORD r = ((p >> 16) & 0xFF) * a / 255;
        bits[i] = b | (g << 8) | (r << 16) | (a << 24);
    }
    if (pixels) *pixels = bits;
    return dib.release();
}

HBITMAP LoadBitmapOrTga(HINSTANCE instance, const char* path, DWORD** pixels) {
    if (pixels) *pixels = nullptr;
    if (!path || !path[0]) return nullptr;

    char tga[MAX_PATH];
    if (IsTgaFile(path)) {
        if (!tess::CopyText(tga, path)) return nullptr;
    } else {
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(instance, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (bitmap) return bitmap;
        // Only the extension is swapped, never a ".bmp" inside a folder name.
        const char* extension = PathFindExtensionA(path);
        if (_stricmp(extension, ".bmp") != 0) return nullptr;
        if (!tess::CopyTextN(tga, sizeof(tga), path, static_cast<size_t>(extension - path)) ||
            !tess::AppendText(tga, ".tga"))
            return nullptr;
    }
    if (!pixels || !FileExists(tga)) return nullptr;
    return LoadTgaFile(tga, pixels);
}
