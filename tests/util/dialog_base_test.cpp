// Dialogs on the shared base, run for real from the template in
// dialog_base_test.rc: the object is found from its window from
// WM_INITDIALOG on, commands reach OnCommand, a handler that throws leaves the
// dialog working, and a modeless dialog frees its object with its window.
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "util/dialog_base.h"

namespace {

constexpr int kTemplate = 910;
constexpr int kMissingTemplate = 911;
constexpr int kEdit = 101;
constexpr INT_PTR kEndValue = 55;

// What a dialog saw; kept outside the object, which a modeless dialog frees.
struct Seen {
    int inits = 0;
    bool found_at_init = false;
    std::vector<std::pair<int, int>> commands;
    int failures = 0;
    bool freed = false;
};

class ProbeDialog : public tess::DialogBase {
public:
    ProbeDialog(Seen* seen, UINT throw_at, bool end_itself)
        : seen_(seen), throw_at_(throw_at), end_itself_(end_itself) {}
    ~ProbeDialog() override { seen_->freed = true; }

private:
    void MaybeThrow(UINT msg) {
        if (msg != throw_at_) return;
        throw_at_ = 0;   // once
        ++seen_->failures;
        throw std::bad_alloc();
    }

    INT_PTR OnInit() override {
        ++seen_->inits;
        seen_->found_at_init = FromWindow(Window()) == this;
        if (end_itself_) {
            // What the user does: a message, an edit, then OK.
            PostMessageA(Window(), WM_APP, 0, 0);
            PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(kEdit, EN_SETFOCUS), 0);
            PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        MaybeThrow(WM_INITDIALOG);
        return TRUE;
    }

    INT_PTR OnCommand(int id, int code) override {
        seen_->commands.push_back({id, code});
        MaybeThrow(WM_COMMAND);
        if (id != IDOK) return FALSE;
        EndDialog(Window(), kEndValue);
        return TRUE;
    }

    INT_PTR OnMessage(UINT msg, WPARAM, LPARAM) override {
        MaybeThrow(msg);
        return FALSE;
    }

    Seen* seen_;
    UINT throw_at_;
    bool end_itself_;
};

bool SawCommand(const Seen& seen, int id, int code) {
    for (const auto& c : seen.commands)
        if (c.first == id && c.second == code) return true;
    return false;
}

}  // namespace

TEST(DialogBaseTest, ModalDialogWorksAndSurvivesAHandlerThatThrows) {
    struct Case {
        const char* name;
        UINT throw_at;
    };
    const Case cases[] = {
        {"no failure", 0},
        {"init throws", WM_INITDIALOG},
        {"first command throws", WM_COMMAND},
        {"other message throws", WM_APP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seen seen;
        {
            ProbeDialog dialog(&seen, c.throw_at, true);
            EXPECT_EQ(kEndValue, dialog.RunModal(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kTemplate), nullptr));
            EXPECT_EQ(nullptr, dialog.Window()) << "let go at WM_NCDESTROY";
            EXPECT_FALSE(seen.freed) << "a modal dialog's object stays the caller's";
        }
        EXPECT_EQ(1, seen.inits);
        EXPECT_TRUE(seen.found_at_init);
        EXPECT_EQ(c.throw_at ? 1 : 0, seen.failures);
        EXPECT_TRUE(SawCommand(seen, kEdit, EN_SETFOCUS));
        EXPECT_TRUE(SawCommand(seen, IDOK, BN_CLICKED));
    }
}

TEST(DialogBaseTest, ModelessDialogFreesItsObjectWithItsWindow) {
    struct Case {
        const char* name;
        int template_id;
        UINT throw_at;
        bool made;
    };
    const Case cases[] = {
        {"closed normally", kTemplate, 0, true},
        {"WM_DESTROY throws", kTemplate, WM_DESTROY, true},
        {"WM_NCDESTROY throws", kTemplate, WM_NCDESTROY, true},
        {"no such template", kMissingTemplate, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seen seen;
        auto probe = std::make_unique<ProbeDialog>(&seen, c.throw_at, false);
        ProbeDialog* object = probe.get();
        HWND dlg = tess::DialogBase::CreateModeless(std::move(probe), GetModuleHandleA(nullptr),
                                                    MAKEINTRESOURCEA(c.template_id), nullptr);
        EXPECT_EQ(c.made, dlg != nullptr);
        if (dlg) {
            EXPECT_EQ(object, tess::DialogBase::FromWindow(dlg));
            EXPECT_FALSE(seen.freed);
            // A command through the window reaches the object.
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(kEdit, EN_CHANGE), 0);
            EXPECT_TRUE(SawCommand(seen, kEdit, EN_CHANGE));
            DestroyWindow(dlg);
        }
        EXPECT_TRUE(seen.freed);
        EXPECT_EQ(c.throw_at ? 1 : 0, seen.failures);
    }
}
