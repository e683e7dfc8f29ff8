// CSplash: the object behind the Splash class. It answers IUnknown,
// IDispatch and ISplash itself and IMarshal through the free-threaded
// marshaler it aggregates. Because that marshaler hands direct pointers to
// other threads, every member runs its window work on the thread that
// created the object, which owns the splash window.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <functional>
#include <memory>
#include <string>

#include "Gantrel/gantrel_h.h"
#include "Gantrel/splash_window.h"

namespace gantrel {

class CSplash final : public ISplash {
public:
    // The class factory's creation function.
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out);

    // IUnknown (delegates to the controlling unknown)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch, served from the type library
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* arg_error) override;

    // ISplash
    STDMETHODIMP showSplash(int x_offset, int y_offset) override;
    STDMETHODIMP hideSplash() override;
    STDMETHODIMP get_IconPath(BSTR* value) override;
    STDMETHODIMP put_IconPath(BSTR value) override;
    STDMETHODIMP get_IconIndex(short* value) override;
    STDMETHODIMP put_IconIndex(short value) override;
    STDMETHODIMP get_Status(BSTR* value) override;
    STDMETHODIMP put_Status(BSTR value) override;
    STDMETHODIMP get_Caption(BSTR* value) override;
    STDMETHODIMP put_Caption(BSTR value) override;

private:
    // The non-delegating IUnknown that an aggregating object holds.
    class Inner : public IUnknown {
    public:
        explicit Inner(CSplash* self) : self_(self) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        CSplash* self_;
    };

    explicit CSplash(IUnknown* outer);
    ~CSplash();
    CSplash(const CSplash&) = delete;
    CSplash& operator=(const CSplash&) = delete;

    bool CreateDispatcher();
    static LRESULT CALLBACK DispatcherProc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam);
    // Runs work on the owner thread (directly when called there).
    HRESULT OnOwnerThread(const std::function<HRESULT()>& work);
    HRESULT PutText(std::string& field, BSTR value, int line);
    HRESULT GetText(const std::string& field, BSTR* value);
    ITypeInfo* TypeInfo();
    void DestroyWindowOnOwner();

    // Fields in the order the class keeps them.
    std::string caption_;
    std::string status_;
    std::string icon_path_;
    short icon_index_ = 0;
    std::unique_ptr<CSplashWindow> window_;
    IUnknown* marshaler_ = nullptr;

    Inner inner_;
    IUnknown* outer_;
    LONG refs_ = 0;
    DWORD owner_thread_;
    HWND dispatcher_ = nullptr;
    WNDPROC dispatcher_base_ = nullptr;
    ITypeInfo* type_info_ = nullptr;
};

}  // namespace gantrel
