// The bar's Display, Sizing && Positioning and Extra Options pages, and the
// modal "More Bar Sizing/Positioning Options". The Display controls and the
// sizing controls each have one handler; the Extra Options page holds
// controls of both kinds and hands every change to both, and the modal
// dialog uses the sizing handler.
#include "shell/bar_pages.h"

#include <memory>
#include <string>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "shell/bar_pages_resources.h"
#include "shell/config_pages.h"
#include "shell/theme_editor.h"
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "util/bar_registry.h"
#include "util/dialog_base.h"
#include "util/text.h"
#include "shell/app_state.h"

namespace {

constexpr char kTitleCaption[] = "Tessellar Theme Editor";
constexpr char kEmptyTitleText[] =
    "Please give this bar a title!\n(The title will now be reverted to before editing.)";
constexpr char kDuplicateTitleText[] =
    "The bar's title you've specified is already in use by another bar.\nPlease give a unique "
    "title for this bar.\n(The title will now be reverted to before editing.)";
constexpr int kCommentLimit = 3000;

void Relayout(CVellumMenuObject* bar) {
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) {
    ::CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}
bool Has(HWND dialog, int id) { return ::GetDlgItem(dialog, id) != nullptr; }

int Selection(HWND dialog, int id) {
    return static_cast<int>(::SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

// Fills a combo with rows (item data = value) and selects the row of value.
void FillCombo(HWND dialog, int id, std::initializer_list<std::pair<const char*, int>> rows,
               int value) {
    HWND combo = ::GetDlgItem(dialog, id);
    if (!combo) return;
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int selected = 0, index = 0;
    for (const auto& row : rows) {
        LRESULT at = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.first));
        if (at >= 0) ::SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), row.second);
        if (row.second == value) selected = index;
        ++index;
    }
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int SelectedData(HWND dialog, int id, int fallback) {
    int row = Selection(dialog, id);
    if (row < 0) return fallback;
    return static_cast<int>(::SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, row, 0));
}

// Stores value into field when it differs; true when it did.
template <typename Field>
bool StoreChanged(Field* field, int value) {
    if (*field == static_cast<Field>(value)) return false;
    *field = static_cast<Field>(value);
    return true;
}

// ---- the sizing controls (Sizing page, Extra Options, the modal) -------------------------------
class SizingControls {
public:
    SizingControls(HWND dialog, CVellumMenuObject* bar) : dialog_(dialog), bar_(bar) {}

    void Fill() {
        FillCombo(dialog_, IDC_BAR_ORIENTATION,
                  {{"Horizontally (Like a Taskbar)", 0}, {"Vertically (Like a Menu)", 1}},
                  bar_->DisplayVertically ? 1 : 0);
        FillDockCombo();
        Check(dialog_, IDC_BAR_AUTOHIDE, bar_->UseAutohide);
        RefreshAutohideEdge();
        FillCombo(dialog_, IDC_BAR_RESIZE_LEFT, {{"Right Edge", 0}, {"Left Edge", 1}},
                  bar_->ResizingMovingLeft ? 1 : 0);
        FillCombo(dialog_, IDC_BAR_RESIZE_UP, {{"Bottom Edge", 0}, {"Top Edge", 1}},
                  bar_->ResizingMovingUp ? 1 : 0);
        Check(dialog_, IDC_BAR_RESTRICT_SIZE, bar_->bRestrictMaximumSize);
        FillCombo(dialog_, IDC_BAR_ALIGN_X, {{"left", 0}, {"right", 1}},
                  bar_->m_placement.bAlignX ? 1 : 0);
        FillCombo(dialog_, IDC_BAR_ALIGN_Y, {{"top", 0}, {"bottom", 1}},
                  bar_->m_placement.bAlignY ? 1 : 0);
        Check(dialog_, IDC_BAR_ON_TOP, bar_->AlwaysOnTop);
        // Eleven orders; order 10 has no layer flags of its own.
        FillCombo(dialog_, IDC_BAR_LAYER,
                  {{"n/a", 0}, {"1st", 1}, {"2nd", 2}, {"3rd", 3}, {"4th", 4}, {"5th", 5},
                   {"6th", 6}, {"7th", 7}, {"8th", 8}, {"9th", 9}, {"10th", 10}},
                  bar_->AlwaysOnTopOrder);
        Check(dialog_, IDC_BAR_TAB_STOP, bar_->IsATabStop);
        Check(dialog_, IDC_BAR_IGNORE_SKIN_AUTOHIDE, bar_->bIgnoreSkinAutohideSettings);
        ::EnableWindow(::GetDlgItem(dialog_, IDC_BAR_IGNORE_SKIN_AUTOHIDE), bar_->UseAutohide);
    }

