// Calls from the shell into modules that are not built yet, and nothing
// else: each built module has its own header. Each function here does
// nothing (or reports failure) until its module replaces it; none of them
// pretends that something happened.
#pragma once
#include <windows.h>

class CVellumMenuObject;
class CVellumMenuSection;
class CVellumMenuItem;

// ---- theme editor ------------------------------------------------
#include "shell/theme_editor.h"


// ---- plug-ins -------------------------------------------------------------------------------------------------
