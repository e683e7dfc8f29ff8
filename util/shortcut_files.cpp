#include "util/shortcut_files.h"

#include <intshcut.h>
#include <cstring>

#include "util/general_helpers.h"
#include "util/handles.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

// Spelled out here so the module needs no GUID definitions from the import
// libraries.
const CLSID kClsidInternetShortcut = {
    0xFBF23B40, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID kIidUniformResourceLocatorA = {
    0xFBF23B80, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};

bool ToWide(const char* text, WCHAR* wide, int wide_count) {
    return MultiByteToWideChar(CP_ACP, 0, text, -1, wide, wide_count) != 0;
}

HRESULT LoadLink(const char* path, tess::ComPtr<IShellLinkA>& link) {
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.put_void());
    if (FAILED(hr)) return hr;
    tess::ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.put_void());
    if (FAILED(hr)) return hr;
    WCHAR wide[MAX_PATH];
    if (!ToWide(path, wide, MAX_PATH)) return E_INVALIDARG;
    return file->Load(wide, STGM_READ);
}

}  // namespace

HRESULT CreateShortcut(const char* link_path, const ShortcutInfo& info) {
    if (!link_path || !*link_path) return E_INVALIDARG;
    tess::ScopedComInit com;
    tess::ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.put_void());
    if (FAILED(hr)) return hr;
    auto text = [](const char* t) { return t ? t : ""; };
    if (info.target[0] && FAILED(hr = link->SetPath(info.target))) return hr;
    if ((info.mask & kShortcutArguments) && FAILED(hr = link->SetArguments(text(info.arguments))))
        return hr;
    if ((info.mask & kShortcutDescription) &&
        FAILED(hr = link->SetDescription(text(info.description))))
        return hr;
    if ((info.mask & kShortcutIcon) &&
        FAILED(hr = link->SetIconLocation(text(info.icon_file), info.icon_index)))
        return hr;
    if ((info.mask & kShortcutWorkingFolder) &&
        FAILED(hr = link->SetWorkingDirectory(text(info.working_folder))))
        return hr;
    if ((info.mask & kShortcutShowCommand) && FAILED(hr = link->SetShowCmd(info.show_command)))
        return hr;
    if ((info.mask & kShortcutHotkey) &&
        FAILED(hr = link->SetHotkey(static_cast<WORD>(info.hotkey))))
        return hr;
    if ((info.mask & kShortcutIdList) && info.id_list &&
        FAILED(hr = link->SetIDList(info.id_list)))
        return hr;
    tess::ComPtr<IPersistFile> file;
    if (FAILED(hr = link->QueryInterface(IID_IPersistFile, file.put_void()))) return hr;
    WCHAR wide[MAX_PATH];
    if (!ToWide(link_path, wide, MAX_PATH)) return E_INVALIDARG;
    return file->Save(wide, TRUE);
}

int ReadShortcutField(const char* link_path, char* buffer, int buffer_size, int kind) {
    if (!buffer || buffer_size <= 0) return 0;
    buffer[0] = '\0';
    if (!link_path) return 0;
    tess::ScopedComInit com;
    tess::ComPtr<IShellLinkA> link;
    if (FAILED(LoadLink(link_path, link))) return 0;
    // The link object writes into a buffer of its own so that a short caller
    // buffer still gets a terminated text.
    char text[1024] = "";
    int result = 0;
    if (kind == kReadArguments) {
        result = SUCCEEDED(link->GetArguments(text, sizeof(text))) ? 1 : 0;
    } else if (kind == kReadIconLocation) {
        int index = 0;
        if (SUCCEEDED(link->GetIconLocation(text, sizeof(text), &index))) result = index;
    } else {
        result = SUCCEEDED(link->GetPath(text, sizeof(text), nullptr, 0)) ? 1 : 0;
    }
    text[sizeof(text) - 1] = '\0';
    tess::CopyText(buffer, static_cast<size_t>(buffer_size), text);
    return result;
}

int GetStartupShortcutPath(const char* name, char* buffer) {
    if (!buffer) return 0;
    buffer[0] = '\0';
    char folder[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_STARTUP, FALSE) || !folder[0]) return 1;
    char path[MAX_PATH];
    if (!tess::FormatText(path, sizeof(path), "%s\\%s.lnk", folder, name ? name : "")) return 1;
    tess::CopyText(buffer, MAX_PATH, path);
    return 1;
}

bool CreateStartupShortcut(const char* name) { return CreateStartupShortcutWithArgs(name, nullptr); }

bool CreateStartupShortcutWithArgs(const char* name, const char* arguments) {
    char link[MAX_PATH];
    GetStartupShortcutPath(name, link);
    if (!link[0]) return false;
    ShortcutInfo info{};
    DWORD n = GetModuleFileNameA(nullptr, info.target, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    info.mask = kShortcutDescription | kShortcutArguments | kShortcutIcon;
    info.description = name;
    info.arguments = arguments ? arguments : "";
    info.icon_file = info.target;
    info.icon_index = 0;
    return SUCCEEDED(CreateShortcut(link, info));
}

bool StartupShortcutExists(const char* name, const char* arguments) {
    char link[MAX_PATH];
    GetStartupShortcutPath(name, link);
    if (!link[0] || !ShortcutFileExists(link)) return false;
    if (!arguments) return true;
    char stored[MAX_PATH];
    if (!ReadShortcutField(link, stored, MAX_PATH, kReadArguments)) return false;
    return lstrcmpiA(stored, arguments) == 0;
}

void DeleteStartupShortcut(const char* name) {
    char link[MAX_PATH];
    GetStartupShortcutPath(name, link);
    if (link[0]) DeleteFileA(link);
}

bool ShortcutFileExists(const char* path) { return PathExists(path); }

HRESULT GetInternetShortcutUrl(const char* url_path, char* buffer, size_t buffer_size) {
    if (!buffer || buffer_size == 0) return E_INVALIDARG;
    buffer[0] = '\0';
    if (!url_path) return E_INVALIDARG;
    tess::ScopedComInit com;
    tess::ComPtr<IUniformResourceLocatorA> locator;
    HRESULT hr = CoCreateInstance(kClsidInternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                  kIidUniformResourceLocatorA, locator.put_void());
    if (FAILED(hr)) return hr;
    tess::ComPtr<IPersistFile> file;
    if (FAILED(hr = locator->QueryInterface(IID_IPersistFile, file.put_void()))) return hr;
    WCHAR wide[MAX_PATH];
    if (!ToWide(url_path, wide, MAX_PATH)) return E_INVALIDARG;
    if (FAILED(hr = file->Load(wide, STGM_READ))) return hr;
    LPSTR url = nullptr;
    if (FAILED(hr = locator->GetURL(&url))) return hr;
    if (!url) return E_FAIL;
    // A cut URL would name another address: refuse it instead.
    if (!tess::CopyText(buffer, buffer_size, url)) {
        buffer[0] = '\0';
        hr = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    }
    ShellFree(url);
    return hr;
}