    // True when the control was one of the sizing controls.
    bool Apply(int id) {
        switch (id) {
        case IDC_BAR_ORIENTATION: ApplyOrientation(); return true;
        case IDC_BAR_DOCK: ApplyDock(); return true;
        case IDC_BAR_AUTOHIDE: ApplyAutohide(); return true;
        case IDC_BAR_AUTOHIDE_EDGE: ApplyAutohideEdge(); return true;
        case IDC_BAR_MORE_SIZING:
            ShowMoreBarSizingOptions(bar_, ::GetParent(dialog_) ? ::GetParent(dialog_) : dialog_);
            return true;
        case IDC_BAR_RESIZE_LEFT:
            StoreAndMark(&bar_->ResizingMovingLeft, SelectedData(dialog_, id, 0));
            return true;
        case IDC_BAR_RESIZE_UP:
            StoreAndMark(&bar_->ResizingMovingUp, SelectedData(dialog_, id, 0));
            return true;
        case IDC_BAR_RESTRICT_SIZE:
            StoreAndMark(&bar_->bRestrictMaximumSize, Checked(dialog_, id));
            return true;
        case IDC_BAR_ALIGN_X:
            StoreAndMark(&bar_->m_placement.bAlignX, SelectedData(dialog_, id, 0));
            return true;
        case IDC_BAR_ALIGN_Y:
            StoreAndMark(&bar_->m_placement.bAlignY, SelectedData(dialog_, id, 0));
            return true;
        case IDC_BAR_ON_TOP: ApplyOnTop(); return true;
        case IDC_BAR_LAYER: ApplyLayer(); return true;
        case IDC_BAR_TAB_STOP:
            StoreAndMark(&bar_->IsATabStop, Checked(dialog_, id));
            return true;
        case IDC_BAR_IGNORE_SKIN_AUTOHIDE: ApplyIgnoreSkinAutohide(); return true;
        default:
            return false;
        }
    }

private:
    template <typename Field>
    void StoreAndMark(Field* field, int value) {
        if (StoreChanged(field, value)) bar_->SetModified();
    }

    void FillDockCombo() {
        if (bar_->DisplayVertically)
            FillCombo(dialog_, IDC_BAR_DOCK,
                      {{"Do not dock to any edge.", kEdgeNone}, {"Dock to Left Edge", kEdgeLeft},
                       {"Dock to Right Edge", kEdgeRight}},
                      bar_->DockToEdge);
        else
            FillCombo(dialog_, IDC_BAR_DOCK,
                      {{"Do not dock to any edge.", kEdgeNone}, {"Dock to Top Edge", kEdgeTop},
                       {"Dock to Bottom Edge", kEdgeBottom}},
                      bar_->DockToEdge);
    }

    void RefreshAutohideEdge() {
        if (!Has(dialog_, IDC_BAR_AUTOHIDE_EDGE)) return;
        const bool usable = bar_->DockToEdge < 0 && bar_->UseAutohide;
        FillCombo(dialog_, IDC_BAR_AUTOHIDE_EDGE,
                  {{"...automatically to the nearest edge.", -1},
                   {"...to the left edge of the screen.", kEdgeLeft},
                   {"...to the top edge of the screen.", kEdgeTop},
                   {"...to the right edge of the screen.", kEdgeRight},
                   {"...to the bottom edge of the screen.", kEdgeBottom}},
                  usable ? bar_->ForcedAutoHideEdge : -1);
        ::EnableWindow(::GetDlgItem(dialog_, IDC_BAR_AUTOHIDE_EDGE), usable);
    }

    void PlacementUpdate() {
        RefreshAutohideEdge();
        bar_->UpdatePos();
        bar_->AutoHide(bar_->UseAutohide, 1);
        Relayout(bar_);
    }

