// Extraction: every member is checked (safe name, declared sizes, CRC) and
// written to a temporary file in its target folder that replaces the target
// only when the member checked out, so a damaged archive never leaves a
// half-written or wrong file behind and never writes outside the destination.
#include "util/archive/zip_archive.h"
#include "util/archive/zip_format.h"
#include "util/handles.h"
#include "util/text.h"

#include <zlib.h>
#include <cstring>
#include <string>
#include <vector>

namespace tess::archive {
using namespace detail;

namespace {

constexpr uint32_t kChunk = 64 * 1024;

class Extractor {
public:
    Extractor(HANDLE archive, const UnzipOptions& options) : archive_(archive), options_(options) {}

    int Run(Reader& reader, const std::string& destination) {
        destination_ = destination;
        bool matched = false;
        for (Entry entry : reader.Entries()) {
            if (options_.file_pattern && *options_.file_pattern && !MatchWildcard(options_.file_pattern, entry.name.c_str()))
                continue;
            matched = true;
            Raise(ExtractOne(reader, entry));
        }
        if (!matched && options_.file_pattern && *options_.file_pattern) {
            Say("caution: filename not matched:  %s", options_.file_pattern);
            Raise(kUnzipFind);
        }
        return result_;
    }

private:
    void Raise(int code) {
        // The worst outcome wins; "not found" only when nothing else happened.
        if (code == kUnzipFind && result_ != kUnzipOk) return;
        if (code > result_ || result_ == kUnzipFind) result_ = code;
    }

    void Say(const char* format, const std::string& a, const std::string& b = std::string()) {
        if (!options_.message) return;
        char text[1024];
        tess::FormatText(text, sizeof text, format, a.c_str(), b.c_str());
        options_.message(options_.context, text);
    }

    int ExtractOne(const Reader& reader, Entry& entry) {
        char relative[MAX_PATH];
        if (!SafeMemberPath(entry.name.c_str(), relative, sizeof relative)) {
            Say("skipping: %s  unsafe path outside the destination", entry.name);
            return kUnzipWarn;
        }
        std::string rel(relative);
        bool folder = !rel.empty() && rel.back() == '\\';
        if (options_.junk_paths) {
            if (folder) return kUnzipOk;           // folders are not made with -j
            rel = rel.substr(rel.find_last_of('\\') + 1);
        }
        std::string target = destination_ + rel;
        if (target.size() >= MAX_PATH) {
            Say("error:  path too long, not extracted:  %s", entry.name);
            return kUnzipErr;
        }
        if (folder) {
            if (!CreateFoldersFor(target.c_str())) {
                Say("error:  cannot create folder %s", target);
                return kUnzipErr;
            }
            return kUnzipOk;
        }
        if (entry.flags & kFlagEncrypted) {
            Say("skipping: %s  encrypted (no password given)", entry.name);
            return kUnzipWarn;
        }
        if (entry.method != kMethodStored && entry.method != kMethodDeflated) {
            Say("skipping: %s  unsupported compression method", entry.name);
            return kUnzipWarn;
        }
        if (!reader.Locate(entry)) {
            Say("error:  %s: member data lies outside the archive", entry.name);
            return kUnzipErr;
        }
        if (entry.method == kMethodStored && entry.compressed != entry.size) {
            Say("error:  %s: stored sizes disagree", entry.name);
            return kUnzipErr;
        }
        DWORD existing = GetFileAttributesA(target.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES) {
            if (existing & FILE_ATTRIBUTE_DIRECTORY) {
                Say("error:  cannot create %s (a folder of that name exists)", target);
                return kUnzipErr;
            }
            if (!MayReplace(target)) return kUnzipOk;
        }
        bool replacing = existing != INVALID_FILE_ATTRIBUTES;
        if (!CreateFoldersFor(target.c_str())) {
            Say("error:  cannot create folder for %s", target);
            return kUnzipErr;
        }
        return WriteMember(entry, target, replacing);
    }

    bool MayReplace(const std::string& target) {
        if (options_.overwrite || replace_all_) return true;
        if (replace_none_ || !options_.replace) return false;
        switch (options_.replace(options_.context, target.c_str())) {
        case ReplaceAnswer::kYes: return true;
        case ReplaceAnswer::kAll: replace_all_ = true; return true;
        case ReplaceAnswer::kNone: replace_none_ = true; return false;
        case ReplaceAnswer::kNo: break;
        }
        return false;
    }

    int WriteMember(const Entry& entry, const std::string& target, bool replacing) {
        // A new file is written in place (and removed again if the member
        // fails); an existing one is only replaced once the member checked out.
        std::string temp;
        tess::ScopedFile out = replacing ? CreateTempBeside(target, temp)
                                         : tess::ScopedFile(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr,
                                                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out) {
            Say("error:  cannot create %s", target);
            return kUnzipErr;
        }
        const std::string& written = replacing ? temp : target;
        int code = Decode(entry, out.get());
        if (code == kUnzipOk) {
            FILETIME local, utc;
            if (DosDateTimeToFileTime(entry.date, entry.time, &local) && LocalFileTimeToFileTime(&local, &utc))
                SetFileTime(out.get(), &utc, nullptr, &utc);
        }
        out.reset();
        if (code != kUnzipOk) {
            DeleteFileA(written.c_str());
            return code;
        }
        if (replacing) {
            SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);   // a read-only old copy
            if (!MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
                DeleteFileA(temp.c_str());
                Say("error:  cannot create %s", target);
                return kUnzipErr;
            }
        }
        DWORD attributes = entry.external_attributes & 0x07;   // read-only, hidden, system
        if (HostKeepsDosAttributes(entry.made_by) && attributes) SetFileAttributesA(target.c_str(), attributes);
        return kUnzipOk;
    }

