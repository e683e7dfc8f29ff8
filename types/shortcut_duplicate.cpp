// A duplicate of a shortcut item: a new shortcut in the same bar and
// section with this one's settings and target. The copy keeps a new item's
// popup settings, so its folder opens as a popup even where this one's does
// not.
#include <new>
#include "types/shortcut_item.h"
#include "util/icon_menu.h"
#include "util/text.h"

CVellumMenuItem* CVellumMenuItem_Shortcut::Duplicate() {
    // Item number -1: the defaults, no keys read.
    auto* copy = new (std::nothrow) CVellumMenuItem_Shortcut(m_pBar, m_pSection, -1);
    if (!copy) return nullptr;
    Copy(copy, 0);
    copy->m_quickLaunch = m_quickLaunch;
    copy->HideLinkOverlaysFromPopup = HideLinkOverlaysFromPopup;
    copy->m_noOverlay = m_noOverlay;
    tess::CopyText(copy->m_startIn, m_startIn);
    copy->RunAs = RunAs;
    tess::CopyText(copy->m_target, m_target);
    tess::CopyText(copy->m_programName, m_programName);
    tess::CopyText(copy->m_extension, m_extension);
    copy->m_targetSet = m_targetSet;
    copy->IsFolder = IsFolder;
    copy->m_detectedFolder = m_detectedFolder;
    copy->PopupIconSize = PopupIconSize;
    copy->PopupText = PopupText;
    if (m_shellMenu) {
        m_shellMenu->AddRef();
        copy->m_shellMenu = m_shellMenu;
        copy->m_shellSubmenu = m_shellSubmenu;
        copy->m_shellPosition = m_shellPosition;
        copy->m_shellItem = m_shellItem;
    }
    // The icon follows the target, which arrived after Copy loaded it.
    copy->RefreshIcon();
    copy->m_valid = TRUE;
    return copy;
}
