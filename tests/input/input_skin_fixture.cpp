// Skin records for input tests; apart from the bar headers, which name
// their own path size.
#include <string>
#include "skins/skin_cache.h"
#include "skins/skin_record.h"

namespace input_test {

SkinRecord* MakeInputSkin(RECT resize, RECT move, int grip_width) {
    auto* skin = new SkinRecord;
    skin->ResizeBorderSize = resize;
    skin->MoveBorderSize = move;
    for (int& g : skin->GripWidth) g = grip_width;
    return skin;
}

void SetNoHeightSteps(SkinRecord* skin) {
    skin->ResizeBase = -1;
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

}  // namespace input_test
