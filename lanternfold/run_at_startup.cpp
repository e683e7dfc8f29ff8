// CRunAtStartup: the server's start-up value. Other programs' values in the
// same key are never held only in memory for longer than one value's move.
#include "lanternfold/run_at_startup.h"

#include <cstring>
#include <vector>

#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char kRunServicesKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";

struct RegistryValue {
    std::vector<char> name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// Reads value number index whole, whatever its length.
bool ReadValueAt(HKEY key, DWORD index, RegistryValue* out) {
    DWORD max_name = 0, max_data = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &max_name,
                         &max_data, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    out->name.assign(max_name + 2, '\0');
    out->data.assign(max_data + 2, 0);
    DWORD name_size = static_cast<DWORD>(out->name.size());
    DWORD data_size = static_cast<DWORD>(out->data.size());
    if (RegEnumValueA(key, index, out->name.data(), &name_size, nullptr, &out->type, out->data.data(),
                      &data_size) != ERROR_SUCCESS)
        return false;
    out->data.resize(data_size);
    return true;
}

bool WriteValue(HKEY key, const RegistryValue& value) {
    return RegSetValueExA(key, value.name.data(), 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

// The position of a value in the key's enumeration order, -1 when absent.
int PositionOf(HKEY key, const char* name) {
    for (DWORD i = 0;; ++i) {
        char found[1024] = {};
        DWORD size = sizeof(found);
        LONG rc = RegEnumValueA(key, i, found, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) return -1;
        if (rc == ERROR_SUCCESS && lstrcmpiA(found, name) == 0) return static_cast<int>(i);
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return -1;
    }
}

bool IsNt() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

CRunAtStartup::CRunAtStartup(const char* value_name, const char* command) : is_nt_(IsNt()) {
    tess::CopyText(value_name_, value_name ? value_name : "");
    if (command) {
        tess::CopyText(command_, command);
        return;
    }
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path) - 1);
    tess::FormatText(command_, sizeof(command_), "\"%s\"", path);
}

HKEY CRunAtStartup::OpenChosenKey(REGSAM access) const {
    const char* preferred = is_nt_ ? kRunKey : kRunServicesKey;
    const char* other = is_nt_ ? kRunServicesKey : kRunKey;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, preferred, 0, access, &key) == ERROR_SUCCESS) return key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, other, 0, access, &key) == ERROR_SUCCESS) return key;
    return nullptr;
}

BOOL CRunAtStartup::IsRegistered() const {
    tess::ScopedRegKey key(OpenChosenKey(KEY_ALL_ACCESS));
    if (!key) return FALSE;
    char text[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD size = MAX_PATH;
    LONG rc = RegQueryValueExA(key.get(), value_name_, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    if (rc == ERROR_MORE_DATA) return TRUE;   // longer than a path, but not empty
    if (rc != ERROR_SUCCESS) return FALSE;
    return text[0] != '\0';
}

BOOL CRunAtStartup::SetRegistered(BOOL on) {
    // At most one entry: drop ours from both keys first.
    for (const char* path : {kRunKey, kRunServicesKey}) {
        tess::ScopedRegKey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, key.put()) == ERROR_SUCCESS)
            RegDeleteValueA(key.get(), value_name_);
    }
    tess::ScopedRegKey key(OpenChosenKey(KEY_ALL_ACCESS));
    if (!key) return FALSE;
    RegDeleteValueA(key.get(), value_name_);
    if (!on) return TRUE;

    if (RegSetValueExA(key.get(), value_name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(command_),
                       static_cast<DWORD>(strlen(command_) + 1)) != ERROR_SUCCESS)
        return FALSE;
    if (!keep_order_) return TRUE;
    return MoveOthersBehindEntry(key.get()) ? TRUE : FALSE;
}

// Moves the values that enumerate before the entry behind it, one at a time:
// each is read whole, deleted and written straight back. Where the registry
// keeps its own order (a rewritten value stays where it was) nothing more is
// moved. False when a value could not be written back.
bool CRunAtStartup::MoveOthersBehindEntry(HKEY key) {
    for (int moves = 0; moves < 10000; ++moves) {
        int entry = PositionOf(key, value_name_);
        if (entry <= 0) return entry == 0;
        RegistryValue value;
        if (!ReadValueAt(key, 0, &value)) return true;   // left in place, unread
        if (RegDeleteValueA(key, value.name.data()) != ERROR_SUCCESS) return true;
        if (!WriteValue(key, value) && !WriteValue(key, value)) return false;
        if (PositionOf(key, value.name.data()) == 0) return true;   // the order cannot change here
    }
    return true;
}