    // A new file next to target ("name.gz0001.tmp"): the member goes there first.
    tess::ScopedFile CreateTempBeside(const std::string& target, std::string& temp) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            char suffix[32];
            tess::FormatText(suffix, sizeof suffix, ".gz%04x.tmp", unsigned((GetTickCount() + temp_counter_++) & 0xffff));
            temp = target + suffix;
            if (temp.size() >= MAX_PATH) {
                // No room for a suffix: fall back to a short name in the same folder.
                std::string folder = target.substr(0, target.find_last_of('\\') + 1);
                char name[MAX_PATH];
                if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "gun", 0, name)) break;
                temp = name;
                tess::ScopedFile file(CreateFileA(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
                if (!file) DeleteFileA(name);
                return file;
            }
            tess::ScopedFile file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
        }
        return tess::ScopedFile();
    }

    static bool HostKeepsDosAttributes(uint16_t made_by) {
        int host = made_by >> 8;
        return host == 0 || host == 11 || host == 14;   // FAT, NTFS, VFAT
    }

    // Decodes into out, never writing more than the declared size.
    int Decode(const Entry& entry, HANDLE out) {
        std::vector<unsigned char> input(kChunk), output(kChunk);
        uLong crc = crc32(0, nullptr, 0);
        uint32_t left = entry.compressed, at = entry.data_offset, written = 0;
        bool ok = true, ended = entry.method == kMethodStored;
        z_stream z{};
        if (entry.method == kMethodDeflated && inflateInit2(&z, -MAX_WBITS) != Z_OK) return kUnzipMem;
        while (ok && left > 0 && !(entry.method == kMethodDeflated && ended)) {
            uint32_t n = left < kChunk ? left : kChunk;
            if (!ReadAt(archive_, at, input.data(), n)) { ok = false; break; }
            at += n;
            left -= n;
            if (entry.method == kMethodStored) {
                if (!WriteAll(out, input.data(), n)) { inflateEnd(&z); return Fail(entry, "cannot write"); }
                crc = crc32(crc, input.data(), n);
                written += n;
                continue;
            }
            z.next_in = input.data();
            z.avail_in = n;
            while (z.avail_in > 0 && !ended) {
                z.next_out = output.data();
                z.avail_out = kChunk;
                int r = inflate(&z, Z_NO_FLUSH);
                if (r != Z_OK && r != Z_STREAM_END) { ok = false; break; }
                uint32_t produced = kChunk - z.avail_out;
                if (produced > entry.size - written) { ok = false; break; }   // the size lies
                if (produced && !WriteAll(out, output.data(), produced)) {
                    inflateEnd(&z);
                    return Fail(entry, "cannot write");
                }
                crc = crc32(crc, output.data(), produced);
                written += produced;
                if (r == Z_STREAM_END) ended = true;
                else if (produced == 0 && z.avail_in > 0) { ok = false; break; }
            }
        }
        if (entry.method == kMethodDeflated) inflateEnd(&z);
        if (!ok || !ended) {
            Say("error:  %s: invalid compressed data or truncated member", entry.name);
            return kUnzipErr;
        }
        if (written != entry.size) {
            Say("error:  %s: data does not match the declared size", entry.name);
            return kUnzipErr;
        }
        if (uint32_t(crc) != entry.crc) {
            char text[64];
            tess::FormatText(text, sizeof text, "bad CRC %08lx (should be %08lx)", (unsigned long)crc,
                             (unsigned long)entry.crc);
            Say("error:  %s: %s", entry.name, text);
            return kUnzipErr;
        }
        return kUnzipOk;
    }

    int Fail(const Entry& entry, const char* what) {
        Say("error:  %s: %s", entry.name, what);
        return kUnzipDisk;
    }

    HANDLE archive_;
    const UnzipOptions& options_;
    std::string destination_;
    bool replace_all_ = false;
    bool replace_none_ = false;
    unsigned temp_counter_ = 0;
    int result_ = kUnzipOk;
};

}  // namespace

int UnzipExtract(const char* zip_path, const UnzipOptions& options) {
    auto say = [&](const char* format, const char* a) {
        if (!options.message) return;
        char text[1024];
        tess::FormatText(text, sizeof text, format, a);
        options.message(options.context, text);
    };
    if (!zip_path || !*zip_path) return kUnzipParam;
    if (strlen(zip_path) >= MAX_PATH) {
        say("error:  archive path too long:  %.80s...", zip_path);
        return kUnzipParam;
    }
    std::string destination;
    if (options.destination && *options.destination) {
        destination = options.destination;
        if (destination.back() != '\\' && destination.back() != '/') destination += '\\';
        for (auto& c : destination)
            if (c == '/') c = '\\';
        if (destination.size() >= MAX_PATH) {
            say("error:  destination path too long:  %.80s...", options.destination);
            return kUnzipParam;
        }
    }
    tess::ScopedFile archive(CreateFileA(zip_path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_RANDOM_ACCESS, nullptr));
    if (!archive) {
        say("error:  cannot find or open %s", zip_path);
        return kUnzipNoZip;
    }
    Reader reader;
    switch (reader.Open(archive.get())) {
    case Reader::Status::kOk: break;
    case Reader::Status::kNoZip:
        say("error:  %s is not a zip file (end-of-central-directory signature not found)", zip_path);
        return kUnzipNoZip;
    case Reader::Status::kDamaged:
        say("error:  %s: the zip file's directory is damaged", zip_path);
        return kUnzipBadErr;
    }
    if (!destination.empty() && !CreateFoldersFor(destination.c_str())) {
        say("error:  cannot create the destination folder %s", destination.c_str());
        return kUnzipErr;
    }
    Extractor extractor(archive.get(), options);
    return extractor.Run(reader, destination);
}

}  // namespace tess::archive
