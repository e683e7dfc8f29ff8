// Shared by the icon tests: the fixture library and its source icons, a
// theme folder of the test's own, and a driver for modal dialogs.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace icons_test {

// The fixture library "icons.dll" and the .ico files it was built from.
std::string FixtureLibrary();
std::string FixtureIcon(const std::string& name);

// The source .ico as WriteIconFile gives it back: every image header's
// image-size field zeroed.
std::string WithZeroedImageSizes(std::string ico);

// A theme folder "T\" made current for the test; the previous theme comes back.
class ThemeFolder {
public:
    ThemeFolder();
    ~ThemeFolder();
    const std::string& Path() const { return folder_.Path(); }   // ends with a backslash
    std::string File(const std::string& name) const { return folder_.File(name); }
    testing_support::TempFolder& Outside() { return outside_; }

private:
    testing_support::TempFolder folder_;
    testing_support::TempFolder outside_;
    std::string previous_;
};

// A message box answered by a DialogDriver.
struct AnsweredBox {
    std::string caption;
    std::string text;
};

// Runs drive(dialog) once this thread shows (visible and enabled) a dialog
// that has the control marker, from a timer inside the dialog's modal loop.
// Every other dialog box of this thread meanwhile (message boxes) is
// recorded and answered with OK. A dialog that the driver leaves shown is
// cancelled.
class DialogDriver {
public:
    DialogDriver(int marker, std::function<void(HWND)> drive);
    ~DialogDriver();
    bool Ran() const;
    std::vector<AnsweredBox> Boxes() const;
    // File dialogs (open and save) are answered with this file name, or
    // cancelled when it is empty; each is recorded with its title.
    void AnswerFileDialogs(const std::string& file);

private:
    UINT_PTR timer_;
};

// A common open or save dialog: its file name field exists.
bool IsFileDialog(HWND dialog);

std::string DlgText(HWND dialog, int id);
void Click(HWND dialog, int id);

}  // namespace icons_test
