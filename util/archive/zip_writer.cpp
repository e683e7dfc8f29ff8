// Adding files to an archive: members are deflated straight into a temporary
// archive beside the target (header first, sizes and CRC patched after), the
// members of an existing archive are copied over unchanged, and the temporary
// file replaces the target only when everything was written.
#include "util/archive/zip_archive.h"
#include "util/archive/zip_format.h"
#include "util/handles.h"

#include <zlib.h>
#include <cstring>
#include <string>
#include <vector>

namespace tess::archive {
using namespace detail;

namespace {

constexpr uint32_t kChunk = 64 * 1024;
constexpr uint32_t kInMemory = 4 * 1024 * 1024;   // larger files are streamed

struct Source {
    std::string disk_path;    // full path on disk
    std::string name;         // stored name, "/" separated, "name/" for folders
    bool folder = false;
};

std::string FullPath(const std::string& path) {
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return std::string();
    return full;
}

bool SamePath(const std::string& a, const std::string& b) {
    return !a.empty() && lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The stored form of a path as given: drive, root and leading "." and ".."
// parts dropped, "/" separators, as Info-ZIP stores it.
std::string StoredName(const std::string& given) {
    std::string s = given;
    for (auto& c : s)
        if (c == '\\') c = '/';
    if (s.size() >= 2 && s[1] == ':') s.erase(0, 2);
    for (;;) {
        if (!s.empty() && s[0] == '/') s.erase(0, 1);
        else if (s.compare(0, 2, "./") == 0) s.erase(0, 2);
        else if (s.compare(0, 3, "../") == 0) s.erase(0, 3);
        else break;
    }
    return s;
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

class Collector {
public:
    Collector(const ZipOptions& options, std::string archive, std::string temp)
        : options_(options), archive_(std::move(archive)), temp_(std::move(temp)) {}

    // folder_disk ends with "\" or is empty; folder_name ends with "/" or is empty.
    int Expand(const std::string& folder_disk, const std::string& folder_name, const std::string& pattern) {
        WIN32_FIND_DATAA data;
        std::string query = folder_disk + pattern;
        if (query.size() >= MAX_PATH) return kZipParams;
        tess::ScopedFind find(FindFirstFileA(query.c_str(), &data));
        if (!find) return kZipOk;
        do {
            if (!strcmp(data.cFileName, ".") || !strcmp(data.cFileName, "..")) continue;
            // Like Info-ZIP on Windows, patterns and recursion leave hidden
            // and system files (Thumbs.db, desktop.ini) out.
            if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            int code = AddItem(folder_disk + data.cFileName, folder_name + data.cFileName,
                               (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
            if (code != kZipOk) return code;
        } while (FindNextFileA(find.get(), &data));
        return kZipOk;
    }

    int AddItem(const std::string& disk, const std::string& name, bool folder) {
        if (disk.size() >= MAX_PATH) return kZipParams;
        if (options_.skip && options_.skip(options_.skip_context, name.c_str(), folder)) return kZipOk;
        if (!folder) {
            std::string full = FullPath(disk);
            // Never add the archive (or its temporary replacement) to itself.
            if (SamePath(full, archive_) || SamePath(full, temp_)) return kZipOk;
            return Push(disk, name, false);
        }
        if (!options_.junk_paths) {
            int code = Push(disk, name + "/", true);
            if (code != kZipOk) return code;
        }
        if (options_.recurse) return Expand(disk + "\\", name + "/", "*");
        return kZipOk;
    }

    std::vector<Source>& Sources() { return sources_; }

private:
    int Push(const std::string& disk, const std::string& name, bool folder) {
        std::string stored = options_.junk_paths ? name.substr(name.find_last_of('/') + 1) : name;
        if (stored.empty() || stored.size() > 0xFFFF) return kZipParams;
        for (const auto& s : sources_)
            if (s.name == stored) return kZipParams;   // Info-ZIP refuses repeated names
        sources_.push_back({disk, stored, folder});
        return kZipOk;
    }

    const ZipOptions& options_;
    std::string archive_, temp_;
    std::vector<Source> sources_;
};

// One finished member: what the central directory needs.
struct Written {
    Entry entry;
};

void DosTimeOf(const FILETIME& utc, uint16_t& date, uint16_t& time) {
    FILETIME local;
    WORD d = 0x21, t = 0;   // 1980-01-01 when the time cannot be converted
    if (FileTimeToLocalFileTime(&utc, &local)) FileTimeToDosDateTime(&local, &d, &t);
    date = d;
    time = t;
}

// From "version needed" to the name length: laid out alike in both headers.
void PutSharedHeaderFields(std::string& h, const Entry& e) {
    Put16(h, e.method == kMethodDeflated ? 20 : 10);
    Put16(h, e.flags);
    Put16(h, e.method);
    Put16(h, e.time);
    Put16(h, e.date);
    Put32(h, e.crc);
    Put32(h, e.compressed);
    Put32(h, e.size);
    Put16(h, uint16_t(e.name.size()));
}

std::string LocalHeader(const Entry& e) {
    std::string h;
    Put32(h, kLocalSignature);
    PutSharedHeaderFields(h, e);
    Put16(h, 0);
    h += e.name;
    return h;
}

std::string CentralHeader(const Entry& e) {
    std::string h;
    Put32(h, kCentralSignature);
    Put16(h, e.made_by ? e.made_by : 20);   // MS-DOS/FAT host, version 2.0
    PutSharedHeaderFields(h, e);
    Put16(h, 0);
    Put16(h, 0);
    Put16(h, 0);
    Put16(h, 0);
    Put32(h, e.external_attributes);
    Put32(h, e.local_offset);
    h += e.name;
    return h;
}

class ArchiveWriter {
public:
    explicit ArchiveWriter(HANDLE out) : out_(out) {}

    uint32_t Offset() const { return offset_; }
    std::vector<Entry>& Entries() { return entries_; }

    // Copies an existing member's compressed data unchanged.
    int CopyMember(HANDLE from, const Entry& source) {
        Entry e = source;
        e.flags &= uint16_t(~kFlagDescriptor);
        e.local_offset = offset_;
        std::string header = LocalHeader(e);
        if (!Put(header.data(), uint32_t(header.size()))) return kZipWrite;
        std::string buffer(kChunk, '\0');
        uint32_t left = source.compressed, at = source.data_offset;
        while (left > 0) {
            uint32_t n = left < kChunk ? left : kChunk;
            if (!ReadAt(from, at, &buffer[0], n)) return kZipEof;
            if (!Put(buffer.data(), n)) return kZipWrite;
            at += n;
            left -= n;
        }
        entries_.push_back(e);
        return kZipOk;
    }

    int AddFolder(const Source& s) {
        Entry e;
        e.name = s.name;
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (GetFileAttributesExA(s.disk_path.c_str(), GetFileExInfoStandard, &info)) {
            DosTimeOf(info.ftLastWriteTime, e.date, e.time);
            e.external_attributes = info.dwFileAttributes & 0x3F;
        } else {
            e.external_attributes = FILE_ATTRIBUTE_DIRECTORY;
        }
        e.local_offset = offset_;
        std::string header = LocalHeader(e);
        if (!Put(header.data(), uint32_t(header.size()))) return kZipWrite;
        entries_.push_back(e);
        return kZipOk;
    }

    int AddFile(const Source& s, int level) {
        tess::ScopedFile in(CreateFileA(s.disk_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!in) return kZipOpen;
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(in.get(), &info)) return kZipRead;
        if (info.nFileSizeHigh != 0 || info.nFileSizeLow > 0xFFFFFFF0u) return kZipBig;
        Entry e;
        e.name = s.name;
        DosTimeOf(info.ftLastWriteTime, e.date, e.time);
        e.external_attributes = info.dwFileAttributes & 0x27;
        e.method = info.nFileSizeLow ? kMethodDeflated : kMethodStored;
        if (e.method == kMethodDeflated && level >= 8) e.flags = kFlagMaximum;
        e.local_offset = offset_;
        if (info.nFileSizeLow <= kInMemory) return AddSmallFile(in.get(), info.nFileSizeLow, level, e);
        std::string header = LocalHeader(e);
        if (!Put(header.data(), uint32_t(header.size()))) return kZipWrite;
        uint32_t data_start = offset_;

        int code = e.method == kMethodDeflated ? Deflate(in.get(), level, e) : kZipOk;
        if (code != kZipOk) return code;
        if (e.method == kMethodDeflated && e.compressed >= e.size) {
            // Deflate made it bigger: store it instead, as Info-ZIP does.
            e.method = kMethodStored;
            e.flags = 0;
            code = Store(in.get(), data_start, e);
            if (code != kZipOk) return code;
        }
        // Patch the header now that method, CRC and sizes are known.
        std::string patched = LocalHeader(e);
        LARGE_INTEGER where;
        where.QuadPart = e.local_offset;
        if (!SetFilePointerEx(out_, where, nullptr, FILE_BEGIN) ||
            !WriteAll(out_, patched.data(), uint32_t(patched.size())))
            return kZipWrite;
        where.QuadPart = offset_;
        if (!SetFilePointerEx(out_, where, nullptr, FILE_BEGIN)) return kZipWrite;
        entries_.push_back(e);
        return kZipOk;
    }

    // Most members are small: compressed in memory and written with their
    // header in one piece, which saves the seeks and the header patch.
    int AddSmallFile(HANDLE in, uint32_t size, int level, Entry& e) {
        std::vector<unsigned char> data(size ? size : 1);
        DWORD got = 0;
        uint32_t total = 0;
        while (total < size) {
            if (!ReadFile(in, data.data() + total, size - total, &got, nullptr)) return kZipRead;
            if (got == 0) break;
            total += got;
        }
        DWORD more = 0;
        unsigned char probe;
        if (ReadFile(in, &probe, 1, &more, nullptr) && more) return kZipRead;   // grew while read
        e.size = total;
        e.crc = uint32_t(crc32(crc32(0, nullptr, 0), data.data(), total));
        std::vector<unsigned char> packed;
        if (total > 0) {
            z_stream z{};
            if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return kZipMemory;
            packed.resize(deflateBound(&z, total));
            z.next_in = data.data();
            z.avail_in = total;
            z.next_out = packed.data();
            z.avail_out = uInt(packed.size());
            int r = deflate(&z, Z_FINISH);
            packed.resize(z.total_out);
            deflateEnd(&z);
            if (r != Z_STREAM_END) return kZipMemory;
        }
        const unsigned char* body = data.data();
        if (total > 0 && packed.size() < total) {
            e.method = kMethodDeflated;
            e.compressed = uint32_t(packed.size());
            body = packed.data();
        } else {
            // Deflate would make it bigger: store it, as Info-ZIP does.
            e.method = kMethodStored;
            e.flags = 0;
            e.compressed = total;
        }
        std::string record = LocalHeader(e);
        record.append(reinterpret_cast<const char*>(body), e.compressed);
        if (!Put(record.data(), uint32_t(record.size()))) return kZipWrite;
        entries_.push_back(e);
        return kZipOk;
    }

    int Finish() {
        uint32_t directory_offset = offset_;
        for (const auto& e : entries_) {
            std::string h = CentralHeader(e);
            if (!Put(h.data(), uint32_t(h.size()))) return kZipWrite;
        }
        std::string end;
        Put32(end, kEndSignature);
        Put16(end, 0);
        Put16(end, 0);
        Put16(end, uint16_t(entries_.size()));
        Put16(end, uint16_t(entries_.size()));
        Put32(end, offset_ - directory_offset);
        Put32(end, directory_offset);
        Put16(end, 0);
        if (!Put(end.data(), uint32_t(end.size()))) return kZipWrite;
        return FlushFileBuffers(out_) ? kZipOk : kZipWrite;
    }

private:
    bool Put(const void* data, uint32_t count) {
        if (uint64_t(offset_) + count > 0xFFFFFFF0ull) return false;
        if (!WriteAll(out_, data, count)) return false;
        offset_ += count;
        return true;
    }

    int Deflate(HANDLE in, int level, Entry& e) {
        z_stream z{};
        if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return kZipMemory;
        std::vector<unsigned char> input(kChunk), output(kChunk);
        uLong crc = crc32(0, nullptr, 0);
        uint32_t total = 0, produced = 0;
        int code = kZipOk;
        bool end = false;
        while (!end && code == kZipOk) {
            DWORD got = 0;
            if (!ReadFile(in, input.data(), kChunk, &got, nullptr)) { code = kZipRead; break; }
            crc = crc32(crc, input.data(), got);
            total += got;
            z.next_in = input.data();
            z.avail_in = got;
            int flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
            do {
                z.next_out = output.data();
                z.avail_out = kChunk;
                int r = deflate(&z, flush);
                if (r == Z_STREAM_ERROR) { code = kZipMemory; break; }
                uint32_t n = kChunk - z.avail_out;
                if (n && !Put(output.data(), n)) { code = kZipWrite; break; }
                produced += n;
                if (r == Z_STREAM_END) end = true;
            } while (z.avail_out == 0 && code == kZipOk);
        }
        deflateEnd(&z);
        e.crc = uint32_t(crc);
        e.size = total;
        e.compressed = produced;
        return code;
    }

    int Store(HANDLE in, uint32_t data_start, Entry& e) {
        LARGE_INTEGER where;
        where.QuadPart = data_start;
        if (!SetFilePointerEx(out_, where, nullptr, FILE_BEGIN) || !SetEndOfFile(out_)) return kZipWrite;
        offset_ = data_start;
        where.QuadPart = 0;
        if (!SetFilePointerEx(in, where, nullptr, FILE_BEGIN)) return kZipRead;
        std::vector<unsigned char> buffer(kChunk);
        uLong crc = crc32(0, nullptr, 0);
        uint32_t total = 0;
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(in, buffer.data(), kChunk, &got, nullptr)) return kZipRead;
            if (got == 0) break;
            crc = crc32(crc, buffer.data(), got);
            if (!Put(buffer.data(), got)) return kZipWrite;
            total += got;
        }
        e.crc = uint32_t(crc);
        e.size = e.compressed = total;
        return kZipOk;
    }

    HANDLE out_;
    uint32_t offset_ = 0;
    std::vector<Entry> entries_;
};

int WriteArchive(HANDLE out, HANDLE existing, std::vector<Entry>& kept, std::vector<Source>& sources,
                 int level) {
    ArchiveWriter writer(out);
    // Existing members keep their places; a new file of the same name takes
    // the place of the old member.
    std::vector<bool> used(sources.size(), false);
    for (auto& old : kept) {
        int code = kZipOk;
        size_t i = 0;
        for (; i < sources.size(); ++i)
            if (!used[i] && sources[i].name == old.name) break;
        if (i < sources.size()) {
            used[i] = true;
            code = sources[i].folder ? writer.AddFolder(sources[i]) : writer.AddFile(sources[i], level);
        } else {
            code = writer.CopyMember(existing, old);
        }
        if (code != kZipOk) return code;
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        if (used[i]) continue;
        int code = sources[i].folder ? writer.AddFolder(sources[i]) : writer.AddFile(sources[i], level);
        if (code != kZipOk) return code;
    }
    if (writer.Entries().size() > 0xFFFF) return kZipBig;
    return writer.Finish();
}

}  // namespace

int ZipAdd(const char* zip_path, const char* file_pattern, const ZipOptions& options) {
    if (!zip_path || !*zip_path) return kZipName;
    if (!file_pattern || !*file_pattern) return kZipNothing;
    if (strlen(zip_path) >= MAX_PATH || strlen(file_pattern) >= MAX_PATH) return kZipParams;
    int level = options.level < 1 ? 1 : options.level > 9 ? 9 : options.level;

    std::string archive = FullPath(zip_path);
    if (archive.empty()) return kZipParams;
    size_t slash = archive.find_last_of('\\');
    std::string archive_folder = archive.substr(0, slash + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(archive_folder.c_str(), "gzp", 0, temp)) return kZipTemp;
    struct TempGuard {
        const char* path;
        bool keep = false;
        ~TempGuard() { if (!keep) DeleteFileA(path); }
    } guard{temp};

    // What to add: the pattern's folder part stays in the stored names.
    std::string given(file_pattern);
    for (auto& c : given)
        if (c == '/') c = '\\';
    while (given.size() > 1 && given.back() == '\\') given.pop_back();
    std::string disk_pattern = given;
    if (options.base_folder && *options.base_folder) {
        disk_pattern = options.base_folder;
        if (disk_pattern.back() != '\\' && disk_pattern.back() != '/') disk_pattern += '\\';
        disk_pattern += given;
    }
    if (disk_pattern.size() >= MAX_PATH) return kZipParams;
    size_t cut = given.find_last_of("\\:");
    std::string pattern_folder = cut == std::string::npos ? std::string() : given.substr(0, cut + 1);
    size_t disk_cut = disk_pattern.find_last_of("\\:");
    std::string disk_folder = disk_cut == std::string::npos ? std::string() : disk_pattern.substr(0, disk_cut + 1);
    std::string last = disk_pattern.substr(disk_folder.size());
    std::string name_folder = StoredName(pattern_folder);

    Collector collector(options, archive, FullPath(temp));
    int code = kZipOk;
    if (HasWildcard(last)) {
        code = collector.Expand(disk_folder, name_folder, last);
    } else {
        DWORD attributes = GetFileAttributesA(disk_pattern.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            std::string name = StoredName(given);
            if (name.empty()) name = last;   // "C:\" or "." itself: its contents
            code = collector.AddItem(disk_pattern, name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    }
    if (code != kZipOk) return code;
    if (collector.Sources().empty()) return kZipNothing;

    // Members of an existing archive are kept.
    tess::ScopedFile existing;
    std::vector<Entry> kept;
    if (GetFileAttributesA(archive.c_str()) != INVALID_FILE_ATTRIBUTES) {
        existing.reset(CreateFileA(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!existing) return kZipName;
        Reader reader;
        Reader::Status status = reader.Open(existing.get());
        if (status != Reader::Status::kOk) return kZipFormat;
        kept = reader.Entries();
        for (auto& e : kept)
            if (!reader.Locate(e))
                return kZipFormat;
    }

    {
        tess::ScopedFile out(CreateFileA(temp, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out) return kZipTemp;
        code = WriteArchive(out.get(), existing.get(), kept, collector.Sources(), level);
        if (code != kZipOk) return code;
    }
    existing.reset();
    if (!MoveFileExA(temp, archive.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return kZipCreate;
    guard.keep = true;
    return kZipOk;
}

}  // namespace tess::archive
