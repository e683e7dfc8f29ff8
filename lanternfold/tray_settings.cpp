// Per-icon settings in "LanternfoldData.ini" (the Windows folder): behaviour,
// replacement icon and last tip of each icon key, and the inactivity minutes.
#include "lanternfold/tray_server.h"

#include <cstring>

#include "util/text.h"

namespace tray {

namespace {

constexpr const char kOptions[] = "Options";
constexpr const char kIcons[] = "Icons";
constexpr const char kIconText[] = "IconText";
constexpr const char kCustomIcons[] = "CustomIcons";
constexpr int kReplacementPathSize = 270;

bool FileOpens(const char* path) {
    tess::ScopedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(file);
}

// The record's key as a terminated string.
void RecordKey(const TrayIconRecord& r, char* key, size_t size) {
    tess::CopyTextN(key, size, r.icon_key, sizeof(r.icon_key));
}

HICON LoadSmallIconFile(const char* path) {
    if (!path || !path[0] || !FileOpens(path)) return nullptr;
    return static_cast<HICON>(LoadImageA(nullptr, path, IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
}

void SetReplacement(TrayIconRecord& r, HICON icon) {
    if (r.replacement_icon) DestroyIcon(reinterpret_cast<HICON>(static_cast<UINT_PTR>(r.replacement_icon)));
    r.replacement_icon = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(icon));
}

}  // namespace

void CTrayIconServer::ReadInactiveMinutes() {
    UINT minutes = GetPrivateProfileIntA(kOptions, "TimeToInactive", 5, kSettingsFile);
    SetInactiveMinutes(minutes);
}

LONG CTrayIconServer::ReadIconBehavior(int index) {
    TrayIconRecord* r = Record(index);
    if (!r) return kHideWhenInactive;
    char key[sizeof(r->icon_key) + 1];
    RecordKey(*r, key, sizeof(key));
    LONG behavior = key[0] ? static_cast<LONG>(GetPrivateProfileIntA(kIcons, key, 0, kSettingsFile)) : 0;
    if (behavior != kAlwaysHide && behavior != kAlwaysShow) behavior = kHideWhenInactive;
    r->behavior = behavior;
    return behavior;
}

void CTrayIconServer::RememberIcon(int index) {
    TrayIconRecord* r = Record(index);
    if (!r) return;
    char key[sizeof(r->icon_key) + 1];
    char tip[sizeof(r->long_tip) + 1];
    RecordKey(*r, key, sizeof(key));
    tess::CopyTextN(tip, sizeof(tip), r->long_tip, sizeof(r->long_tip));
    WriteIconBehavior(key, r->behavior, tip);
}

static void WriteIconText(const char* key, const char* tip) {
    char text[512] = {};
    tess::CopyText(text, sizeof(text), tip);
    text[strcspn(text, "\r\n")] = '\0';
    WritePrivateProfileStringA(kIconText, key, text, kSettingsFile);
}

void CTrayIconServer::WriteIconBehavior(const char* key, LONG behavior, const char* tip) {
    if (!key || !key[0]) return;
    const char* value = behavior == kAlwaysHide ? "1" : behavior == kAlwaysShow ? "2" : nullptr;
    WritePrivateProfileStringA(kIcons, key, value, kSettingsFile);
    if (tip) WriteIconText(key, tip);
}

bool CTrayIconServer::GetReplacementIconPath(const char* key, char* buffer, size_t size) const {
    if (!buffer || size == 0) return false;
    buffer[0] = '\0';
    if (!key || !key[0]) return false;
    char path[kReplacementPathSize + 1] = {};
    GetPrivateProfileStringA(kCustomIcons, key, "", path, sizeof(path), kSettingsFile);
    if (!path[0] || !FileOpens(path)) return false;
    return tess::CopyText(buffer, size, path);
}

bool CTrayIconServer::GetRecordReplacementIconPath(int index, char* buffer, size_t size) {
    TrayIconRecord* r = Record(index);
    if (!r) return false;
    char key[sizeof(r->icon_key) + 1];
    RecordKey(*r, key, sizeof(key));
    return GetReplacementIconPath(key, buffer, size);
}

void CTrayIconServer::LoadReplacementIcon(int index) {
    TrayIconRecord* r = Record(index);
    if (!r) return;
    char path[kReplacementPathSize + 1] = {};
    HICON icon = GetRecordReplacementIconPath(index, path, sizeof(path)) ? LoadSmallIconFile(path) : nullptr;
    SetReplacement(*r, icon);
}

void CTrayIconServer::PreviewReplacementIcon(int index, const char* path) {
    if (TrayIconRecord* r = Record(index)) SetReplacement(*r, LoadSmallIconFile(path));
}

void CTrayIconServer::WriteReplacementIcon(const char* key, const char* path, const char* tip) {
    if (!key || !key[0]) return;
    WritePrivateProfileStringA(kCustomIcons, key, path && path[0] ? path : nullptr, kSettingsFile);
    if (tip) WriteIconText(key, tip);
}

void CTrayIconServer::WriteRecordReplacementIcon(int index, const char* path) {
    TrayIconRecord* r = Record(index);
    if (!r) return;
    char key[sizeof(r->icon_key) + 1];
    char tip[sizeof(r->long_tip) + 1];
    RecordKey(*r, key, sizeof(key));
    tess::CopyTextN(tip, sizeof(tip), r->long_tip, sizeof(r->long_tip));
    WriteReplacementIcon(key, path, tip);
}

}  // namespace tray
