// Which bars, sections, items and records are alive in this process. Every
// check compares pointer values against what the program holds; a pointer
// from a message is never dereferenced before it has matched.
#include "model/live_objects.h"
#include <algorithm>
#include <vector>
#include "model/bar_window.h"
#include "util/general_helpers.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace {

// Bars in construction order; a few hundred at most, so a vector will do.
std::vector<CVellumMenuObject*>& LiveBars() {
    static std::vector<CVellumMenuObject*> bars;
    return bars;
}

std::vector<const void*>& OwnedRecords() {
    static std::vector<const void*> records;
    return records;
}

bool SectionHoldsItem(const CVellumMenuSection* section, const void* p) {
    for (int i = 0; i < kMaxItems && section->m_items[i]; ++i)
        if (section->m_items[i] == p) return true;
    return p == section->m_leftArrow || p == section->m_rightArrow ||
           p == section->m_downArrow;
}

bool MemoryAllows(const void* p, size_t size, DWORD wanted) {
    if (!p || size == 0) return false;
    const char* at = static_cast<const char*>(p);
    const char* end = at + size;
    if (end < at) return false;
    while (at < end) {
        MEMORY_BASIC_INFORMATION info;
        if (::VirtualQuery(at, &info, sizeof(info)) != sizeof(info)) return false;
        if (info.State != MEM_COMMIT) return false;
        if (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
        if (!(info.Protect & wanted)) return false;
        at = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

}  // namespace

void TrackLiveBar(CVellumMenuObject* bar) {
    auto& bars = LiveBars();
    if (bar && std::find(bars.begin(), bars.end(), bar) == bars.end()) bars.push_back(bar);
}

void ForgetLiveBar(CVellumMenuObject* bar) {
    auto& bars = LiveBars();
    bars.erase(std::remove(bars.begin(), bars.end(), bar), bars.end());
}

bool IsLiveBar(const void* p) {
    if (!p) return false;
    for (CVellumMenuObject* bar : LiveBars())
        if (bar == p) return !bar->m_deleting;
    return false;
}

bool IsLiveSection(const void* p) {
    if (!p) return false;
    for (CVellumMenuObject* bar : LiveBars()) {
        if (bar->m_deleting) continue;
        for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i)
            if (bar->m_sections[i] == p) return true;
    }
    return false;
}

bool IsLiveItem(const void* p) {
    if (!p) return false;
    for (CVellumMenuObject* bar : LiveBars()) {
        if (bar->m_deleting) continue;
        for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i)
            if (SectionHoldsItem(bar->m_sections[i], p)) return true;
    }
    return false;
}

void RegisterOwnedRecord(const void* p) {
    if (p && !IsOwnedRecord(p)) OwnedRecords().push_back(p);
}

void UnregisterOwnedRecord(const void* p) {
    auto& records = OwnedRecords();
    records.erase(std::remove(records.begin(), records.end(), p), records.end());
}

bool IsOwnedRecord(const void* p) {
    if (!p) return false;
    const auto& records = OwnedRecords();
    return std::find(records.begin(), records.end(), p) != records.end();
}

bool IsInternalBar(const CVellumMenuObject* bar) {
    if (!bar) return false;
    if (bar->m_internalBar || bar->m_neverSave) return true;
    return bar->m_hWnd && IsWindowOfClass(bar->m_hWnd, kDesktopBarWindowClass);
}

bool IsInternalBarWindow(HWND wnd) {
    if (!wnd || !::IsWindow(wnd)) return false;
    if (IsWindowOfClass(wnd, kDesktopBarWindowClass)) return true;
    CVellumMenuObject* bar = LiveBarOfWindow(wnd);
    return bar && IsInternalBar(bar);
}

CVellumMenuObject* LiveBarOfWindow(HWND wnd) {
    if (!wnd) return nullptr;
    void* p = ::GetPropA(wnd, "lpMenuObject");
    if (!p || !IsLiveBar(p)) return nullptr;
    auto* bar = static_cast<CVellumMenuObject*>(p);
    // A property copied onto some other window names no bar of that window.
    return bar->m_hWnd == wnd ? bar : nullptr;
}

bool IsWritableCallerBuffer(const void* p, size_t size) {
    return MemoryAllows(p, size, PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE |
                                     PAGE_EXECUTE_WRITECOPY);
}

bool IsReadableCallerBuffer(const void* p, size_t size) {
    return MemoryAllows(p, size, PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                     PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                                     PAGE_EXECUTE_WRITECOPY);
}
