// Registration and sweep of the plug-ins' data files.
#include "types/plugin_data_files.h"

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>
#include "model/plugin_calls.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/type_services.h"
#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

struct RegistrationState {
    char record[MAX_PATH] = "";
    char section[MAX_PATH] = "";
    bool collecting = false;
    std::vector<std::string> collected;
};

RegistrationState& State() {
    static RegistrationState state;
    return state;
}

std::string Lower(const char* text) {
    std::string out = text ? text : "";
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool RecordExists(const char* path) {
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RecordPathOf(const char* bars_folder, char* out, size_t size) {
    if (!bars_folder || !bars_folder[0]) return false;   // never a relative data folder
    return tess::FormatText(out, size, "%s%s%s", bars_folder, kDataFolderName, kDataFileRecordName);
}

// A whole profile call that answers "buffer too small" with size - 2.
std::vector<char> ReadProfileBlock(DWORD (*read)(const char* section, char* buffer, DWORD size,
                                                 const char* file),
                                   const char* section, const char* file) {
    std::vector<char> buffer(32 * 1024);
    for (;;) {
        DWORD length = read(section, buffer.data(), static_cast<DWORD>(buffer.size()), file);
        if (length < buffer.size() - 2 || buffer.size() >= (64u << 20)) {
            buffer.resize(length + 2);
            buffer[length] = buffer[length + 1] = '\0';
            return buffer;
        }
        buffer.resize(buffer.size() * 4);
    }
}

DWORD ReadSectionNames(const char*, char* buffer, DWORD size, const char* file) {
    return ::GetPrivateProfileSectionNamesA(buffer, size, file);
}

DWORD ReadSection(const char* section, char* buffer, DWORD size, const char* file) {
    return ::GetPrivateProfileSectionA(section, buffer, size, file);
}

// Every key of every section of the record whose value reads as true ("1..."),
// in lower case. Read whole: a reader with a bound on its keys would lose
// the later ones, and their files would go.
std::set<std::string> KeptKeys(const char* record) {
    std::set<std::string> kept;
    std::vector<char> names = ReadProfileBlock(ReadSectionNames, nullptr, record);
    for (const char* name = names.data(); *name; name += std::strlen(name) + 1) {
        std::vector<char> lines = ReadProfileBlock(ReadSection, name, record);
        for (const char* line = lines.data(); *line; line += std::strlen(line) + 1) {
            const char* equals = std::strchr(line, '=');
            if (!equals || equals[1] != '1') continue;
            std::string key(line, equals - line);
            while (!key.empty() && key.back() == ' ') key.pop_back();
            kept.insert(Lower(key.c_str()));
        }
    }
    return kept;
}

void SweepFolder(const std::string& folder, const std::string& record_lower,
                 const std::set<std::string>& kept) {
    WIN32_FIND_DATAA found;
    tess::ScopedFind find(::FindFirstFileA((folder + "*.*").c_str(), &found));
    if (!find) return;
    do {
        const char* name = found.cFileName;
        if (!std::strcmp(name, ".") || !std::strcmp(name, "..")) continue;
        std::string path = folder + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link to a folder elsewhere is not the theme's to clean.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                SweepFolder(path + "\\", record_lower, kept);
            continue;
        }
        std::string full = Lower(path.c_str());
        if (full == record_lower) continue;
        if (kept.count(full) || kept.count(Lower(name))) continue;
        ::DeleteFileA(path.c_str());
    } while (::FindNextFileA(find.get(), &found));
}

void WriteCollected(const RegistrationState& state) {
    if (!state.section[0] || !state.record[0]) return;
    if (state.collected.empty()) {
        if (RecordExists(state.record))
            ::WritePrivateProfileStringA(state.section, nullptr, nullptr, state.record);
        return;
    }
    char folder[MAX_PATH];
    if (GetParentFolder(folder, state.record, true, sizeof(folder)))
        ::CreateDirectoryA(folder, nullptr);
    // The section is replaced whole, in one write.
    std::string block;
    std::set<std::string> seen;
    for (const std::string& key : state.collected)
        if (seen.insert(key).second) block += key + "=1" + '\0';
    block += '\0';
    ::WritePrivateProfileSectionA(state.section, block.c_str(), state.record);
}

struct DataFileCallsRegistration {
    DataFileCallsRegistration() {
        GetPluginCalls().BeginDataFileRegistration = BeginPluginDataFileRegistration;
        GetPluginCalls().EndDataFileRegistration = EndPluginDataFileRegistration;
        GetShellTypeServices().SweepPluginDataFiles = SweepPluginDataFiles;
    }
} const kDataFileCalls;

}  // namespace

void BeginPluginDataFileRegistration(CVellumMenuObject* bar) {
    RegistrationState& state = State();
    state.record[0] = state.section[0] = '\0';
    state.collecting = false;
    state.collected.clear();
    if (!bar) return;
    char bars[MAX_PATH] = "";
    if (!GetThemeBarsFolder(bars) || !RecordPathOf(bars, state.record, sizeof(state.record)) ||
        !GetFileNameOfPath(state.section, bar->m_barFile, sizeof(state.section))) {
        state.record[0] = state.section[0] = '\0';
        return;
    }
    state.collecting = true;
}

void EndPluginDataFileRegistration(CVellumMenuObject*, bool saved) {
    RegistrationState& state = State();
    if (!state.collecting) return;
    state.collecting = false;
    if (saved) WriteCollected(state);
    state.collected.clear();
}

int RegisterPluginDataFile(const char* path) {
    if (!path) return 0;
    RegistrationState& state = State();
    std::string key = Lower(path);
    if (state.collecting) {
        state.collected.push_back(key);
    } else if (state.section[0] && state.record[0]) {
        ::WritePrivateProfileStringA(state.section, key.c_str(), "1", state.record);
    }
    return 1;
}

void SweepPluginDataFiles(const char* bars_folder) {
    char record[MAX_PATH];
    if (!RecordPathOf(bars_folder, record, sizeof(record)) || !RecordExists(record)) return;
    std::set<std::string> kept = KeptKeys(record);
    SweepFolder(std::string(bars_folder) + kDataFolderName, Lower(record), kept);
}
