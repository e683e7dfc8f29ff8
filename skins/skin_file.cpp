// The .tsskin reader: [General] metrics and fonts, per-style section keys,
// [Extras], the five arrows and every element of the state table.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "skins/bitmap_helpers.h"
#include "skins/skin_cache.h"
#include "skins/skin_colors_fonts.h"
#include "skins/skin_record.h"
#include "util/text.h"

const char* const kSkinElementNames[12] = {
    "TaskbarBackgroundSkin", "ArrowNormalItemSkin", "ArrowMouseoverItemSkin",
    "ArrowSelectedItemSkin", "SectionSkin",         "SeparatorItemSkin",
    "NormalItemSkin",        "MouseoverItemSkin",   "SelectedItemSkin",
    "ClickedItemSkin",       "ShortcutMenuIcon",    "ApplicationsMenuIcon",
};

namespace {

constexpr COLORREF kDefaultDisabledText = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kValueSize = 1024;

struct SkinParser {
    SkinRecord* rec;
    HINSTANCE instance;
    CIniSectionReader* general;
    CIniSectionReader* section;
    SkinShadow shadow;
    POINT text_offset = {};
    POINT icon_offset = {};

    // ---- typed values -------------------------------------------------------------
    // A colour key: a missing or empty value keeps the default.
    static COLORREF Color(CIniSectionReader* r, const char* key, COLORREF fallback) {
        char value[kValueSize];
        if (!r->GetString(key, value, "") || !value[0]) return fallback;
        return ParseColorString(value);
    }

    static int Max0(int v) { return v < 0 ? 0 : v; }

    // Loads a bitmap named in the skin (skin folder + name), TGA alpha included.
    HBITMAP Bitmap(const char* name, DWORD** pixels) {
        *pixels = nullptr;
        char path[MAX_PATH];
        if (!name[0] || !ComposeSkinFilePath(rec, name, path, sizeof(path), false)) return nullptr;
        return LoadBitmapOrTga(instance, path, pixels);
    }

    // ---- [General] ----------------------------------------------------------------------
    static void ReadShadowKeys(CIniSectionReader* r, SkinShadow* s) {
        int blur = r->GetInt("ShadowBlur", 2);
        int v = r->GetInt("ShadowBlurIcons", -1);
        s->icon_blur = v >= 0 ? v : blur;
        v = r->GetInt("ShadowBlurText", -1);
        s->text_blur = v >= 0 ? v : blur;
        int intensity = r->GetInt("ShadowIntensity", 100);
        v = r->GetInt("ShadowIntensityIcons", -1);
        s->icon_intensity = v >= 0 ? v : intensity;
        v = r->GetInt("ShadowIntensityText", -1);
        s->text_intensity = v >= 0 ? v : intensity;
        int x = r->GetInt("ShadowOffset.x", 0);
        v = r->GetInt("ShadowOffsetIcons.x", -1);
        s->icon_x = v >= 0 ? v : x;
        v = r->GetInt("ShadowOffsetText.x", -1);
        s->text_x = v >= 0 ? v : x;
        int y = r->GetInt("ShadowOffset.y", 0);
        v = r->GetInt("ShadowOffsetIcons.y", -1);
        s->icon_y = v >= 0 ? v : y;
        v = r->GetInt("ShadowOffsetText.y", -1);
        s->text_y = v >= 0 ? v : y;
        s->color = Color(r, "ShadowColor", RGB(0, 0, 0));
    }

    static int Side(CIniSectionReader* r, const char* key, int current, bool replace_at_zero) {
        int v = r->GetInt(key, -1);
        return (replace_at_zero ? v >= 0 : v > 0) ? v : current;
    }