    void RestartAutohide() {
        if (!bar_->UseAutohide) return;
        bar_->AutoHide(0, 0);
        bar_->AutoHide(1, 0);
    }

    void ApplyOrientation() {
        const int vertical = SelectedData(dialog_, IDC_BAR_ORIENTATION, 0) ? 1 : 0;
        if ((bar_->DisplayVertically != FALSE) == (vertical != 0)) return;
        bar_->SetModified();
        // Closes and makes again the pages whose templates follow the orientation.
        bar_->ChangeOrientation(vertical);
        FillDockCombo();
        PlacementUpdate();
    }

    void ApplyDock() {
        const int edge = SelectedData(dialog_, IDC_BAR_DOCK, kEdgeNone);
        if (edge == bar_->DockToEdge) return;
        if (bar_->UseAutohide) bar_->AutoHide(0, 0);
        bar_->DockToEdge = edge;
        bar_->SetModified();
        // The editor lists docked and floating bars apart.
        SortEditorTree();
        PlacementUpdate();
    }

    void ApplyAutohide() {
        const BOOL on = Checked(dialog_, IDC_BAR_AUTOHIDE) ? TRUE : FALSE;
        if (on == bar_->UseAutohide) return;
        bar_->UseAutohide = on;
        FollowAutohideOnExtraPage();
        bar_->UpdatePos();
        bar_->AutoHide(on, 1);
        bar_->SetModified();
        if (const BarHostServices& host = GetBarHostServices(); host.UpdateMouseHook)
            host.UpdateMouseHook();
        RefreshAutohideEdge();
    }

    // The skin-autohide check lives on the Extra Options page.
    void FollowAutohideOnExtraPage() {
        for (HWND page : {dialog_, bar_->m_pages[kBarExtraPage]})
            if (page && ::IsWindow(page))
                ::EnableWindow(::GetDlgItem(page, IDC_BAR_IGNORE_SKIN_AUTOHIDE), bar_->UseAutohide);
    }

    void ApplyAutohideEdge() {
        const int edge = SelectedData(dialog_, IDC_BAR_AUTOHIDE_EDGE, -1);
        if (edge == bar_->ForcedAutoHideEdge) return;
        bar_->ForcedAutoHideEdge = edge;
        bar_->UpdatePos();
        RestartAutohide();
        bar_->SetModified();
    }

    void ApplyOnTop() {
        if (!StoreChanged(&bar_->AlwaysOnTop, Checked(dialog_, IDC_BAR_ON_TOP))) return;
        bar_->SetModified();
        bar_->UpdatePos();
        HWND host = ::GetParent(dialog_);
        if (host) ::SetForegroundWindow(::GetAncestor(host, GA_ROOT));
    }

    void ApplyLayer() {
        if (!StoreChanged(&bar_->AlwaysOnTopOrder, SelectedData(dialog_, IDC_BAR_LAYER, 0))) return;
        bar_->SetModified();
        bar_->UpdateHiddenLayers();
        PlacementUpdate();
    }

    void ApplyIgnoreSkinAutohide() {
        if (!StoreChanged(&bar_->bIgnoreSkinAutohideSettings,
                          Checked(dialog_, IDC_BAR_IGNORE_SKIN_AUTOHIDE)))
            return;
        bar_->UpdatePos();
        RestartAutohide();
        bar_->SetModified();
    }

    HWND dialog_;
    CVellumMenuObject* bar_;
};

// ---- the Display controls (Display page, Extra Options) ----------------------------------------
class DisplayControls {
public:
    DisplayControls(HWND dialog, CVellumMenuObject* bar) : dialog_(dialog), bar_(bar) {}

    void Fill() {
        ::SetDlgItemTextA(dialog_, IDC_BAR_TITLE, bar_->Title);
        ::SetDlgItemTextA(dialog_, IDC_BAR_CURRENT_SKIN, CurrentSkinText(bar_).c_str());
        ::SendDlgItemMessageA(dialog_, IDC_BAR_COMMENTS, EM_LIMITTEXT, kCommentLimit, 0);
        ::SetDlgItemTextA(dialog_, IDC_BAR_COMMENTS, bar_->Comments ? bar_->Comments : "");
        Check(dialog_, IDC_BAR_WIDTH_RESIZABLE, bar_->WidthResizableWhenVertical);
        LabelWidthCheck();
        Check(dialog_, IDC_BAR_SHOW_TITLE, bar_->ShowTitle);
        Check(dialog_, IDC_BAR_ACTIVE_TITLE, bar_->bUseActiveWindowsTitle);
        tess::CopyText(remembered_title_, bar_->Title);
    }

