// Bars of a theme of the test, opened under the program's real main window,
// and a driver that plays steps on a modal dialog from a timer while it runs.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"

namespace editor_create_test {

// One step on the running dialog; true when done, false to try again on the
// next tick.
using Step = std::function<bool(HWND dialog)>;

class DialogDriver {
public:
    // Runs start (which shows the modal dialog captioned caption) while the
    // steps are played one by one, every 40 ms; after 10 s the dialog is
    // cancelled. Answers start's result.
    template <typename F>
    auto Run(const std::string& caption, const std::vector<Step>& steps, F start) -> decltype(start()) {
        Arm(caption, steps);
        auto result = start();
        Disarm();
        return result;
    }
    bool Finished() const { return next_ == steps_.size(); }
    // The message boxes that came up while the dialog ran (each answered OK).
    const std::vector<testing_support::SeenMessageBox>& Boxes() const { return boxes_; }

private:
    void Arm(const std::string& caption, const std::vector<Step>& steps);
    void Disarm();
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();
    void AnswerMessageBoxes();

    std::string caption_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD started_ = 0;
    UINT_PTR timer_ = 0;
    std::vector<testing_support::SeenMessageBox> boxes_;
    std::vector<HWND> answered_;
};

// ---- steps ------------------------------------------------------------------------------------------
Step TypeText(int id, const std::string& text);
// Selects the row whose text starts with the given text (and tells the dialog).
Step ChooseRowStartingWith(int id, const std::string& text);
Step ChooseRow(int id, int row);
Step ClickButton(int id);
// Waits until the driver has answered count message boxes.
Step WaitForBoxes(const DialogDriver& driver, size_t count);
Step Check(const std::function<void(HWND dialog)>& check);

std::string ComboRowText(HWND dialog, int id, int row);
int ComboRowCount(HWND dialog, int id);

class EditorCreateTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The theme folder (with a backslash): "Bars\" and "Skins\" below it.
    const std::string& ThemeFolder() const { return theme_folder_; }
    // A bar of the theme's plain skin: [Object] keys, then the lines of the
    // sections (each after its "[SectionN]").
    CVellumMenuObject* Bar(const std::string& title, const std::vector<std::vector<std::string>>& sections,
                           const std::vector<std::string>& object_lines = {});
    // Saves the bar to its file and answers a key of it.
    std::string Saved(CVellumMenuObject* bar, const char* section, const char* key);
    static std::vector<std::string> SectionTitles(CVellumMenuObject* bar);
    static std::vector<std::string> ItemTitles(CVellumMenuSection* section);
    static std::string TypeName(CVellumMenuSection* section);
    static std::string TypeName(CVellumMenuItem* item);

    std::string theme_folder_;
    std::string plain_skin_;    // Skins\plain.tsskin
    std::string titled_skin_;   // Skins\titled.tsskin: it has a title font
    DialogDriver driver_;
};

using testing_support::ReadKey;

}  // namespace editor_create_test
