// Marks the classes that the program exports to plug-ins, which link against
// the program's import library. Plug-in builds define TESS_PLUGIN_BUILD.
#pragma once

#ifdef TESS_PLUGIN_BUILD
#define TESS_EXPORT __declspec(dllimport)
#else
#define TESS_EXPORT __declspec(dllexport)
#endif
