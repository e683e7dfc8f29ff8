#include "Gantrel/class_factory.h"

#include "Gantrel/module.h"

namespace gantrel {

ClassFactory::ClassFactory(CreateFunction create) : create_(create) { LockModule(); }
ClassFactory::~ClassFactory() { UnlockModule(); }

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() { return ULONG(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) ClassFactory::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return ULONG(n);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    // An aggregated object can only hand its inner IUnknown to the outer one.
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return create_(outer, iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) LockModule();
    else UnlockModule();
    return S_OK;
}

}  // namespace gantrel
