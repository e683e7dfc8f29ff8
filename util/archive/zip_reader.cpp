// The central-directory reader: finds the end record, checks that the
// directory lies inside the file and that every record fits where it claims.
#include "util/archive/zip_format.h"

#include <algorithm>

namespace tess::archive::detail {

bool ReadAt(HANDLE file, uint32_t offset, void* buffer, uint32_t count) {
    LARGE_INTEGER where;
    where.QuadPart = offset;
    if (!SetFilePointerEx(file, where, nullptr, FILE_BEGIN)) return false;
    auto* p = static_cast<char*>(buffer);
    while (count > 0) {
        DWORD got = 0;
        if (!ReadFile(file, p, count, &got, nullptr) || got == 0) return false;
        p += got;
        count -= got;
    }
    return true;
}

bool WriteAll(HANDLE file, const void* data, uint32_t count) {
    auto* p = static_cast<const char*>(data);
    while (count > 0) {
        DWORD put = 0;
        if (!WriteFile(file, p, count, &put, nullptr) || put == 0) return false;
        p += put;
        count -= put;
    }
    return true;
}

Reader::Status Reader::Open(HANDLE file) {
    file_ = file;
    entries_.clear();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < LONGLONG(kEndRecordSize)) return Status::kNoZip;
    if (size.QuadPart > 0xFFFFFFFFLL) return Status::kDamaged;   // no Zip64 here
    file_size_ = uint32_t(size.QuadPart);

    // The end record is the last 22 bytes plus a comment of up to 65535 bytes.
    uint32_t tail = std::min<uint32_t>(file_size_, kEndRecordSize + 0xFFFF);
    std::string buffer(tail, '\0');
    if (!ReadAt(file, file_size_ - tail, &buffer[0], tail)) return Status::kNoZip;
    const auto* base = reinterpret_cast<const unsigned char*>(buffer.data());
    int found = -1;
    for (int i = int(tail - kEndRecordSize); i >= 0; --i) {
        if (Get32(base + i) == kEndSignature &&
            i + kEndRecordSize + Get16(base + i + 20) <= tail) {
            found = i;
            break;
        }
    }
    if (found < 0) return Status::kNoZip;
    const unsigned char* end = base + found;
    uint32_t end_offset = file_size_ - tail + uint32_t(found);
    uint16_t disk = Get16(end + 4), directory_disk = Get16(end + 6);
    uint16_t count_here = Get16(end + 8), count = Get16(end + 10);
    uint32_t directory_size = Get32(end + 12);
    directory_offset_ = Get32(end + 16);
    if (disk != 0 || directory_disk != 0 || count_here != count) return Status::kDamaged;
    if (directory_offset_ > end_offset || directory_size > end_offset - directory_offset_)
        return Status::kDamaged;

    std::string directory(directory_size, '\0');
    if (directory_size && !ReadAt(file, directory_offset_, &directory[0], directory_size))
        return Status::kDamaged;
    const auto* p = reinterpret_cast<const unsigned char*>(directory.data());
    uint32_t at = 0;
    for (uint16_t i = 0; i < count; ++i) {
        if (directory_size - at < kCentralHeaderSize || Get32(p + at) != kCentralSignature)
            return Status::kDamaged;
        const unsigned char* r = p + at;
        Entry e;
        e.made_by = Get16(r + 4);
        e.flags = Get16(r + 8);
        e.method = Get16(r + 10);
        e.time = Get16(r + 12);
        e.date = Get16(r + 14);
        e.crc = Get32(r + 16);
        e.compressed = Get32(r + 20);
        e.size = Get32(r + 24);
        uint32_t name_length = Get16(r + 28), extra = Get16(r + 30), comment = Get16(r + 32);
        e.external_attributes = Get32(r + 38);
        e.local_offset = Get32(r + 42);
        uint32_t record = kCentralHeaderSize + name_length + extra + comment;
        if (directory_size - at < record || name_length == 0) return Status::kDamaged;
        e.name.assign(reinterpret_cast<const char*>(r + kCentralHeaderSize), name_length);
        if (e.name.find('\0') != std::string::npos) return Status::kDamaged;
        entries_.push_back(std::move(e));
        at += record;
    }
    return Status::kOk;
}

bool Reader::Locate(Entry& entry) const {
    unsigned char header[kLocalHeaderSize];
    if (entry.local_offset > directory_offset_ ||
        directory_offset_ - entry.local_offset < kLocalHeaderSize)
        return false;
    if (!ReadAt(file_, entry.local_offset, header, sizeof header)) return false;
    if (Get32(header) != kLocalSignature) return false;
    uint32_t data = entry.local_offset + kLocalHeaderSize + Get16(header + 26) + Get16(header + 28);
    // The data must end before the central directory starts.
    if (data > directory_offset_ || entry.compressed > directory_offset_ - data) return false;
    entry.data_offset = data;
    return true;
}

}  // namespace tess::archive::detail
