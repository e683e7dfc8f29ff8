// Internal to the archive module: the ZIP records and the central-directory
// reader shared by extraction and by adding to an existing archive.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace tess::archive::detail {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndRecordSize = 22;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagMaximum = 0x0002;
constexpr uint16_t kFlagDescriptor = 0x0008;

inline uint16_t Get16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Put16(std::string& s, uint16_t v) { s += char(v & 0xff); s += char(v >> 8); }
inline void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xff);
}

struct Entry {
    std::string name;
    uint16_t made_by = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t time = 0;
    uint16_t date = 0;
    uint32_t crc = 0;
    uint32_t compressed = 0;
    uint32_t size = 0;
    uint32_t external_attributes = 0;
    uint32_t local_offset = 0;
    uint32_t data_offset = 0;    // filled by Reader::Locate
};

// Reads a whole file region; false on short read.
bool ReadAt(HANDLE file, uint32_t offset, void* buffer, uint32_t count);
bool WriteAll(HANDLE file, const void* data, uint32_t count);

class Reader {
public:
    // Reads the central directory: kNoZip when the end record is missing,
    // kDamaged when the directory does not fit the file.
    enum class Status { kOk, kNoZip, kDamaged };
    Status Open(HANDLE file);
    const std::vector<Entry>& Entries() const { return entries_; }
    // Checks the local header and that the data lies before the directory.
    bool Locate(Entry& entry) const;
    uint32_t DirectoryOffset() const { return directory_offset_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint32_t file_size_ = 0;
    uint32_t directory_offset_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace tess::archive::detail
