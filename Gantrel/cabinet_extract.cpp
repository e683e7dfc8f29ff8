// "ExtractFile": unpacks a cabinet through the platform's FDI. Each member
// name is checked before it is joined to the destination, and each file is
// written to a temporary file that replaces its target only when FDI has
// delivered all of it.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <fdi.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "util/archive/zip_archive.h"

namespace {

struct CabinetJob {
    std::string destination;     // joined to member names as given ("%s%s")
    std::string target;          // the file being written
    std::string temp;            // its temporary file
    INT_PTR pending = -1;        // handle of the temporary file while open
    uint32_t expected = 0;       // the size the cabinet declares for it
    uint32_t written = 0;        // what FDI delivered
};

thread_local CabinetJob* t_job = nullptr;

FNALLOC(CabAlloc) { return malloc(cb); }
FNFREE(CabFree) { free(pv); }
FNOPEN(CabOpen) { return _open(pszFile, oflag, pmode); }
FNREAD(CabRead) { return UINT(_read(int(hf), pv, cb)); }
FNWRITE(CabWrite) {
    int n = _write(int(hf), pv, cb);
    if (n > 0 && t_job && t_job->pending == hf) t_job->written += uint32_t(n);
    return UINT(n);
}
FNSEEK(CabSeek) { return _lseek(int(hf), dist, seektype); }
FNCLOSE(CabClose) {
    if (t_job && t_job->pending == hf) t_job->pending = -1;
    return _close(int(hf));
}

INT_PTR OnCopyFile(CabinetJob& job, const FDINOTIFICATION& n) {
    char relative[MAX_PATH];
    // A name that would leave the destination is a file that cannot be made.
    if (!n.psz1 || !tess::archive::SafeMemberPath(n.psz1, relative, sizeof relative)) return -1;
    std::string target = job.destination + relative;
    if (target.size() >= MAX_PATH || target.back() == '\\') return -1;
    if (!tess::archive::CreateFoldersFor(target.c_str())) return -1;
    std::string folder = target.substr(0, target.find_last_of('\\') + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "gcb", 0, temp)) return -1;
    int fd = _open(temp, _O_BINARY | _O_CREAT | _O_TRUNC | _O_WRONLY, _S_IREAD | _S_IWRITE);
    if (fd == -1) {
        DeleteFileA(temp);
        return -1;
    }
    job.target = target;
    job.temp = temp;
    job.pending = fd;
    job.expected = uint32_t(n.cb);
    job.written = 0;
    return fd;
}

INT_PTR OnCloseFileInfo(CabinetJob& job, const FDINOTIFICATION& n) {
    bool complete = job.written == job.expected;
    CabClose(n.hf);
    if (!complete) {
        // Fewer (or more) bytes than declared: a damaged cabinet, keep the old file.
        DeleteFileA(job.temp.c_str());
        job.temp.clear();
        return FALSE;
    }
    SetFileAttributesA(job.target.c_str(), FILE_ATTRIBUTE_NORMAL);   // an old read-only copy
    if (!MoveFileExA(job.temp.c_str(), job.target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(job.temp.c_str());
        job.temp.clear();
        return FALSE;
    }
    job.temp.clear();
    FILETIME local, utc;
    if (DosDateTimeToFileTime(n.date, n.time, &local) && LocalFileTimeToFileTime(&local, &utc)) {
        HANDLE file = CreateFileA(job.target.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            SetFileTime(file, &utc, nullptr, &utc);
            CloseHandle(file);
        }
    }
    DWORD attributes = n.attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesA(job.target.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    return TRUE;
}

FNFDINOTIFY(CabNotify) {
    auto* job = static_cast<CabinetJob*>(pfdin->pv);
    try {
        switch (fdint) {
        case fdintCOPY_FILE: return OnCopyFile(*job, *pfdin);
        case fdintCLOSE_FILE_INFO: return OnCloseFileInfo(*job, *pfdin);
        default: return 0;
        }
    } catch (...) {
        return -1;   // nothing may cross into FDI
    }
}

}  // namespace

namespace {

bool Extract(const char* cabinet, const char* destination) {
    if (!cabinet || !destination) return false;
    std::string cab(cabinet);
    // Over-long paths are refused before anything is written.
    if (cab.empty() || cab.size() >= MAX_PATH || strlen(destination) >= MAX_PATH) return false;

    CabinetJob job;
    job.destination = destination;
    ERF error{};
    HFDI fdi = FDICreate(CabAlloc, CabFree, CabOpen, CabRead, CabWrite, CabClose, CabSeek, cpu80386, &error);
    if (!fdi) return false;

    INT_PTR file = CabOpen(const_cast<char*>(cabinet), _O_BINARY | _O_RDONLY, 0);
    if (file == -1) {
        FDIDestroy(fdi);
        return false;
    }
    FDICABINETINFO info{};
    BOOL is_cabinet = FDIIsCabinet(fdi, file, &info);
    CabClose(file);
    if (!is_cabinet) {
        FDIDestroy(fdi);
        return false;
    }

    size_t slash = cab.find_last_of('\\');
    std::string name = slash == std::string::npos ? cab : cab.substr(slash + 1);
    std::string folder = slash == std::string::npos ? std::string() : cab.substr(0, slash + 1);
    CabinetJob* previous = t_job;
    t_job = &job;
    BOOL copied = FDICopy(fdi, &name[0], &folder[0], 0, CabNotify, nullptr, &job);
    t_job = previous;
    if (job.pending != -1) _close(int(job.pending));
    if (!job.temp.empty()) DeleteFileA(job.temp.c_str());
    if (!copied) {
        FDIDestroy(fdi);
        MessageBoxA(nullptr,
                    "One or more files failed extraction.  \nPlease make sure to uninstall and reboot before "
                    "retrying this install.",
                    nullptr, MB_OK);
        return false;
    }
    return FDIDestroy(fdi) != FALSE;
}

}  // namespace

extern "C" bool __cdecl ExtractFile(const char* cabinet, const char* destination) {
    try {
        return Extract(cabinet, destination);
    } catch (...) {
        return false;   // nothing may cross into a C caller
    }
}
