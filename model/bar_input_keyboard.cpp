// A bar's keyboard input: Tab between bars, Escape and Alt, Enter, the arrow
// keys within a bar, into popups and across neighbouring bars, and letters
// with "&" accelerators.
#include <vector>
#include "model/bar_input_internal.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace {

enum class Scroll { kForward, kBackward, kTowards };

bool CtrlHeld() { return ::GetKeyState(VK_CONTROL) < 0; }

bool IsVertical(CVellumMenuObject* bar) { return bar && bar->DisplayVertically; }

CVellumMenuObject* BarOfItem(CVellumMenuItem* item) {
    return item && IsLiveItem(item) ? item->m_pBar : nullptr;
}

bool Counts(CVellumMenuItem* item, bool in_opener) {
    if (!item || ItemIsSeparator(item) || item->m_emptySize) return false;
    return !in_opener || ItemPopupDelay(item) >= 0;
}

// The counting items of a bar in display order.
std::vector<CVellumMenuItem*> CollectItems(CVellumMenuObject* bar, bool in_opener) {
    std::vector<CVellumMenuItem*> items;
    for (int s = 0; s < kMaxSections && bar->m_sections[s]; ++s) {
        CVellumMenuSection* section = bar->m_sections[s];
        if (section->IsHidden) continue;
        for (int i = 0; i < kMaxItems && section->m_items[i]; ++i)
            if (Counts(section->m_items[i], in_opener)) items.push_back(section->m_items[i]);
    }
    return items;
}

// A search of one bar: previous or next item from a reference item.
struct Search {
    CVellumMenuObject* bar;
    CVellumMenuItem* reference;
    bool in_opener;
};

CVellumMenuItem* FindPrevious(const Search& search) {
    std::vector<CVellumMenuItem*> items = CollectItems(search.bar, search.in_opener);
    int n = static_cast<int>(items.size());
    if (n == 0) return nullptr;
    for (int i = 0; i < n; ++i)
        if (items[i] == search.reference) return i > 0 ? items[i - 1] : items[n - 1];
    return items[n - 1];
}

CVellumMenuItem* FindNext(const Search& search, int letter) {
    std::vector<CVellumMenuItem*> items = CollectItems(search.bar, search.in_opener);
    int n = static_cast<int>(items.size());
    int start = 0;
    for (int i = 0; i < n; ++i)
        if (items[i] == search.reference) start = i + 1;
    for (int k = 0; k < n; ++k) {
        CVellumMenuItem* item = items[(start + k) % n];
        if (!letter || item->m_mnemonic == letter) return item;
    }
    return nullptr;
}

int CountWithLetter(CVellumMenuObject* bar, int letter) {
    std::vector<CVellumMenuItem*> items = CollectItems(bar, false);
    int n = static_cast<int>(items.size());
    int count = 0;
    for (int i = 0; i < n; ++i)
        if (items[i]->m_mnemonic == letter) ++count;
    return count;
}

// Scrolls the item's section until the item is laid out, or no further.
void ScrollIntoView(CVellumMenuItem* item, Scroll how) {
    CVellumMenuSection* section = item->m_pSection;
    if (!section) return;
    bool backward = how == Scroll::kBackward;
    if (how == Scroll::kTowards) backward = section->FindItem(item) < section->m_firstShownItem;
    if (backward) {
        SectionScrollBack(section);
        for (int i = 0; i < kMaxItems && ItemHasEmptyRect(item) && SectionScrollForward(section); ++i) {}
    } else {
        SectionScrollForward(section);
        for (int i = 0; i < kMaxItems && ItemHasEmptyRect(item) && SectionScrollBack(section); ++i) {}
    }
}

void ActivateAsEnter(CVellumMenuItem* item) {
    if (!item || !IsLiveItem(item)) return;
    if (item->TrackPopupMenu(0)) return;
    if (!IsLiveItem(item)) return;
    item->SetState(kStateClicked, 0);
    item->SetState(kStateNormal, 0);
    ItemOnClick(item);
}

// A found item in another bar becomes that bar's keyboard item.
void SelectInItsBar(CVellumMenuObject* bar, CVellumMenuItem* found) {
    CVellumMenuObject* other = BarOfItem(found);
    if (!other) return;
    bar->ChangeKeyboardSelection(nullptr);
    other->ChangeKeyboardSelection(found);
    if (other->m_hWnd) ::SetActiveWindow(other->m_hWnd);
}

