#include "Gantrel/registry_script.h"

#include "Gantrel/module.h"
#include "util/handles.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace gantrel {
namespace {

class Tokenizer {
public:
    explicit Tokenizer(const std::string& text) : text_(text) {}

    // The next token; quoted tokens come back without quotes and set *quoted.
    bool Next(std::string& token, bool* quoted = nullptr) {
        while (pos_ < text_.size() && isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        if (pos_ >= text_.size()) return false;
        token.clear();
        if (quoted) *quoted = false;
        if (text_[pos_] == '\'') {
            if (quoted) *quoted = true;
            ++pos_;
            while (pos_ < text_.size()) {
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') { token += '\''; pos_ += 2; continue; }
                    ++pos_;
                    return true;
                }
                token += text_[pos_++];
            }
            return false;   // unterminated
        }
        while (pos_ < text_.size() && !isspace(static_cast<unsigned char>(text_[pos_]))) token += text_[pos_++];
        return true;
    }

    bool Peek(std::string& token) {
        size_t saved = pos_;
        bool ok = Next(token);
        pos_ = saved;
        return ok;
    }

private:
    const std::string& text_;
    size_t pos_ = 0;
};

std::string Substitute(const std::string& text, const std::string& module) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 8, "%MODULE%") == 0) { out += module; i += 7; }
        else if (text.compare(i, 2, "%%") == 0) { out += '%'; ++i; }
        else out += text[i];
    }
    return out;
}

class Parser {
public:
    Parser(const std::string& text, const std::string& module) : tokens_(text), module_(module) {}

    bool ParseRoots(std::vector<ScriptRoot>& out) {
        std::string token;
        while (tokens_.Next(token)) {
            ScriptRoot root;
            root.root = RootKey(token);
            if (!root.root || !Expect("{") || !ParseKeys(root.keys, false)) return false;
            out.push_back(std::move(root));
        }
        return true;
    }

private:
    static HKEY RootKey(const std::string& name) {
        if (name == "HKCR" || name == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
        if (name == "HKCU" || name == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
        if (name == "HKLM" || name == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
        return nullptr;
    }

    bool Expect(const char* what) {
        std::string token;
        return tokens_.Next(token) && token == what;
    }

    bool ParseValue(ScriptValue& value) {
        std::string type, data;
        bool quoted = false;
        if (!Expect("=") || !tokens_.Next(type) || !tokens_.Next(data, &quoted)) return false;
        if (type == "s") {
            value.text = Substitute(data, module_);
            return true;
        }
        if (type == "d") {
            char* end = nullptr;
            value.number = DWORD(strtoul(data.c_str(), &end, 0));
            value.is_dword = true;
            return end && *end == '\0' && !data.empty();
        }
        return false;
    }

    // Reads keys (and "val" lines when inside a key) up to the closing "}".
    bool ParseKeys(std::vector<ScriptKey>& keys, bool inside_key, ScriptKey* owner = nullptr) {
        std::string token;
        for (;;) {
            bool quoted = false;
            if (!tokens_.Next(token, &quoted)) return false;
            if (!quoted && token == "}") return true;
            if (!quoted && token == "val" && inside_key) {
                ScriptValue value;
                if (!tokens_.Next(value.name) || !ParseValue(value)) return false;
                owner->values.push_back(std::move(value));
                continue;
            }
            ScriptKey key;
            if (!quoted && token == "NoRemove") key.mark = ScriptKey::kNoRemove;
            else if (!quoted && token == "ForceRemove") key.mark = ScriptKey::kForceRemove;
            if (key.mark != ScriptKey::kNormal && !tokens_.Next(token, &quoted)) return false;
            key.name = Substitute(token, module_);
            if (key.name.empty()) return false;
            std::string next;
            if (tokens_.Peek(next) && next == "=") {
                key.has_default = true;
                if (!ParseValue(key.default_value)) return false;
            }
            if (tokens_.Peek(next) && next == "{") {
                tokens_.Next(next);
                if (!ParseKeys(key.children, true, &key)) return false;
            }
            keys.push_back(std::move(key));
        }
    }

    Tokenizer tokens_;
    std::string module_;
};

LONG SetValue(HKEY key, const ScriptValue& value) {
    const char* name = value.name.empty() ? nullptr : value.name.c_str();
    if (value.is_dword)
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number), sizeof(DWORD));
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                          DWORD(value.text.size() + 1));
}