    void ReadGeneral() {
        CIniSectionReader* g = general;
        g->GetString("SkinName", rec->SkinName, "");
        g->GetString("CompanionSkin.Popup", rec->CompanionSkinPopup, "");
        g->GetString("CompanionSkin.TaskbarGroupPopup", rec->CompanionSkinTaskbarGroupPopup, "");
        ResolveCompanions();

        int layers = g->GetInt("LayerSkins", 1);
        int styles = g->GetInt("NumberOfSectionStyles", layers);
        rec->NumberOfSectionStyles = styles < 1 ? 1 : (styles > kMaxSectionStyles ? kMaxSectionStyles : styles);
        rec->several_styles = rec->NumberOfSectionStyles > 1 ? 1 : 0;
        rec->Alpha = g->GetInt("Alpha", 255);
        rec->cxTileSize = g->GetInt("cxTileSize", 0);
        rec->cyTileSize = g->GetInt("cyTileSize", 0);
        rec->ItemTextAlign_Vertical = g->GetInt("ItemTextAlign_Vertical", 0);
        rec->ItemHeight = g->GetInt("ItemHeight", 0);
        if (rec->ItemHeight < 1) rec->ItemHeight = 1;
        rec->SkinHeight = g->GetInt("SkinHeight", 0);
        if (rec->SkinHeight <= 1) rec->SkinHeight = rec->ItemHeight;
        rec->ItemWidthBuffer = g->GetInt("ItemWidthBuffer", -1);
        if (rec->ItemWidthBuffer < 0) rec->ItemWidthBuffer = 2;
        rec->TightItemWidthBuffer = g->GetInt("TightItemWidthBuffer", -1);
        if (rec->TightItemWidthBuffer < 0) rec->TightItemWidthBuffer = rec->ItemWidthBuffer;
        rec->ItemHeightBuffer = Max0(g->GetInt("ItemHeightBuffer", -1));
        rec->TightItemHeightBuffer = g->GetInt("TightItemHeightBuffer", -1);
        if (rec->TightItemHeightBuffer < 0) rec->TightItemHeightBuffer = rec->ItemWidthBuffer;

        int text_only = g->GetInt("ItemTextOnlyBuffer_LeftOfText", -1);
        general_text_only = text_only < 0 ? rec->ItemWidthBuffer : text_only;
        general_left_of_icon = Max0(g->GetInt("ItemIconBuffer_LeftOfIcon", 5));
        general_between = Max0(g->GetInt("ItemIconBuffer_BetweenTextAndIcon", 5));
        general_right_clip = Max0(g->GetInt("ItemIconBuffer_RightTextClip", 5));

        rec->ResizeBase = Max0(g->GetInt("ResizeBase", 0));
        rec->ResizeMultiple = g->GetInt("ResizeMultiple", 1);
        if (rec->ResizeMultiple < 1) rec->ResizeMultiple = 1;
        if (rec->ResizeBase == 0 && rec->ResizeMultiple == 1) rec->ResizeBase = -1;

        int edge = g->GetInt("EdgeBuffer", 0);
        rec->EdgeBuffer = {edge, edge, edge, edge};
        rec->EdgeBuffer.left = Side(g, "EdgeBuffer_Left", edge, true);
        rec->EdgeBuffer.right = Side(g, "EdgeBuffer_Right", edge, true);
        rec->EdgeBuffer.top = Side(g, "EdgeBuffer_Top", edge, true);
        rec->EdgeBuffer.bottom = Side(g, "EdgeBuffer_Bottom", edge, true);

        int resize = g->GetInt("ResizeBorderSize", 0);
        RECT& rb = rec->ResizeBorderSize;
        rb.left = Side(g, "ResizeBorderSize_Left", resize, true);
        rb.right = Side(g, "ResizeBorderSize_Right", resize, true);
        rb.top = Side(g, "ResizeBorderSize_Top", resize, true);
        rb.bottom = Side(g, "ResizeBorderSize_Bottom", resize, true);
        for (LONG* side : {&rb.left, &rb.top, &rb.right, &rb.bottom})
            if (*side < 2) *side = 2;

        int move = g->GetInt("MoveBorderSize", -1);
        RECT& mb = rec->MoveBorderSize;
        mb.left = Side(g, "MoveBorderSize_Left", move, false);
        mb.right = Side(g, "MoveBorderSize_Right", move, false);
        mb.top = Side(g, "MoveBorderSize_Top", move, false);
        mb.bottom = Side(g, "MoveBorderSize_Bottom", move, false);

        rec->ItemSpacing.cx = Max0(g->GetInt("ItemSpacing.cx", 1));
        rec->ItemSpacing.cy = Max0(g->GetInt("ItemSpacing.cy", 1));
        rec->TitleOffset.top = g->GetInt("TitleOffset_Top", 0);
        rec->TitleOffset.left = Max0(g->GetInt("TitleOffset_Left", 0));
        rec->TitleOffset.bottom = Max0(g->GetInt("TitleOffset_Bottom", 0));
        rec->TitleOffset.right = Max0(g->GetInt("TitleOffset_Right", 0));
        rec->TitleAlignment = g->GetInt("TitleAlignment", 0);
        rec->BackgroundColor = Color(g, "BackgroundColor", kWhite);

        rec->UseRegions = g->GetBool("UseRegions", 0);
        rec->RegionBorder = {-1, -1, -1, -1};
        if (rec->UseRegions) {
            rec->OnlyUpdateRegionOnResize = g->GetBool("OnlyUpdateRegionOnResize", 0);
            rec->RegionBorder.top = g->GetInt("RegionBorder_Top", -1);
            rec->RegionBorder.left = g->GetInt("RegionBorder_Left", -1);
            rec->RegionBorder.bottom = g->GetInt("RegionBorder_Bottom", -1);
            rec->RegionBorder.right = g->GetInt("RegionBorder_Right", -1);
        }
        RECT& px = rec->PixelsToShowOnThisEdgeOnAutohide;
        px.top = g->GetInt("PixelsToShowOnThisEdgeOnAutohide_Top", 0);
        px.bottom = g->GetInt("PixelsToShowOnThisEdgeOnAutohide_Bottom", 0);
        px.left = g->GetInt("PixelsToShowOnThisEdgeOnAutohide_Left", 0);
        px.right = g->GetInt("PixelsToShowOnThisEdgeOnAutohide_Right", 0);
        RECT& dk = rec->DockedOverhang;
        dk.top = g->GetInt("DockedOverhang_Top", 0);
        dk.bottom = g->GetInt("DockedOverhang_Bottom", 0);
        dk.left = g->GetInt("DockedOverhang_Left", 0);
        dk.right = g->GetInt("DockedOverhang_Right", 0);

        text_offset.x = g->GetInt("TextOffset.x", 0);
        text_offset.y = g->GetInt("TextOffset.y", 0);
        icon_offset.x = g->GetInt("IconOffset.x", 0);
        icon_offset.y = g->GetInt("IconOffset.y", 0);

        shadow.effect = Max0(g->GetInt("ShadowEffect", -1));
        if (shadow.effect) ReadShadowKeys(g, &shadow);
        rec->TaskbarGroupForceParenthesis = g->GetInt("TaskbarGroupForceParenthesis", 0);

        ReadGeneralFont("", kSkinFontItem);
        ReadGeneralFont("Title", kSkinFontTitle);
        ReadGeneralFont("TaskbarGroupHeader", kSkinFontGroupHeader);
    }

