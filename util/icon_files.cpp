#include "util/icon_files.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "util/handles.h"
#include "util/text.h"

namespace {

#pragma pack(push, 1)
// The file's header and directory entries.
struct IcoHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct IcoEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    DWORD imageOffset;
};
// A group resource's entry: the same but for the image's resource id.
struct GroupEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(IcoHeader) == 6, "file header");
static_assert(sizeof(IcoEntry) == 16, "file directory entry");
static_assert(sizeof(GroupEntry) == 14, "group directory entry");

// Colour table entries the header implies (4 bytes each).
uint64_t ColorTableEntries(const BITMAPINFOHEADER& h, int colorBits) {
    if (h.biClrUsed) return h.biClrUsed;
    switch (colorBits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// ---- reading a group out of a module ------------------------------------------------

struct GroupSearch {
    int wanted;
    int seen = 0;
    bool found = false;
    std::string name;      // a string name, duplicated
    WORD id = 0;           // or a numbered one
};

BOOL CALLBACK GetIconGroupName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* search = reinterpret_cast<GroupSearch*>(param);
    if (search->seen++ != search->wanted) return TRUE;
    search->found = true;
    if (IS_INTRESOURCE(name))
        search->id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    else
        search->name = name;
    return FALSE;
}

// A resource's bytes, or an empty span when it is missing.
struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
    ResourceBytes bytes;
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return bytes;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return bytes;
    bytes.data = static_cast<const BYTE*>(LockResource(loaded));
    bytes.size = bytes.data ? SizeofResource(module, found) : 0;
    return bytes;
}

bool ReadGroupImages(HMODULE module, const ResourceBytes& group, IconResource& icon) {
    if (group.size < sizeof(IcoHeader)) return false;
    IcoHeader header;
    std::memcpy(&header, group.data, sizeof(header));
    if (header.count == 0 || sizeof(IcoHeader) + uint64_t(header.count) * sizeof(GroupEntry) > group.size)
        return false;
    for (WORD i = 0; i < header.count; ++i) {
        GroupEntry entry;
        std::memcpy(&entry, group.data + sizeof(IcoHeader) + i * sizeof(GroupEntry), sizeof(entry));
        ResourceBytes bits = FindResourceBytes(module, MAKEINTRESOURCEA(entry.id), MAKEINTRESOURCEA(3));
        if (!bits.data || !bits.size) return false;
        IconImage image;
        image.data.assign(bits.data, bits.data + bits.size);
        if (!AdjustIconImagePointers(image)) return false;
        icon.images.push_back(std::move(image));
    }
    return true;
}

// ---- writing ------------------------------------------------------------------------

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

IcoEntry EntryFor(const IconImage& image, DWORD offset) {
    IcoEntry entry = {};
    entry.width = static_cast<BYTE>(image.width);
    entry.height = static_cast<BYTE>(image.height);
    entry.colorCount = image.colorBits < 8 ? static_cast<BYTE>(1u << image.colorBits) : 0;
    entry.planes = image.header->biPlanes;
    entry.bitCount = image.header->biBitCount;
    entry.bytesInRes = static_cast<DWORD>(image.data.size());
    entry.imageOffset = offset;
    return entry;
}