// The keyboard selection goes back to the popup item that opened this bar.
void ReturnToOpener(CVellumMenuObject* bar, CVellumMenuItem* opener) {
    CVellumMenuObject* other = BarOfItem(opener);
    if (!other) return;
    other->ChangeKeyboardSelection(opener);
    if (other->m_hWnd) ::SetForegroundWindow(other->m_hWnd);
    if (bar->m_hMainWindow)
        ::PostMessageA(bar->m_hMainWindow, GetBarMessages().VolatileClose, 0, 0);
}

class KeyHandler {
public:
    KeyHandler(CVellumMenuObject* bar) : bar_(bar), search_{bar, bar->m_keyboardItem, false} {}

    void Run(UINT msg, WPARAM wp, LPARAM lp);

private:
    void OnTab();
    void OnEscape(UINT msg, WPARAM wp, LPARAM lp);
    void OnLeft();
    void OnUp();
    void OnRight();
    void OnDown();
    void OnLetter(int letter);
    void Select(CVellumMenuItem* found, Scroll how);
    void SetUpOpenerSearch(CVellumMenuItem* opener) {
        if (CVellumMenuObject* other = BarOfItem(opener)) search_ = {other, opener, true};
    }

    CVellumMenuObject* bar_;
    Search search_;
};

void KeyHandler::Run(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR && wp == ' ') {
        msg = WM_KEYDOWN;
        wp = VK_RETURN;
    }
    if (msg == WM_CHAR) {
        char letter[2] = {static_cast<char>(wp), '\0'};
        if (!::IsCharAlphaA(letter[0])) return;
        ::CharUpperBuffA(letter, 1);
        OnLetter(static_cast<unsigned char>(letter[0]));
        return;
    }
    if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN) return;
    switch (wp) {
    case VK_TAB: OnTab(); break;
    case VK_ESCAPE:
    case VK_MENU: OnEscape(msg, wp, lp); break;
    case VK_RETURN: ActivateAsEnter(bar_->m_keyboardItem); break;
    case VK_LEFT: OnLeft(); break;
    case VK_UP: OnUp(); break;
    case VK_RIGHT: OnRight(); break;
    case VK_DOWN: OnDown(); break;
    default: break;
    }
}

void KeyHandler::OnTab() {
    if (bar_->m_volatile && !bar_->m_shownByPopupItem) return;
    CVellumMenuObject* next = ActivateNextBarInTabOrder(bar_, bar_->m_shownByPopupItem);
    if (!next || !IsLiveBar(next)) return;
    if (CVellumMenuItem* old = bar_->m_keyboardItem) {
        // The keyboard item always shows Selected: it stops being one first.
        bar_->m_keyboardItem = nullptr;
        old->SetState(kStateNormal, 0);
        old->RedrawItem();
    }
    for (int s = 0; s < kMaxSections && next->m_sections[s]; ++s) {
        if (CVellumMenuItem* first = next->m_sections[s]->m_items[0]) {
            next->ChangeKeyboardSelection(first);
            break;
        }
    }
}

void KeyHandler::OnEscape(UINT msg, WPARAM wp, LPARAM lp) {
    if (bar_->m_volatile) {
        CVellumMenuItem* opener =
            bar_->m_owningPopupItem ? bar_->m_owningPopupItem : bar_->m_associatedPopupItem;
        CVellumMenuObject* other = BarOfItem(opener);
        if (other && other->m_hWnd) ::PostMessageA(other->m_hWnd, msg, wp, lp);
    } else {
        ::SetForegroundWindow(bar_->m_hWnd);
        if (bar_->m_hMainWindow)
            ::SendMessageA(bar_->m_hMainWindow, GetBarMessages().VolatileClose, 0, 0);
    }
    if (IsLiveBar(bar_)) bar_->ChangeKeyboardSelection(nullptr);
}

void KeyHandler::OnLeft() {
    CVellumMenuItem* owner = BarOfItem(bar_->m_owningPopupItem) ? bar_->m_owningPopupItem : nullptr;
    CVellumMenuItem* assoc =
        BarOfItem(bar_->m_associatedPopupItem) ? bar_->m_associatedPopupItem : nullptr;
    if (bar_->m_volatile && owner) {
        if (IsVertical(owner->m_pBar)) {
            ReturnToOpener(bar_, owner);
            return;
        }
        SetUpOpenerSearch(owner);
        Select(FindPrevious(search_), Scroll::kBackward);
        return;
    }
    if (assoc) {
        if (CVellumMenuItem* found = FindItemInNeighbourBar(assoc, bar_, 0)) {
            SelectInItsBar(bar_, found);
            return;
        }
        if (IsVertical(assoc->m_pBar)) {
            ReturnToOpener(bar_, assoc);
            return;
        }
        if (bar_->m_volatile) SetUpOpenerSearch(assoc);
        Select(FindPrevious(search_), Scroll::kBackward);
        return;
    }
    if (!IsVertical(bar_)) Select(FindPrevious(search_), Scroll::kBackward);
}

