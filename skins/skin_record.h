// One parsed skin (.tsskin) in memory: metrics, fonts, arrows, effects and the
// state table of nine-grid elements. Records live in SkinCache (skin_cache.h)
// and own every GDI object they hold.
#pragma once
#include <windows.h>

#include <memory>

#include "skins/ini_section_reader.h"
#include "util/handles.h"

constexpr int kMaxSectionStyles = 25;
constexpr int kSkinNameSize = 150;
constexpr int kSkinPathSize = 270;
constexpr int kPanorelPathSize = 268;

// States of GetSkinStateIndex; the element of style s is state + 6 * s.
enum SkinState {
    kSkinStateBarBackground = 0,
    kSkinStateArrowNormal = 1,
    kSkinStateArrowMouseover = 2,
    kSkinStateArrowSelected = 3,
    kSkinStateSection = 4,
    kSkinStateSeparator = 5,
    kSkinStateNormalItem = 6,
    kSkinStateMouseoverItem = 7,
    kSkinStateSelectedItem = 8,
    kSkinStateClickedItem = 9,
};
constexpr int kSkinStatesPerStyle = 6;
constexpr int kSkinFixedStates = 4;

// Style flags of skin fonts.
enum SkinFontStyle {
    kFontBold = 1, kFontItalic = 2, kFontUnderline = 4, kFontStrikeOut = 8, kFontNoAntialias = 0x10
};

struct SkinFontRecord {
    int valid = 0;
    tess::ScopedFont font;
    int size = 0;            // points
    int style = 0;           // SkinFontStyle bits
    COLORREF default_color = 0;
};

enum ArrowIndex { kArrowLeft = 0, kArrowRight = 1, kArrowDown = 2, kArrowUp = 3, kArrowPopup = 4 };
constexpr int kArrowCount = 5;

struct ARROWBITMAPSETS {
    int valid = 0;
    tess::ScopedBitmap normal, normal_mask;
    tess::ScopedBitmap grayed, grayed_mask;         // absent: the normal ones are used
    tess::ScopedBitmap selected, selected_mask;
    tess::ScopedBitmap mouseover, mouseover_mask;
    // Premultiplied pixels of TGA images (owned by their DIB sections), else null.
    DWORD* normal_alpha = nullptr;
    DWORD* mouseover_alpha = nullptr;
    DWORD* selected_alpha = nullptr;
    DWORD* grayed_alpha = nullptr;
    BITMAP normal_info = {};
    int UseTransparency = 0;
    COLORREF TransparentyColor = 0;
    int xOffset[kMaxSectionStyles] = {};
    int yOffset[kMaxSectionStyles] = {};
    int xAlign = 0;   // 0 left, 1 right
    int yAlign = 0;   // 0 top, 1 bottom

    HBITMAP GrayedBitmap() const { return grayed ? grayed.get() : normal.get(); }
    HBITMAP GrayedMask() const { return grayed ? grayed_mask.get() : normal_mask.get(); }
    DWORD* GrayedAlpha() const { return grayed ? grayed_alpha : normal_alpha; }
};

// One element of the state table.
struct SkinStateRecord {
    int valid = 0;
    tess::ScopedBitmap bitmap;
    tess::ScopedBitmap mask;
    int frame_width = 0;
    int bitmap_height = 0;
    DWORD* alpha_pixels = nullptr;   // owned by bitmap when it is a TGA
    int UseTransparency = 0;
    COLORREF TransparentyColor = 0;
    int TopHeight = 0, center_height = 0, BottomHeight = 0, TileVCenter = 0;
    int LeftWidth = 0, center_width = 0, RightWidth = 0, TileCenter = 0;
    // Shadow or glow behind icons and text.
    int effect = 0;
    int icon_blur = 0, text_blur = 0;
    int icon_intensity = 0, text_intensity = 0;   // percent
    COLORREF shadow_color = 0;
    int icon_shadow_x = 0, icon_shadow_y = 0, text_shadow_x = 0, text_shadow_y = 0;
    COLORREF TextColor = 0;
    COLORREF DisabledTextColor = 0;
    int OmitCenter = 0;
    int InFrames = 0, LoopFrames = 0, OutFrames = 0, Loop = 0, ForceOut = 0;
    int Delay = 0;   // milliseconds
    int font_valid = 0;
    tess::ScopedFont font;
    int font_size = 0;
    int font_style = 0;
    COLORREF FontDefColor = 0;
    POINT TextOffset = {};
    POINT IconOffset = {};
};

