// Shared by the Gantrel tests: the library loaded from the build's bin
// folder, and small builders for hand-made (hostile) ZIP and cabinet files.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace gantrel_test {

using ExtractFileFn = bool(__cdecl*)(const char*, const char*);
using ZipFilesFn = int(__cdecl*)(const char*, const char*, int, int, int);
using UnZipFilesFn = int(__cdecl*)(const char*, const char*, const char*, int, int, int);
using HresultFn = HRESULT(__stdcall*)();
using GetClassObjectFn = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);

// Gantrel.dll of this build with its exports.
struct Library {
    Library();
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE module = nullptr;
    ExtractFileFn ExtractFile = nullptr;
    ZipFilesFn ZipFiles = nullptr;
    UnZipFilesFn UnZipFiles = nullptr;
    HresultFn DllCanUnloadNow = nullptr;
    HresultFn DllRegisterServer = nullptr;
    HresultFn DllUnregisterServer = nullptr;
    GetClassObjectFn DllGetClassObject = nullptr;
};

// A ZIP file written member by member, each with whatever header values a
// test wants (lying sizes, wrong CRCs, hostile names).
struct ZipMember {
    std::string name;
    std::string data;            // uncompressed content
    bool deflate = true;
    int32_t crc_delta = 0;       // added to the true CRC
    int64_t size_delta = 0;      // added to the declared uncompressed size
};
std::string BuildZip(const std::vector<ZipMember>& members);

// A single-folder, uncompressed cabinet with raw member names.
struct CabMember {
    std::string name;
    std::string data;
    uint16_t date = 0x5A21;      // 2025-01-01
    uint16_t time = 0x6000;      // 12:00:00
    uint16_t attributes = 0x20;
    int64_t size_delta = 0;      // added to the declared size
};
// checksum: the value put into every data block (0: not checked).
std::string BuildCabinet(const std::vector<CabMember>& members, uint32_t checksum = 0);

// Every file below folder (relative names, "\" separated), for "nothing
// written outside" checks.
std::vector<std::string> ListFiles(const std::string& folder);

}  // namespace gantrel_test
