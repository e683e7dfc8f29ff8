// The bar's skin and transparency: the placeholder skin, reloading and
// replacing the skin, the opacity in force and the layered-window state.
#include <windows.h>
#include "model/bar_drawing.h"
#include "model/bar_messages.h"
#include "model/vellum_menu_object.h"

#ifndef LWA_COLORKEY
#define LWA_COLORKEY 0x00000001
#endif
#ifndef LWA_ALPHA
#define LWA_ALPHA 0x00000002
#endif

namespace {
constexpr int kOpaque = 255;
}

SetLayeredWindowAttributesFunction BindSetLayeredWindowAttributes() {
    static const SetLayeredWindowAttributesFunction function = [] {
        HMODULE user32 = ::GetModuleHandleA("USER32.DLL");
        if (!user32) user32 = ::LoadLibraryA("USER32.DLL");
        return user32 ? reinterpret_cast<SetLayeredWindowAttributesFunction>(
                            ::GetProcAddress(user32, "SetLayeredWindowAttributes"))
                      : nullptr;
    }();
    return function;
}

// ---- the skin -------------------------------------------------------------------------------------

void CVellumMenuObject::AcquirePlaceholderSkin() {
    // Every key of a skin file that cannot be read takes its default.
    m_skin = LoadSkinFile(kInvalidSkinName);
}

void CVellumMenuObject::ReleaseBarSkin() {
    if (m_skin) ReleaseSkin(m_skin);
    m_skin = nullptr;
}

// ---- reloading the skin ------------------------------------------------------------------------------------

int CVellumMenuObject::ReloadSkin(int keepPath) {
    int result = 1;
    m_foreignSkin = FALSE;
    if (m_pendingSkinPath[0]) {
        // A bar always keeps a skin: one that fails to load leaves the old.
        SkinRecord* loaded = LoadSkinFile(m_pendingSkinPath);
        if (loaded) {
            if (m_skin && m_skin != loaded) ReleaseSkin(m_skin);
            else if (m_skin == loaded) ReleaseSkin(loaded);   // the extra reference
            m_skin = loaded;
        } else {
            result = 0;
        }
        m_pendingSkinPath[0] = '\0';
    } else if (m_skin) {
        ReloadSkinFile(m_skin);
    }
    if (m_skin) {
        SkinRecord* companion = m_skin->companions[0];
        if (companion && companion != m_skin) ReloadSkinFile(companion);
    }

    ReplaceBackgroundCache();

    int height = m_placement.LastSize.cy;
    if (CheckHeightByMultiple(&height, 1)) {
        m_placement.LastSize.cy = height;
        UpdatePos();
    }

    ProcessUserMessage(GetBarMessages().SkinChanging, 0, 0);

    m_regionDirty = TRUE;
    RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    if (keepPath) {
        UpdatePos();
        RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }
    return result;
}

// ---- transparency ------------------------------------------------------------------------------------

int CVellumMenuObject::GetAlpha() {
    int alpha = Alpha >= 0 ? Alpha : (m_skin ? m_skin->Alpha : kOpaque);
    return alpha <= 0 || alpha > kOpaque ? kOpaque : alpha;
}

int CVellumMenuObject::UpdateAlpha() {
    SetLayeredWindowAttributesFunction set_layered = BindSetLayeredWindowAttributes();
    if (!set_layered || !m_skin || !m_hWnd) return 0;

    // A region border or region-on-resize asks for a real window region.
    const RECT& border = m_skin->RegionBorder;
    const bool key_wanted = m_skin->UseRegions && !m_skin->OnlyUpdateRegionOnResize &&
                            border.left < 0 && border.top < 0 && border.right < 0 &&
                            border.bottom < 0;
    const int alpha = GetAlpha();
    if (alpha == m_appliedAlpha && (m_colorKeyOn != FALSE) == key_wanted) return 0;

    m_appliedAlpha = alpha;
    m_colorKeyOn = key_wanted ? TRUE : FALSE;
    DWORD flags = 0;
    if (key_wanted) flags = alpha < kOpaque ? (LWA_COLORKEY | LWA_ALPHA) : LWA_COLORKEY;
    else if (alpha < kOpaque) flags = LWA_ALPHA;

    LONG style = ::GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    if (flags) {
        if (!(style & WS_EX_LAYERED)) ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
        set_layered(m_hWnd, kSkinKeyColor, static_cast<BYTE>(alpha), flags);
    } else {
        if (style & WS_EX_LAYERED) ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
        ::RedrawWindow(m_hWnd, nullptr, nullptr,
                       RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
    }
    return 1;
}
