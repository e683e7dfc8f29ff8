// Theme packages (".tspack"): a ZIP archive of a theme folder whose entries
// all begin with the folder's name. Packing a whole theme (with copies of
// the plug-in libraries its bars use) or part of it as an expansion pack,
// and installing a package beside, over or into the installed themes.
//
//   <theme>\TSPACK-LASTTHEMEINFO.ini  [Settings] LastTSPackTheme IsExpansionPack
//   <theme>\PackagedPlugins\           plug-in libraries (whole packs only)
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>
#include <vector>

constexpr char kPackageInfoFile[] = "TSPACK-LASTTHEMEINFO.ini";
constexpr char kPackagedPluginsFolder[] = "PackagedPlugins";
constexpr char kPackageCaption[] = "Tessellar - Package Theme";
constexpr char kExpansionCaption[] = "Tessellar - Packing as an Expansion Pack";
constexpr char kInstallErrorCaption[] = "Tessellar - Error Loading Theme Package";
constexpr char kPluginQuestionCaption[] = "Tessellar - Theme Package Plug-ins";

// ---- the archive glue (package_zip.cpp) ------------------------------------------------------
// What a pack adds besides the folders named: stored names to leave out
// ("Theme/Skins/LumivaneSkins", compared without case; a folder's whole
// tree goes with it), and files made for the package in a folder of its
// own, added under the same stored names as if they lay in the theme.
struct ZipFolderExtras {
    std::vector<std::string> skip;
    std::string staged_root;              // with a trailing backslash
    std::vector<std::string> staged;      // relative to staged_root
};
// A new archive of the folders in files (relative to root_folder, or full
// paths below it), recursively, at level 9, names relative to root_folder.
// It replaces archive_path only when complete; a failure leaves no archive
// behind and an existing one as it was.
bool ZipFolder(const char* archive_path, int file_count, const char* const* files,
               const char* root_folder, const ZipFolderExtras* extras = nullptr);
// Extracts every member into target_folder (null: the current folder),
// replacing files, silently. Members that would land outside are left out,
// which counts as a failure.
bool UnzipToFolder(const char* target_folder, const char* archive_path);

// ---- packing (theme_packages.cpp) -----------------------------------------------------------
void PackUpTheme();
void PackUpExpansion();
// Copies the plug-in libraries that the bars below bars_folder use (all but
// "Wayfinch.dll" and "Quadrille.dll") from the plug-ins folder into
// target_folder, created when the first one is copied. *any_copied tells.
void CollectPackagePlugins(const char* bars_folder, const char* target_folder, bool* any_copied);

// ---- installing (package_install.cpp) -------------------------------------------------------
// Installs the package and opens its theme; in preset mode the theme file
// comes back in theme_file instead. False: nothing new is open.
bool InstallThemePackage(const char* path, char* theme_file, size_t theme_file_size);
// The libraries in folder's "PackagedPlugins" go into the plug-ins folder
// when the user agrees; the folder is removed either way.
void InstallPackagedPlugins(const char* folder);
// One plain name for a folder (or file) directly inside another: not empty,
// no separators, drive, wildcards or device name, not only dots and blanks.
bool IsPlainFolderName(const char* name);
