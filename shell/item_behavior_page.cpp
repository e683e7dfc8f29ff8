// An item's Behavior page: its behaviour class and its action, chosen from
// one of five lists of built-in commands; a popup-menu action edits the
// item's own menu.
#include "model/behavior_classes.h"
#include "model/standard_commands.h"
#include "model/vellum_menu_item.h"
#include "shell/item_pages.h"
#include "shell/item_pages_resources.h"

namespace {

const struct {
    int id;
    int set;
} kCommandLists[] = {
    {IDC_BEHAVIOR_WINDOW, kWindowCommands},     {IDC_BEHAVIOR_SYSTEM, kSystemCommands},
    {IDC_BEHAVIOR_TESSELLAR, kInternalCommands}, {IDC_BEHAVIOR_CLIPBOARD, kClipboardCommands},
    {IDC_BEHAVIOR_MORE_SYSTEM, kMoreSystemCommands},
};
constexpr int kMaxCommandsPerList = 500;

bool IsCommandList(int id) {
    for (const auto& list : kCommandLists)
        if (list.id == id) return true;
    return false;
}

class BehaviorPage : public ConfigPage {
public:
    explicit BehaviorPage(CVellumMenuItem* item)
        : ConfigPage(PageObjectKind::kItem, item, PageSlotsOf(item), kItemBehaviorPage), item_(item) {}

protected:
    void Fill() override {
        FillBehaviorClassCombo(item_, Control(IDC_BEHAVIOR_CLASS));
        for (const auto& list : kCommandLists) FillCommandList(list.id, list.set);
        ShowCustomizeButton();
    }

    void Apply(int id, int code) override {
        if (id == IDC_BEHAVIOR_CLASS) {
            ApplyBehaviorClassChange(item_, Control(IDC_BEHAVIOR_CLASS));
        } else if (IsCommandList(id)) {
            ApplyCommandChoice(id);
        } else if (id == IDC_BEHAVIOR_CUSTOMIZE_POPUP && code == BN_CLICKED) {
            EditItemPopupMenu(item_, Window());
        }
    }

private:
    void FillCommandList(int id, int set) {
        AddComboRow(id, "", 0);
        int selected = 0;
        for (int position = 0; position < kMaxCommandsPerList; ++position) {
            const int command = GetStandardCommandInSet(set, position);
            if (command <= 0) break;
            char name[kStandardCommandNameSize] = "";
            item_->ExecuteStandardCommand(set, command, name, nullptr);
            if (!name[0]) continue;
            const int row = AddComboRow(id, name, command);
            if (command == item_->Action) selected = row;
        }
        SelectCombo(id, selected);
    }

    int CommandIn(int id) const {
        const int row = ComboSelection(id);
        return row > 0 ? static_cast<int>(ComboData(id, row)) : 0;
    }

    void ApplyCommandChoice(int chosen_list) {
        const int command = CommandIn(chosen_list);
        bool all_empty = true;
        for (const auto& list : kCommandLists)
            if (CommandIn(list.id)) all_empty = false;
        // The empty entry of one list while another holds a command changes nothing.
        if (command == 0 && !all_empty) return;
        for (const auto& list : kCommandLists)
            if (list.id != chosen_list) SelectCombo(list.id, 0);
        if (command != item_->Action) {
            MarkItemBarModified(item_);
            item_->Action = command;
            item_->ActionClass = item_->ExecuteStandardCommand(kQueryCommandSet, command, nullptr, nullptr);
        }
        ShowCustomizeButton();
    }

    void ShowCustomizeButton() {
        ::ShowWindow(Control(IDC_BEHAVIOR_CUSTOMIZE_POPUP), item_->Action == kCmdPopupMenu ? SW_SHOW : SW_HIDE);
    }

    CVellumMenuItem* item_;
};

}  // namespace

std::unique_ptr<ConfigPage> NewBehaviorPage(CVellumMenuItem* item) { return std::make_unique<BehaviorPage>(item); }
