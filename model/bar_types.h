// Small records a bar keeps: docking edge, size rules, placement, autohide
// and pointer-tracking state, and the classes it reaches only by pointer.
#pragma once
#include <windows.h>

class CVellumMenuItem;
class CVellumMenuSection;
class CVellumMenuObject;
class CVellumDragDropObject;
class CItemStateAnimator;
class CIniSectionReader;
class CStatsMonitor;
struct SkinRecord;

constexpr int kMaxSections = 500;
constexpr int kMaxItems = 500;
constexpr int kBarTitleSize = 500;
constexpr int kBarPathSize = 270;
constexpr int kPendingSkinPathSize = 268;   // skins/skin_record.h has its own kSkinPathSize
constexpr int kMonitorNameSize = 32;
constexpr int kBarPageCount = 6;
// The slots of a bar's pages (CVellumMenuObject::m_pages) and of a
// section's (CVellumMenuSection::m_pages); the numbers are also the tabs.
enum BarPageSlot : int {
    kBarDisplayPage = 0, kBarSizingPage = 1, kBarAdvancedPage = 2, kBarExtraPage = 3,
    kBarHotkeyPage = 4,
};
enum SectionPageSlot : int {
    kSectionDisplayPage = 0, kSectionArrangementPage = 1, kSectionBehaviorPage = 2,
    kSectionExtraPage = 3,
};
// Titles are expanded (environment variables, user name) into this much.
constexpr int kTitleExpandBufferSize = 1500;

enum BarEdge { kEdgeNone = -1, kEdgeLeft = 0, kEdgeTop = 1, kEdgeRight = 2, kEdgeBottom = 3 };

enum ItemState { kStateNormal = 6, kStateMouseOver = 7, kStateSelected = 8, kStateClicked = 9 };

// One size bound of a bar per axis: a share of the screen (modifier) plus or
// minus a number of pixels.
struct BarSizeRule {
    POINT modifiers;
    POINT pixels;
    POINT subtract;
};

// Where a bar sits on its monitor (monitor-relative) and how it follows a
// change of screen size.
struct BarPlacement {
    SIZE LastScreenSize;
    POINT LastPos;
    SIZE LastSize;
    BOOL bScaleCX, bScaleCY, bScaleX, bScaleY;
    BOOL bAlignX, bAlignY;
};

typedef int ResizeEdge;   // 0 none

struct AutohideState {
    BOOL slide_running;
    int edge;             // BarEdge, -1 none
    int direction;
    int target;
    int offset;
    int step;
    DWORD show_tick;
    BOOL hidden;
    RECT hot_rect;
    RECT edge_strip;
    BOOL pointer_entered;
};

struct PointerTracking {
    BOOL captured;
    CVellumMenuItem* pressed_item;
    CVellumMenuItem* last_pressed_item;
    BOOL ignore_next_release;
    CVellumMenuItem* extra_item1;
    CVellumMenuItem* extra_item2;
    CVellumMenuItem* hovered_item;
};
