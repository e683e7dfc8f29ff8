// DIB sections, their headers, BMP files and the desktop background.
#include "util/dib_files.h"

#include <cstring>

#include "util/handles.h"

namespace {

HBITMAP CreateDib(int width, int height, WORD bits) {
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;   // positive: rows bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
}

// Writes all of data, in pieces the system takes in one call.
bool WriteAll(HANDLE file, const void* data, DWORD size) {
    constexpr DWORD kPiece = 100000;
    const BYTE* p = static_cast<const BYTE*>(data);
    while (size) {
        const DWORD n = size < kPiece ? size : kPiece;
        DWORD written = 0;
        if (!WriteFile(file, p, n, &written, nullptr) || written != n) return false;
        p += n;
        size -= n;
    }
    return true;
}

bool ReadDesktopValue(HKEY key, const char* name, char* out, DWORD size) {
    out[0] = '\0';
    DWORD type = 0, bytes = size - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        out[0] = '\0';
        return false;
    }
    out[bytes < size ? bytes : size - 1] = '\0';
    return true;
}

}  // namespace

HBITMAP CreateDib32(int width, int height) { return CreateDib(width, height, 32); }
HBITMAP CreateDib24(int width, int height) { return CreateDib(width, height, 24); }

BITMAPINFOHEADER* BitmapInfoForDib(HBITMAP bitmap) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof(bm), &bm)) return nullptr;
    int depth = bm.bmPlanes * bm.bmBitsPixel;
    if (depth <= 1) depth = 1;
    else if (depth <= 4) depth = 4;
    else if (depth <= 8) depth = 8;
    else if (depth <= 16) depth = 16;
    else if (depth <= 24) depth = 24;
    else depth = 32;
    const DWORD colours = depth < 24 ? (1u << depth) : 0;
    const SIZE_T size = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
    auto* header = static_cast<BITMAPINFOHEADER*>(LocalAlloc(LPTR, size));
    if (!header) return nullptr;
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = bm.bmWidth;
    header->biHeight = bm.bmHeight;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(depth);
    header->biCompression = BI_RGB;
    header->biSizeImage = ((bm.bmWidth * depth + 31) / 32) * 4 * bm.bmHeight;
    header->biClrUsed = colours;
    return header;
}

bool SaveDibToFile(const char* path, BITMAPINFOHEADER* header, HBITMAP bitmap, HDC dc) {
    if (!path || !path[0] || !header || !bitmap || !dc) return false;
    const DWORD colours = header->biBitCount < 24 ? (header->biClrUsed ? header->biClrUsed : 1u << header->biBitCount) : 0;
    const DWORD header_size = header->biSize + colours * sizeof(RGBQUAD);
    const DWORD rows = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    const DWORD image = ((header->biWidth * header->biBitCount + 31) / 32) * 4 * rows;
    header->biSizeImage = image;
    tess::ScopedGlobal memory(GlobalAlloc(GMEM_FIXED, image ? image : 1));
    if (!memory) return false;
    void* bits = memory.get();
    if (GetDIBits(dc, bitmap, 0, rows, bits, reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS) !=
        static_cast<int>(rows))
        return false;

    BITMAPFILEHEADER file_header = {};
    file_header.bfType = 0x4D42;   // "BM"
    file_header.bfOffBits = sizeof(BITMAPFILEHEADER) + header_size;
    file_header.bfSize = file_header.bfOffBits + image;
    bool ok;
    {
        tess::ScopedFile file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        ok = WriteAll(file.get(), &file_header, sizeof(file_header)) &&
             WriteAll(file.get(), header, header_size) && WriteAll(file.get(), bits, image);
    }
    // A file cut short would show as a broken picture: none is better.
    if (!ok) DeleteFileA(path);
    return ok;
}

void DrawDesktopWallpaper(HDC dc) {
    if (!dc) return;
    char tile[16] = "", style[16] = "", wallpaper[MAX_PATH] = "";
    bool have_wallpaper = false;
    {
        HKEY raw = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_READ, &raw) == ERROR_SUCCESS) {
            tess::ScopedRegKey key(raw);
            ReadDesktopValue(key.get(), "TileWallpaper", tile, sizeof(tile));
            ReadDesktopValue(key.get(), "WallpaperStyle", style, sizeof(style));
            have_wallpaper = ReadDesktopValue(key.get(), "Wallpaper", wallpaper, sizeof(wallpaper));
        }
    }
    tess::ScopedBitmap picture;
    if (have_wallpaper && wallpaper[0])
        picture.reset(static_cast<HBITMAP>(
            LoadImageA(nullptr, wallpaper, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));

    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    RECT all = {-500, -500, width, height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BACKGROUND));
    if (!picture) return;

    BITMAP bm = {};
    if (!GetObjectA(picture.get(), sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
    tess::ScopedMemoryDc source(CreateCompatibleDC(dc));
    if (!source) return;
    tess::ScopedSelect select(source.get(), picture.get());
    if (std::strcmp(tile, "1") == 0) {
        for (int y = 0; y < height; y += bm.bmHeight)
            for (int x = 0; x < width; x += bm.bmWidth)
                BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, SRCCOPY);
    } else if (std::strcmp(style, "2") == 0) {
        const int old_mode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, width, height, source.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        SetStretchBltMode(dc, old_mode);
    } else {
        BitBlt(dc, (width - bm.bmWidth) / 2, (height - bm.bmHeight) / 2, bm.bmWidth, bm.bmHeight,
               source.get(), 0, 0, SRCCOPY);
    }
}
