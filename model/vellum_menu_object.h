// CVellumMenuObject: one bar, the object behind a window of class
// "Tessellar Toolbar". It owns its sections, holds its skin and settings,
// and is reference counted; the bar window procedure keeps it alive for the
// duration of each message. Exported with all methods for plug-ins.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include "model/exports.h"
#include "model/bar_types.h"
#include "util/handles.h"

// The two switches of CVellumMenuObject::RecalcRects, named where it is
// called: whether the bar is redrawn whole, and whether its position is
// applied again.
enum RecalcRedraw : int { kRecalcNoRedraw = 0, kRecalcRedraw = 1 };
enum RecalcPosition : int { kRecalcKeepPos = 0, kRecalcUpdatePos = 1 };

class TESS_EXPORT CVellumMenuObject {
public:
    // ---- construction and lifetime (vellum_menu_object.cpp) ----------------
    // A null main window gives an object without window (a template).
    explicit CVellumMenuObject(HWND mainWindow);
    virtual ~CVellumMenuObject();
    // Writes the bar file (bar_file_save.cpp).
    virtual int Save(char* path);

    int AddRef();
    void Release();
    // Posts WM_CLOSE; the window procedure drops the creator's reference.
    void Destroy();
    void SetModified();
    void SetModifiedSilent();
    // The next time the constructor runs it makes the hidden desktop
    // right-click bar (class "Tessellar Toolbar DESKTOP").
    static void SetNextBarIsDesktopBar();
    // Withdraws that request (a construction that made no window leaves it).
    static void ClearNextBarIsDesktopBar();
    // While deferred (the program's start), new bars register no drop
    // target; ending the deferral registers every open bar.
    static void DeferDropTargets(bool defer);

    // ---- section list ---------------------------------------------------------
    void InsertSection(int index, CVellumMenuSection* section);
    void InsertSection(CVellumMenuSection* after, CVellumMenuSection* section);
    void RemoveSection(int index, int deleteIt);
    void RemoveSection(CVellumMenuSection* section, int deleteIt);
    CVellumMenuSection* GetPreviousSection(CVellumMenuSection* section);
    CVellumMenuSection* GetNextSection(CVellumMenuSection* section);
    int GetSectionCount() const;
    int FindSection(const CVellumMenuSection* section) const;

    // ---- hit tests, tooltips, title --------------------------------------------
    CVellumMenuSection* HitTest(POINT client);
    CVellumMenuItem* HitTestItems(POINT client);
    int UpdateTooltips();
    void SetTitle(char* title);

