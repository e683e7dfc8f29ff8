// Tracked popup menus of this process, answered from a timer: a menu opened
// by TrackPopupMenu runs its own modal loop, so the test arms a timer, opens
// the menu, and the timer reads the "#32768" window's entries and picks one
// by keys (or closes the menu).
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// One entry of a menu as it showed, submenus flattened after their entry.
struct ShownEntry {
    UINT id = 0;            // 0 for separators and submenu entries
    std::string text;
    bool separator = false, popup = false, checked = false, radio = false, disabled = false,
         owner_drawn = false;
    int depth = 0;          // 0 the tracked menu itself
};

// Records the menu that a call opens and chooses an entry by keys: by its
// command id (searched in submenus too), or by its place among the top
// level's entries that are not separators. With no choice the menu is
// closed. Only one runs at a time.
class MenuDriver {
public:
    static MenuDriver ChoosingId(UINT id) { return MenuDriver(id, -1); }
    static MenuDriver ChoosingPosition(int position) { return MenuDriver(0, position); }
    static MenuDriver Closing() { return MenuDriver(0, -1); }
    virtual ~MenuDriver() = default;

    // Runs open (which must open a menu) with the driver armed.
    void Run(const std::function<void()>& open);
    bool Shown() const { return shown_; }
    const std::vector<ShownEntry>& Entries() const { return entries_; }
    // The entry of the id (the first one that is not owner-drawn when
    // plain is set), or null.
    const ShownEntry* Find(UINT id, bool plain = false) const;
    bool Has(UINT id) const { return Find(id) != nullptr; }
    bool HasAtTop(UINT id) const;
    // Texts of the top level's entries but separators.
    std::vector<std::string> Texts() const;
    // Runs while the menu shows, before the keys are sent.
    std::function<void()> while_open;

protected:
    MenuDriver(UINT id, int position) : choose_id_(id), choose_position_(position) {}
    // Called while the menu shows, before while_open.
    virtual void OnShown() {}

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Serve(HWND menu_window);
    UINT choose_id_;
    int choose_position_;
    bool shown_ = false;
    std::vector<ShownEntry> entries_;
};

}  // namespace testing_support
