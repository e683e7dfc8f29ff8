// A data object of the kind the shell hands to a drop target: a CF_HDROP
// list of file names, built by hand; or one that offers no files at all.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <string>
#include <vector>

namespace dragdrop_test {

class FileDropData : public IDataObject {
public:
    explicit FileDropData(std::vector<std::string> files, bool offer_files = true)
        : files_(std::move(files)), offer_files_(offer_files) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }   // lives on the stack
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    // How many drop lists the target took and gave back.
    int handed_out = 0;

private:
    std::vector<std::string> files_;
    bool offer_files_;
    ULONG refs_ = 1;
};

}  // namespace dragdrop_test
