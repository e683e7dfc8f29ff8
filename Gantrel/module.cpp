// Entry point and COM exports of Gantrel.dll.
#include "Gantrel/module.h"

#include "Gantrel/class_factory.h"
#include "Gantrel/registry_script.h"
#include "Gantrel/resource.h"
#include "Gantrel/splash.h"
#include "util/handles.h"

#include <cwchar>

namespace gantrel {
namespace {

HINSTANCE g_instance = nullptr;
LONG g_locks = 0;

}  // namespace

// {C0620B93-6860-4538-9372-D13114372A88}
const GUID kLibId = {0xC0620B93, 0x6860, 0x4538, {0x93, 0x72, 0xD1, 0x31, 0x14, 0x37, 0x2A, 0x88}};
// {B3B24BC9-3984-4572-8F93-EDEC6E1D8A08}
const CLSID kSplashClsid = {0xB3B24BC9, 0x3984, 0x4572, {0x8F, 0x93, 0xED, 0xEC, 0x6E, 0x1D, 0x8A, 0x08}};

HINSTANCE ModuleInstance() { return g_instance; }

bool ModulePath(char* path, size_t size) {
    DWORD n = GetModuleFileNameA(g_instance, path, DWORD(size));
    return n > 0 && n < size;
}

void LockModule() { InterlockedIncrement(&g_locks); }
void UnlockModule() { InterlockedDecrement(&g_locks); }
LONG ModuleLockCount() { return InterlockedCompareExchange(&g_locks, 0, 0); }

void WideToAnsi(const wchar_t* text, char* out, int size) {
    if (!out || size <= 0) return;
    out[0] = '\0';
    if (!text) return;
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, size, nullptr, nullptr);
    if (n == 0) {
        // Too long: keep what fits rather than nothing.
        if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            int len = int(wcslen(text));
            while (len > 0) {
                n = WideCharToMultiByte(CP_ACP, 0, text, len, out, size - 1, nullptr, nullptr);
                if (n > 0) break;
                len = len > size ? size - 1 : len - 1;
            }
            out[n > 0 ? n : 0] = '\0';
        } else {
            out[0] = '\0';
        }
    }
    out[size - 1] = '\0';
}

int AnsiToWide(const char* text, wchar_t* out, int count) {
    if (!out || count <= 0) return 0;
    out[0] = L'\0';
    if (!text) return 0;
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, out, count);
    if (n <= 0) {
        out[0] = L'\0';
        return 0;
    }
    return n - 1;
}

int FolderPartLength(const wchar_t* path) {
    if (!path) return 0;
    int last = 0;
    for (int i = 0; path[i]; ++i)
        if (path[i] == L'\\' || path[i] == L'/' || path[i] == L':') last = i + 1;
    return last;
}

namespace {

// The type library is registered under the platform it was compiled for.
#ifdef _WIN64
constexpr SYSKIND kTypeLibPlatform = SYS_WIN64;
#else
constexpr SYSKIND kTypeLibPlatform = SYS_WIN32;
#endif

HRESULT RegisterTypeLibrary(bool add) {
    if (!add) {
        HRESULT hr = UnRegisterTypeLib(kLibId, kTypeLibMajor, kTypeLibMinor, LANG_NEUTRAL, kTypeLibPlatform);
        // Nothing registered is not a failure of unregistration.
        return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED ? S_OK : hr;
    }
    char path[MAX_PATH];
    if (!ModulePath(path, sizeof path)) return E_FAIL;
    wchar_t wide[MAX_PATH];
    if (!AnsiToWide(path, wide, MAX_PATH)) return E_FAIL;
    tess::ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(wide, REGKIND_NONE, library.put());
    if (FAILED(hr)) return hr;
    wchar_t folder[MAX_PATH];
    int n = FolderPartLength(wide);
    wcsncpy(folder, wide, n);
    folder[n] = L'\0';
    return RegisterTypeLib(library.get(), wide, folder);
}

}  // namespace
}  // namespace gantrel

using namespace gantrel;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        g_instance = nullptr;
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, kSplashClsid)) return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = new (std::nothrow) ClassFactory(&CSplash::CreateInstance);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

namespace {

HRESULT Register() {
    HRESULT hr = ApplyRegistryScript(IDR_SPLASH_REGISTRY, true);
    if (SUCCEEDED(hr)) hr = RegisterTypeLibrary(true);
    if (FAILED(hr)) {
        // Leave nothing half-registered behind.
        ApplyRegistryScript(IDR_SPLASH_REGISTRY, false);
        RegisterTypeLibrary(false);
    }
    return hr;
}

HRESULT Unregister() {
    HRESULT hr = ApplyRegistryScript(IDR_SPLASH_REGISTRY, false);
    HRESULT type_hr = RegisterTypeLibrary(false);
    return FAILED(hr) ? hr : type_hr;
}

}  // namespace

extern "C" HRESULT __stdcall DllRegisterServer() {
    try {
        return Register();
    } catch (...) {
        return E_OUTOFMEMORY;   // nothing may cross into regsvr32
    }
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    try {
        return Unregister();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
