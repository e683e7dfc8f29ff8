// The process-wide table of shared skins: each .tsskin is parsed once and
// handed out by reference count; a changed file is parsed again in place so
// every holder sees the new skin through the pointer it already has.
#pragma once
#include <windows.h>
#include <prsht.h>

#include "skins/skin_record.h"

constexpr int kSkinCacheSlots = 20;
// The placeholder every bar holds until its own skin is loaded: no such file,
// so every key takes its default.
constexpr const char kInvalidSkinName[] = "INVALID_SKIN";

// Stores the module used to load bitmaps (when not null) and empties the table.
void InitSkinCache(HINSTANCE instance);
// Releases every slot whatever its count and empties the table.
void FreeSkinCache();

// The cached record for path (one more reference), parsed anew when the file
// changed; with force the record is parsed again and its count kept.
// Null for an empty or over-long path, or when all 20 slots are taken.
SkinRecord* LoadSkinFile(const char* path, bool force = false);
// The slot whose canonical path equals path (case-insensitive), else null.
SkinRecord* FindCachedSkin(const char* path);
// Drops one reference; the last one frees the record. 0 for null or a free slot.
int ReleaseSkin(SkinRecord* record);
// As above, but only when the slot still holds the occupant of that generation.
int ReleaseSkin(SkinRecord* record, unsigned generation);
// Parses the record's file again in place; 0 for null, else 1.
int ReloadSkinFile(SkinRecord* record);
// Kind 0 the popup companion, 1 the task-group popup companion (falling back to
// the popup one). Always a record with one reference for the caller: the
// companion when it loads, else the record itself.
SkinRecord* GetCompanionSkin(SkinRecord* record, int kind);

// The element for an item state in a section style, falling back to style 0
// when that style's element is not valid.
int GetSkinStateIndex(const SkinRecord* record, int state, int style);
// The element at index; past the table folded onto style 0; null for a
// negative index or a record without a table.
SkinStateRecord* GetSkinStateRecord(SkinRecord* record, int index);
// path (the skin's own when null or empty) relative to from_folder, or the
// full path where there is no relative one; 0 when the record, folder or
// buffer is missing or neither fits.
int GetSkinPathRelativeTo(const SkinRecord* record, const char* from_folder, char* out,
                          size_t out_size, const char* path);
// The "Skin" property page record (its dialog procedure does nothing).
void FillSkinPropertyPage(PROPSHEETPAGEA* page, HINSTANCE instance, int template_id);

// Direct access for the skin editor link and tests.
SkinRecord* GetSkinCacheSlot(int index);

// Builds a file name of the skin's folder from a name written in the skin:
// false when it does not fit out_size or leaves the folder through "..".
bool ComposeSkinFilePath(const SkinRecord* record, const char* name, char* out, size_t out_size,
                         bool canonical);

// Holds one reference on a skin and gives it back on destruction, never to a
// later occupant of the same slot.
class SkinHandle {
public:
    SkinHandle() = default;
    // Takes over a reference the caller already has.
    explicit SkinHandle(SkinRecord* record)
        : record_(record), generation_(record ? record->generation : 0) {}
    ~SkinHandle() { reset(); }
    SkinHandle(const SkinHandle&) = delete;
    SkinHandle& operator=(const SkinHandle&) = delete;

    SkinRecord* get() const { return record_; }
    SkinRecord* operator->() const { return record_; }
    explicit operator bool() const { return record_ != nullptr; }
    void reset(SkinRecord* record = nullptr) {
        if (record_) ReleaseSkin(record_, generation_);
        record_ = record;
        generation_ = record ? record->generation : 0;
    }

private:
    SkinRecord* record_ = nullptr;
    unsigned generation_ = 0;
};
