// Reads .res files; the layouts are those of the Win32 RESOURCEHEADER,
// VS_VERSIONINFO and GRPICONDIR structures, all little-endian and DWORD-aligned.
#include "tests/app/res_reader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace resfile {
namespace {

std::size_t align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t u8(std::size_t at) const { return bytes_[check(at, 1)]; }
    std::uint16_t u16(std::size_t at) const {
        check(at, 2);
        return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    std::uint32_t u32(std::size_t at) const {
        return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
    }
    // A null-terminated UTF-16 string; `at` moves past the null.
    std::u16string string(std::size_t& at) const {
        std::u16string text;
        for (char16_t c; (c = static_cast<char16_t>(u16(at))) != 0; at += 2) {
            text.push_back(c);
        }
        at += 2;
        return text;
    }
    std::span<const std::uint8_t> slice(std::size_t at, std::size_t length) const {
        return bytes_.subspan(check(at, length), length);
    }
    std::size_t size() const { return bytes_.size(); }

private:
    std::size_t check(std::size_t at, std::size_t length) const {
        if (at > bytes_.size() || length > bytes_.size() - at) {
            throw std::runtime_error("resource data ends too early");
        }
        return at;
    }
    std::span<const std::uint8_t> bytes_;
};

// A type or a name: 0xFFFF and a number, or a string.
void readIdOrName(const Reader& in, std::size_t& at, std::uint16_t& id, std::u16string& name) {
    if (in.u16(at) == 0xFFFF) {
        id = in.u16(at + 2);
        at += 4;
    } else {
        name = in.string(at);
    }
}

VersionBlock readBlock(const Reader& in, std::size_t start, std::size_t& end) {
    const std::size_t length = in.u16(start);
    const std::size_t valueLength = in.u16(start + 2);
    if (length < 6 || start + length > in.size()) {
        throw std::runtime_error("version block has a bad length");
    }
    end = start + length;

    VersionBlock block;
    block.isText = in.u16(start + 4) == 1;
    std::size_t at = start + 6;
    block.key = in.string(at);
    at = align4(at);
    // Text values count UTF-16 units, binary ones bytes.
    const std::size_t valueBytes = block.isText ? valueLength * 2 : valueLength;
    if (valueBytes > 0) {
        const auto value = in.slice(at, std::min(valueBytes, end - std::min(at, end)));
        block.value.assign(value.begin(), value.end());
        at = align4(at + valueBytes);
    }
    while (at < end) {
        std::size_t childEnd = 0;
        block.children.push_back(readBlock(in, at, childEnd));
        at = align4(childEnd);
    }
    return block;
}

} // namespace

std::vector<Resource> readResources(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        throw std::runtime_error("cannot open " + file.string());
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), {}};
    const Reader in(bytes);

    std::vector<Resource> resources;
    for (std::size_t at = 0; at + 8 <= in.size();) {
        const std::size_t dataSize = in.u32(at);
        const std::size_t headerSize = in.u32(at + 4);
        if (headerSize < 8) {
            throw std::runtime_error("resource header too short");
        }
        Resource resource;
        std::size_t field = at + 8;
        readIdOrName(in, field, resource.typeId, resource.typeName);
        readIdOrName(in, field, resource.nameId, resource.name);
        field = align4(field);
        resource.language = in.u16(field + 6); // after DataVersion and MemoryFlags
        const auto data = in.slice(at + headerSize, dataSize);
        resource.data.assign(data.begin(), data.end());
        resources.push_back(std::move(resource));
        at = align4(at + headerSize + dataSize);
    }
    return resources;
}

std::u16string VersionBlock::text() const {
    std::u16string result;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
        const auto c = static_cast<char16_t>(value[i] | value[i + 1] << 8);
        if (c == 0) {
            break;
        }
        result.push_back(c);
    }
    return result;
}

const VersionBlock* VersionBlock::child(std::u16string_view childKey) const {
    for (const VersionBlock& c : children) {
        if (c.key == childKey) {
            return &c;
        }
    }
    return nullptr;
}

VersionBlock readVersionInfo(std::span<const std::uint8_t> data) {
    std::size_t end = 0;
    return readBlock(Reader(data), 0, end);
}

FixedFileInfo fixedFileInfo(const VersionBlock& root) {
    const Reader in(root.value);
    FixedFileInfo info;
    info.signature = in.u32(0);
    info.fileVersionMS = in.u32(8);
    info.fileVersionLS = in.u32(12);
    info.productVersionMS = in.u32(16);
    info.productVersionLS = in.u32(20);
    info.fileOS = in.u32(32);
    info.fileType = in.u32(36);
    return info;
}

std::vector<IconEntry> readIconGroup(std::span<const std::uint8_t> data) {
    const Reader in(data);
    std::vector<IconEntry> entries;
    const std::size_t count = in.u16(4);
    for (std::size_t i = 0, at = 6; i < count; ++i, at += 14) {
        entries.push_back(
            IconEntry{in.u8(at), in.u8(at + 1), in.u16(at + 6), in.u32(at + 8), in.u16(at + 12)});
    }
    return entries;
}

} // namespace resfile
