// The address-box plug-in: its entry point VTMessage, the library's
// globals, and what it does on each message of the plug-in interface.
#include "plugins/wayfinch/wayfinch.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <cstdio>
#include <cstring>
#include "plugins/wayfinch/wayfinch_resources.h"
#include "util/callback_guard.h"
#include "util/text.h"

namespace {

HINSTANCE g_module = nullptr;
VTHostCallbackProc g_host = nullptr;
bool g_hostIsTessellar = false;
IMalloc* g_malloc = nullptr;
UINT g_runMessage = 0;

std::string HostFolder(UINT code, INT_PTR p2) {
    char folder[kPluginPathSize + 1] = "";
    CallHost(code, reinterpret_cast<INT_PTR>(folder), p2);
    folder[kPluginPathSize] = '\0';
    return folder;
}

void DestroyWindows(AddressBoxInstance* box) {
    if (box->combo && ::IsWindow(box->combo)) {
        ::SendMessageA(box->combo, CBEM_SETIMAGELIST, 0, 0);
        ::DestroyWindow(box->combo);
    }
    box->combo = nullptr;
    if (box->parking && ::IsWindow(box->parking)) ::DestroyWindow(box->parking);
    box->parking = nullptr;
}

void FreeBox(AddressBoxInstance* box) {
    DestroyWindows(box);
    for (HBITMAP& bitmap : box->go) {
        if (bitmap) ::DeleteObject(bitmap);
        bitmap = nullptr;
    }
    delete box;
}

INT_PTR OnGetInfo(PluginInfoRecord* info) {
    if (!info) return 0;
    g_hostIsTessellar = info->hostId == kPluginHostIdTessellar;
    tess::CopyText(info->name, "Address Box");
    tess::CopyText(info->author, "Vantrell");
    info->version = 100;
    info->platforms = 0;
    info->hosts = kPluginHostFlagTessellar | kPluginHostFlagWidgets;
    return 1;
}

INT_PTR OnGetSize(AddressBoxInstance* box, PluginSizeInfo* size) {
    if (!size) return 0;
    size->cx = 200;
    size->cy = 22;
    RECT r;
    if (box && box->combo && ::GetWindowRect(box->combo, &r)) size->cy = r.bottom - r.top;
    return 1;
}

INT_PTR OnCreateInstance(void** slot, int* capabilities) {
    if (!slot) return 0;
    auto* box = new AddressBoxInstance();
    box->showGo = 1;
    static const int kGoIds[3] = {IDB_GO_NORMAL, IDB_GO_HOT, IDB_GO_PRESSED};
    for (int i = 0; i < 3; ++i)
        box->go[i] = static_cast<HBITMAP>(
            ::LoadImageA(g_module, MAKEINTRESOURCEA(kGoIds[i]), IMAGE_BITMAP, 0, 0, 0));
    BITMAP bm = {};
    if (box->go[0] && ::GetObjectA(box->go[0], sizeof(bm), &bm)) {
        box->goWidth = bm.bmWidth;
        box->goHeight = bm.bmHeight;
    }
    box->parking = ::CreateDialogParamA(g_module, MAKEINTRESOURCEA(IDD_PARKING), nullptr,
                                        ParkingDialogProc, 0);
    box->combo = CreateAddressCombo(box->parking);
    *slot = box;
    if (capabilities)
        *capabilities = g_hostIsTessellar ? (kPluginPaints | kPluginAnswersSize | kPluginWantsCommand |
                                             kPluginWantsMessages)
                                          : (kPluginPaints | kPluginWantsCommand | kPluginWantsMessages);
    return 1;
}

INT_PTR OnClone(AddressBoxInstance* box, const AddressBoxInstance* source) {
    if (!box || !source) return 0;
    box->showGo = source->showGo;
    for (int i = 0, n = EntryCount(source->combo); i < n; ++i) {
        std::string text = EntryText(source->combo, i);
        AppendEntry(box->combo, text.c_str(), GetTypedIconIndex(text.c_str()));
    }
    return 1;
}

INT_PTR OnAttach(AddressBoxInstance* box, const PluginAttachInfo* info) {
    if (!box || !info) return 0;
    HWND child = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(info->childWindow));
    HWND combo = CreateAddressCombo(child);
    if (!combo) return 0;
    ::ShowWindow(combo, SW_SHOW);
    SHFILEINFOA file = {};
    auto images = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        "c:\\", 0, &file, sizeof(file), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (images) ::SendMessageA(combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    for (int i = 0, n = EntryCount(box->combo); i < n; ++i) {
        std::string text = EntryText(box->combo, i);
        AppendEntry(combo, text.c_str(), GetTypedIconIndex(text.c_str()));
    }
    DestroyWindows(box);
    box->combo = combo;
    LayoutAddressCombo(box);
    return 1;
}

INT_PTR OnLoad(AddressBoxInstance* box, const char* id) {
    if (!box) return 0;
    tess::CopyText(box->name, id ? id : "");
    box->showGo = static_cast<int>(
        ::GetPrivateProfileIntA("General", "ShowGoButton", 1, InstanceFile(box).c_str()));
    const std::string history = HistoryFile();
    if (!box->combo || !::SendMessageA(box->combo, CBEM_GETCOMBOCONTROL, 0, 0)) return 0;
    for (int i = 1; i <= kHistoryReadMax; ++i) {
        char key[32];
        tess::FormatText(key, sizeof(key), "Entry%i", i);
        char entry[kEntrySize] = "";
        ::GetPrivateProfileStringA("History", key, "", entry, sizeof(entry), history.c_str());
        if (!entry[0]) break;
        AppendEntry(box->combo, entry, -1);
    }
    return 1;
}

INT_PTR OnSave(AddressBoxInstance* box, const char* id) {
    if (!box) return 0;
    tess::CopyText(box->name, id ? id : "");
    char show[16];
    tess::FormatText(show, sizeof(show), "%d", box->showGo);
    ::WritePrivateProfileStringA("General", "ShowGoButton", show, InstanceFile(box).c_str());
    const std::string history = HistoryFile();
    ::WritePrivateProfileStringA("History", nullptr, nullptr, history.c_str());
    int number = 0;
    for (int i = 0, n = EntryCount(box->combo); i < n; ++i) {
        std::string text = EntryText(box->combo, i);
        if (text.empty()) continue;
        char key[32];
        tess::FormatText(key, sizeof(key), "Entry%i", ++number);
        ::WritePrivateProfileStringA("History", key, text.c_str(), history.c_str());
    }
    return 1;
}

INT_PTR Dispatch(void* item, void** slot, UINT message, INT_PTR param, INT_PTR param2) {
    auto* box = slot ? static_cast<AddressBoxInstance*>(*slot) : nullptr;
    if (box) box->hostItem = item;
    switch (message) {
    case VTM_INITIALIZE: {
        g_host = reinterpret_cast<VTHostCallbackProc>(param);
        ::CoInitialize(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_USEREX_CLASSES};
        ::InitCommonControlsEx(&controls);
        return 1;
    }
    case VTM_MODULEDONE: return 1;
    case VTM_GETINFO: return OnGetInfo(reinterpret_cast<PluginInfoRecord*>(param));
    case VTM_GETSTATENAME: return 0;
    case VTM_GETSIZE: return OnGetSize(box, reinterpret_cast<PluginSizeInfo*>(param));
    case VTM_CREATEINSTANCE: return OnCreateInstance(slot, reinterpret_cast<int*>(param));
    case VTM_ENDINSTANCE:
        // The host may free the record first; an empty slot is no fault.
        if (box) DestroyWindows(box);
        return 1;
    case VTM_CLONE: return OnClone(box, reinterpret_cast<const AddressBoxInstance*>(param2));
    case VTM_ATTACH: return OnAttach(box, reinterpret_cast<const PluginAttachInfo*>(param));
    case VTM_FREEINSTANCE:
        if (box) FreeBox(box);
        if (slot) *slot = nullptr;
        return 1;
    case VTM_LOAD: return OnLoad(box, reinterpret_cast<const char*>(param));
    case VTM_SAVE: return OnSave(box, reinterpret_cast<const char*>(param));
    case VTM_CONFIGURE:
        if (box)
            ::DialogBoxParamA(g_module, MAKEINTRESOURCEA(IDD_CONFIGURE), nullptr,
                              AddressBoxConfigDialogProc, reinterpret_cast<LPARAM>(box));
        return 1;
    case VTM_STATECHANGE:
        if (box) TrackGoButton(box, WM_MOUSEMOVE);
        return 0;
    case VTM_PAINT: return OnPaint(box, reinterpret_cast<const PluginPaintInfo*>(param));
    case VTM_WINDOWMESSAGE:
        return box ? OnWindowMessage(box, reinterpret_cast<const PluginWindowMessage*>(param)) : 0;
    case VTM_COMMAND: return 1;
    default: return 0;
    }
}

}  // namespace

