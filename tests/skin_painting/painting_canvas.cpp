#include "tests/skin_painting/painting_canvas.h"

#include <vector>

#include "tests/support/skin_fixtures.h"

namespace painting {

Canvas::Canvas(int width, int height, COLORREF fill)
    : width_(width), height_(height), bitmap_(testing_support::CreateDib32(width, height, &bits_)),
      dc_(CreateCompatibleDC(nullptr)) {
    if (bitmap_ && dc_) old_ = SelectObject(dc_.get(), bitmap_.get());
    Fill(fill);
}

Canvas::~Canvas() {
    if (old_) SelectObject(dc_.get(), old_);
}

// Read straight from the section's rows, which are top-down as made: Wine's
// GetObject reports a positive biHeight for top-down sections, so the row
// order cannot be taken from it.
COLORREF Canvas::At(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    DWORD v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void Canvas::Fill(COLORREF color) {
    tess::ScopedBrush brush(CreateSolidBrush(color));
    RECT all = {0, 0, width_, height_};
    FillRect(dc_.get(), &all, brush.get());
}

int Canvas::Count(const RECT& area, bool (*test)(COLORREF)) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (test(At(x, y))) ++count;
    return count;
}

int Canvas::Left(bool (*test)(COLORREF)) const {
    for (int x = 0; x < width_; ++x)
        for (int y = 0; y < height_; ++y)
            if (test(At(x, y))) return x;
    return -1;
}

int Canvas::Right(bool (*test)(COLORREF)) const {
    for (int x = width_ - 1; x >= 0; --x)
        for (int y = 0; y < height_; ++y)
            if (test(At(x, y))) return x;
    return -1;
}

int Canvas::Top(bool (*test)(COLORREF)) const {
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (test(At(x, y))) return y;
    return -1;
}

int Canvas::Bottom(bool (*test)(COLORREF)) const {
    for (int y = height_ - 1; y >= 0; --y)
        for (int x = 0; x < width_; ++x)
            if (test(At(x, y))) return y;
    return -1;
}

SkinFolder::SkinFolder() { InitSkinCache(GetModuleHandleA(nullptr)); }

SkinFolder::~SkinFolder() { FreeSkinCache(); }

bool SkinFolder::WriteColumnsBmp(const std::string& name, int width, int height,
                                 bool (*keyed)(int x)) const {
    return skin_fixtures::WriteBmp(temp_.File(name), width, height, [keyed](int x, int y) {
        return keyed && keyed(x) ? RGB(255, 0, 255) : SourceColor(x, y);
    });
}

bool SkinFolder::WriteSolidBmp(const std::string& name, int width, int height,
                               COLORREF color) const {
    return skin_fixtures::WriteSolidBmp(temp_.File(name), width, height, color);
}

bool SkinFolder::WriteSolidTga(const std::string& name, int width, int height, COLORREF color,
                               int alpha) const {
    skin_fixtures::TgaPixel pixel = {GetBValue(color), GetGValue(color), GetRValue(color),
                                     static_cast<uint8_t>(alpha)};
    std::vector<skin_fixtures::TgaPixel> pixels(static_cast<size_t>(width) * height, pixel);
    return testing_support::WriteFileBytes(temp_.File(name),
                                           skin_fixtures::TgaBytes(width, height, 32, 8, pixels));
}

SkinRecord* SkinFolder::Load(const std::string& text, const std::string& name) {
    std::string file = name + ".tsskin";
    if (!temp_.Write(file, text)) return nullptr;
    return LoadSkinFile(temp_.File(file).c_str());
}

}  // namespace painting
