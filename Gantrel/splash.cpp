#include "Gantrel/splash.h"

#include "Gantrel/module.h"
#include "Gantrel/utils.h"

#include <new>

#include "util/callback_guard.h"

namespace gantrel {
namespace {

constexpr UINT kRunOnOwner = WM_APP + 1;
constexpr UINT kDestroyOnOwner = WM_APP + 2;
constexpr int kMaxText = 260;   // 259 characters and the terminator

enum Line { kIconLine, kStatusLine, kCaptionLine };

struct Work {
    const std::function<HRESULT()>* work;
    HRESULT result;
};

}  // namespace

HRESULT CSplash::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    *out = nullptr;
    CSplash* splash = new (std::nothrow) CSplash(outer);
    if (!splash) return E_OUTOFMEMORY;
    splash->inner_.AddRef();   // held until the end of this function
    HRESULT hr = CoCreateFreeThreadedMarshaler(splash->outer_, &splash->marshaler_);
    if (SUCCEEDED(hr) && !splash->CreateDispatcher()) hr = E_OUTOFMEMORY;
    if (SUCCEEDED(hr)) hr = splash->inner_.QueryInterface(iid, out);
    splash->inner_.Release();
    return hr;
}

CSplash::CSplash(IUnknown* outer)
    : inner_(this), outer_(outer ? outer : &inner_), owner_thread_(GetCurrentThreadId()) {
    LockModule();
}

CSplash::~CSplash() {
    DestroyWindowOnOwner();
    if (marshaler_) marshaler_->Release();
    if (type_info_) type_info_->Release();
    UnlockModule();
}

// ---- identity ------------------------------------------------------------------

STDMETHODIMP CSplash::Inner::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *out = static_cast<IUnknown*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_ISplash)) {
        *out = static_cast<ISplash*>(self_);
    } else if (IsEqualIID(iid, IID_IMarshal) && self_->marshaler_) {
        return self_->marshaler_->QueryInterface(iid, out);
    } else {
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CSplash::Inner::AddRef() { return ULONG(InterlockedIncrement(&self_->refs_)); }

STDMETHODIMP_(ULONG) CSplash::Inner::Release() {
    LONG n = InterlockedDecrement(&self_->refs_);
    if (n == 0) {
        self_->refs_ = 1;   // guard against re-entry while tearing down
        delete self_;
    }
    return ULONG(n);
}

STDMETHODIMP CSplash::QueryInterface(REFIID iid, void** out) { return outer_->QueryInterface(iid, out); }
STDMETHODIMP_(ULONG) CSplash::AddRef() { return outer_->AddRef(); }
STDMETHODIMP_(ULONG) CSplash::Release() { return outer_->Release(); }

// ---- owner thread ------------------------------------------------------------------

bool CSplash::CreateDispatcher() {
    // A message-only window of this thread: other threads send their work here.
    dispatcher_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(), nullptr);
    if (!dispatcher_) return false;
    SetWindowLongPtrA(dispatcher_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    dispatcher_base_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dispatcher_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DispatcherProc)));
    return dispatcher_base_ != nullptr;
}

LRESULT CALLBACK CSplash::DispatcherProc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<CSplash*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    WNDPROC base = self ? self->dispatcher_base_ : nullptr;
    return tess::GuardSubclassProc(base, wnd, message, wparam, lparam, [&]() -> LRESULT {
        if (!self) return DefWindowProcA(wnd, message, wparam, lparam);
        switch (message) {
        case kRunOnOwner: {
            auto* work = reinterpret_cast<Work*>(lparam);
            // The caller on the other thread waits for a result, whatever happens.
            work->result = tess::RunGuarded([work] { return (*work->work)(); }, [] { return E_UNEXPECTED; });
            return 0;
        }
        case kDestroyOnOwner:
            self->DestroyWindowOnOwner();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
            SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
            self->dispatcher_ = nullptr;
            return CallWindowProcA(base, wnd, message, wparam, lparam);
        default:
            return CallWindowProcA(base, wnd, message, wparam, lparam);
        }
    });
}

HRESULT CSplash::OnOwnerThread(const std::function<HRESULT()>& work) {
    if (GetCurrentThreadId() == owner_thread_) {
        try {
            return work();
        } catch (...) {
            return E_OUTOFMEMORY;   // nothing may cross into the COM caller
        }
    }
    // The owner thread has ended: its windows went with it.
    if (!dispatcher_ || !IsWindow(dispatcher_)) return RPC_E_DISCONNECTED;
    Work call{&work, RPC_E_DISCONNECTED};
    SendMessageA(dispatcher_, kRunOnOwner, 0, reinterpret_cast<LPARAM>(&call));
    return call.result;
}

void CSplash::DestroyWindowOnOwner() {
    if (GetCurrentThreadId() != owner_thread_) {
        if (dispatcher_ && IsWindow(dispatcher_)) SendMessageA(dispatcher_, kDestroyOnOwner, 0, 0);
        window_.reset();   // its window is gone (or went with its thread)
        return;
    }
    window_.reset();
    if (dispatcher_ && IsWindow(dispatcher_)) DestroyWindow(dispatcher_);
    dispatcher_ = nullptr;
}

