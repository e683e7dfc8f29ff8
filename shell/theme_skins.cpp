// The theme's few calls into the skin cache, kept apart from the bar model's
// headers (both name a skin-path size of their own).
#include "shell/theme_internal.h"

#include "skins/skin_cache.h"
#include "util/general_helpers.h"

const char* SkinRecordPath(const SkinRecord* record) {
    return record && record->path[0] && FileExists(record->path) ? record->path : nullptr;
}

SkinRecord* LoadSkinForTheme(const char* path) { return path && path[0] ? LoadSkinFile(path) : nullptr; }

void ReleaseSkinForTheme(SkinRecord* record) {
    if (record) ReleaseSkin(record);
}

SkinRecord* ReloadCachedSkin(const char* path) {
    SkinRecord* record = path ? FindCachedSkin(path) : nullptr;
    if (record) ReloadSkinFile(record);
    return record;
}
