// Self-registration from a registry script resource (the keys, values and
// NoRemove / ForceRemove marks of the ATL registrar's format, with
// "%MODULE%" standing for the library's path).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace gantrel {

struct ScriptValue {
    std::string name;            // empty: the key's default value
    bool is_dword = false;
    std::string text;
    DWORD number = 0;
};

struct ScriptKey {
    enum Mark { kNormal, kNoRemove, kForceRemove };
    std::string name;
    Mark mark = kNormal;
    bool has_default = false;
    ScriptValue default_value;
    std::vector<ScriptValue> values;
    std::vector<ScriptKey> children;
};

struct ScriptRoot {
    HKEY root = nullptr;
    std::vector<ScriptKey> keys;
};

// Parses a script; false on a syntax error. module replaces "%MODULE%".
bool ParseRegistryScript(const std::string& text, const std::string& module, std::vector<ScriptRoot>& out);

// Adds the keys (add) or removes exactly what the script added: ForceRemove
// keys go with everything below them, NoRemove keys stay, other keys go only
// when nothing that the script does not name is left in them.
HRESULT ApplyRegistryScript(const std::vector<ScriptRoot>& script, bool add);
// The same for the script resource "REGISTRY" number id of this module.
HRESULT ApplyRegistryScript(int resource_id, bool add);

}  // namespace gantrel
