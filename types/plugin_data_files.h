// The record of the data files that plug-ins keep in the theme's data folder
// ("<bars>Data\"), and the sweep that deletes the files no bar records.
// The record is "Data\TSRegisteredFilesData.ini": one section per bar, named
// by the bar file's name, one key per file (the path in lower case) = "1".
#pragma once
#include <windows.h>

class CVellumMenuObject;

constexpr char kDataFolderName[] = "Data\\";
constexpr char kDataFileRecordName[] = "TSRegisteredFilesData.ini";

// A bar save starts: the record file and the bar's section are chosen, and
// what plug-ins register until the save ends is collected for that section.
// A null bar (or no theme folder) leaves nothing chosen.
void BeginPluginDataFileRegistration(CVellumMenuObject* bar);
// The save ended. Only a save that reached the disk replaces the bar's
// section with what was collected; a failed one keeps the old record, which
// still describes the bar file on disk.
void EndPluginDataFileRegistration(CVellumMenuObject* bar, bool saved);
// VTHC_REGISTERDATAFILE: during a save the path joins the bar's collection;
// after it, it is written into the section of the bar saved last (nowhere
// before the first save). 1; 0 for a null path.
int RegisterPluginDataFile(const char* path);
// Deletes every file under bars_folder + "Data\" (subfolders included,
// reparse points not followed) that no section of the record names by full
// path or by file name, case ignored. Without a record nothing is deleted;
// the record itself and the folders stay.
void SweepPluginDataFiles(const char* bars_folder);