    void ResolveCompanions() {
        for (int kind = 0; kind < 2; ++kind) {
            SkinRecord* companion = GetCompanionSkin(rec, kind);
            if (companion == rec) {
                // Only real companions are held; give our own reference back.
                --rec->reference_count;
                continue;
            }
            rec->companions[kind] = companion;
            rec->companion_generation[kind] = companion ? companion->generation : 0;
        }
    }

    // Font keys with a prefix; general fonts may be forced bold.
    struct FontKeys {
        char face[LF_FACESIZE * 2];
        int size, flags, height, weight;
        COLORREF def_color;
    };

    static void ReadFontKeys(CIniSectionReader* r, const char* prefix, COLORREF def_default,
                             FontKeys* keys) {
        char key[96];
        auto name = [&](const char* suffix) {
            tess::FormatText(key, sizeof(key), "%s%s", prefix, suffix);
            return key;
        };
        keys->size = r->GetInt(name("FontSize"), 10);
        keys->flags = 0;
        if (r->GetInt(name("FontItalics"), 0)) keys->flags |= kFontItalic;
        if (r->GetInt(name("FontBold"), 0)) keys->flags |= kFontBold;
        if (r->GetInt(name("FontUnderline"), 0)) keys->flags |= kFontUnderline;
        if (r->GetInt(name("FontStrikeout"), 0)) keys->flags |= kFontStrikeOut;
        if (r->GetInt(name("FontAntialias"), 1) == 0) keys->flags |= kFontNoAntialias;
        keys->def_color = Color(r, name("FontDefColor"), def_default);
        keys->height = r->GetInt(name("FontHeight"), 0);
        keys->weight = r->GetInt(name("FontWeight"), 0);
    }

