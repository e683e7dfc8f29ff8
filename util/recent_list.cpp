#include "util/recent_list.h"

#include <cstring>

#include "util/general_helpers.h"
#include "util/text.h"

namespace {

const RecentListInfo kRecentLists[] = {
    {"Software\\Vantrell\\Tessellar\\Recent\\", "Recent Theme #", 10},
    {"Software\\Vantrell\\Tessellar\\Recent\\Programs", "Recent Program #", 12},
    {"Software\\Vantrell\\Tessellar\\Recent\\Pinned", "Pinned Shortcut #", 10},
};

int ClampMaxCount(int count) {
    if (count < 1) return 1;
    if (count > CRegistryMruList::kSlotCount) return CRegistryMruList::kSlotCount;
    return count;
}

}  // namespace

const RecentListInfo& GetRecentListInfo(RecentListKind kind) {
    return kRecentLists[kind];
}

CRegistryMruList* OpenRecentList(RecentListKind kind) {
    const RecentListInfo& info = GetRecentListInfo(kind);
    return new CRegistryMruList(info.key_path, info.max_count, info.prefix);
}

CRegistryMruList::CRegistryMruList(const char* key_path, int max_count, const char* prefix) {
    max_count_ = ClampMaxCount(max_count);
    memset(slots_, 0, sizeof(slots_));
    tess::CopyText(key_path_, key_path ? key_path : "");
    tess::CopyText(prefix_, prefix ? prefix : "");
    // The registry names the same key with or without a closing backslash;
    // drop it so every Windows version takes the path.
    size_t len = strlen(key_path_);
    while (len > 0 && key_path_[len - 1] == '\\') key_path_[--len] = '\0';
    key_ = OpenRegistryKey(HKEY_CURRENT_USER, key_path_, true);
    Load();
    front_ = 0;
}

CRegistryMruList::~CRegistryMruList() { Close(); }

void CRegistryMruList::Close() { key_.reset(); }

void CRegistryMruList::ValueName(int index, char* name, size_t size) const {
    tess::FormatText(name, size, "%s%i", prefix_, index);
}

int CRegistryMruList::Add(const char* text) {
    if (!text || !*text) return 0;
    // A text that would not fit a slot is refused rather than stored cut short.
    if (strlen(text) >= static_cast<size_t>(kSlotSize)) return 0;
    int chosen = -1;
    for (int i = 0; i < max_count_; ++i) {
        if (!slots_[i][0]) {
            tess::CopyText(slots_[i], text);
            chosen = i;
            break;
        }
        if (lstrcmpiA(slots_[i], text) == 0) {
            chosen = i;
            break;
        }
    }
    if (chosen < 0) {
        // Full: the oldest entry makes way.
        chosen = max_count_ - 1;
        tess::CopyText(slots_[chosen], text);
    }
    front_ = chosen;
    Save();
    return 1;
}

int CRegistryMruList::GetCount() const {
    int n = 0;
    while (n < max_count_ && slots_[n][0]) ++n;
    return n;
}

void CRegistryMruList::SetMaxCount(int count) {
    if (count <= 0) return;
    max_count_ = ClampMaxCount(count);
    if (front_ >= max_count_) front_ = 0;
    Save();
}

int CRegistryMruList::GetEntry(int index, char* buffer) const {
    return GetEntry(index, buffer, kSlotSize);
}

int CRegistryMruList::GetEntry(int index, char* buffer, size_t buffer_size) const {
    if (!buffer || buffer_size == 0) return 0;
    buffer[0] = '\0';
    if (index < 0 || index >= max_count_) return 0;
    tess::CopyText(buffer, buffer_size, slots_[index]);
    return 1;
}

int CRegistryMruList::Find(const char* text) const {
    if (!text) return -1;
    for (int i = 0; i < max_count_; ++i)
        if (slots_[i][0] && lstrcmpiA(slots_[i], text) == 0) return i;
    return -1;
}

int CRegistryMruList::Save() {
    if (!key_) return 0;
    int front = front_;
    if (front > 0 && front < kSlotCount && !slots_[front][0]) front = front_ = 0;
    int number = 0;
    if (front > 0) WriteValue(number++, slots_[front]);
    for (int i = 0; i < max_count_ && slots_[i][0]; ++i) {
        if (front > 0 && i == front) continue;
        // Slots before the front shift up by one; those after keep their number.
        WriteValue(front > 0 && i < front ? i + 1 : i, slots_[i]);
    }
    DeleteValue(max_count_ + 1);
    DeleteValue(max_count_ + 2);
    if (front_ > 0) Load();
    return 1;
}

int CRegistryMruList::Load() {
    if (!key_) return 0;
    memset(slots_, 0, sizeof(slots_));
    for (int i = 0; i < max_count_; ++i) ReadValue(i, slots_[i]);
    front_ = 0;
    return 1;
}

void CRegistryMruList::Clear() {
    for (int i = 0; i < kSlotCount; ++i) DeleteValue(i);
    memset(slots_, 0, sizeof(slots_));
    front_ = 0;
}

bool CRegistryMruList::WriteValue(int index, const char* text) {
    if (!key_ || index < 0) return false;
    if (!text) {
        if (index >= kSlotCount) return false;
        text = slots_[index];
    }
    char name[96];
    ValueName(index, name, sizeof(name));
    DWORD size = static_cast<DWORD>(strlen(text) + 1);
    return RegSetValueExA(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size) ==
           ERROR_SUCCESS;
}

bool CRegistryMruList::ReadValue(int index, char* buffer) {
    if (index < 0 || index >= kSlotCount) return false;
    if (!buffer) buffer = slots_[index];
    buffer[0] = '\0';
    if (!key_) return false;
    char name[96];
    ValueName(index, name, sizeof(name));
    // Values come from anyone who can write the user's registry: read at most
    // one slot, accept only strings, and terminate them ourselves. A value that
    // is longer than a slot or of another type counts as missing.
    BYTE data[kSlotSize + 1];
    DWORD type = 0, size = kSlotSize;
    if (RegQueryValueExA(key_.get(), name, nullptr, &type, data, &size) != ERROR_SUCCESS) return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > static_cast<DWORD>(kSlotSize))
        return false;
    size_t len = strnlen(reinterpret_cast<const char*>(data), size);
    if (len >= static_cast<size_t>(kSlotSize)) return false;   // no room for the terminator
    tess::CopyTextN(buffer, kSlotSize, reinterpret_cast<const char*>(data), len);
    return true;
}

bool CRegistryMruList::DeleteValue(int index) {
    if (!key_) return false;
    char name[96];
    ValueName(index, name, sizeof(name));
    return RegDeleteValueA(key_.get(), name) == ERROR_SUCCESS;
}