void Append(std::vector<BYTE>& out, const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

// The file in its three parts, written one after the other.
struct IconFileParts {
    std::vector<BYTE> header, directory, images;
};

IconFileParts LayOutIconFile(const IconResource& icon) {
    IconFileParts parts;
    const IcoHeader header = {0, 1, static_cast<WORD>(icon.images.size())};
    Append(parts.header, &header, sizeof(header));
    DWORD offset = static_cast<DWORD>(sizeof(IcoHeader) + icon.images.size() * sizeof(IcoEntry));
    for (const IconImage& image : icon.images) {
        const IcoEntry entry = EntryFor(image, offset);
        Append(parts.directory, &entry, sizeof(entry));
        offset += entry.bytesInRes;
        // The header's image-size field is written as 0.
        const size_t at = parts.images.size() + offsetof(BITMAPINFOHEADER, biSizeImage);
        Append(parts.images, image.data.data(), image.data.size());
        std::memset(parts.images.data() + at, 0, sizeof(DWORD));
    }
    return parts;
}

bool Writable(const IconResource& icon) {
    if (icon.images.empty() || icon.images.size() > 0xFFFF) return false;
    for (const IconImage& image : icon.images)
        if (!image.header || image.data.size() < sizeof(BITMAPINFOHEADER)) return false;
    return true;
}

void ErrorBox(const char* text, const char* path) { MessageBoxA(nullptr, text, path, MB_OK); }

bool WriteIconParts(HANDLE file, const IconFileParts& parts, const char* path) {
    if (!WriteAll(file, parts.header.data(), static_cast<DWORD>(parts.header.size()))) {
        ErrorBox("Error Writing ICO File", path);
        return false;
    }
    return WriteAll(file, parts.directory.data(), static_cast<DWORD>(parts.directory.size())) &&
           WriteAll(file, parts.images.data(), static_cast<DWORD>(parts.images.size()));
}

}  // namespace

bool AdjustIconImagePointers(IconImage& image) {
    const uint64_t size = image.data.size();
    if (size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, image.data.data(), sizeof(h));
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size) return false;
    const int colorBits = h.biPlanes * h.biBitCount;
    if (h.biWidth <= 0 || h.biHeight <= 0 || colorBits <= 0 || colorBits > 32) return false;
    const uint64_t width = static_cast<uint64_t>(h.biWidth);
    const uint64_t height = static_cast<uint64_t>(h.biHeight) / 2;
    const uint64_t xorOffset = h.biSize + ColorTableEntries(h, colorBits) * 4;
    const uint64_t xorLine = ((width * h.biPlanes * h.biBitCount + 31) / 8) & ~uint64_t(3);
    const uint64_t andOffset = xorOffset + xorLine * height;
    const uint64_t andLine = ((width + 31) / 32) * 4;
    if (andOffset + andLine * height > size) return false;
    image.header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data.data());
    image.width = h.biWidth;
    image.height = static_cast<int>(height);
    image.colorBits = colorBits;
    image.xorBits = image.data.data() + xorOffset;
    image.andBits = image.data.data() + andOffset;
    return true;
}

std::unique_ptr<IconResource> ExtractIconGroup(const char* modulePath, int groupIndex) {
    if (!modulePath || !*modulePath || groupIndex < 0) return nullptr;
    tess::ScopedModule module(LoadLibraryExA(modulePath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return nullptr;
    GroupSearch search{groupIndex};
    EnumResourceNamesA(module.get(), MAKEINTRESOURCEA(14), GetIconGroupName,
                       reinterpret_cast<LONG_PTR>(&search));
    if (!search.found) return nullptr;
    LPCSTR name = search.name.empty() ? MAKEINTRESOURCEA(search.id) : search.name.c_str();
    ResourceBytes group = FindResourceBytes(module.get(), name, MAKEINTRESOURCEA(14));
    auto icon = std::make_unique<IconResource>();
    tess::CopyText(icon->sourcePath, modulePath);
    if (!ReadGroupImages(module.get(), group, *icon)) return nullptr;
    return icon;
}

std::vector<BYTE> IconFileBytes(const IconResource& icon) {
    if (!Writable(icon)) return {};
    IconFileParts parts = LayOutIconFile(icon);
    std::vector<BYTE> bytes = std::move(parts.header);
    Append(bytes, parts.directory.data(), parts.directory.size());
    Append(bytes, parts.images.data(), parts.images.size());
    return bytes;
}

int WriteIconFile(const IconResource& icon, const char* targetPath) {
    if (!targetPath || !Writable(icon)) return 0;
    tess::ScopedFile file(CreateFileA(targetPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ErrorBox("Error Opening File for Writing", targetPath);
        return 0;
    }
    if (WriteIconParts(file.get(), LayOutIconFile(icon), targetPath)) return 1;
    file.reset();
    DeleteFileA(targetPath);   // a cut-short icon would pass for a good one
    return 0;
}
