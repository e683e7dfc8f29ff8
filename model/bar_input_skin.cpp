// The skin values the input code reads. Kept apart because the skin record's
// header and the bar's types each name their own path size.
#include "skins/skin_record.h"

bool ReadSkinInputMargins(const SkinRecord* skin, RECT* resize, RECT* move) {
    if (!skin) return false;
    if (resize) *resize = skin->ResizeBorderSize;
    if (move) *move = skin->MoveBorderSize;
    return true;
}

int ReadSkinGripWidth(const SkinRecord* skin, int style) {
    if (!skin) return 0;
    if (style < 0 || style >= kMaxSectionStyles) style = 0;
    return skin->GripWidth[style];
}
