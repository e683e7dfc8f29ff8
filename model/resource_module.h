// Where a bar's dialogs and menus come from: the module the bar was made
// with, or the program itself for a bar made without one.
#pragma once
#include <windows.h>

class CVellumMenuObject;

HINSTANCE ResourceModuleOf(const CVellumMenuObject* bar);