    // LOGFONT height and weight when both are given, else the point size for
    // the screen (width_tenths: average width in tenths of a point, 0 = own).
    static int Tenths(int points) {
        constexpr int kMaxPoints = 10000;
        if (points > kMaxPoints) points = kMaxPoints;
        if (points < -kMaxPoints) points = -kMaxPoints;
        return points * 10;
    }

    static HFONT MakeFont(const FontKeys& keys, int width_tenths) {
        HFONT font = nullptr;
        if (keys.height && keys.weight)
            font = CreateFontFromFlags(keys.face, keys.height, keys.weight, keys.flags);
        if (!font) {
            tess::ScopedWindowDc screen(nullptr);
            // Sizes from the file are bounded before they are scaled.
            font = CreateFontForDc(screen.get(), keys.face, Tenths(keys.size), Tenths(width_tenths) / 10,
                                   0, 0, keys.flags, true);
        }
        return font;
    }

    void ReadGeneralFont(const char* prefix, int index) {
        CIniSectionReader* g = general;
        char key[96];
        tess::FormatText(key, sizeof(key), "%sTextColor", prefix);
        COLORREF text = Color(g, key, RGB(0, 0, 0));
        tess::FormatText(key, sizeof(key), "%sDisabledTextColor", prefix);
        COLORREF disabled = Color(g, key, kDefaultDisabledText);
        if (index == kSkinFontItem) {
            rec->TextColor = text;
            rec->DisabledTextColor = disabled;
        }
        FontKeys keys;
        tess::FormatText(key, sizeof(key), "%sFont", prefix);
        g->GetString(key, keys.face, "");
        if (!keys.face[0]) return;
        ReadFontKeys(g, prefix, text, &keys);
        if (index == kSkinFontGroupHeader) keys.flags |= kFontBold;
        SkinFontRecord& f = rec->fonts[index];
        f.font.reset(MakeFont(keys, 0));
        f.size = keys.size;
        f.style = keys.flags;
        f.default_color = keys.def_color;
        f.valid = f.font ? 1 : 0;
    }

    // ---- per-style keys ---------------------------------------------------------------------
    int general_text_only = 0, general_left_of_icon = 0, general_between = 0, general_right_clip = 0;

    // The [General] fallback of a per-style key: plain for style 0, "_N" after.
    int GeneralStyleKey(const char* name, int style) {
        char key[96];
        if (style == 0) tess::CopyText(key, name);
        else tess::FormatText(key, sizeof(key), "%s_%d", name, style + 1);
        return general->GetInt(key, -1);
    }

