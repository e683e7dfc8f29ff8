// The header lines of the bar context menu, cut to fit the menu.
#include "model/menu_header_text.h"

#include <cstring>
#include "util/text.h"

namespace {

char g_item_line[kMenuHeaderTextSize];
char g_section_line[kMenuHeaderTextSize];
char g_bar_line[kMenuHeaderTextSize];
bool g_second_line = false;

// prefix + name; a line longer than limit keeps its first 27 characters and
// ends in "...".
void SetLine(char (&line)[kMenuHeaderTextSize], const char* prefix, const char* name, size_t limit) {
    line[0] = '\0';
    if (!name) return;
    char whole[1024];
    tess::FormatText(whole, sizeof(whole), "%s%s", prefix, name);
    if (std::strlen(whole) > limit) {
        tess::CopyTextN(line, sizeof(line), whole, 27);
        tess::AppendText(line, "...");
    } else {
        tess::CopyText(line, whole);
    }
}

}  // namespace

void SetItemMenuHeaderText(const char* name, int secondLine, int prefix) {
    SetLine(g_item_line, prefix ? "Item: " : "", name, 32);
    g_second_line = name && secondLine;
}

void SetSectionMenuHeaderText(const char* name, int prefix) {
    SetLine(g_section_line, prefix ? "Section: " : "", name, 32);
}

void SetBarMenuHeaderText(const char* name) { SetLine(g_bar_line, "Bar: ", name, 30); }

const char* GetItemMenuHeaderText() { return g_item_line; }
const char* GetSectionMenuHeaderText() { return g_section_line; }
const char* GetBarMenuHeaderText() { return g_bar_line; }
bool IsItemHeaderSecondLine() { return g_second_line; }
