// The program's identity: the version resource the Windows executable carries, read
// back from the resource script compiled by llvm-rc, the Linux install, and the
// names the running program gives itself.
#include "app/identity.h"
#include "brelvoxa/version.h"

#include <QGuiApplication>
#include <QIcon>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
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

std::string commandLine(const std::vector<std::string>& words) {
    std::string command;
    for (const std::string& word : words)
        command += "'" + word + "' ";
    return command;
}

// Runs a command line of quoted words; what it prints goes to the test's output.
int run(const std::vector<std::string>& words) {
    return std::system(commandLine(words).c_str());
}

// What a command line of quoted words prints on stdout.
std::string output(const std::vector<std::string>& words) {
    std::string out;
    if (FILE* pipe = popen(commandLine(words).c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
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

TEST(WindowsIdentity, the_version_resource_holds_the_version_in_one_spanish_string_table) {
    const std::u16string res = compiledResource();
    // The names: the running program's test below, and the Windows build's own.
    for (const std::u16string_view key : {u"FileVersion", u"ProductVersion"}) {
        const std::size_t at = std::min(valueOf(res, key), res.size());
        EXPECT_EQ(res.substr(at, res.find(u'\0', at) - at), u"" BRELVOXA_VERSION)
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

// Each test installs the Runtime component, what the Debian package holds, into a
// prefix of its own, so that tests run side by side do not share one.
class LinuxInstall : public testing::Test {
protected:
    void SetUp() override {
        prefix = scratch / testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(prefix);
        ASSERT_EQ(run({BRELVOXA_CMAKE, "--install", BRELVOXA_BUILD_DIR, "--config", BRELVOXA_CONFIG,
                       "--component", "Runtime", "--prefix", prefix.string()}),
                  0);
    }
    fs::path prefix;
};

// What main gives the application, as the desktop and the question boxes read it:
// the names of the Windows version resource and of the installed desktop entry. The
// files of the package that no other test reads; each icon's PNG of its folder's
// size, by which the theme finds it; the desktop and AppStream entries validated, the
// latter naming the former and the version.
TEST_F(LinuxInstall, puts_the_files_in_place_and_the_running_program_names_itself_as_they_do) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char program[] = "Dormatique";
    char* argv[] = {program, nullptr};
    const QGuiApplication application(argc, argv);
    app::setApplicationIdentity();
    const std::string script = contents(BRELVOXA_RC_SCRIPT);
    const auto value = [&script](const std::string& key) {
        std::smatch found;
        std::regex_search(script, found, std::regex("VALUE \"" + key + "\", \"([^\"]*)\""));
        return found[1].str();
    };
    EXPECT_EQ(QGuiApplication::applicationName().toStdString(), value("ProductName"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(), value("ProductName"));
    EXPECT_EQ(QGuiApplication::organizationName().toStdString(), value("CompanyName"));
    EXPECT_EQ(QGuiApplication::applicationVersion().toStdString(), value("ProductVersion"));
    const std::string entry =
        contents(prefix / "share/applications" /
                 (QGuiApplication::desktopFileName() + ".desktop").toStdString());
    EXPECT_NE(entry.find("\nName=" + value("ProductName") + "\n"), entry.npos);
    EXPECT_FALSE(QGuiApplication::windowIcon().availableSizes().isEmpty());
    for (const char* file :
         {"bin/Dormatique", "share/icons/hicolor/scalable/apps/brelvoxa.svg",
          "share/doc/brelvoxa/copyright", "share/doc/brelvoxa/changelog.Debian.gz"})
        EXPECT_TRUE(fs::is_regular_file(prefix / file)) << file;
    for (const unsigned size : {16u, 32u, 48u, 64u, 128u, 256u}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const std::string png =
            contents(prefix / "share/icons/hicolor" / folder / "apps/brelvoxa.png");
        std::string header; // width and height, the first two words of the header chunk
        for (const int shift : {24, 16, 8, 0, 24, 16, 8, 0})
            header += char(size >> shift & 0xFF);
        EXPECT_EQ(png.substr(std::min<std::size_t>(16, png.size()), 8), header) << folder;
    }
    EXPECT_EQ(run({BRELVOXA_DESKTOP_FILE_VALIDATE,
                   (prefix / "share/applications/brelvoxa.desktop").string()}),
              0);
    const fs::path metainfo = prefix / "share/metainfo/example.merrowfield.brelvoxa.metainfo.xml";
    EXPECT_EQ(run({BRELVOXA_APPSTREAMCLI, "validate", "--no-net", metainfo.string()}), 0);
    const std::string xml = contents(metainfo);
    for (const std::string& part :
         {std::string("<launchable type=\"desktop-id\">brelvoxa.desktop</launchable>"),
          std::string("<release version=\"" BRELVOXA_VERSION "\"")})
        EXPECT_NE(xml.find(part), xml.npos) << part;
}

// Every long option brelvoxa --help lists is in its manual page; both pages are
// compressed and open with the line that man's index reads.
TEST_F(LinuxInstall, the_manual_pages_are_compressed_and_brelvoxa_s_names_every_option) {
    // gzip reads nothing from an uncompressed page; brelvoxa's is read last.
    std::string manual;
    for (const std::string program : {"Dormatique", "brelvoxa"}) {
        manual =
            output({"gzip", "-dc", (prefix / "share/man/man1" / (program + ".1.gz")).string()});
        EXPECT_NE(manual.find(".SH NOM\n" + program + " \\- "), manual.npos) << program;
    }
    const std::string help = output({(prefix / "bin/brelvoxa").string(), "--help"});
    std::set<std::string> options;
    const std::regex option("--([a-z][a-z-]*)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
         it != std::sregex_iterator(); ++it)
        options.insert((*it)[1]);
    EXPECT_GE(options.size(), 10u);
    // The page writes a hyphen as "\-".
    for (const std::string& name : options)
        EXPECT_NE(manual.find(std::regex_replace("--" + name, std::regex("-"), "\\-")), manual.npos)
            << "--" << name;
}

// What Tab offers after what has been typed, as bash-completion's loader runs it.
TEST_F(LinuxInstall, bash_completes_brelvoxa_s_options_and_their_values) {
    const fs::path script = prefix / "share/bash-completion/completions/brelvoxa";
    const std::tuple<const char*, const char*> rows[] = {
        {"brelvoxa --sor", "--sortida="},
        {"brelvoxa --sense", "--sense-capcalera"},
        {"brelvoxa -f ", "llista csv"},
        {"brelvoxa --format=c", "csv"},
        {"brelvoxa -s ", "\\; , tab"},
        {"brelvoxa -e w", "windows-1252"},
        {"brelvoxa --codificacio=", "utf-8 windows-1252"},
        {"brelvoxa -c ", ""},
        {"brelvoxa --fu", "--full="},
    };
    for (const auto& [line, offered] : rows)
        EXPECT_EQ(output({"bash", BRELVOXA_COMPLETE, script.string(), line}), offered) << line;
}
