#include "skins/bitmap_helpers.h"
#include "skins/skin_painting.h"

int DrawSkinIcon(SkinRecord* skin, HDC dc, HICON icon, const RECT* rect, int x, int y,
                 int state_index, int size, int frame, HIMAGELIST image_list, int image_index) {
    if (!skin || !dc || !skin->states) return 0;
    if (state_index < 0 || state_index >= skin->state_count) return 0;
    const SkinStateRecord& e = skin->states[state_index];
    if (rect) DrawSkinNineGrid(skin, dc, rect, state_index, frame);

    const int ix = x + e.IconOffset.x, iy = y + e.IconOffset.y;
    if (icon && e.effect && e.icon_intensity != 0 && !IsSkinGlowDisabled()) {
        DrawIconWithShadow(dc, icon, ix, iy, size, e.icon_blur, e.icon_intensity, e.icon_shadow_x,
                           e.icon_shadow_y, e.shadow_color);
    } else if (icon) {
        DrawIconEx(dc, ix, iy, icon, size, size, 0, nullptr, DI_NORMAL);
    } else if (image_list) {
        ImageList_DrawEx(image_list, image_index, dc, ix, iy, size, size, CLR_NONE, CLR_NONE,
                         ILD_TRANSPARENT);
    }
    return 1;
}

int DrawSkinMenuIcon(SkinRecord* skin, HDC dc, int icon_number, const RECT* rect, int x, int y,
                     int state_index) {
    if (!skin || icon_number < 0 || icon_number > 1) return 0;
    return DrawSkinIcon(skin, dc, skin->menu_icons[icon_number], rect, x, y, state_index, 16, 0,
                        nullptr, 0);
}
