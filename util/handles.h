// Scoped owners for Win32 resources: each owns one handle, frees it on
// destruction, cannot be copied, and can hand the handle over with release().
#pragma once
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
#include <utility>

namespace tess {

// A generic owner: Traits supplies the invalid value and the close function.
template <typename Traits>
class UniqueHandle {
public:
    using handle_type = typename Traits::handle_type;
    UniqueHandle() noexcept : h_(Traits::invalid()) {}
    explicit UniqueHandle(handle_type h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    handle_type get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::invalid(); }
    handle_type release() noexcept { return std::exchange(h_, Traits::invalid()); }
    void reset(handle_type h = Traits::invalid()) noexcept {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }
    // For APIs that fill a handle through a pointer.
    handle_type* put() noexcept { reset(); return &h_; }

private:
    handle_type h_;
};

#define TESS_HANDLE_TRAITS(Name, Type, Invalid, CloseExpr)                \
    struct Name {                                                          \
        using handle_type = Type;                                          \
        static handle_type invalid() noexcept { return Invalid; }          \
        static void close(handle_type h) noexcept { CloseExpr; }           \
    }

TESS_HANDLE_TRAITS(KernelHandleTraits, HANDLE, nullptr, ::CloseHandle(h));
TESS_HANDLE_TRAITS(FileHandleTraits, HANDLE, INVALID_HANDLE_VALUE, ::CloseHandle(h));
TESS_HANDLE_TRAITS(FindHandleTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindClose(h));
TESS_HANDLE_TRAITS(GdiObjectTraits, HGDIOBJ, nullptr, ::DeleteObject(h));
TESS_HANDLE_TRAITS(BitmapTraits, HBITMAP, nullptr, ::DeleteObject(h));
TESS_HANDLE_TRAITS(FontTraits, HFONT, nullptr, ::DeleteObject(h));
TESS_HANDLE_TRAITS(BrushTraits, HBRUSH, nullptr, ::DeleteObject(h));
TESS_HANDLE_TRAITS(PenTraits, HPEN, nullptr, ::DeleteObject(h));
TESS_HANDLE_TRAITS(RegionTraits, HRGN, nullptr, ::DeleteObject(h));
TESS_HANDLE_TRAITS(IconTraits, HICON, nullptr, ::DestroyIcon(h));
TESS_HANDLE_TRAITS(MenuTraits, HMENU, nullptr, ::DestroyMenu(h));
TESS_HANDLE_TRAITS(MemoryDcTraits, HDC, nullptr, ::DeleteDC(h));
TESS_HANDLE_TRAITS(RegKeyTraits, HKEY, nullptr, ::RegCloseKey(h));
TESS_HANDLE_TRAITS(ModuleTraits, HMODULE, nullptr, ::FreeLibrary(h));
TESS_HANDLE_TRAITS(MappedViewTraits, void*, nullptr, ::UnmapViewOfFile(h));
TESS_HANDLE_TRAITS(WindowTraits, HWND, nullptr, ::DestroyWindow(h));
TESS_HANDLE_TRAITS(GlobalAllocTraits, HGLOBAL, nullptr, ::GlobalFree(h));
TESS_HANDLE_TRAITS(ImageListTraits, HIMAGELIST, nullptr, ::ImageList_Destroy(h));

using ScopedHandle = UniqueHandle<KernelHandleTraits>;     // events, processes, mappings
using ScopedFile = UniqueHandle<FileHandleTraits>;         // CreateFile
using ScopedFind = UniqueHandle<FindHandleTraits>;         // FindFirstFile
using ScopedGdiObject = UniqueHandle<GdiObjectTraits>;
using ScopedBitmap = UniqueHandle<BitmapTraits>;
using ScopedFont = UniqueHandle<FontTraits>;
using ScopedBrush = UniqueHandle<BrushTraits>;
using ScopedPen = UniqueHandle<PenTraits>;
using ScopedRegion = UniqueHandle<RegionTraits>;
using ScopedIcon = UniqueHandle<IconTraits>;
using ScopedMenu = UniqueHandle<MenuTraits>;
using ScopedMemoryDc = UniqueHandle<MemoryDcTraits>;       // CreateCompatibleDC
using ScopedRegKey = UniqueHandle<RegKeyTraits>;
using ScopedModule = UniqueHandle<ModuleTraits>;           // LoadLibrary
using ScopedView = UniqueHandle<MappedViewTraits>;         // MapViewOfFile
using ScopedWindow = UniqueHandle<WindowTraits>;
using ScopedGlobal = UniqueHandle<GlobalAllocTraits>;
using ScopedImageList = UniqueHandle<ImageListTraits>;

// An icon that is either the holder's own (destroyed with it) or lent by
// someone who keeps it alive, such as a window's class icon.
class HeldIcon {
public:
    HeldIcon() noexcept = default;
    ~HeldIcon() { Reset(); }
    // A copy owns its own duplicate of an owned icon and shares a lent one.
    HeldIcon(const HeldIcon& other) { CopyFrom(other); }
    HeldIcon& operator=(const HeldIcon& other) {
        if (this != &other) CopyFrom(other);
        return *this;
    }
    HICON get() const noexcept { return icon_; }
    explicit operator bool() const noexcept { return icon_ != nullptr; }
    bool owned() const noexcept { return owned_; }
    void Own(ScopedIcon icon) noexcept { Set(icon.release(), true); }
    void Borrow(HICON icon) noexcept { Set(icon, false); }
    void Reset() noexcept { Set(nullptr, false); }
    // Hands over the icon if the holder owned it (empty if it was lent).
    ScopedIcon TakeOwned() noexcept {
        ScopedIcon taken(owned_ ? icon_ : nullptr);
        icon_ = nullptr;
        owned_ = false;
        return taken;
    }

private:
    void CopyFrom(const HeldIcon& other) {
        if (other.owned_) Set(other.icon_ ? ::CopyIcon(other.icon_) : nullptr, true);
        else Set(other.icon_, false);
    }
    void Set(HICON icon, bool owned) noexcept {
        if (owned_ && icon_ && icon_ != icon) ::DestroyIcon(icon_);
        icon_ = icon;
        owned_ = owned && icon;
    }
    HICON icon_ = nullptr;
    bool owned_ = false;
};

// A DC from GetDC, given back with ReleaseDC.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND wnd) noexcept : wnd_(wnd), dc_(::GetDC(wnd)) {}
    ~ScopedWindowDc() { if (dc_) ::ReleaseDC(wnd_, dc_); }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND wnd_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back on scope exit.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) noexcept
        : dc_(dc), old_(dc && obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~ScopedSelect() { if (dc_ && old_) ::SelectObject(dc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer, released on scope exit.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** put() noexcept { reset(); return &p_; }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset() noexcept { if (p_) { p_->Release(); p_ = nullptr; } }
    T* detach() noexcept { return std::exchange(p_, nullptr); }

private:
    T* p_ = nullptr;
};

// CoInitialize for the scope of a caller that needs COM.
class ScopedComInit {
public:
    ScopedComInit() noexcept : hr_(::CoInitialize(nullptr)) {}
    ~ScopedComInit() { if (SUCCEEDED(hr_)) ::CoUninitialize(); }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;
    bool ok() const noexcept { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

}  // namespace tess