    void ReadStyles() {
        char name[64];
        for (int s = 0; s < rec->NumberOfSectionStyles; ++s) {
            if (s == 0) tess::CopyText(name, "SectionSkin");
            else tess::FormatText(name, sizeof(name), "SectionSkin_%d", s + 1);
            section->Load(rec->path, name);
            CIniSectionReader* r = section;

            char type[kValueSize];
            r->GetString("SectionType", type, "");
            if (type[0]) {
                size_t len = strlen(type);
                rec->section_type[s].reset(new char[len + 1]);
                memcpy(rec->section_type[s].get(), type, len + 1);
            }
            int v = r->GetInt("ItemTextOnlyBuffer_LeftOfText", -1);
            rec->ItemTextOnlyBuffer_LeftOfText[s] = v < 0 ? general_text_only : v;
            v = r->GetInt("ItemIconBuffer_LeftOfIcon", -1);
            rec->ItemIconBuffer_LeftOfIcon[s] = v < 0 ? general_left_of_icon : v;
            v = r->GetInt("ItemIconBuffer_BetweenTextAndIcon", -1);
            rec->ItemIconBuffer_BetweenTextAndIcon[s] = v < 0 ? general_between : v;
            v = r->GetInt("ItemIconBuffer_RightTextClip", -1);
            rec->ItemIconBuffer_RightTextClip[s] = v < 0 ? general_right_clip : v;

            int* buffers[4] = {rec->SectionBuffer_Left, rec->SectionBuffer_Right,
                               rec->SectionBuffer_Top, rec->SectionBuffer_Bottom};
            static const char* const kBufferKeys[4] = {"SectionBuffer_Left", "SectionBuffer_Right",
                                                       "SectionBuffer_Top", "SectionBuffer_Bottom"};
            for (int b = 0; b < 4; ++b) {
                v = r->GetInt(kBufferKeys[b], -1);
                if (v < 0) v = GeneralStyleKey(kBufferKeys[b], s);
                buffers[b][s] = v;
            }
            if (s >= 1 && buffers[0][s] < 0 && buffers[1][s] < 0 && buffers[2][s] < 0 &&
                buffers[3][s] < 0) {
                for (int b = 0; b < 4; ++b) buffers[b][s] = buffers[b][0];
            }
            for (int b = 0; b < 4; ++b) buffers[b][s] = Max0(buffers[b][s]);

            v = r->GetInt("ItemHeight", -1);
            rec->item_height[s] = v < 0 ? rec->ItemHeight : v;

            v = r->GetInt("GripWidth", -1);
            if (v < 0) v = GeneralStyleKey("GripWidth", s);
            if (v < 0) v = rec->SectionBuffer_Left[s];
            if (v < 0 && s > 0) v = rec->GripWidth[0];
            rec->GripWidth[s] = Max0(v);
        }
        for (int s = rec->NumberOfSectionStyles; s < kMaxSectionStyles; ++s) {
            rec->SectionBuffer_Left[s] = rec->SectionBuffer_Left[0];
            rec->SectionBuffer_Right[s] = rec->SectionBuffer_Right[0];
            rec->SectionBuffer_Top[s] = rec->SectionBuffer_Top[0];
            rec->SectionBuffer_Bottom[s] = rec->SectionBuffer_Bottom[0];
            rec->GripWidth[s] = rec->GripWidth[0];
            rec->ItemTextOnlyBuffer_LeftOfText[s] = general_text_only;
            rec->ItemIconBuffer_LeftOfIcon[s] = general_left_of_icon;
            rec->ItemIconBuffer_BetweenTextAndIcon[s] = general_between;
            rec->ItemIconBuffer_RightTextClip[s] = general_right_clip;
            rec->item_height[s] = rec->ItemHeight;
        }
        for (int s = 0; s < kMaxSectionStyles; ++s)
            if (rec->GripWidth[s] < 2) rec->GripWidth[s] = 2;
    }

