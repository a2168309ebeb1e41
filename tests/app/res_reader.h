#pragma once
// Reads what a resource compiler writes into a .res file: the list of resources,
// the VERSIONINFO tree inside a version resource and the entries of an icon
// group. Enough to check what the Windows executable would carry without a
// Windows machine. Malformed input throws std::runtime_error.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace resfile {

inline constexpr std::uint16_t rtIcon = 3;
inline constexpr std::uint16_t rtGroupIcon = 14;
inline constexpr std::uint16_t rtVersion = 16;

// A resource's type and name are each a number or a string.
struct Resource {
    std::uint16_t typeId = 0; // 0 when the type is a string
    std::u16string typeName;
    std::uint16_t nameId = 0; // 0 when the name is a string
    std::u16string name;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> data;
};

std::vector<Resource> readResources(const std::filesystem::path& file);

// One node of a VERSIONINFO tree: VS_VERSIONINFO, StringFileInfo, a string
// table, a String, VarFileInfo, Var.
struct VersionBlock {
    std::u16string key;
    bool isText = false;
    std::vector<std::uint8_t> value;
    std::vector<VersionBlock> children;

    // The value read as UTF-16, up to its terminating null.
    std::u16string text() const;
    // The first child with this key, or nullptr.
    const VersionBlock* child(std::u16string_view childKey) const;
};

VersionBlock readVersionInfo(std::span<const std::uint8_t> data);

// The numbers of VS_FIXEDFILEINFO that matter to the program.
struct FixedFileInfo {
    std::uint32_t signature = 0;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
};

FixedFileInfo fixedFileInfo(const VersionBlock& root);

// One image of an icon group: its size in pixels (0 means 256) and the RT_ICON id.
struct IconEntry {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::uint32_t bytes = 0;
    std::uint16_t iconId = 0;
};

std::vector<IconEntry> readIconGroup(std::span<const std::uint8_t> data);

} // namespace resfile
