// The section's keys in the bar file: reading them while the bar reads its
// file, writing them with Save, the item factory and the key names.
#include <windows.h>
#include <cctype>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>
#include "model/bar_file.h"
#include "model/section_factory.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/ini_section_reader.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

// A negative maximum width stands for "no limit" in old files.
constexpr int kUnlimitedItemWidth = 43957;
constexpr int kItemTypeNameSize = 260;

const char* const kItemQueryNames[] = {"Default", "Shortcut", "Popup", "Clock", "SpecialMenu"};

// The item keys of a section that did not fit the section reader: the key
// after "Item<n>." with n counted from the first item not held in memory.
struct TailKey {
    int item;
    std::string rest;
    std::string value;
};
std::map<const CVellumMenuSection*, std::vector<TailKey>>& Tails() {
    static std::map<const CVellumMenuSection*, std::vector<TailKey>> tails;
    return tails;
}

// The whole section as "key=value" lines, however long.
std::vector<std::pair<std::string, std::string>> ReadWholeSection(const char* file,
                                                                  const char* section) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (DWORD size = 1 << 16; size <= (1u << 24); size *= 4) {
        std::vector<char> buffer(size);
        DWORD length = ::GetPrivateProfileSectionA(section, buffer.data(), size, file);
        if (length >= size - 2) continue;
        for (const char* line = buffer.data(); *line; line += std::strlen(line) + 1) {
            const char* equals = std::strchr(line, '=');
            if (line[0] == ';' || !equals) continue;
            pairs.emplace_back(std::string(line, equals), std::string(equals + 1));
        }
        break;
    }
    return pairs;
}

// n of a key "Item<n>.<rest>", else 0.
int ItemNumberOfKey(const std::string& key, std::string* rest) {
    if (key.compare(0, 4, "Item") != 0) return 0;
    size_t dot = key.find('.', 4);
    if (dot == std::string::npos || dot == 4) return 0;
    int n = 0;
    for (size_t i = 4; i < dot; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(key[i])) || n > kMaxItems) return 0;
        n = n * 10 + (key[i] - '0');
    }
    *rest = key.substr(dot + 1);
    return n;
}

}  // namespace

void ForgetSectionTail(const CVellumMenuSection* section) {
    Tails().erase(section);
}

// ---- keys of types not built yet -----------------------------------------------------------

namespace {

// "Item<digits>." in any case: writing such a key as a section key would
// overwrite the key of an item.
bool IsAnyItemKey(const std::string& key) {
    if (_strnicmp(key.c_str(), "Item", 4) != 0) return false;
    size_t i = 4;
    while (i < key.size() && std::isdigit(static_cast<unsigned char>(key[i]))) ++i;
    return i > 4 && i < key.size() && key[i] == '.';
}

}  // namespace

UnreadKeys TakeUnreadKeys(CVellumMenuObject* bar, const char* iniSection, int itemNumber) {
    UnreadKeys kept;
    if (!bar || !bar->m_sectionReader || !iniSection || itemNumber < 0) return kept;
    CIniSectionReader* reader = bar->m_sectionReader;
    if (lstrcmpA(reader->GetSectionName(), iniSection) != 0) return kept;
    try {
        auto pairs = ReadWholeSection(bar->m_barFile, iniSection);
        for (size_t i = 0; i < pairs.size(); ++i) {
            const std::string& key = pairs[i].first;
            std::string rest;
            if (itemNumber > 0) {
                if (ItemNumberOfKey(key, &rest) != itemNumber) continue;
            } else {
                if (IsAnyItemKey(key) || lstrcmpiA(key.c_str(), "Properties.Type") == 0) continue;
                rest = key;
            }
            // Every copy of the key still in the reader: none was read. The
            // copies are taken out, so a later copy is not looked at again.
            int copies = 0;
            for (size_t j = i; j < pairs.size(); ++j) copies += pairs[j].first == key ? 1 : 0;
            int unread = 0;
            while (unread <= copies && reader->FindPair(key.c_str(), true)) ++unread;
            if (unread == copies) kept.push_back({rest, pairs[i].second});
        }
    } catch (const std::bad_alloc&) {
        kept.clear();   // out of memory: the keys are lost as before, the bar still loads
    }
    return kept;
}