// The skin-wide shadow of [General], copied into every element without one.
struct SkinShadow {
    int effect = 0;
    int icon_blur = 2, text_blur = 2;
    int icon_intensity = 100, text_intensity = 100;
    int icon_x = 0, icon_y = 0, text_x = 0, text_y = 0;
    COLORREF color = 0;
};

struct SkinRecord {
    int reference_count = 0;
    FILETIME file_time = {};
    int loaded = 0;
    // Stamped anew each time the slot is taken, so that a holder of an older
    // occupant can be told apart (SkinHandle, ReleaseSkin with a generation).
    unsigned generation = 0;

    char SkinName[kSkinNameSize] = {};
    char folder[kSkinPathSize] = {};        // with a trailing backslash
    char path[kSkinPathSize] = {};          // canonical; empty = free slot
    char CompanionSkinPopup[kSkinPathSize] = {};
    char CompanionSkinTaskbarGroupPopup[kSkinPathSize] = {};

    int SkinHeight = 0, cxTileSize = 0, cyTileSize = 0, ItemTextAlign_Vertical = 0;
    int ResizeBase = 0, ResizeMultiple = 0, ItemHeight = 0;
    int item_height[kMaxSectionStyles] = {};
    SIZE ItemSpacing = {};
    int ItemWidthBuffer = 0, TightItemWidthBuffer = 0;
    RECT EdgeBuffer = {};
    int SectionBuffer_Left[kMaxSectionStyles] = {};
    int SectionBuffer_Right[kMaxSectionStyles] = {};
    int SectionBuffer_Top[kMaxSectionStyles] = {};
    int SectionBuffer_Bottom[kMaxSectionStyles] = {};
    std::unique_ptr<char[]> section_type[kMaxSectionStyles];
    RECT PixelsToShowOnThisEdgeOnAutohide = {};
    RECT DockedOverhang = {};
    int ItemTextOnlyBuffer_LeftOfText[kMaxSectionStyles] = {};
    int ItemIconBuffer_LeftOfIcon[kMaxSectionStyles] = {};
    int ItemIconBuffer_BetweenTextAndIcon[kMaxSectionStyles] = {};
    int ItemIconBuffer_RightTextClip[kMaxSectionStyles] = {};
    RECT TitleOffset = {};   // left, top, right, bottom
    int TitleAlignment = 0;
    int TaskbarGroupForceParenthesis = 0;

    // Item text, task-group header ("TaskbarGroupHeader"), title ("Title").
    SkinFontRecord fonts[3];
    COLORREF TextColor = 0;            // skin-wide, from the item font's keys
    COLORREF DisabledTextColor = 0;
    HICON menu_icons[2] = {};          // never filled from the file
    ARROWBITMAPSETS arrows[kArrowCount];

    std::unique_ptr<SkinStateRecord[]> states;
    int state_count = 0;

    int UseRegions = 0;
    COLORREF BackgroundColor = 0;
    RECT ResizeBorderSize = {};
    RECT MoveBorderSize = {};
    int GripWidth[kMaxSectionStyles] = {};
    int Alpha = 0;
    int OnlyUpdateRegionOnResize = 0;
    RECT RegionBorder = {};
    char Panorel_Background[kPanorelPathSize] = {};
    int Panorel_BackgroundDrawStyle = 0;

    std::unique_ptr<CIniChangeList> change_list;
    int NumberOfSectionStyles = 0;
    tess::ScopedBitmap menu_expander;
    int PersonalizedMenus_ExpanderButtonItemSectionStyle = 0;
    int several_styles = 0;
    int ItemHeightBuffer = 0;
    int TightItemHeightBuffer = 0;

    // The companion records this record holds one reference on each (null
    // when none), with the generation they had when taken.
    SkinRecord* companions[2] = {};
    unsigned companion_generation[2] = {};
};

enum SkinFontIndex { kSkinFontItem = 0, kSkinFontGroupHeader = 1, kSkinFontTitle = 2 };

// Names of the state-table sections (style 0; further styles add "_N").
extern const char* const kSkinElementNames[12];

// Parses the skin file at record->path into the record, which must be cleared
// (only count, time, generation, path, folder and change list set).
void ParseSkinFile(SkinRecord* record, HINSTANCE instance);
