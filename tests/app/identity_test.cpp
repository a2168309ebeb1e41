// The identity the running program gives itself agrees with the Windows version
// resource and with the installed desktop entry, and its windows get the icon.
#include "app/identity.h"
#include "tests/app/app_fixtures.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QIcon>

#include <memory>

namespace {

class ApplicationIdentity : public testing::Test {
protected:
    static void SetUpTestSuite() {
        application = std::make_unique<QGuiApplication>(argc, argv);
        app::setApplicationIdentity();
    }
    static void TearDownTestSuite() { application.reset(); }

    static inline int argc = 1;
    static inline char name[] = "test_app";
    static inline char* argv[] = {name, nullptr};
    static inline std::unique_ptr<QGuiApplication> application;
};

TEST_F(ApplicationIdentity, the_windows_carry_the_32_pixel_program_icon) {
    const QIcon icon = QGuiApplication::windowIcon();
    ASSERT_FALSE(icon.isNull()) << "the icon resource is missing from the program";
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
}

struct SharedName {
    const char* row;
    std::u16string_view versionKey;
    QString (*qtValue)();
};

// Test names show the row, not the bytes of the parameter.
void PrintTo(const SharedName& row, std::ostream* out) {
    *out << row.row;
}

const SharedName sharedNames[] = {
    {"product_name", u"ProductName", &QGuiApplication::applicationName},
    {"product_version", u"ProductVersion", &QGuiApplication::applicationVersion},
    {"file_version", u"FileVersion", &QGuiApplication::applicationVersion},
    {"company_name", u"CompanyName", &QGuiApplication::organizationName},
};

class SameNameOnEveryPlatform : public ApplicationIdentity,
                                public testing::WithParamInterface<SharedName> {};

TEST_P(SameNameOnEveryPlatform, the_program_names_itself_as_its_windows_version_resource_does) {
    APPTEST_REQUIRE(apptest::compileResources());
    const resfile::VersionBlock root = apptest::versionInfo();
    const resfile::VersionBlock* info = root.child(u"StringFileInfo");
    ASSERT_TRUE(info != nullptr && !info->children.empty());
    const resfile::VersionBlock* entry = info->children.front().child(GetParam().versionKey);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(GetParam().qtValue().toStdU16String(), entry->text());
}

INSTANTIATE_TEST_SUITE_P(ApplicationIdentity, SameNameOnEveryPlatform,
                         testing::ValuesIn(sharedNames),
                         [](const auto& info) { return std::string(info.param.row); });

TEST_F(ApplicationIdentity, the_desktop_file_name_is_the_installed_desktop_entry_of_the_same_name) {
    APPTEST_REQUIRE(apptest::installProgram());
    const auto entry = apptest::installPrefix() / "share/applications" /
                       (QGuiApplication::desktopFileName().toStdString() + ".desktop");
    ASSERT_TRUE(std::filesystem::is_regular_file(entry)) << entry;
    EXPECT_EQ(apptest::desktopEntryValue(entry, "Name"),
              QGuiApplication::applicationDisplayName().toStdString());
}

} // namespace