// ---- IDispatch -------------------------------------------------------------------------

ITypeInfo* CSplash::TypeInfo() {
    if (type_info_) return type_info_;
    tess::ComPtr<ITypeLib> library;
    HRESULT hr = LoadRegTypeLib(kLibId, kTypeLibMajor, kTypeLibMinor, LANG_NEUTRAL, library.put());
    if (FAILED(hr)) {
        // Not registered: the library's own copy serves as well.
        char path[MAX_PATH];
        wchar_t wide[MAX_PATH];
        if (!ModulePath(path, sizeof path) || !AnsiToWide(path, wide, MAX_PATH)) return nullptr;
        if (FAILED(LoadTypeLibEx(wide, REGKIND_NONE, library.put()))) return nullptr;
    }
    ITypeInfo* info = nullptr;
    if (FAILED(library->GetTypeInfoOfGuid(IID_ISplash, &info))) return nullptr;
    if (InterlockedCompareExchangePointer(reinterpret_cast<void**>(&type_info_), info, nullptr) != nullptr)
        info->Release();   // another thread was first
    return type_info_;
}

STDMETHODIMP CSplash::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP CSplash::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ITypeInfo* type = TypeInfo();
    if (!type) return TYPE_E_CANTLOADLIBRARY;
    type->AddRef();
    *info = type;
    return S_OK;
}

STDMETHODIMP CSplash::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* type = TypeInfo();
    if (!type) return TYPE_E_CANTLOADLIBRARY;
    return DispGetIDsOfNames(type, names, count, ids);
}

STDMETHODIMP CSplash::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* arg_error) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* type = TypeInfo();
    if (!type) return TYPE_E_CANTLOADLIBRARY;
    return DispInvoke(static_cast<ISplash*>(this), type, id, flags, params, result, exception, arg_error);
}

// ---- ISplash -------------------------------------------------------------------------------

STDMETHODIMP CSplash::showSplash(int x_offset, int y_offset) {
    return OnOwnerThread([&]() -> HRESULT {
        HRESULT hr = S_OK;
        if (window_ && window_->Exists()) {
            window_->Show();
        } else {
            auto window = std::make_unique<CSplashWindow>();
            if (window->Create(caption_, status_)) {
                window_ = std::move(window);
                window_->Place(x_offset, y_offset);
                window_->Show();
                if (!icon_path_.empty()) window_->LoadIcon(icon_path_, icon_index_);
                RedrawWindow(window_->Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            } else {
                // Say so: a caller must not believe a splash is up.
                DWORD error = GetLastError();
                hr = error ? HRESULT_FROM_WIN32(error) : E_FAIL;
                window_.reset();
            }
        }
        PumpMessages();
        return hr;
    });
}

STDMETHODIMP CSplash::hideSplash() {
    return OnOwnerThread([&]() -> HRESULT {
        window_.reset();
        return S_OK;
    });
}

HRESULT CSplash::PutText(std::string& field, BSTR value, int line) {
    char text[kMaxText];
    WideToAnsi(value, text, sizeof text);   // a NULL BSTR is the empty text
    std::string new_text(text);
    return OnOwnerThread([&]() -> HRESULT {
        field = new_text;
        if (window_ && window_->Exists()) {
            if (line == kIconLine) {
                if (window_->LoadIcon(icon_path_, icon_index_)) window_->SetTexts(caption_, status_);
            } else {
                window_->SetTexts(caption_, status_);
            }
            PumpMessages();
        }
        return field.empty() ? S_FALSE : S_OK;
    });
}

HRESULT CSplash::GetText(const std::string& field, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return OnOwnerThread([&]() -> HRESULT {
        wchar_t wide[kMaxText];
        AnsiToWide(field.c_str(), wide, kMaxText);
        *value = SysAllocString(wide);
        return *value ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP CSplash::get_IconPath(BSTR* value) { return GetText(icon_path_, value); }
STDMETHODIMP CSplash::put_IconPath(BSTR value) { return PutText(icon_path_, value, kIconLine); }
STDMETHODIMP CSplash::get_Status(BSTR* value) { return GetText(status_, value); }
STDMETHODIMP CSplash::put_Status(BSTR value) { return PutText(status_, value, kStatusLine); }
STDMETHODIMP CSplash::get_Caption(BSTR* value) { return GetText(caption_, value); }
STDMETHODIMP CSplash::put_Caption(BSTR value) { return PutText(caption_, value, kCaptionLine); }

STDMETHODIMP CSplash::get_IconIndex(short* value) {
    if (!value) return E_POINTER;
    return OnOwnerThread([&]() -> HRESULT {
        *value = icon_index_;
        return S_OK;
    });
}

STDMETHODIMP CSplash::put_IconIndex(short value) {
    return OnOwnerThread([&]() -> HRESULT {
        icon_index_ = value;
        if (window_ && window_->Exists() && !icon_path_.empty()) window_->LoadIcon(icon_path_, icon_index_);
        return S_OK;
    });
}

}  // namespace gantrel