LONG DeleteTree(HKEY parent, const char* name) {
    {
        tess::ScopedRegKey key;
        LONG r = RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, key.put());
        if (r == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
        if (r != ERROR_SUCCESS) return r;
        char child[256];
        for (;;) {
            DWORD length = sizeof child;
            r = RegEnumKeyExA(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
            if (r == ERROR_NO_MORE_ITEMS) break;
            if (r != ERROR_SUCCESS) return r;
            r = DeleteTree(key.get(), child);
            if (r != ERROR_SUCCESS) return r;
        }
    }
    return RegDeleteKeyA(parent, name);
}

LONG AddKey(HKEY parent, const ScriptKey& k) {
    if (k.mark == ScriptKey::kForceRemove) {
        LONG r = DeleteTree(parent, k.name.c_str());
        if (r != ERROR_SUCCESS) return r;
    }
    tess::ScopedRegKey key;
    LONG r = RegCreateKeyExA(parent, k.name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr);
    if (r != ERROR_SUCCESS) return r;
    if (k.has_default && (r = SetValue(key.get(), k.default_value)) != ERROR_SUCCESS) return r;
    for (const auto& v : k.values)
        if ((r = SetValue(key.get(), v)) != ERROR_SUCCESS) return r;
    for (const auto& child : k.children)
        if ((r = AddKey(key.get(), child)) != ERROR_SUCCESS) return r;
    return ERROR_SUCCESS;
}

LONG RemoveKey(HKEY parent, const ScriptKey& k) {
    if (k.mark == ScriptKey::kForceRemove) return DeleteTree(parent, k.name.c_str());
    DWORD subkeys = 0, values = 0;
    {
        tess::ScopedRegKey key;
        LONG r = RegOpenKeyExA(parent, k.name.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
        if (r == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
        if (r != ERROR_SUCCESS) return r;
        for (const auto& child : k.children)
            if ((r = RemoveKey(key.get(), child)) != ERROR_SUCCESS) return r;
        if (k.mark == ScriptKey::kNoRemove) return ERROR_SUCCESS;
        for (const auto& v : k.values) RegDeleteValueA(key.get(), v.name.c_str());
        if (k.has_default) RegDeleteValueA(key.get(), nullptr);
        r = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr);
        if (r != ERROR_SUCCESS) return r;
    }
    // Something the script does not name lives here: the key stays.
    if (subkeys || values) return ERROR_SUCCESS;
    return RegDeleteKeyA(parent, k.name.c_str());
}

}  // namespace

bool ParseRegistryScript(const std::string& text, const std::string& module, std::vector<ScriptRoot>& out) {
    out.clear();
    Parser parser(text, module);
    return parser.ParseRoots(out);
}

HRESULT ApplyRegistryScript(const std::vector<ScriptRoot>& script, bool add) {
    LONG result = ERROR_SUCCESS;
    for (const auto& root : script) {
        for (const auto& key : root.keys) {
            LONG r = add ? AddKey(root.root, key) : RemoveKey(root.root, key);
            if (r != ERROR_SUCCESS) {
                if (add) return HRESULT_FROM_WIN32(r);
                result = r;   // remove as much as possible, report the failure
            }
        }
    }
    return result == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(result);
}

HRESULT ApplyRegistryScript(int resource_id, bool add) {
    HINSTANCE instance = ModuleInstance();
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resource_id), "REGISTRY");
    if (!found) return HRESULT_FROM_WIN32(GetLastError() ? GetLastError() : ERROR_RESOURCE_NAME_NOT_FOUND);
    HGLOBAL loaded = LoadResource(instance, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data) return E_FAIL;
    std::string text(data, SizeofResource(instance, found));
    char module[MAX_PATH];
    if (!ModulePath(module, sizeof module)) return E_FAIL;
    std::vector<ScriptRoot> script;
    if (!ParseRegistryScript(text, module, script)) return E_UNEXPECTED;
    return ApplyRegistryScript(script, add);
}

}  // namespace gantrel
