// Section layout: the size a section asks of its bar, placing it in the
// rectangle the bar gives it, and the layouts of its items.
#include "model/vellum_menu_section.h"
#include "model/vellum_menu_object.h"

SIZE CVellumMenuSection::CalcSize() {
    if (IsHidden) return SIZE{0, 0};
    SIZE ideal = CalcIdealSize();
    if (m_userWidth <= 0) return ideal;
    const bool vertical = m_pBar && m_pBar->DisplayVertically;
    if (vertical) return SIZE{ideal.cx, m_userWidth};
    return SIZE{m_userWidth, m_outerRect.bottom - m_outerRect.top};
}
