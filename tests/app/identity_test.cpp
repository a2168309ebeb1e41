// The program's identity: the version resource the Windows executable carries, read
// back from the resource script compiled by llvm-rc, and the Linux install.
#include "brelvoxa/version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Outputs go to a directory of the build tree; each test writes its own files.
const fs::path scratch = [] {
    const fs::path path = fs::path(BRELVOXA_BUILD_DIR) / "tests/app/scratch";
    fs::create_directories(path);
    return path;
}();

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs a command line of quoted words; what it prints goes to the test's output.
int run(const std::vector<std::string>& words) {
    std::string command;
    for (const std::string& word : words)
        command += "'" + word + "' ";
    return std::system(command.c_str());
}

// The script compiled by llvm-rc, as the little-endian UTF-16 units that its
// version resource is written in.
std::u16string compiledResource() {
    const fs::path res = scratch / "Dormatique.res";
    // "--" ends the options: llvm-rc takes an absolute path such as /check/... for
    // the option /C followed by its value.
    EXPECT_EQ(run({BRELVOXA_LLVM_RC, "/C", "65001", "/FO", res.string(), "--", BRELVOXA_RC_SCRIPT}),
              0);
    const std::string bytes = contents(res);
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += char16_t(std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8);
    return units;
}

// Where the value of a node of the version tree starts: after its key, the key's
// zero and the padding to 32 bits.
std::size_t valueOf(const std::u16string& res, std::u16string_view key) {
    const std::size_t at = res.find(std::u16string(key) + u'\0');
    const std::size_t value = at == res.npos ? res.size() : at + key.size() + 1;
    return value + value % 2;
}

} // namespace

TEST(WindowsIdentity,
     the_version_resource_names_the_program_and_its_version_in_one_spanish_string_table) {
    const std::u16string res = compiledResource();
    const std::tuple<std::u16string_view, std::u16string_view> strings[] = {
        {u"CompanyName", u"Merrowfield,S.L."},
        {u"FileDescription", u"Calculadora dígits IBAN i codi BIC"},
        {u"FileVersion", u"" BRELVOXA_VERSION},
        {u"InternalName", u"Dormatique"},
        {u"OriginalFilename", u"Dormatique.exe"},
        {u"ProductName", u"Brelvoxa"},
        {u"ProductVersion", u"" BRELVOXA_VERSION},
    };
    for (const auto& [key, value] : strings) {
        const std::size_t at = std::min(valueOf(res, key), res.size());
        EXPECT_EQ(res.substr(at, res.find(u'\0', at) - at), value)
            << std::string(key.begin(), key.end());
    }
    // The block under StringFileInfo (after its length, value length and type) is
    // the only table: a second one would name the company again.
    EXPECT_EQ(res.substr(valueOf(res, u"StringFileInfo") + 3, 8), u"0C0A04B0");
    EXPECT_EQ(res.find(u"CompanyName"), res.rfind(u"CompanyName"));
    // Language 0x0C0A, Spanish (Spain), with code page 1200, Unicode.
    EXPECT_EQ(res.substr(valueOf(res, u"Translation"), 2), u"\x0C0A\x04B0");
    // VS_FIXEDFILEINFO in 32-bit words from its signature: file version (high, low),
    // product version (high, low), flags mask, flags, OS, type.
    const std::size_t fixed = res.find(u"\x04BD\xFEEF");
    // The version's two numbers make the high word (major, minor); the low one is 0.
    constexpr unsigned high = BRELVOXA_VERSION_MAJOR << 16 | BRELVOXA_VERSION_MINOR;
    // clang-format off
    const std::tuple<const char*, std::size_t, unsigned> words[] = {
        {"file_version_high", 2, high}, {"file_version_low", 3, 0},
        {"product_version_high", 4, high}, {"product_version_low", 5, 0},
        {"os_windows32", 8, 4}, {"type_application", 9, 1}};
    // clang-format on
    ASSERT_NE(fixed, res.npos);
    for (const auto& [name, word, value] : words)
        EXPECT_EQ(res.at(fixed + 2 * word) | res.at(fixed + 2 * word + 1) << 16, value) << name;
}

TEST(LinuxInstall, puts_the_program_its_desktop_entry_and_its_icon_under_the_prefix) {
    const fs::path prefix = scratch / "prefix";
    ASSERT_EQ(run({BRELVOXA_CMAKE, "--install", BRELVOXA_BUILD_DIR, "--config", BRELVOXA_CONFIG,
                   "--component", "Runtime", "--prefix", prefix.string()}),
              0);
    EXPECT_TRUE(fs::is_regular_file(prefix / "bin/Dormatique"));
    EXPECT_TRUE(fs::is_regular_file(prefix / "share/icons/hicolor/32x32/apps/brelvoxa.png"));
    const fs::path entry = prefix / "share/applications/brelvoxa.desktop";
    EXPECT_EQ(run({BRELVOXA_DESKTOP_FILE_VALIDATE, entry.string()}), 0);
    const std::string lines = contents(entry);
    for (const char* line :
         {"\nName=Brelvoxa\n", "\nExec=Dormatique\n", "\nIcon=brelvoxa\n", "\nComment[ca]="})
        EXPECT_NE(lines.find(line), lines.npos) << line;
}
