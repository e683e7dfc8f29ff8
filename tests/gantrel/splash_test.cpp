// The Splash class as a client sees it: created by ProgID, driven through
// IDispatch and ISplash, aggregated, called from another thread, and the
// module's unload rule.
#include <gtest/gtest.h>

#include "Gantrel/gantrel_h.h"
#include "Gantrel/resource.h"
#include "tests/gantrel/gantrel_fixtures.h"
#include "tests/support/test_support.h"
#include "util/text.h"
#include "util/handles.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

using namespace testing_support;
using namespace gantrel_test;

namespace {

const CLSID kSplashClsid = {0xB3B24BC9, 0x3984, 0x4572, {0x8F, 0x93, 0xED, 0xEC, 0x6E, 0x1D, 0x8A, 0x08}};

// Visible splash dialogs ("#32770" without title) of this thread.
HWND FindSplash(DWORD thread = GetCurrentThreadId()) {
    struct Search {
        HWND found = nullptr;
        static BOOL CALLBACK Visit(HWND wnd, LPARAM lp) {
            char cls[32] = {};
            GetClassNameA(wnd, cls, sizeof cls);
            if (strcmp(cls, "#32770") == 0 && GetDlgItem(wnd, IDC_SPLASH_STATUS) && IsWindowVisible(wnd)) {
                reinterpret_cast<Search*>(lp)->found = wnd;
                return FALSE;
            }
            return TRUE;
        }
    } search;
    EnumThreadWindows(thread, &Search::Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ControlText(HWND dialog, int id) {
    char text[300] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

class SplashObject : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        library_ = new Library;
        registered_ = library_->DllRegisterServer && SUCCEEDED(library_->DllRegisterServer());
    }
    static void TearDownTestSuite() {
        if (registered_) library_->DllUnregisterServer();
        delete library_;
        CoUninitialize();
    }
    void SetUp() override { ASSERT_TRUE(registered_); }

    tess::ComPtr<ISplash> Create() {
        tess::ComPtr<ISplash> splash;
        CLSID clsid;
        EXPECT_EQ(S_OK, CLSIDFromProgID(L"Gantrel.Splash", &clsid));
        EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ISplash, splash.put_void()));
        return splash;
    }

    static Library* library_;
    static bool registered_;
};

Library* SplashObject::library_ = nullptr;
bool SplashObject::registered_ = false;

TEST_F(SplashObject, ProgIdsNameTheClass) {
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Gantrel.Splash", &clsid));
    EXPECT_TRUE(IsEqualCLSID(kSplashClsid, clsid));
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Gantrel.Splash.1", &clsid));
    EXPECT_TRUE(IsEqualCLSID(kSplashClsid, clsid));
}

HRESULT CallByName(IDispatch* dispatch, const wchar_t* name, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::reverse(args.begin(), args.end());   // IDispatch takes them last first
    DISPPARAMS params{args.data(), nullptr, UINT(args.size()), 0};
    DISPID put = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

VARIANT IntArg(int v) { VARIANT x; VariantInit(&x); x.vt = VT_I4; x.lVal = v; return x; }

TEST_F(SplashObject, IDispatchClientShowsPlacesAndHides) {
    tess::ComPtr<IDispatch> dispatch;
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Gantrel.Splash", &clsid));
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, dispatch.put_void()));

    const wchar_t* names[] = {L"showSplash", L"hideSplash", L"IconPath", L"IconIndex", L"Status", L"Caption"};
    for (int i = 0; i < 6; ++i) {
        DISPID id = -1;
        LPOLESTR name = const_cast<LPOLESTR>(names[i]);
        ASSERT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
        EXPECT_EQ(i + 1, id);
    }

    VARIANT caption;
    VariantInit(&caption);
    caption.vt = VT_BSTR;
    caption.bstrVal = SysAllocString(L"Starting Tessellar");
    EXPECT_EQ(S_OK, CallByName(dispatch.get(), L"Caption", DISPATCH_PROPERTYPUT, {caption}, nullptr));
    VariantClear(&caption);
    VARIANT status;
    VariantInit(&status);
    status.vt = VT_BSTR;
    status.bstrVal = SysAllocString(L"Loading skins");
    EXPECT_EQ(S_OK, CallByName(dispatch.get(), L"Status", DISPATCH_PROPERTYPUT, {status}, nullptr));
    VariantClear(&status);

    ASSERT_EQ(S_OK, CallByName(dispatch.get(), L"showSplash", DISPATCH_METHOD, {IntArg(100), IntArg(100)}, nullptr));
    HWND splash = FindSplash();
    ASSERT_NE(nullptr, splash);
    RECT r;
    GetWindowRect(splash, &r);
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(100, r.top);
    EXPECT_EQ("Starting Tessellar", ControlText(splash, IDC_SPLASH_CAPTION));
    EXPECT_EQ("Loading skins", ControlText(splash, IDC_SPLASH_STATUS));
    EXPECT_EQ(0, GetWindowTextLengthA(splash));

    // Shown again while it exists: the same window.
    ASSERT_EQ(S_OK, CallByName(dispatch.get(), L"showSplash", DISPATCH_METHOD, {IntArg(300), IntArg(300)}, nullptr));
    EXPECT_EQ(splash, FindSplash());

    VARIANT got;
    VariantInit(&got);
    ASSERT_EQ(S_OK, CallByName(dispatch.get(), L"Caption", DISPATCH_PROPERTYGET, {}, &got));
    ASSERT_EQ(VT_BSTR, got.vt);
    EXPECT_STREQ(L"Starting Tessellar", got.bstrVal);
    VariantClear(&got);

    EXPECT_EQ(S_OK, CallByName(dispatch.get(), L"hideSplash", DISPATCH_METHOD, {}, nullptr));
    EXPECT_FALSE(IsWindow(splash));
    EXPECT_EQ(S_OK, CallByName(dispatch.get(), L"hideSplash", DISPATCH_METHOD, {}, nullptr));
    EXPECT_EQ(nullptr, FindSplash());
}