    // ---- [Extras] ----------------------------------------------------------------------------------
    void ReadExtras() {
        section->Load(rec->path, "Extras");
        CIniSectionReader* r = section;
        rec->PersonalizedMenus_ExpanderButtonItemSectionStyle =
            r->GetInt("PersonalizedMenus_ExpanderButtonItemSectionStyle", -1);
        char value[kValueSize];
        char path[MAX_PATH];
        r->GetString("MenuExpanderImage", value, "");
        if (value[0] && ComposeSkinFilePath(rec, value, path, sizeof(path), true))
            rec->menu_expander.reset(static_cast<HBITMAP>(
                LoadImageA(instance, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        r->GetString("Panorel_Background", value, "");
        if (value[0] && ComposeSkinFilePath(rec, value, path, sizeof(path), true))
            tess::CopyText(rec->Panorel_Background, path);
        rec->Panorel_BackgroundDrawStyle = r->GetInt("Panorel_BackgroundDrawStyle", 2);
    }

    // ---- arrows -----------------------------------------------------------------------------------
    // One more image of an arrow, with its own mask when the arrow is keyed.
    void ArrowImage(const ARROWBITMAPSETS& a, const char* key, tess::ScopedBitmap* bitmap,
                    tess::ScopedBitmap* mask, DWORD** alpha) {
        char value[kValueSize];
        section->GetString(key, value, "");
        bitmap->reset(Bitmap(value, alpha));
        if (*bitmap && a.UseTransparency)
            mask->reset(CreateBitmapMask(bitmap->get(), a.TransparentyColor, true));
    }

    void ReadArrow(const char* name, int index) {
        section->Load(rec->path, name);
        CIniSectionReader* r = section;
        ARROWBITMAPSETS& a = rec->arrows[index];
        char value[kValueSize];
        r->GetString("hBitmap", value, "");
        if (!value[0]) return;
        a.normal.reset(Bitmap(value, &a.normal_alpha));
        if (!a.normal) return;
        GetObjectA(a.normal.get(), sizeof(a.normal_info), &a.normal_info);

        a.UseTransparency = r->GetInt("UseTransparency", 0);
        if (a.UseTransparency) {
            a.TransparentyColor = Color(r, "TransparentyColor", kMagenta);
            a.normal_mask.reset(CreateBitmapMask(a.normal.get(), a.TransparentyColor, true));
        }
        int x_align = r->GetInt("xAlign", -1), y_align = r->GetInt("yAlign", -1);
        if (x_align > 1) x_align = 1;
        if (y_align > 1) y_align = 1;
        bool far_side = index == kArrowRight || index == kArrowDown;
        if (x_align < 0) x_align = far_side ? 1 : 0;
        if (y_align < 0) y_align = far_side ? 1 : 0;
        if (index == kArrowPopup) x_align = y_align = 1;
        a.xAlign = x_align;
        a.yAlign = y_align;

        int x_offset = r->GetInt("xOffset", -1), y_offset = r->GetInt("yOffset", -1);
        for (int s = 0; s < kMaxSectionStyles; ++s) {
            a.xOffset[s] = x_offset >= 0 ? x_offset
                           : (x_align == 1 ? rec->SectionBuffer_Right[s] : rec->SectionBuffer_Left[s]);
            a.yOffset[s] = y_offset >= 0 ? y_offset
                           : (y_align == 1 ? rec->SectionBuffer_Bottom[s] : rec->SectionBuffer_Top[s]);
        }
        if (index == kArrowPopup) {
            ArrowImage(a, "hBitmapSelected", &a.selected, &a.selected_mask, &a.selected_alpha);
            ArrowImage(a, "hBitmapMouseover", &a.mouseover, &a.mouseover_mask, &a.mouseover_alpha);
        }
        ArrowImage(a, "hBitmapGrayed", &a.grayed, &a.grayed_mask, &a.grayed_alpha);
        a.valid = 1;
    }

    // ---- elements -------------------------------------------------------------------------------------
    void ReadElement(int index) {
        char name[64];
        int style = index < kSkinFixedStates ? 0 : (index - kSkinFixedStates) / kSkinStatesPerStyle;
        int base = index < kSkinFixedStates ? index
                                            : kSkinFixedStates + (index - kSkinFixedStates) % kSkinStatesPerStyle;
        if (style == 0) tess::CopyText(name, kSkinElementNames[base]);
        else tess::FormatText(name, sizeof(name), "%s_%d", kSkinElementNames[base], style + 1);
        section->Load(rec->path, name);
        CIniSectionReader* r = section;
        SkinStateRecord& e = rec->states[index];

        char value[kValueSize];
        r->GetString("hBitmap", value, "");
        if (value[0]) e.bitmap.reset(Bitmap(value, &e.alpha_pixels));
        if (e.bitmap) {
            BITMAP bm{};
            GetObjectA(e.bitmap.get(), sizeof(bm), &bm);
            int width = bm.bmWidth;
            e.bitmap_height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
            ReadFrames(r, &e, width);

            e.UseTransparency = r->GetInt("UseTransparency", 0);
            if (e.UseTransparency) {
                e.TransparentyColor = Color(r, "TransparentyColor", kMagenta);
                e.mask.reset(CreateBitmapMask(e.bitmap.get(), e.TransparentyColor, true));
            }
            e.LeftWidth = r->GetInt("LeftWidth", 0);
            e.RightWidth = r->GetInt("RightWidth", 0);
            e.TopHeight = r->GetInt("TopHeight", 0);
            e.BottomHeight = r->GetInt("BottomHeight", 0);
            e.TileVCenter = r->GetInt("TileVCenter", 0);
            e.TileCenter = r->GetInt("TileCenter", 0);
            e.center_width = e.frame_width - e.LeftWidth - e.RightWidth;
            e.center_height = e.bitmap_height - e.TopHeight - e.BottomHeight;
            e.valid = 1;
        }
        ReadElementEffect(r, &e);

        e.TextOffset.x = r->GetInt("TextOffset.x", text_offset.x);
        e.TextOffset.y = r->GetInt("TextOffset.y", text_offset.y);
        e.IconOffset.x = r->GetInt("IconOffset.x", icon_offset.x);
        e.IconOffset.y = r->GetInt("IconOffset.y", icon_offset.y);

        if (r->GetString("TextColor", value, "") && value[0]) {
            e.TextColor = ParseColorString(value);
            if (e.TextColor != RGB(0, 0, 0)) e.valid = 1;
        } else {
            e.TextColor = rec->TextColor;
        }
        if (!r->GetString("DisabledTextColor", value, "")) {
            e.DisabledTextColor = kDefaultDisabledText;
        } else if (!value[0]) {
            e.DisabledTextColor = rec->DisabledTextColor;
        } else {
            e.DisabledTextColor = ParseColorString(value);
            if (e.DisabledTextColor != kDefaultDisabledText) e.valid = 1;
        }
        e.OmitCenter = r->GetBool("OmitCenter", 0);

        FontKeys keys;
        r->GetString("Font", keys.face, "");
        if (keys.face[0]) {
            ReadFontKeys(r, "", RGB(0, 0, 0), &keys);
            e.font.reset(MakeFont(keys, keys.height));
            e.font_valid = e.font ? 1 : 0;
            e.font_size = keys.size;
            e.font_style = keys.flags;
            e.FontDefColor = keys.def_color;
        }
        if (!e.valid) e.valid = r->GetBool("ForceValid", 0);
    }

    // Frame counts are clamped so that every frame is at least a pixel wide
    // and no frame lies outside the bitmap.
    static void ReadFrames(CIniSectionReader* r, SkinStateRecord* e, int width) {
        e->InFrames = r->GetInt("InFrames", 0);
        e->LoopFrames = r->GetInt("LoopFrames", 1);
        e->OutFrames = r->GetInt("OutFrames", 0);
        e->Loop = r->GetInt("Loop", 0);
        e->ForceOut = r->GetInt("ForceOut", 0);
        e->Delay = r->GetInt("Delay", 100);
        if (e->Delay < 1) e->Delay = 1;
        if (e->InFrames < 0) e->InFrames = 0;
        if (e->LoopFrames < 0) e->LoopFrames = 1;
        if (e->OutFrames < 0) e->OutFrames = 0;
        if (e->InFrames + 0LL + e->LoopFrames + e->OutFrames == 0) e->LoopFrames = 1;
        long long total = 0LL + e->InFrames + e->LoopFrames + e->OutFrames;
        if (width < 1 || total > width) {
            e->InFrames = 0;
            e->LoopFrames = 1;
            e->OutFrames = 0;
            total = 1;
        }
        e->frame_width = width / static_cast<int>(total);
    }

    void ReadElementEffect(CIniSectionReader* r, SkinStateRecord* e) {
        int shadow_effect = r->GetInt("ShadowEffect", -1);
        if (shadow_effect < 0) {
            if (r->GetInt("GlowEffect", 0) > 0) {
                e->effect = 1;
                e->valid = 1;
                e->icon_intensity = r->GetInt("GlowEffectAmountIcons", 255) * 100 / 255;
                e->text_intensity = r->GetInt("GlowEffectAmountText", 255) * 100 / 255;
                int width = r->GetInt("GlowEffectWidth", 2);
                e->icon_blur = e->text_blur = width;
                if (width < 1) e->effect = 0;
                e->shadow_color = Color(r, "GlowEffectColor", e->shadow_color);
                e->icon_shadow_x = e->icon_shadow_y = e->text_shadow_x = e->text_shadow_y = 0;
            }
            if (!e->effect) CopyShadow(shadow, e);
        } else if (shadow_effect > 0) {
            SkinShadow own;
            own.effect = 1;
            ReadShadowKeys(r, &own);
            CopyShadow(own, e);
            e->valid = 1;
        }
    }

    static void CopyShadow(const SkinShadow& s, SkinStateRecord* e) {
        e->effect = s.effect ? 1 : 0;
        e->icon_blur = s.icon_blur;
        e->text_blur = s.text_blur;
        e->icon_intensity = s.icon_intensity;
        e->text_intensity = s.text_intensity;
        e->icon_shadow_x = s.icon_x;
        e->icon_shadow_y = s.icon_y;
        e->text_shadow_x = s.text_x;
        e->text_shadow_y = s.text_y;
        e->shadow_color = s.color;
    }
};

}  // namespace

void ParseSkinFile(SkinRecord* record, HINSTANCE instance) {
    if (!record) return;
    // The readers are large; a chain of companions parses recursively.
    std::unique_ptr<CIniSectionReader> general(new CIniSectionReader(record->change_list.get()));
    std::unique_ptr<CIniSectionReader> section(new CIniSectionReader(record->change_list.get()));
    // Most of the sections asked for are absent from a skin file; the list of
    // those it holds spares a file open for each of the others.
    std::unique_ptr<CIniSectionNameList> names(new CIniSectionNameList(record->path));
    general->KnowSections(names.get());
    section->KnowSections(names.get());
    general->Load(record->path, "General");

    SkinParser parser{record, instance, general.get(), section.get()};
    parser.ReadGeneral();
    parser.ReadStyles();
    parser.ReadExtras();
    parser.ReadArrow("LeftArrow", kArrowLeft);
    parser.ReadArrow("RightArrow", kArrowRight);
    parser.ReadArrow("UpArrow", kArrowUp);
    parser.ReadArrow("DownArrow", kArrowDown);
    parser.ReadArrow("PopupArrow", kArrowPopup);

    record->state_count = kSkinFixedStates + kSkinStatesPerStyle * record->NumberOfSectionStyles;
    record->states.reset(new SkinStateRecord[record->state_count]);
    for (int i = 0; i < record->state_count; ++i) parser.ReadElement(i);
    record->loaded = 1;
}
