// A class factory for one class, with aggregation and server locks.
#pragma once
#include <windows.h>
#include <ole2.h>

namespace gantrel {

// Creates an object (aggregated when outer is set) and answers iid.
using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreateFunction create);
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassFactory();
    LONG refs_ = 1;
    CreateFunction create_;
};

}  // namespace gantrel