TEST_F(SplashObject, CentresTextsAndIcons) {
    auto splash = Create();
    ASSERT_TRUE(splash);
    ASSERT_EQ(S_OK, splash->showSplash(-1, 0));
    HWND wnd = FindSplash();
    ASSERT_NE(nullptr, wnd);
    RECT r;
    GetWindowRect(wnd, &r);
    EXPECT_NEAR((GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2, r.left, 1);
    EXPECT_NEAR((GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, r.top, 1);

    // Empty texts: S_FALSE and an empty line; NULL is the empty text.
    BSTR text = SysAllocString(L"Working");
    EXPECT_EQ(S_OK, splash->put_Status(text));
    SysFreeString(text);
    EXPECT_EQ("Working", ControlText(wnd, IDC_SPLASH_STATUS));
    // The status line is white on black.
    PumpFor(50);
    RECT line;
    GetWindowRect(GetDlgItem(wnd, IDC_SPLASH_STATUS), &line);
    ScreenCapture capture(line);
    ASSERT_TRUE(capture.Valid());
    EXPECT_EQ(RGB(0, 0, 0), capture.Pixel(1, capture.Height() / 2));
    bool white = false;
    for (int x = 0; x < capture.Width() && !white; ++x)
        for (int y = 0; y < capture.Height() && !white; ++y) white = capture.Pixel(x, y) == RGB(255, 255, 255);
    EXPECT_TRUE(white);
    text = SysAllocString(L"");
    EXPECT_EQ(S_FALSE, splash->put_Status(text));
    SysFreeString(text);
    EXPECT_EQ("", ControlText(wnd, IDC_SPLASH_STATUS));
    EXPECT_EQ(S_FALSE, splash->put_Caption(nullptr));
    BSTR read = nullptr;
    ASSERT_EQ(S_OK, splash->get_Caption(&read));
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(0u, SysStringLen(read));
    SysFreeString(read);

    // A text in the ANSI code page comes back as the same UTF-16.
    text = SysAllocString(L"Caf\u00e9 ready");
    EXPECT_EQ(S_OK, splash->put_Caption(text));
    ASSERT_EQ(S_OK, splash->get_Caption(&read));
    EXPECT_STREQ(L"Caf\u00e9 ready", read);
    SysFreeString(read);
    SysFreeString(text);

    // An over-long text is cut to 259 characters, not overrun.
    std::wstring long_text(1000, L'w');
    text = SysAllocString(long_text.c_str());
    EXPECT_EQ(S_OK, splash->put_Caption(text));
    SysFreeString(text);
    ASSERT_EQ(S_OK, splash->get_Caption(&read));
    EXPECT_EQ(259u, SysStringLen(read));
    SysFreeString(read);

    // Icons: a file with icons sets one; a missing index leaves it.
    char shell32[MAX_PATH];
    GetSystemDirectoryA(shell32, MAX_PATH);
    tess::AppendText(shell32, "\\shell32.dll");
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, shell32, -1, wide, MAX_PATH);
    HWND icon = GetDlgItem(wnd, IDC_SPLASH_ICON);
    EXPECT_EQ(nullptr, reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)));
    text = SysAllocString(wide);
    EXPECT_EQ(S_OK, splash->put_IconPath(text));
    SysFreeString(text);
    HICON first = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(S_OK, splash->put_IconIndex(30000));
    EXPECT_EQ(first, reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)));
    short index = 0;
    EXPECT_EQ(S_OK, splash->get_IconIndex(&index));
    EXPECT_EQ(30000, index);
    EXPECT_EQ(S_OK, splash->hideSplash());
}

