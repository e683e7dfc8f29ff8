// Small skin fixtures made by the tests: INI text, 24-bit BMPs and 32-bit TGAs.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skin_fixtures {

// A 24-bit bottom-up BMP whose pixel (x, y) (y from the top) is color(x, y).
bool WriteBmp(const std::string& path, int width, int height,
              const std::function<COLORREF(int, int)>& color);
// A solid BMP.
bool WriteSolidBmp(const std::string& path, int width, int height, COLORREF color);

struct TgaPixel {
    uint8_t b, g, r, a;
};
// A TGA with the given header fields; pixels are written as given (rows as in the file).
std::string TgaBytes(int width, int height, int bits, int descriptor,
                     const std::vector<TgaPixel>& pixels, int image_type = 2,
                     int color_map_type = 0, const std::string& id = "");

// Sets a file's last-write time one minute later than it is, so a re-read
// sees a change even within the file system's time resolution.
bool TouchLater(const std::string& path);

}  // namespace skin_fixtures