void KeyHandler::OnUp() {
    if (IsVertical(bar_)) {
        Select(FindPrevious(search_), Scroll::kBackward);
        return;
    }
    CVellumMenuItem* assoc =
        BarOfItem(bar_->m_associatedPopupItem) ? bar_->m_associatedPopupItem : nullptr;
    if (CVellumMenuItem* found = FindItemInNeighbourBar(assoc, bar_, 1)) SelectInItsBar(bar_, found);
}

void KeyHandler::OnRight() {
    CVellumMenuItem* owner = BarOfItem(bar_->m_owningPopupItem) ? bar_->m_owningPopupItem : nullptr;
    CVellumMenuItem* assoc =
        BarOfItem(bar_->m_associatedPopupItem) ? bar_->m_associatedPopupItem : nullptr;
    bool vertical = IsVertical(bar_);
    bool opening = owner ? ((vertical || IsVertical(owner->m_pBar)) && !CtrlHeld()) : vertical;
    if (opening) {
        CVellumMenuItem* item = bar_->m_keyboardItem;
        if (item && item->TrackPopupMenu(0)) {
            CVellumMenuObject* child = IsLiveItem(item) ? item->GetChildObject() : nullptr;
            if (child && IsLiveBar(child) && child->DisplayVertically && child->m_hWnd) {
                child->ChangeKeyboardSelection(nullptr);
                ::PostMessageA(child->m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
            }
            return;
        }
    }
    if (bar_->m_volatile && owner) SetUpOpenerSearch(owner);
    if (assoc) {
        if (CVellumMenuItem* found = FindItemInNeighbourBar(assoc, bar_, 2)) {
            SelectInItsBar(bar_, found);
            return;
        }
        if (bar_->m_volatile) SetUpOpenerSearch(assoc);
    }
    if (vertical && !CtrlHeld()) {
        if (owner && IsVertical(owner->m_pBar)) return;
        if (!owner && (!assoc || IsVertical(assoc->m_pBar))) return;
    }
    Select(FindNext(search_, 0), Scroll::kForward);
}

void KeyHandler::OnDown() {
    if (IsVertical(bar_)) {
        Select(FindNext(search_, 0), Scroll::kForward);
        return;
    }
    CVellumMenuItem* item = bar_->m_keyboardItem;
    if (!item || !item->TrackPopupMenu(0) || !IsLiveItem(item)) return;
    CVellumMenuObject* child = item->GetChildObject();
    if (child && IsLiveBar(child) && child->DisplayVertically)
        child->ProcessKeyboardMessage(WM_KEYDOWN, VK_DOWN, 0);
}

void KeyHandler::OnLetter(int letter) {
    CVellumMenuItem* found = FindNext(search_, letter);
    if (!found) return;
    bool activate = found == bar_->m_keyboardItem || CountWithLetter(bar_, letter) == 1;
    Select(found, Scroll::kTowards);
    if (activate) ActivateAsEnter(found);
}

void KeyHandler::Select(CVellumMenuItem* found, Scroll how) {
    if (!found) return;
    if (search_.in_opener) {
        if (found != bar_->m_owningPopupItem) found->TrackPopupMenu(0);
        return;
    }
    CVellumMenuItem* previous = bar_->m_keyboardItem;
    if (previous && previous != found) {
        bar_->m_keyboardItem = nullptr;   // else it keeps showing Selected
        previous->SetState(kStateNormal, 0);
        previous->RedrawItem();
    }
    bar_->m_keyboardItem = found;
    found->SetState(kStateSelected, 0);
    if (ItemHasEmptyRect(found)) {
        ScrollIntoView(found, how);
        bar_->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    } else {
        found->RedrawItem();
    }
    if (found != previous) ItemGettingKeyboardFocus(found);
}

}  // namespace

void CVellumMenuObject::ProcessKeyboardMessage(UINT msg, WPARAM wp, LPARAM lp) {
    AddRef();
    KeyHandler(this).Run(msg, wp, lp);
    Release();
}

void CVellumMenuObject::ChangeKeyboardSelection(CVellumMenuItem* item) {
    if (item == m_keyboardItem) return;
    if (CVellumMenuItem* old = m_keyboardItem) {
        m_keyboardItem = nullptr;   // else it keeps showing Selected
        old->SetState(kStateNormal, 0);
        old->RedrawItem();
    }
    m_keyboardItem = item;
    if (item) {
        item->SetState(kStateSelected, 0);
        item->RedrawItem();
    }
}
