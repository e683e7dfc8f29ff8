// Skin records for input tests; apart from the bar headers, which name
// their own path size.
#include <string>
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "tests/support/test_support.h"

namespace input_test {

SkinRecord* MakeInputSkin(RECT resize, RECT move, int grip_width) {
    auto* skin = new SkinRecord;
    skin->ResizeBorderSize = resize;
    skin->MoveBorderSize = move;
    for (int& g : skin->GripWidth) g = grip_width;
    return skin;
}

void FreeInputSkin(SkinRecord* skin) {
    delete skin;
}

SkinRecord* LoadInputSkinFile(const std::string& path) {
    return LoadSkinFile(path.c_str());
}

void ReleaseInputSkin(SkinRecord* skin) {
    if (skin) ReleaseSkin(skin);
}

bool WriteSolidBitmap(const std::string& path, int width, int height, COLORREF color) {
    // A 24-bit bottom-up BMP: rows padded to four bytes.
    int row = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = row * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    std::string line(row, '\0');
    for (int x = 0; x < width; ++x) {
        line[x * 3] = static_cast<char>(GetBValue(color));
        line[x * 3 + 1] = static_cast<char>(GetGValue(color));
        line[x * 3 + 2] = static_cast<char>(GetRValue(color));
    }
    for (int y = 0; y < height; ++y) bytes += line;
    return testing_support::WriteFileBytes(path, bytes);
}

}  // namespace input_test