void WriteUnreadKeys(const UnreadKeys& keys, const char* prefix, const char* iniSection,
                     const char* file) {
    if (!iniSection || !file) return;
    try {
        for (const UnreadKey& key : keys) {
            std::string name = std::string(prefix ? prefix : "") + key.name;
            if (tess::ProfileHasKey(iniSection, name.c_str(), file)) continue;
            tess::WriteProfileString(iniSection, name.c_str(), key.value.c_str(), file);
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the keys not yet written are lost, the save goes on.
    }
}

// ---- names -----------------------------------------------------------------------------------

void CVellumMenuSection::BuildString(char* out, char* suffix) {
    if (!out) return;
    tess::FormatText(out, kSectionNameSize, "Section%d%s", m_sectionNumber, suffix ? suffix : "");
}

void CVellumMenuSection::BuildItemString(char* prefix, char* out, int n, char* keyName) {
    if (!out || !prefix || n < 0) return;
    tess::FormatText(out, kIniKeyNameSize, "%sItem%d.%s", prefix, n, keyName ? keyName : "");
}

// ---- reading -------------------------------------------------------------------------------------

void CVellumMenuSection::ReadKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    reader->Load(m_pBar->m_barFile, m_iniSectionName);
    reader->GetString("Title", Title, "");
    m_titleVisible = reader->GetBool("Properties.Title.Visible", 0);
    UseSectionSkinning = reader->GetBool("Properties.UseSectionSkinning", 1);
    iSectionSkin = reader->GetInt("Properties.iSectionSkin", 0);
    bCombineSkin = reader->GetBool("Properties.bCombineSkin", 0);
    UseTightItemWidthBuffer = reader->GetBool("Properties.UseTightItemWidthBuffer", 0);
    MaxmizeItems = reader->GetBool("Properties.MaxmizeItems", 1);
    CenterItems = reader->GetBool("Properties.CenterItems", 1);
    AlwaysShowPopupArrows = reader->GetBool("Properties.AlwaysShowPopupArrows", 0);
    UseDownArrow = reader->GetBool("Properties.UseDownArrow", 0);
    ShowUnneededArrows = reader->GetBool("Properties.ShowUnneededArrows", 0);
    bAllowShowingOfLeftGrayedArrow = reader->GetBool("Properties.bAllowShowingOfLeftGrayedArrow", 1);
    bResizable = reader->GetBool("Properties.bResizable", 1);
    MinItems = reader->GetInt("Properties.MinItems", -1);
    MaxItems = reader->GetInt("Properties.MaxItems", -1);
    MinItemWidth = reader->GetInt("Properties.MinItemWidth", 24);
    MaxItemWidth = reader->GetInt("Properties.MaxItemWidth", 300);
    if (MaxItemWidth < 0) MaxItemWidth = kUnlimitedItemWidth;
    EqualWidths = reader->GetBool("Properties.EqualWidths", 0);
    AllowMultipleRowsCols = reader->GetBool("Properties.AllowMultipleRowsCols", 0);
    SwapVertArrowStyle = reader->GetBool("Properties.SwapVertArrowStyle", 0);
    SwapHorzArrowStyle = reader->GetBool("Properties.SwapHorzArrowStyle", 0);
    IsHidden = reader->GetBool("Properties.IsHidden", 0);
    m_isHiddenAsRead = IsHidden;
    ShowIconsByDef = reader->GetBool("Properties.ShowIconsByDef", 1);
    ShowTextByDef = reader->GetBool("Properties.ShowTextByDef", 1);
    DefaultIconSize = reader->GetInt("Properties.DefaultIconSize", 16);
    m_valid = reader->GetBool("Properties.ForceValid", 0);
}

void CVellumMenuSection::ReadItems() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    for (int n = 1; n <= kMaxItems; ++n) {
        char key[kIniKeyNameSize];
        BuildItemString(const_cast<char*>(""), key, n, const_cast<char*>("Type"));
        char type[kItemTypeNameSize];
        reader->GetString(key, type, "");
        int slot = AddItem(type, n, 0);
        if (slot < 0 || !m_items[slot]) break;
        if (!m_items[slot]->m_valid) {
            CVellumMenuItem* invalid = m_items[slot];
            m_items[slot] = nullptr;
            delete invalid;
            break;
        }
    }
    KeepKeysTheReaderCouldNotHold();
}

void CVellumMenuSection::KeepKeysTheReaderCouldNotHold() {
    // The reader holds a bounded part of a section; a long section's later
    // items would be lost at the next save. They are kept as text and
    // written back behind the items in memory.
    auto pairs = ReadWholeSection(m_pBar->m_barFile, m_iniSectionName);
    size_t bytes = 0;
    for (const auto& pair : pairs) bytes += pair.first.size() + pair.second.size() + 2;
    if (bytes + 2 < CIniSectionReader::kBufferSize - 2 && pairs.size() < CIniSectionReader::kMaxPairs)
        return;
    // The last item read may lack keys cut off behind it: it goes back to text too.
    int held = GetNumOfItems();
    if (held > 0) {
        CVellumMenuItem* partial = m_items[held - 1];
        m_items[held - 1] = nullptr;
        delete partial;
        --held;
    }
    // Numbered 1, 2, ... behind the held items, in the order of the old numbers.
    std::map<int, int> rank;
    for (const auto& pair : pairs) {
        std::string rest;
        int n = ItemNumberOfKey(pair.first, &rest);
        if (n > held) rank[n] = 0;
    }
    int next = 0;
    for (auto& entry : rank) entry.second = ++next;
    std::vector<TailKey> tail;
    for (const auto& pair : pairs) {
        std::string rest;
        int n = ItemNumberOfKey(pair.first, &rest);
        if (n > held) tail.push_back({rank[n], rest, pair.second});
    }
    if (!tail.empty()) Tails()[this] = std::move(tail);
}

