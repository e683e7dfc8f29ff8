// A section's painting: its skin background (one background for a run of
// neighbours with the same style), its title, items and scroll arrows, and
// the insertion mark of a drag.
#include "model/bar_input_internal.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_cache.h"
#include "skins/skin_painting.h"

namespace {

constexpr int kSectionSkinState = 4;
constexpr int kTitleElement = 6;
constexpr int kMarkHalf = 4;

bool SameStyle(CVellumMenuSection* a, CVellumMenuSection* b) {
    return a && b && a->iSectionSkin == b->iSectionSkin;
}

}  // namespace

void CVellumMenuSection::Draw(HDC dc, int drawItems, int wholeRun) {
    SkinRecord* skin = m_skinSlot ? *m_skinSlot : nullptr;
    if (IsHidden || !skin || !m_pBar || !dc) return;
    CVellumMenuObject* bar = m_pBar;
    int element = GetSkinStateIndex(skin, kSectionSkinState, iSectionSkin);

    if (!bCombineSkin) {
        DrawSkinNineGrid(skin, dc, &m_outerRect, element, 0);
    } else {
        CVellumMenuSection* previous = bar->GetPreviousSection(this);
        // The first section of a run paints the background of the whole run.
        if (!SameStyle(previous, this) || wholeRun) {
            RECT run = m_outerRect;
            CVellumMenuSection* first = this;
            if (wholeRun) {
                for (CVellumMenuSection* s = previous; SameStyle(s, this);
                     s = bar->GetPreviousSection(s)) {
                    run = s->m_outerRect;
                    first = s;
                }
            }
            for (CVellumMenuSection* s = bar->GetNextSection(first); SameStyle(s, this);
                 s = bar->GetNextSection(s)) {
                if (bar->DisplayVertically)
                    run.bottom = s->m_outerRect.bottom;
                else
                    run.right = s->m_outerRect.right;
            }
            DrawSkinNineGrid(skin, dc, &run, element, 0);
        }
    }

    if (m_titleVisible && Title[0]) {
        RECT title = m_titleRect;
        ::OffsetRect(&title, m_outerRect.left, m_outerRect.top);
        UINT format = DT_VCENTER | DT_SINGLELINE | (bar->DisplayVertically ? DT_CENTER : 0);
        DrawSkinItemText(skin, dc, Title, &title, format, kTitleElement, 0, 0, 0, true, false, 0,
                         0, 0, 0, nullptr);
    }
    if (drawItems) {
        int first = m_firstShownItem < 0 ? 0 : m_firstShownItem;
        for (int i = first; i < kMaxItems && m_items[i]; ++i) m_items[i]->Draw(dc);
    }
    CVellumMenuItem* arrows[3] = {m_leftArrow, m_rightArrow, m_downArrow};
    for (CVellumMenuItem* arrow : arrows)
        if (arrow) arrow->Draw(dc);
    if (m_dropMarkShown) ::InvertRect(dc, &m_dropMark);
}

void CVellumMenuSection::UpdateInvertRect() {
    CVellumMenuObject* bar = m_pBar;
    if (!bar || !bar->m_hWnd) return;
    HDC dc = ::GetWindowDC(bar->m_hWnd);
    if (!dc) return;
    if (m_dropMarkShown) {
        ::InvertRect(dc, &m_dropMark);
        m_dropMarkShown = FALSE;
    }
    CVellumMenuItem* target = nullptr;
    if (!GetDropTargetOfSection(bar, this, &target)) {
        ::ReleaseDC(bar->m_hWnd, dc);
        return;
    }
    bool vertical = bar->DisplayVertically != 0;
    RECT mark;
    int first = m_firstShownItem < 0 ? 0 : m_firstShownItem;
    if (target == reinterpret_cast<CVellumMenuItem*>(-1)) {
        // Before all items.
        if (first < kMaxItems && m_items[first]) {
            m_items[first]->GetRealItemRect(&mark);
            if (vertical) {
                mark.bottom = mark.top + kMarkHalf;
                mark.top -= kMarkHalf;
            } else {
                mark.right = mark.left + kMarkHalf;
                mark.left -= kMarkHalf;
            }
        } else {
            mark = m_outerRect;
            if (vertical)
                mark.bottom = mark.top + kMarkHalf;
            else
                mark.right = mark.left + kMarkHalf;
        }
    } else {
        // Behind an item, or behind the last item that has a rectangle.
        CVellumMenuItem* behind = target && IsLiveItem(target) ? target : nullptr;
        if (behind) {
            behind->GetRealItemRect(&mark);
        } else {
            mark = m_outerRect;
            for (int i = 0; i < kMaxItems && m_items[i]; ++i)
                if (!::IsRectEmpty(&m_items[i]->m_itemRect)) m_items[i]->GetRealItemRect(&mark);
        }
        if (vertical) {
            mark.top = mark.bottom - kMarkHalf;
            mark.bottom += kMarkHalf;
        } else {
            mark.left = mark.right - kMarkHalf;
            mark.right += kMarkHalf;
        }
    }
    ::InvertRect(dc, &mark);
    m_dropMark = mark;
    m_dropMarkShown = TRUE;
    ::ReleaseDC(bar->m_hWnd, dc);
}