LRESULT CALLBACK BlockDialogs(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lparam);
        if (create->lpcs->lpszClass == MAKEINTATOM(32770) ||
            (HIWORD(create->lpcs->lpszClass) && strcmp(create->lpcs->lpszClass, "#32770") == 0))
            return 1;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(SplashObject, AWindowThatCannotBeCreatedIsAFailure) {
    auto splash = Create();
    ASSERT_TRUE(splash);
    HHOOK hook = SetWindowsHookExA(WH_CBT, BlockDialogs, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    HRESULT hr = splash->showSplash(10, 10);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(nullptr, FindSplash());
    EXPECT_EQ(S_OK, splash->showSplash(10, 10));
    EXPECT_NE(nullptr, FindSplash());
    EXPECT_EQ(S_OK, splash->hideSplash());
}

TEST_F(SplashObject, OtherThreadsGetTheObjectButTheWindowStaysWithItsOwner) {
    auto splash = Create();
    ASSERT_TRUE(splash);
    tess::ComPtr<IUnknown> marshal;
    EXPECT_EQ(S_OK, splash->QueryInterface(IID_IMarshal, marshal.put_void()));

    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, CoMarshalInterThreadInterfaceInStream(IID_ISplash, splash.get(), &stream));
    std::atomic<bool> done{false};
    HRESULT show = E_FAIL, status = E_FAIL, hide = E_FAIL;
    HWND seen = nullptr;
    bool direct = false;
    ISplash* raw = splash.get();
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ISplash* other = nullptr;
        if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, IID_ISplash, reinterpret_cast<void**>(&other)))) {
            direct = other == raw;   // the free-threaded marshaler hands the pointer over
            show = other->showSplash(40, 50);
            BSTR text = SysAllocString(L"from a worker");
            status = other->put_Status(text);
            SysFreeString(text);
            seen = FindSplash(GetCurrentThreadId());
            other->Release();
        }
        CoUninitialize();
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 10000));
    worker.join();
    EXPECT_TRUE(direct);
    EXPECT_EQ(S_OK, show);
    EXPECT_EQ(S_OK, status);
    EXPECT_EQ(nullptr, seen);   // the worker owns no window
    HWND wnd = FindSplash();
    ASSERT_NE(nullptr, wnd);
    EXPECT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(wnd, nullptr));
    EXPECT_EQ("from a worker", ControlText(wnd, IDC_SPLASH_STATUS));

    // Hidden and released from the other thread: the window goes on its owner.
    done = false;
    std::thread closer([&] {
        hide = raw->hideSplash();
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 10000));
    closer.join();
    EXPECT_EQ(S_OK, hide);
    EXPECT_FALSE(IsWindow(wnd));
}

// A minimal outer object for aggregation.
class Outer : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown)) { *out = this; AddRef(); return S_OK; }
        if (inner) return inner->QueryInterface(iid, out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    LONG refs = 1;
    IUnknown* inner = nullptr;
};

TEST_F(SplashObject, AggregationAndUnloadRule) {
    Outer outer;
    void* out = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              CoCreateInstance(kSplashClsid, &outer, CLSCTX_INPROC_SERVER, IID_ISplash, &out));
    EXPECT_EQ(nullptr, out);
    ASSERT_EQ(S_OK, CoCreateInstance(kSplashClsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                     reinterpret_cast<void**>(&outer.inner)));
    ISplash* splash = nullptr;
    ASSERT_EQ(S_OK, outer.QueryInterface(IID_ISplash, reinterpret_cast<void**>(&splash)));
    LONG before = outer.refs;
    splash->AddRef();   // goes to the controlling (outer) object
    EXPECT_EQ(before + 1, outer.refs);
    splash->Release();
    tess::ComPtr<IUnknown> back;
    ASSERT_EQ(S_OK, splash->QueryInterface(IID_IUnknown, back.put_void()));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), back.get());
    back.reset();
    splash->Release();

    // Live objects and locks keep the module.
    Library& lib = *library_;
    EXPECT_EQ(S_FALSE, lib.DllCanUnloadNow());
    outer.inner->Release();
    outer.inner = nullptr;
    EXPECT_EQ(S_OK, lib.DllCanUnloadNow());

    tess::ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, lib.DllGetClassObject(kSplashClsid, IID_IClassFactory, factory.put_void()));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    tess::ComPtr<ISplash> plain;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ISplash, plain.put_void()));
    factory.reset();
    EXPECT_EQ(S_FALSE, lib.DllCanUnloadNow());
    plain.reset();
    EXPECT_EQ(S_FALSE, lib.DllCanUnloadNow());   // still locked
    ASSERT_EQ(S_OK, lib.DllGetClassObject(kSplashClsid, IID_IClassFactory, factory.put_void()));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory.reset();
    EXPECT_EQ(S_OK, lib.DllCanUnloadNow());
    void* none = nullptr;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, lib.DllGetClassObject(IID_ISplash, IID_IClassFactory, &none));
}

}  // namespace
