// The header lines of the bar context menu: program-wide texts naming the
// item, the section and the bar the menu was opened on, drawn by the bar as
// owner-drawn entries. A null name empties a line.
#pragma once

constexpr int kMenuHeaderTextSize = 64;

// "Item: " + name with prefix, else the name alone; secondLine asks the
// section line to show the item line under it.
void SetItemMenuHeaderText(const char* name, int secondLine, int prefix);
void SetSectionMenuHeaderText(const char* name, int prefix);
void SetBarMenuHeaderText(const char* name);

const char* GetItemMenuHeaderText();
const char* GetSectionMenuHeaderText();
const char* GetBarMenuHeaderText();
bool IsItemHeaderSecondLine();
