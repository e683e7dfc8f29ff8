#include "tests/support/skin_fixtures.h"

#include "tests/support/test_support.h"

namespace skin_fixtures {

bool WriteBmp(const std::string& path, int width, int height,
              const std::function<COLORREF(int, int)>& color) {
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = stride * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    std::string row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = color(x, y);
            row[x * 3] = static_cast<char>(GetBValue(c));
            row[x * 3 + 1] = static_cast<char>(GetGValue(c));
            row[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
        bytes += row;
    }
    return testing_support::WriteFileBytes(path, bytes);
}

bool WriteSolidBmp(const std::string& path, int width, int height, COLORREF color) {
    return WriteBmp(path, width, height, [color](int, int) { return color; });
}

std::string TgaBytes(int width, int height, int bits, int descriptor,
                     const std::vector<TgaPixel>& pixels, int image_type, int color_map_type,
                     const std::string& id) {
    uint8_t header[18] = {};
    header[0] = static_cast<uint8_t>(id.size());
    header[1] = static_cast<uint8_t>(color_map_type);
    header[2] = static_cast<uint8_t>(image_type);
    header[12] = static_cast<uint8_t>(width & 0xFF);
    header[13] = static_cast<uint8_t>(width >> 8);
    header[14] = static_cast<uint8_t>(height & 0xFF);
    header[15] = static_cast<uint8_t>(height >> 8);
    header[16] = static_cast<uint8_t>(bits);
    header[17] = static_cast<uint8_t>(descriptor);
    std::string bytes(reinterpret_cast<const char*>(header), sizeof(header));
    bytes += id;
    for (const TgaPixel& p : pixels) {
        bytes += static_cast<char>(p.b);
        bytes += static_cast<char>(p.g);
        bytes += static_cast<char>(p.r);
        if (bits == 32) bytes += static_cast<char>(p.a);
    }
    return bytes;
}

bool TouchLater(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME time;
    bool ok = GetFileTime(file, nullptr, nullptr, &time);
    ULARGE_INTEGER t;
    t.LowPart = time.dwLowDateTime;
    t.HighPart = time.dwHighDateTime;
    t.QuadPart += 60ull * 10000000ull;
    time.dwLowDateTime = t.LowPart;
    time.dwHighDateTime = t.HighPart;
    ok = ok && SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return ok;
}

}  // namespace skin_fixtures
