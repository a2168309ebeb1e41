// The program's identity on Linux: what `cmake --install` puts in place and how
// the desktop entry ties the program and its icon together.
#include "tests/app/app_fixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>

namespace {

namespace fs = std::filesystem;

struct InstalledFile {
    const char* row;
    const char* path;
};

// Test names show the row, not the bytes of the parameter.
void PrintTo(const InstalledFile& row, std::ostream* out) {
    *out << row.row;
}

const InstalledFile installedFiles[] = {
    {"program", "bin/Dormatique"},
    {"desktop_entry", "share/applications/brelvoxa.desktop"},
    {"icon", "share/icons/hicolor/32x32/apps/brelvoxa.png"},
};

class InstalledFiles : public testing::TestWithParam<InstalledFile> {};

TEST_P(InstalledFiles, install_puts_the_file_under_the_prefix) {
    APPTEST_REQUIRE(apptest::installProgram());
    EXPECT_TRUE(fs::is_regular_file(apptest::installPrefix() / GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(LinuxInstall, InstalledFiles, testing::ValuesIn(installedFiles),
                         [](const auto& info) { return std::string(info.param.row); });

fs::path desktopEntry() {
    return apptest::installPrefix() / "share/applications/brelvoxa.desktop";
}

TEST(LinuxInstall, desktop_file_validate_accepts_the_installed_entry) {
    APPTEST_REQUIRE(apptest::installProgram());
    const std::string validator = BRELVOXA_DESKTOP_FILE_VALIDATE;
    if (validator.empty()) {
        GTEST_SKIP() << "desktop-file-validate not found";
    }
    std::string output;
    EXPECT_EQ(apptest::run({validator, desktopEntry().string()}, output), 0) << output;
}

TEST(LinuxInstall, the_desktop_entry_starts_the_installed_program_and_shows_the_installed_icon) {
    APPTEST_REQUIRE(apptest::installProgram());
    const fs::path program =
        apptest::installPrefix() / "bin" / apptest::desktopEntryValue(desktopEntry(), "Exec");
    ASSERT_TRUE(fs::is_regular_file(program)) << program;
    EXPECT_NE(fs::status(program).permissions() & fs::perms::owner_exec, fs::perms::none);

    const std::string icon = apptest::desktopEntryValue(desktopEntry(), "Icon");
    EXPECT_TRUE(fs::is_regular_file(apptest::installPrefix() / "share/icons/hicolor/32x32/apps" /
                                    (icon + ".png")))
        << "Icon=" << icon;
}

TEST(LinuxInstall, the_installed_icon_is_a_32_by_32_png) {
    APPTEST_REQUIRE(apptest::installProgram());
    std::ifstream png(apptest::installPrefix() / "share/icons/hicolor/32x32/apps/brelvoxa.png",
                      std::ios::binary);
    std::array<unsigned char, 24> head{};
    ASSERT_TRUE(png.read(reinterpret_cast<char*>(head.data()), head.size()));
    const std::array<unsigned char, 8> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_TRUE(std::equal(signature.begin(), signature.end(), head.begin()));
    // IHDR comes first: width and height, big-endian, at bytes 16 and 20.
    const auto word = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = at; i < at + 4; ++i) {
            value = value << 8 | head[i];
        }
        return value;
    };
    EXPECT_EQ(word(16), 32u);
    EXPECT_EQ(word(20), 32u);
}

} // namespace