    // ---- services to sections, items and plug-ins (bar_services.cpp) -------------
    unsigned ReserveTimerID();
    void ItemBeingDestroyed(CVellumMenuItem* item);
    unsigned long SendMessageTimeoutA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp,
                                      UINT flags, UINT timeout);
    HICON GetWindowSmallIcon(HWND wnd);
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp);
    void UpdateHiddenLayers();
    // True when the foreground bar is neither this bar nor opened, through a
    // chain of popup items, from this bar.
    bool IsUnrelatedBar(CVellumMenuObject* other);
    // TTN_NEEDTEXT from the bar's tooltip control: the item's title.
    void OnToolTipNeedText(LPARAM lp);

    // ---- activation and volatile bars (bar_volatile.cpp) --------------------------
    void OnActivate(WPARAM wp, LPARAM lp);
    // "VolitleClose": a volatile bar closes or hides when the user turned to
    // something unrelated. True when the bar closed for good.
    bool OnVolatileClose();

    // ---- showing and hiding (bar_services.cpp) -----------------------------------
    void Show(int sync);
    void Hide(int sync);
    void HideAsSetting(int hidden);

    // ---- bar file (bar_file_load.cpp, bar_file_save.cpp, bar_file_paths.cpp) ----------
    int LoadTheme(char* barFile, int show, char* skinPath);
    int SavePosition();
    int SaveTabOrder();
    int SaveTheme();
    void BuildSectionString(char* out, int n, char* suffix);
    int AddSection(char* typeName, int index, int queryOnly);
    // out holds MAX_PATH characters; base defaults to the bar folder.
    int MakePathAbsolute(char* path, char* out, char* base);
    int MakePathRelative(char* path, char* out, char* base);
    // Rewrites path (MAX_PATH characters) in place.
    void UpdateImagePath(int makeRelative, char* path, int toBarFolder);
    HBITMAP MyLoadImage(int relative, char* path, unsigned long** alphaBits);
    int SaveScreenshot(int onlyIfMissing);
    void Duplicate();

    // ---- layout and size rules --------------------------------------------------------
    void RecalcRects(int redraw, int updatePos);
    int RecalcRectsFlexible();
    int RecalcRectsStandard();
    SIZE CalcMinMaxSize(int wantMin);
    int GetSize(long modifier, long pixels, long subtract, long horizontal, char* textOut);
    int AdjustForMinimumSize(SIZE* size, POINT* origin, int flags);
    int CorrectAutoSizeChange(SIZE* size, RECT* out, int edge, POINT* origin, SIZE* delta,
                              int applyRules);
    int CorrectAutoSizeChange(int x, int y, int cx, int cy, RECT* out, int edge, SIZE* delta,
                              int applyRules);
    int CorrectAutoSizeChange(int* x, int* y, int* cx, int* cy, int edge, SIZE* delta,
                              int applyRules);
    int CheckHeightByMultiple(int* height, int down);

    // ---- drawing and transparency ----------------------------------------------------
    void Draw(HDC dc, RECT* rect, int whole);
    void UpdateToDrawBitmap(CVellumMenuSection* section, CVellumMenuItem* item, RECT* rect);
    HBITMAP LoadMemoryBitmap(HDC dc, SIZE size, int* created);
    void FreeMemoryBitmap();
    int UpdateAlpha();
    int GetAlpha();
    void RedrawVellumWindow();
    int ReloadSkin(int keepPath);

    // ---- the drawing handles the bar owns (bar_resources.cpp) ------------------------
    // The fields stay plain handles; these are the only places that free them.
    // Each frees the handle it replaces; called without a handle, it drops it.
    void ReplaceMemoryBitmap(tess::ScopedBitmap bitmap = {}, SIZE size = SIZE{0, 0});
    void ReplaceBackgroundCache(tess::ScopedBitmap bitmap = {}, SIZE size = SIZE{0, 0});
    void ReplaceRegionCopy(tess::ScopedRegion region = {});

    // ---- input ---------------------------------------------------------------------------
    void ProcessMouseMessage(UINT msg, WPARAM wp, LPARAM lp);
    int ProcessMouseMessage_Flexible(UINT msg, WPARAM wp, LPARAM lp);
    void ProcessMouseMessage_Standard(UINT msg, WPARAM wp, LPARAM lp);
    void ProcessKeyboardMessage(UINT msg, WPARAM wp, LPARAM lp);
    void ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp);
    void ProcessMenuMessage_Flexible(UINT msg, WPARAM wp, LPARAM lp);
    void ProcessMenuMessage_Standard(UINT msg, WPARAM wp, LPARAM lp);
    int StartTracking(CVellumMenuItem* item, int flags);
    int EndTracking(CVellumMenuItem* item);
    void ChangeKeyboardSelection(CVellumMenuItem* item);
    char* IsInMoveBoundry(POINT screen);
    int IsInResizeBoundry(POINT screen);
    char* GetResizeCursor(int edge);
    void SmartSetCursor(char* cursor);
    void StartClickIgnoreDelay();

    // ---- positioning, docking, monitors ---------------------------------------------------
    int SetPos(int x, int y, int cx, int cy, RECT* out, int skipIfSizeUnchanged,
               int noEdgeCorrection, int computeOnly);
    int UserSetPos(int x, int y, int cx, int cy, int resizing);
    int UpdatePos();
    int UpdateResolution();
    void UpdateCurrentMonitor(int apply);
    void UpdateMonitorPoints(int apply);
    int GetWindowRectRel(HWND wnd, RECT* out);
    int ChangeOrientation(int vertical);
    // The shell's application-bar notification; true when the position must
    // be applied again.
    bool OnAppBarNotify(WPARAM wp, LPARAM lp);
    void RemoveAppBar();
    // ABM_NEW (register) or ABM_REMOVE; whether the shell accepted.
    int RegisterAppBar(HWND wnd, int registerIt);
    // Negotiates rect (screen coordinates) on edge with the shell; the
    // band's thickness is kept. rect receives the answer. The same request
    // again gets the remembered answer until ForgetBandAnswers.
    void SetAppBarPosition(int edge, RECT* rect, APPBARDATA* record);
    void UpdateBarPosFromWindow(APPBARDATA* record);

    // ---- autohide --------------------------------------------------------------------------
    int AutoHide(int hide, int animate);
    int AHTimerProcInternal();
    int UpdateAHPos(int x, int y, POINT* out, int flags);
    int GetWindowRectWithAH(RECT* out, int flags);
    int GetWindowRectWithAHInternal(RECT* out, int flags);

    // ---- hotkey and tab order ---------------------------------------------------------------
    void UpdateHotkey(int unregisterOnly);
    void EnterTabOrderAtFront();
    void LeaveTabOrder();

    // ---- context menu ------------------------------------------------------------------------
    int InitSimpleContextMenu(HMENU menu);
    HMENU InitContextMenu(HMENU menu);
    void UnInitContextMenu();
    int DoContextMenuCommand(int id);
    // Owner-drawn header lines of the context menu; true when served.
    bool ServeContextMenuHeader(UINT msg, WPARAM wp, LPARAM lp);
    void CreateMenuHeaderFont();
    void DeleteMenuHeaderFont();

    // ---- property pages -------------------------------------------------------------------------
    HWND CallConfigDialog(HWND parent);
    HWND CallConfigDialogEx(HWND parent);
    HWND CallConfigDialogAdv(HWND parent);
    HWND CallConfigDialogExtra(HWND parent);
    HWND CallConfigDialogKeyboard(HWND parent);
    int ObjectExGUI_UpdateValues(int apply);

    // ---- calls into other parts of the program ------------------------------------------------
    void ClearRightDragSource();
    void TellHelperLinesOverlay(UINT msg, WPARAM wp);
    void RetitleEditorNode();
    void ParkPluginChildWindows();
    void RegisterDropTarget();
    void RevokeDropTarget();
    void CreateStateAnimator();
    void DeleteStateAnimator();
    void AnimatorTimer(UINT_PTR id);
    void AcquirePlaceholderSkin();
    void ReleaseBarSkin();
    void PaintWindow(HDC dc, const RECT& update, bool dc_given);
    void AskStatsMonitorForMouseHook();
    void RegisterBarHotkey();
    void ReshowUnderPointer();
    void OnAutohideEdgeMessage(int edge);
    void ApplyItemPathRequest(bool toRelative, const char* path, char* out);

    // Copies every field unchanged, handles and pointers included; exported
    // for plug-ins, unused by the program.
    CVellumMenuObject(const CVellumMenuObject& other);
    CVellumMenuObject& operator=(const CVellumMenuObject& other);

    // ---- fields, in declared order -----------------------------------------------------------
    DWORD m_lastLeftPress;
    BOOL m_doubleClickSeen;
    BOOL m_monitorChangedDuringMove;
    HMONITOR m_hMonitor;
    POINT m_monitorOrigin;
    SIZE m_monitorSize;
    char LastMonitor[kMonitorNameSize];
    BOOL BlockHazeglow;
    BOOL SetAsHidden;
    CVellumMenuItem* m_pendingHoverItem;
    BOOL m_showPluginWindows;
    short UseLVSkin;
    HRGN m_windowRegion;
    HRGN m_regionCopy;
    BOOL WidthResizableWhenVertical;
    BOOL m_shownByPopupItem;
    BOOL bWasHiddenOnLastCloseByPopup;
    CVellumMenuItem* m_associatedPopupItem;
    HMENU m_barSubmenu;
    BOOL m_contextMenuRunning;
    BOOL m_internalBar;
    DWORD m_ignoreClicksUntil;
    BOOL m_movedSinceShown;
    POINT m_pointerAtShow;
    BOOL bIgnoreSkinAutohideSettings;
    BOOL m_keepSizeAnchored;
    BOOL m_growthFollowsBottom;
    BOOL ResizingMovingUp, ResizingMovingLeft;
    CIniSectionReader* m_sectionReader;
    int m_themeEntry;
    BOOL m_closing;
    char m_pendingSkinPath[kPendingSkinPathSize];
    BOOL m_foreignSkin;
    BOOL m_loadingSections;
    BOOL IsATabStop;
    int LastTabOrder;
    AutohideState m_autohide;
    BOOL UseAutohide;
    int ForcedAutoHideEdge;
    BOOL m_layoutChanged;
    BOOL m_mouseCaptured;
    BOOL m_neverSave;
    BOOL m_savingWhole = FALSE;   // Save is composing the whole file in memory
    BOOL bRestrictMaximumSize;
    BOOL m_layerHidden;
    BOOL m_modifiedSilently;
    CVellumDragDropObject* m_dragDrop;
    CItemStateAnimator* m_stateAnimator;
    BOOL m_skipRegionUpdate;
    BOOL ShowTitle;
    BOOL m_modified;
    BOOL m_loading;
    int DockToEdge;
    BOOL m_appBarRegistered;
    APPBARDATA m_appBarData;
    BOOL m_userPositioned;
    BOOL bUseScreenSizes;
    BarSizeRule ptMIN, ptMAX;
    BarPlacement m_placement;
    ResizeEdge m_resizeEdge;
    BOOL m_moving;
    BOOL m_constructed;
    BOOL m_regionDirty;
    BOOL m_relayoutPending;
    HWND m_hMainWindow;
    HINSTANCE m_hModule;
    char Title[kBarTitleSize];
    char m_displayTitle[kBarTitleSize];
    char m_barFolder[kBarPathSize];
    char m_barFile[kBarPathSize];
    BOOL bUseActiveWindowsTitle;
    CVellumMenuItem* m_owningPopupItem;
    BOOL m_volatile;
    BOOL m_tornOff;
    BOOL m_hiddenUntilHotkey;
    HWND m_hWnd;
    int YAlign, XAlign;
    BOOL AlwaysOnTop;
    int AlwaysOnTopOrder;
    BOOL m_colorKeyOn;
    int m_appliedAlpha;
    int Alpha;
    CVellumMenuItem* m_keyboardItem;
    SkinRecord* m_skin;
    SkinRecord** m_skinSlot;
    CStatsMonitor* m_statsMonitor;
    BOOL DisplayVertically;
    HBITMAP m_memoryBitmap;
    BOOL m_memoryBitmapInUse;
    SIZE m_memoryBitmapSize;
    CVellumMenuSection* m_sections[kMaxSections];
    HWND m_pages[kBarPageCount];
    BOOL m_edgeChangeRunning;
    BOOL RespondToWindowsKey;
    int vkHotkey, vkHotkeyModifiers;
    WORD m_hotkeyId;
    BOOL bHideBarUntilHotkey, bReshowUnderMouse;
    HWND m_hToolTips;
    int m_lastTimerId;
    PointerTracking m_tracking;
    char* Comments;
    int m_refCount;
    BOOL m_deleting;
    BOOL m_topmostApplied;
    int m_gripTimerId;
    BOOL m_gripTimerRunning;
    HBITMAP m_backgroundCache;
    SIZE m_backgroundCacheSize;

    // Kept by popup items for the child bars they open.
    BOOL m_popupOpened = FALSE;   // shown as a popup that closes with its opener
    BOOL m_hideOnClose = FALSE;   // a volatile close hides the bar instead of ending it
    BOOL m_measuring = FALSE;     // SetPos runs only to learn the natural size

private:
    void ResetFields();
    void CreateBarWindow();
    void CreateToolTipWindow();
};

// Drops the reference the window procedure took for one message; true when
// that was the last and the bar is gone.
bool ReleaseBarForWindow(CVellumMenuObject* bar, HWND wnd);

// Forgets every remembered band answer: a bar registered or left, or the
// shell told of a change.
void ForgetBandAnswers();
