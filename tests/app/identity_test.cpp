// The program's identity: the version resource the Windows executable carries, read
// back from the resource script compiled by llvm-rc, and the Linux install.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A directory of this test process, removed when it ends.
const fs::path& scratch() {
    static const struct Directory {
        fs::path path =
            fs::temp_directory_path() / ("brelvoxa-app-" + std::to_string(std::random_device()()));
        Directory() { fs::create_directories(path); }
        ~Directory() { fs::remove_all(path); }
    } directory;
    return directory.path;
}

// Runs a command line of quoted words; its output ends up in `output`.
int run(const std::vector<std::string>& words, std::string& output) {
    std::string command;
    for (const std::string& word : words)
        command += "'" + word + "' ";
    const fs::path log = scratch() / "output.txt";
    const int status = std::system((command + "> '" + log.string() + "' 2>&1").c_str());
    std::ifstream in(log);
    output.assign(std::istreambuf_iterator<char>(in), {});
    return status;
}

// Little-endian, as every number in a .res file; out of range throws.
unsigned u16(const Bytes& d, std::size_t at) {
    return d.at(at) | d.at(at + 1) << 8;
}
unsigned u32(const Bytes& d, std::size_t at) {
    return u16(d, at) | u16(d, at + 2) << 16;
}
std::size_t align4(std::size_t at) {
    return (at + 3) & ~std::size_t{3};
}

// The VERSIONINFO tree flattened: "VS_VERSION_INFO/StringFileInfo/0C0A04B0/ProductName"
// and so on, each with its value as UTF-16 units. Every node is length, value length,
// type (1: text, counted in units, not bytes), key, then value and children, aligned.
void readBlocks(const Bytes& d, std::size_t at, std::size_t end, const std::u16string& parent,
                std::map<std::u16string, std::u16string>& out) {
    while (at < end) {
        const std::size_t next = at + std::max(u16(d, at), 6u); // a zero length would never end
        const std::size_t valueBytes = u16(d, at + 2) * (u16(d, at + 4) == 1 ? 2 : 1);
        std::u16string key = parent;
        for (at += 6; u16(d, at) != 0; at += 2)
            key += char16_t(u16(d, at));
        at = align4(at + 2);
        std::u16string& value = out[key];
        for (std::size_t i = at; i + 1 < std::min(at + valueBytes, next); i += 2)
            value += char16_t(u16(d, i));
        readBlocks(d, align4(at + valueBytes), next, key + u"/", out);
        at = align4(next);
    }
}

// The version resource of the compiled script. Each resource of a .res file is
// data size, header size, type (0xFFFF and a number, or a string), name..., data.
std::map<std::u16string, std::u16string> compiledVersion() {
    const fs::path res = scratch() / "Dormatique.res";
    std::string output;
    // "--" ends the options: llvm-rc takes an absolute path such as /check/... for
    // the option /C followed by its value.
    const int status = run(
        {BRELVOXA_LLVM_RC, "/C", "65001", "/FO", res.string(), "--", BRELVOXA_RC_SCRIPT}, output);
    EXPECT_EQ(status, 0) << output;
    std::ifstream in(res, std::ios::binary);
    const Bytes d{std::istreambuf_iterator<char>(in), {}};
    std::map<std::u16string, std::u16string> version;
    for (std::size_t at = 0; at + 8 <= d.size(); at = align4(at + u32(d, at + 4) + u32(d, at)))
        if (u32(d, at + 8) == (16u << 16 | 0xFFFF)) // RT_VERSION
            readBlocks(Bytes(d.begin() + at + u32(d, at + 4), d.end()), 0, u32(d, at), u"",
                       version);
    return version;
}

} // namespace

TEST(WindowsIdentity, the_version_resource_names_the_program_in_one_spanish_string_table) {
    const auto version = compiledVersion();
    const std::tuple<std::u16string, std::u16string> strings[] = {
        {u"CompanyName", u"Merrowfield,S.L."},
        {u"FileDescription", u"Calculadora dígits IBAN i codi BIC"},
        {u"FileVersion", u"1.00"},
        {u"InternalName", u"Dormatique"},
        {u"OriginalFilename", u"Dormatique.exe"},
        {u"ProductName", u"Brelvoxa"},
        {u"ProductVersion", u"1.00"},
    };
    for (const auto& [key, value] : strings) {
        const auto found = version.find(u"VS_VERSION_INFO/StringFileInfo/0C0A04B0/" + key);
        ASSERT_NE(found, version.end()) << std::string(key.begin(), key.end());
        EXPECT_EQ(std::u16string(found->second.c_str()), value);
    }
    std::u16string tables; // the blocks right under StringFileInfo
    for (const auto& [key, value] : version)
        if (key.starts_with(u"VS_VERSION_INFO/StringFileInfo/") && key.find(u'/', 31) == key.npos)
            tables += key.substr(31);
    EXPECT_EQ(tables, u"0C0A04B0");
    // Language 0x0C0A, Spanish (Spain), with code page 1200, Unicode.
    EXPECT_EQ(version.at(u"VS_VERSION_INFO/VarFileInfo/Translation"), u"\x0C0A\x04B0");
}

// VS_FIXEDFILEINFO, in 32-bit words: signature, structure version, file version
// (high, low), product version (high, low), flags mask, flags, OS, type.
TEST(WindowsIdentity, the_numeric_version_is_1_0_0_0_for_a_windows_application) {
    const std::u16string fixed = compiledVersion().at(u"VS_VERSION_INFO");
    const std::tuple<const char*, std::size_t, unsigned> words[] = {
        {"signature", 0, 0xFEEF04BD},  {"file_version_high", 2, 0x00010000},
        {"file_version_low", 3, 0},    {"product_version_high", 4, 0x00010000},
        {"product_version_low", 5, 0}, {"os_windows32", 8, 4},
        {"type_application", 9, 1},
    };
    for (const auto& [name, word, value] : words)
        EXPECT_EQ(unsigned(fixed.at(2 * word)) | unsigned(fixed.at(2 * word + 1)) << 16, value)
            << name;
}

TEST(LinuxInstall, puts_the_program_its_desktop_entry_and_its_icon_under_the_prefix) {
    const fs::path prefix = scratch() / "prefix";
    std::string output;
    const int status = run({BRELVOXA_CMAKE, "--install", BRELVOXA_BUILD_DIR, "--config",
                            BRELVOXA_CONFIG, "--component", "Runtime", "--prefix", prefix.string()},
                           output);
    ASSERT_EQ(status, 0) << output;
    EXPECT_TRUE(fs::is_regular_file(prefix / "bin/Dormatique"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/icons/hicolor/32x32/apps/brelvoxa.png"));
    const fs::path entry = prefix / "share/applications/brelvoxa.desktop";
    EXPECT_EQ(run({BRELVOXA_DESKTOP_FILE_VALIDATE, entry.string()}, output), 0) << output;
    std::ifstream in(entry);
    const std::string lines{std::istreambuf_iterator<char>(in), {}};
    for (const char* line :
         {"\nName=Brelvoxa\n", "\nExec=Dormatique\n", "\nIcon=brelvoxa\n", "\nComment[ca]="})
        EXPECT_NE(lines.find(line), lines.npos) << line;
}
