#include "tests/gantrel/gantrel_fixtures.h"

#include "tests/support/test_support.h"

#include <zlib.h>
#include <functional>

namespace gantrel_test {
namespace {

void Put16(std::string& s, uint32_t v) { s += char(v & 0xff); s += char((v >> 8) & 0xff); }
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xff);
}

std::string RawDeflate(const std::string& data) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, uLong(data.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

}  // namespace

Library::Library() {
    std::string path = testing_support::BinFolder() + "\\Gantrel.dll";
    module = LoadLibraryA(path.c_str());
    if (!module) return;
    ExtractFile = reinterpret_cast<ExtractFileFn>(GetProcAddress(module, "ExtractFile"));
    ZipFiles = reinterpret_cast<ZipFilesFn>(GetProcAddress(module, "ZipFiles"));
    UnZipFiles = reinterpret_cast<UnZipFilesFn>(GetProcAddress(module, "UnZipFiles"));
    DllCanUnloadNow = reinterpret_cast<HresultFn>(GetProcAddress(module, "DllCanUnloadNow"));
    DllRegisterServer = reinterpret_cast<HresultFn>(GetProcAddress(module, "DllRegisterServer"));
    DllUnregisterServer = reinterpret_cast<HresultFn>(GetProcAddress(module, "DllUnregisterServer"));
    DllGetClassObject = reinterpret_cast<GetClassObjectFn>(GetProcAddress(module, "DllGetClassObject"));
}

Library::~Library() {
    if (module) FreeLibrary(module);
}

std::string BuildZip(const std::vector<ZipMember>& members) {
    std::string file, directory;
    for (const auto& m : members) {
        uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), uInt(m.data.size())));
        crc += uint32_t(m.crc_delta);
        std::string packed = m.deflate ? RawDeflate(m.data) : m.data;
        uint32_t size = uint32_t(int64_t(m.data.size()) + m.size_delta);
        uint32_t offset = uint32_t(file.size());
        uint16_t method = m.deflate ? 8 : 0;
        Put32(file, 0x04034b50);
        Put16(file, 20); Put16(file, 0); Put16(file, method); Put16(file, 0x6000); Put16(file, 0x5A21);
        Put32(file, crc); Put32(file, uint32_t(packed.size())); Put32(file, size);
        Put16(file, uint16_t(m.name.size())); Put16(file, 0);
        file += m.name;
        file += packed;
        Put32(directory, 0x02014b50);
        Put16(directory, 20); Put16(directory, 20); Put16(directory, 0); Put16(directory, method);
        Put16(directory, 0x6000); Put16(directory, 0x5A21);
        Put32(directory, crc); Put32(directory, uint32_t(packed.size())); Put32(directory, size);
        Put16(directory, uint16_t(m.name.size())); Put16(directory, 0); Put16(directory, 0);
        Put16(directory, 0); Put16(directory, 0); Put32(directory, 0x20); Put32(directory, offset);
        directory += m.name;
    }
    uint32_t directory_offset = uint32_t(file.size());
    file += directory;
    Put32(file, 0x06054b50);
    Put16(file, 0); Put16(file, 0);
    Put16(file, uint16_t(members.size())); Put16(file, uint16_t(members.size()));
    Put32(file, uint32_t(directory.size())); Put32(file, directory_offset);
    Put16(file, 0);
    return file;
}

std::string BuildCabinet(const std::vector<CabMember>& members, uint32_t checksum) {
    // CFHEADER (36) + one CFFOLDER (8) + CFFILEs + one CFDATA block per 32 KB.
    std::string content;
    for (const auto& m : members) content += m.data;
    std::string files;
    uint32_t offset = 0;
    for (const auto& m : members) {
        Put32(files, uint32_t(int64_t(m.data.size()) + m.size_delta));
        Put32(files, offset);
        Put16(files, 0);                 // folder 0
        Put16(files, m.date);
        Put16(files, m.time);
        Put16(files, m.attributes);
        files += m.name;
        files += '\0';
        offset += uint32_t(m.data.size());
    }
    std::string blocks;
    size_t block_count = 0;
    for (size_t at = 0; at < content.size() || block_count == 0; at += 32768) {
        std::string chunk = content.substr(at, 32768);
        Put32(blocks, checksum);
        Put16(blocks, uint32_t(chunk.size()));
        Put16(blocks, uint32_t(chunk.size()));
        blocks += chunk;
        ++block_count;
        if (content.empty()) break;
    }
    uint32_t header_size = 36, folder_size = 8;
    uint32_t files_offset = header_size + folder_size;
    uint32_t data_offset = files_offset + uint32_t(files.size());
    std::string cab;
    cab += "MSCF";
    Put32(cab, 0);
    Put32(cab, data_offset + uint32_t(blocks.size()));   // cabinet size
    Put32(cab, 0);
    Put32(cab, files_offset);
    Put32(cab, 0);
    cab += char(3); cab += char(1);                      // version 1.3
    Put16(cab, 1);                                       // folders
    Put16(cab, uint32_t(members.size()));
    Put16(cab, 0);                                       // flags
    Put16(cab, 0x1234);                                  // set id
    Put16(cab, 0);                                       // index
    Put32(cab, data_offset);                             // CFFOLDER: first block
    Put16(cab, uint32_t(block_count));
    Put16(cab, 0);                                       // no compression
    cab += files;
    cab += blocks;
    return cab;
}

std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> out;
    std::function<void(const std::string&)> walk = [&](const std::string& relative) {
        WIN32_FIND_DATAA data;
        std::string base = folder;
        if (!base.empty() && base.back() != '\\') base += '\\';
        HANDLE find = FindFirstFileA((base + relative + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) walk(relative + name + "\\");
            else out.push_back(relative + name);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    };
    walk("");
    return out;
}

}  // namespace gantrel_test
