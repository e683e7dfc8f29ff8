// The shared suite module: a COM server library.
#include <windows.h>
#include <ole2.h>

extern "C" HRESULT __stdcall DllCanUnloadNow() { return S_OK; }
extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID, REFIID, void** out) {
    if (out) *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}
extern "C" HRESULT __stdcall DllRegisterServer() { return E_NOTIMPL; }
extern "C" HRESULT __stdcall DllUnregisterServer() { return E_NOTIMPL; }