HINSTANCE WayfinchModule() { return g_module; }

INT_PTR CallHost(UINT code, INT_PTR p1, INT_PTR p2) { return g_host ? g_host(code, p1, p2) : 0; }

UINT RunThisProgramMessage() { return g_runMessage; }

std::string HistoryFile() { return HostFolder(VTHC_GETPLUGINFOLDER, 0) + "Wayfinch.ini"; }

std::string InstanceFile(const AddressBoxInstance* box) {
    // Asked as (buffer, null), the host answers with the plug-ins folder.
    return HostFolder(VTHC_GETBARSKIN, 0) + "Wayfinch" + box->name + ".ini";
}

void FreeItemIdList(void* pidl) {
    if (pidl && g_malloc) g_malloc->Free(pidl);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        g_runMessage = ::RegisterWindowMessageA("Wayfinch-RunThisProgram");
        ::SHGetMalloc(&g_malloc);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (g_malloc) g_malloc->Release();
        g_malloc = nullptr;
    }
    return TRUE;
}

extern "C" INT_PTR WINAPI VTMessage(void* item, void** slot, UINT message, INT_PTR param,
                                    INT_PTR param2) {
    // The host calls in from its own window procedures: nothing may unwind into it.
    return tess::RunGuarded([&]() -> INT_PTR { return Dispatch(item, slot, message, param, param2); },
                            []() -> INT_PTR { return 0; });
}
