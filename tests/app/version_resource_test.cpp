// The program's identity on Windows, read back from the compiled resource script:
// the strings a file's properties show, the numeric version and the icon.
#include "tests/app/app_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using resfile::VersionBlock;

const VersionBlock* stringTable(const VersionBlock& root) {
    const VersionBlock* info = root.child(u"StringFileInfo");
    return info != nullptr ? info->child(u"0C0A04B0") : nullptr;
}

struct VersionString {
    const char* row;
    std::u16string_view key;
    std::u16string_view value;
};

// Test names show the row, not the bytes of the parameter.
void PrintTo(const VersionString& row, std::ostream* out) {
    *out << row.row;
}

const VersionString versionStrings[] = {
    {"company_name", u"CompanyName", u"Merrowfield,S.L."},
    {"description_keeps_its_accents", u"FileDescription", u"Calculadora dígits IBAN i codi BIC"},
    {"file_version", u"FileVersion", u"1.00"},
    {"internal_name", u"InternalName", u"Dormatique"},
    {"original_file_name", u"OriginalFilename", u"Dormatique.exe"},
    {"product_name", u"ProductName", u"Brelvoxa"},
    {"product_version", u"ProductVersion", u"1.00"},
};

class VersionStrings : public testing::TestWithParam<VersionString> {};

TEST_P(VersionStrings, the_spanish_string_table_holds_the_value_as_unicode_text) {
    APPTEST_REQUIRE(apptest::compileResources());
    const VersionBlock root = apptest::versionInfo();
    const VersionBlock* table = stringTable(root);
    ASSERT_NE(table, nullptr) << "no string table 0C0A04B0";
    const VersionBlock* entry = table->child(GetParam().key);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isText);
    EXPECT_EQ(entry->text(), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(WindowsIdentity, VersionStrings, testing::ValuesIn(versionStrings),
                         [](const auto& info) { return std::string(info.param.row); });

struct FixedNumber {
    const char* row;
    std::uint32_t resfile::FixedFileInfo::*field;
    std::uint32_t value;
};

void PrintTo(const FixedNumber& row, std::ostream* out) {
    *out << row.row;
}

const FixedNumber fixedNumbers[] = {
    {"is_a_fixed_file_info", &resfile::FixedFileInfo::signature, 0xFEEF04BD},
    {"file_version_high_is_1_0", &resfile::FixedFileInfo::fileVersionMS, 0x00010000},
    {"file_version_low_is_0_0", &resfile::FixedFileInfo::fileVersionLS, 0},
    {"product_version_high_is_1_0", &resfile::FixedFileInfo::productVersionMS, 0x00010000},
    {"product_version_low_is_0_0", &resfile::FixedFileInfo::productVersionLS, 0},
    {"made_for_32_bit_windows", &resfile::FixedFileInfo::fileOS, 0x4},       // VOS__WINDOWS32
    {"file_type_is_an_application", &resfile::FixedFileInfo::fileType, 0x1}, // VFT_APP
};

class FixedFileInfo : public testing::TestWithParam<FixedNumber> {};

TEST_P(FixedFileInfo, the_numeric_version_block_holds_the_value) {
    APPTEST_REQUIRE(apptest::compileResources());
    const resfile::FixedFileInfo info = resfile::fixedFileInfo(apptest::versionInfo());
    EXPECT_EQ(info.*GetParam().field, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(WindowsIdentity, FixedFileInfo, testing::ValuesIn(fixedNumbers),
                         [](const auto& info) { return std::string(info.param.row); });

TEST(WindowsIdentity, there_is_one_string_table_and_its_translation_is_spanish_spain_unicode) {
    APPTEST_REQUIRE(apptest::compileResources());
    const VersionBlock root = apptest::versionInfo();
    const VersionBlock* info = root.child(u"StringFileInfo");
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->children.size(), 1u);
    EXPECT_EQ(info->children.front().key, u"0C0A04B0");

    const VersionBlock* var = root.child(u"VarFileInfo");
    ASSERT_NE(var, nullptr);
    const VersionBlock* translation = var->child(u"Translation");
    ASSERT_NE(translation, nullptr);
    // Language 0x0C0A, code page 1200, as two little-endian words.
    EXPECT_EQ(translation->value, (std::vector<std::uint8_t>{0x0A, 0x0C, 0xB0, 0x04}));
}

TEST(WindowsIdentity, the_version_resource_is_filed_under_spanish_spain) {
    APPTEST_REQUIRE(apptest::compileResources());
    const auto& resources = apptest::resources();
    const auto version = std::find_if(resources.begin(), resources.end(),
                                      [](const auto& r) { return r.typeId == resfile::rtVersion; });
    ASSERT_NE(version, resources.end());
    EXPECT_EQ(version->language, 0x0C0A);
}

TEST(WindowsIdentity, the_executable_carries_the_32_pixel_program_icon) {
    APPTEST_REQUIRE(apptest::compileResources());
    const auto& resources = apptest::resources();
    const auto group = std::find_if(resources.begin(), resources.end(),
                                    [](const auto& r) { return r.typeId == resfile::rtGroupIcon; });
    ASSERT_NE(group, resources.end()) << "no icon group";
    const auto entries = resfile::readIconGroup(group->data);
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [](const auto& e) { return e.width == 32 && e.height == 32; });
    ASSERT_NE(entry, entries.end()) << "no 32 x 32 image in the icon group";

    // The group only points at the image; the image itself must be there too.
    const auto image = std::find_if(resources.begin(), resources.end(), [&](const auto& r) {
        return r.typeId == resfile::rtIcon && r.nameId == entry->iconId;
    });
    ASSERT_NE(image, resources.end());
    EXPECT_EQ(image->data.size(), entry->bytes);
}

} // namespace
