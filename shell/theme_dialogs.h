// The theme's dialogs: Theme Options with its advanced options, Save as an
// Alternate Style, Save Theme As, and the name prompts (new theme, folder).
#pragma once
#include <windows.h>
#include <cstddef>

// Modeless, one instance.
void ShowThemeOptionsDialog();
HWND GetThemeOptionsDialog();
void ShowSaveAlternateStyleDialog();
void ShowSaveThemeAsDialog();

// The name prompts: modal dialogs over a 260-character buffer; an empty
// buffer means cancelled.
enum class NamePrompt { NewTheme, Folder, Template };
bool AskForName(HWND owner, NamePrompt kind, char* name, size_t size);
// The refusal message for a name (null when the name is acceptable).
// Writes into message (at least 300 characters).
const char* CheckNewName(NamePrompt kind, const char* name, char* message, size_t size);
// The line of the nine characters a name cannot hold, separated by blanks.
const char* ForbiddenNameCharacters();

// Save as an Alternate Style: the free file for a style name in the theme
// folder ("name.tstheme", else "name_1.tstheme", ...).
bool MakeAlternateStyleFile(const char* folder, const char* name, char* out, size_t size);
// The checks of a new style name; null when acceptable.
const char* CheckAlternateStyleName(const char* name, const char* current, char* message, size_t size);
// Save Theme As into the sibling folder target_name; false with a message
// when a step fails (everything done so far is undone).
bool SaveThemeAs(const char* target_name, const char* new_name);