    // The width check tells what it allows in the bar's present size rule.
    void LabelWidthCheck() {
        ::SetDlgItemTextA(dialog_, IDC_BAR_WIDTH_RESIZABLE,
                          bar_->bRestrictMaximumSize
                              ? "Allow this bar's width to be resized."
                              : "Allow items on this bar to be smaller than their ideal width.");
    }

    bool Apply(int id) {
        switch (id) {
        case IDC_BAR_TITLE: TakeTypedTitle(); return true;
        case IDC_BAR_CHANGE_SKIN:
            ShowBarSkinChooser(bar_, ::GetParent(dialog_) ? ::GetParent(dialog_) : dialog_);
            if (IsLiveBar(bar_))
                ::SetDlgItemTextA(dialog_, IDC_BAR_CURRENT_SKIN, CurrentSkinText(bar_).c_str());
            return true;
        case IDC_BAR_COMMENTS: TakeComment(); return true;
        case IDC_BAR_WIDTH_RESIZABLE: ApplyWidthResizable(); return true;
        case IDC_BAR_SHOW_TITLE:
            ApplyTitleFlag(&bar_->ShowTitle, id);
            return true;
        case IDC_BAR_ACTIVE_TITLE:
            ApplyTitleFlag(&bar_->bUseActiveWindowsTitle, id);
            return true;
        default:
            return false;
        }
    }

    void OnTitleFocus(int code) {
        if (code == EN_SETFOCUS) {
            ::GetDlgItemTextA(dialog_, IDC_BAR_TITLE, remembered_title_, kBarTitleSize);
        } else if (code == EN_KILLFOCUS) {
            CheckTitleOnLeaving();
        }
    }

private:
    void SetBarTitle(const char* title) {
        char copy[kBarTitleSize];
        tess::CopyText(copy, title);
        bar_->SetTitle(copy);
        bar_->RetitleEditorNode();
        bar_->SetModified();
    }

    void TakeTypedTitle() {
        char typed[kBarTitleSize] = "";
        ::GetDlgItemTextA(dialog_, IDC_BAR_TITLE, typed, sizeof(typed));
        if (lstrcmpiA(typed, bar_->Title) == 0) return;
        SetBarTitle(typed);
        Relayout(bar_);
    }

    void CheckTitleOnLeaving() {
        char typed[kBarTitleSize] = "";
        ::GetDlgItemTextA(dialog_, IDC_BAR_TITLE, typed, sizeof(typed));
        if (lstrcmpA(typed, remembered_title_) == 0) return;
        const char* refusal = nullptr;
        if (!typed[0])
            refusal = kEmptyTitleText;
        else if (IsBarTitleTaken(bar_, typed))
            refusal = kDuplicateTitleText;
        if (refusal) {
            ::MessageBoxA(dialog_, refusal, kTitleCaption, MB_OK | MB_ICONINFORMATION);
            if (!IsLiveBar(bar_)) return;
            SetBarTitle(remembered_title_);
            ::SetDlgItemTextA(dialog_, IDC_BAR_TITLE, remembered_title_);
            HWND field = ::GetDlgItem(dialog_, IDC_BAR_TITLE);
            if (::IsWindowVisible(field)) ::SetFocus(field);
            return;
        }
        TellPopupsOfNewTitle(typed);
        tess::CopyText(remembered_title_, typed);
    }

    // The popup items that list this bar by its title follow. The two texts
    // are marked as the program's own, so that only this send is believed.
    void TellPopupsOfNewTitle(const char* typed) {
        if (!bar_->m_hMainWindow) return;
        char old_title[kBarTitleSize], new_title[kBarTitleSize];
        tess::CopyText(old_title, remembered_title_);
        tess::CopyText(new_title, typed);
        RegisterOwnedRecord(old_title);
        RegisterOwnedRecord(new_title);
        ::SendMessageA(bar_->m_hMainWindow, GetBarMessages().BarNameChanging,
                       reinterpret_cast<WPARAM>(old_title), reinterpret_cast<LPARAM>(new_title));
        UnregisterOwnedRecord(old_title);
        UnregisterOwnedRecord(new_title);
    }

