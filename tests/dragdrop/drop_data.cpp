#include "drop_data.h"
#include <shlobj.h>
#include <cstring>

namespace dragdrop_test {

STDMETHODIMP FileDropData::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
        *out = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP FileDropData::QueryGetData(FORMATETC* format) {
    return offer_files_ && format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL)
               ? S_OK
               : DV_E_FORMATETC;
}

STDMETHODIMP FileDropData::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    // DROPFILES, then each name with its terminator, then one more terminator.
    size_t bytes = sizeof(DROPFILES) + 1;
    for (const std::string& f : files_) bytes += f.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!memory) return E_OUTOFMEMORY;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* at = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
    for (const std::string& f : files_) {
        memcpy(at, f.c_str(), f.size() + 1);
        at += f.size() + 1;
    }
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    ++handed_out;
    return S_OK;
}

}  // namespace dragdrop_test
