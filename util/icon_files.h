// Icon groups of programs and libraries, and the .ico files made of them.
// An icon group is read out of a module's resources image by image; each
// image is checked to hold what its header promises before any pointer into
// it is made, so a damaged module gives no icon rather than a wild read.
#pragma once
#include <windows.h>
#include <memory>
#include <vector>

// One image of an icon group: the block exactly as in an icon resource (DIB
// header, colour table, XOR bits, AND bits) and the fields read from it.
struct IconImage {
    std::vector<BYTE> data;
    int width = 0;
    int height = 0;                         // header height / 2
    int colorBits = 0;                      // planes x bit count
    const BITMAPINFOHEADER* header = nullptr;
    const BYTE* xorBits = nullptr;
    const BYTE* andBits = nullptr;
};

struct IconResource {
    char sourcePath[MAX_PATH] = "";
    char name[MAX_PATH] = "";               // left empty
    std::vector<IconImage> images;
};

// Fills the image's fields from its block; false (fields untouched) when the
// block is too short for its header, colour table, XOR or AND bits.
bool AdjustIconImagePointers(IconImage& image);

// The images of the n-th icon group (0 first, in resource order) of the
// module; null when there is none or any image is missing or damaged.
std::unique_ptr<IconResource> ExtractIconGroup(const char* modulePath, int groupIndex);

// Writes the icon as an .ico file (replacing one); 1 on success, 0 when the
// file cannot be made or written (a box with the path as caption tells
// which, and no partial file is left).
int WriteIconFile(const IconResource& icon, const char* targetPath);

// The bytes WriteIconFile writes (empty for an icon without parsed images),
// for comparing an icon with a file already on disk.
std::vector<BYTE> IconFileBytes(const IconResource& icon);