    void TakeComment() {
        const int length = ::GetWindowTextLengthA(::GetDlgItem(dialog_, IDC_BAR_COMMENTS));
        std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        ::GetDlgItemTextA(dialog_, IDC_BAR_COMMENTS, &text[0], length + 1);
        text.resize(lstrlenA(text.c_str()));
        const std::string comment = CommentWithoutSoftBreaks(text.c_str());
        bar_->SetModified();
        char* fresh = new char[comment.size() + 1];
        tess::CopyText(fresh, comment.size() + 1, comment.c_str());
        delete[] bar_->Comments;
        bar_->Comments = fresh;
    }

    void ApplyWidthResizable() {
        bar_->WidthResizableWhenVertical = Checked(dialog_, IDC_BAR_WIDTH_RESIZABLE) ? TRUE : FALSE;
        bar_->ChangeOrientation(bar_->DisplayVertically);
        bar_->SetModified();
        bar_->UpdatePos();
        Relayout(bar_);
    }

    void ApplyTitleFlag(BOOL* flag, int id) {
        if (!StoreChanged(flag, Checked(dialog_, id))) return;
        bar_->SetModified();
        bar_->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }

    HWND dialog_;
    CVellumMenuObject* bar_;
    char remembered_title_[kBarTitleSize] = "";
};

// ---- the pages --------------------------------------------------------------------------------------
// Display, Sizing && Positioning and Extra Options: the template decides
// which of the controls exist; each change goes to both handlers.
class BarLayoutPage : public ConfigPage {
public:
    BarLayoutPage(CVellumMenuObject* bar, int slot)
        : ConfigPage(PageObjectKind::kBar, bar, PageSlotsOf(bar), slot), bar_(bar) {}

protected:
    void Fill() override {
        display_ = std::make_unique<DisplayControls>(Window(), bar_);
        sizing_ = std::make_unique<SizingControls>(Window(), bar_);
        display_->Fill();
        sizing_->Fill();
    }

    void Apply(int id, int code) override {
        if (!IsLiveBar(bar_)) return;
        if (!display_->Apply(id)) sizing_->Apply(id);
    }

    void OnOtherNotification(int id, int code) override {
        if (id == IDC_BAR_TITLE && IsLiveBar(bar_)) display_->OnTitleFocus(code);
    }

    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_SHOWWINDOW && wp && display_ && IsLiveBar(bar_)) display_->LabelWidthCheck();
        return FALSE;
    }

    void Close() override {
        // The Advanced page's size rules are taken before the Sizing page goes.
        if (Slot() == kBarSizingPage && IsLiveBar(bar_)) bar_->ObjectExGUI_UpdateValues(0);
        ConfigPage::Close();
    }

private:
    CVellumMenuObject* bar_;
    std::unique_ptr<DisplayControls> display_;
    std::unique_ptr<SizingControls> sizing_;
};

// "More Bar Sizing/Positioning Options": the sizing handler as a modal dialog.
class MoreSizingDialog : public tess::DialogBase {
public:
    explicit MoreSizingDialog(CVellumMenuObject* bar) : bar_(bar) {}

protected:
    INT_PTR OnInit() override {
        MarkConfigDialog(Window());
        sizing_ = std::make_unique<SizingControls>(Window(), bar_);
        sizing_->Fill();
        ready_ = true;
        return TRUE;
    }

    INT_PTR OnCommand(int id, int code) override {
        if (id == IDOK || id == IDCANCEL) {
            UnmarkConfigDialog(Window());
            ::EndDialog(Window(), id);
            return TRUE;
        }
        if (!ready_ || !IsLiveBar(bar_)) return TRUE;
        char kind[16] = "";
        ::GetClassNameA(::GetDlgItem(Window(), id), kind, sizeof(kind));
        if (lstrcmpiA(kind, "ComboBox") == 0 && code != CBN_SELCHANGE) return TRUE;
        sizing_->Apply(id);
        return TRUE;
    }

private:
    CVellumMenuObject* bar_;
    std::unique_ptr<SizingControls> sizing_;
    bool ready_ = false;
};

