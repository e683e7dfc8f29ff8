// A section's ("Container's") property pages: Display (115), Arrangement
// (1089 on a horizontal bar, 1094 on a vertical one), the base Behavior page
// (127, nothing to set) and Extra Options (1122). Display, Arrangement and
// Extra Options share one handler that serves whichever controls the
// template holds; every change applies to the section at once.
#pragma once
#include <windows.h>
#include <string>

class CVellumMenuSection;

// Creates the page in its slot (SectionPageSlot) once, as a child of parent,
// or returns the one already open; null for an unknown slot.
HWND OpenSectionPage(CVellumMenuSection* section, int slot, HWND parent);

// "Properties.MaxItemWidth" when "Allow Maximum Item Size:" is unchecked.
constexpr int kNoMaximumItemWidth = 43957;

// Sets the combine flag on the section and on its neighbours of the same
// style on both sides, up to the first section of another style; their open
// Display pages close.
void CombineSectionWithNeighbours(CVellumMenuSection* section, bool combine);
// The text of a section style in the style combo: "%s (#%i)" with the
// style's name, "(#%i)" without one; style numbers count from 1.
std::string SectionStyleEntry(const char* name, int number);