// ---- the item factory ------------------------------------------------------------------------------

int CVellumMenuSection::AddItem(char* typeName, int n, int queryOnly) {
    if (queryOnly) {
        if (!typeName || n < 0 || n >= static_cast<int>(sizeof(kItemQueryNames) / sizeof(char*)))
            return 0;
        tess::CopyText(typeName, kItemTypeNameSize, kItemQueryNames[n]);
        return 1;
    }
    int slot = GetNumOfItems();
    if (slot >= kMaxItems) return -1;
    CVellumMenuItem* item = CreateItemOfType(typeName, m_pBar, this, n);
    if (!item) return slot;   // out of memory: the slot stays empty
    m_items[slot] = item;
    // A clock added by the user shows its text, not an icon.
    bool reading = m_pBar && m_pBar->m_loadingSections && m_pBar->m_sectionReader;
    if (!reading && typeName && lstrcmpiA(typeName, "Clock") == 0) {
        item->ShowIcon = FALSE;
        item->ShowText = TRUE;
    }
    return slot;
}

int CVellumMenuSection::TransformItem(CVellumMenuItem** slot, CVellumMenuItem* newItem) {
    if (!slot || !*slot || !newItem) return 0;
    CVellumMenuItem* old = *slot;
    old->Copy(newItem, 0);
    delete old;
    *slot = newItem;
    return 1;
}

// ---- writing --------------------------------------------------------------------------------------------

int CVellumMenuSection::Save(int sectionNumber) {
    m_sectionNumber = sectionNumber;
    BuildString(m_iniSectionName, nullptr);
    if (!m_pBar) return 1;
    const char* file = m_pBar->m_barFile;
    const char* name = m_iniSectionName;
    auto write_int = [&](const char* key, int value) {
        WriteIntSetting(value, name, key, file);
    };
    tess::WriteProfileString(name, "Title", Title, file);
    tess::WriteProfileString(name, "Properties.Type", nullptr, file);
    write_int("Properties.Title.Visible", m_titleVisible);
    write_int("Properties.UseSectionSkinning", UseSectionSkinning);
    write_int("Properties.iSectionSkin", iSectionSkin);
    write_int("Properties.bCombineSkin", bCombineSkin);
    write_int("Properties.UseTightItemWidthBuffer", UseTightItemWidthBuffer);
    write_int("Properties.MaxmizeItems", MaxmizeItems);
    write_int("Properties.CenterItems", CenterItems);
    if (AlwaysShowPopupArrows) write_int("Properties.AlwaysShowPopupArrows", 1);
    write_int("Properties.UseDownArrow", UseDownArrow);
    write_int("Properties.ShowUnneededArrows", ShowUnneededArrows);
    write_int("Properties.bAllowShowingOfLeftGrayedArrow", bAllowShowingOfLeftGrayedArrow);
    write_int("Properties.bResizable", bResizable);
    write_int("Properties.MinItems", MinItems);
    write_int("Properties.MaxItems", MaxItems);
    write_int("Properties.MinItemWidth", MinItemWidth);
    write_int("Properties.MaxItemWidth", MaxItemWidth);
    write_int("Properties.EqualWidths", EqualWidths);
    write_int("Properties.AllowMultipleRowsCols", AllowMultipleRowsCols);
    if (m_userWidth >= 0) write_int("Properties.LastWidth", m_userWidth);
    write_int("Properties.SwapVertArrowStyle", SwapVertArrowStyle);
    write_int("Properties.SwapHorzArrowStyle", SwapHorzArrowStyle);
    if (IsHidden) write_int("Properties.IsHidden", 1);
    write_int("Properties.ShowIconsByDef", ShowIconsByDef);
    write_int("Properties.ShowTextByDef", ShowTextByDef);
    if (DefaultIconSize != 16) write_int("Properties.DefaultIconSize", DefaultIconSize);
    write_int("Properties.ForceValid", 1);

    if (SaveExternal() == 0) {
        int count = 0;
        for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->Save(++count);
        auto tail = Tails().find(this);
        if (tail != Tails().end()) {
            for (const TailKey& key : tail->second) {
                char name[kIniKeyNameSize];
                tess::FormatText(name, sizeof(name), "Item%d.%s", count + key.item,
                                 key.rest.c_str());
                tess::WriteProfileString(m_iniSectionName, name, key.value.c_str(), file);
            }
        }
    }
    return 1;
}