BOOL CALLBACK FindTakenTitle(HWND wnd, LPARAM lp) { return IsBarTitleFreeProc(wnd, lp); }

}  // namespace

// Defined with the Advanced and Hotkey pages.
HWND OpenBarAdvancedPage(CVellumMenuObject* bar, HWND parent);
HWND OpenBarHotkeyPage(CVellumMenuObject* bar, HWND parent);

HWND OpenBarPage(CVellumMenuObject* bar, int slot, HWND parent) {
    if (!bar || !IsLiveBar(bar)) return nullptr;
    int template_id;
    switch (slot) {
    case kBarDisplayPage:
        template_id = bar->DisplayVertically ? IDD_BAR_DISPLAY_VERTICAL : IDD_BAR_DISPLAY;
        break;
    case kBarSizingPage: template_id = IDD_BAR_SIZING; break;
    case kBarExtraPage: template_id = IDD_BAR_EXTRA; break;
    case kBarAdvancedPage:
        return OpenBarAdvancedPage(bar, parent);
    case kBarHotkeyPage:
        return OpenBarHotkeyPage(bar, parent);
    default:
        return nullptr;
    }
    return ConfigPage::Open(std::make_unique<BarLayoutPage>(bar, slot), ResourceModuleOf(bar),
                            template_id, parent);
}

void ShowMoreBarSizingOptions(CVellumMenuObject* bar, HWND owner) {
    if (!bar || !IsLiveBar(bar)) return;
    MoreSizingDialog dialog(bar);
    dialog.RunModal(ResourceModuleOf(bar), MAKEINTRESOURCEA(IDD_BAR_MORE_SIZING), owner);
}

std::string BarSkinPath(const CVellumMenuObject* bar) {
    return bar && bar->m_skin ? std::string(bar->m_skin->path) : std::string();
}

bool ApplyBarSkin(CVellumMenuObject* bar, const char* path, bool foreign) {
    if (!bar || !IsLiveBar(bar) || !path || !path[0]) return false;
    if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return false;
    // The new skin first: the bar keeps its old one when this fails.
    SkinRecord* fresh = LoadSkinFile(path);
    if (!fresh) return false;
    SkinRecord* old = bar->m_skin;
    bar->m_skin = fresh;
    if (old) ReleaseSkin(old);
    bar->m_foreignSkin = foreign ? TRUE : FALSE;
    bar->ReplaceBackgroundCache();
    bar->ProcessUserMessage(GetBarMessages().SkinChanging, 0, 0);
    bar->RecalcRects(kRecalcNoRedraw, kRecalcUpdatePos);
    if (bar->DockToEdge < 0)
        bar->UpdatePos();
    else
        bar->SetPos(-1, -1, 10, 10, nullptr, 0, 0, 0);
    Relayout(bar);
    bar->SetModified();
    return true;
}

std::string CurrentSkinText(const CVellumMenuObject* bar) {
    std::string text = " ";
    const SkinRecord* skin = bar ? bar->m_skin : nullptr;
    if (!skin) return text;
    text += skin->SkinName;
    if (bar->m_foreignSkin) {
        // The folder that holds the skin file, by its own name.
        std::string folder = skin->folder;
        while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
        const size_t cut = folder.find_last_of("\\/");
        text += " (" + (cut == std::string::npos ? folder : folder.substr(cut + 1)) + ")";
    }
    return text;
}

std::string CommentWithoutSoftBreaks(const char* text) {
    std::string out = text ? text : "";
    for (size_t at = out.find("\r\r\n"); at != std::string::npos; at = out.find("\r\r\n", at))
        out.erase(at, 3);
    return out;
}

bool IsBarTitleTaken(CVellumMenuObject* bar, const char* title) {
    if (!title) return false;
    // The bar's own title is cleared for the walk, so it never counts.
    char own[kBarTitleSize] = "";
    if (bar) {
        tess::CopyText(own, bar->Title);
        bar->Title[0] = '\0';
    }
    const bool taken = EnumBarWindows(FindTakenTitle, reinterpret_cast<LPARAM>(title)) == 0;
    if (bar) tess::CopyText(bar->Title, own);
    return taken;
}
