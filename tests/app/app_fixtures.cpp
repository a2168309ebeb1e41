// Builds the starting points of the identity tests once per run, in a scratch
// directory removed at exit.
#include "tests/app/app_fixtures.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace apptest {
namespace {

namespace fs = std::filesystem;

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("brelvoxa-app-test-" + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

const fs::path& scratch() {
    static const ScratchDirectory directory;
    return directory.path();
}

std::string quote(const std::string& argument) {
#ifdef _WIN32
    return '"' + argument + '"';
#else
    std::string quoted = "'";
    for (char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
#endif
}

std::vector<resfile::Resource> compiled;

Outcome compile() {
    const std::string llvmRc = BRELVOXA_LLVM_RC;
    if (llvmRc.empty()) {
        return {"llvm-rc not found; the Windows resource script is not checked", ""};
    }
    const fs::path res = scratch() / "Dormatique.res";
    std::string output;
    // The script is UTF-8 and says so with a pragma, which some llvm-rc releases
    // ignore; /C tells them the same.
    if (run({llvmRc, "/C", "65001", "/FO", res.string(), BRELVOXA_RC_SCRIPT}, output) != 0) {
        return {"", "llvm-rc rejected the resource script:\n" + output};
    }
    try {
        compiled = resfile::readResources(res);
    } catch (const std::exception& e) {
        return {"", std::string("cannot read the compiled resources: ") + e.what()};
    }
    return {};
}

Outcome install() {
#ifndef __linux__
    return {"the desktop entry and its icon are installed on Linux only", ""};
#else
    std::string output;
    const int status =
        run({BRELVOXA_CMAKE, "--install", BRELVOXA_BUILD_DIR, "--config", BRELVOXA_CONFIG,
             "--component", "Runtime", "--prefix", installPrefix().string()},
            output);
    if (status != 0) {
        return {"", "cmake --install failed:\n" + output};
    }
    return {};
#endif
}

} // namespace

const Outcome& compileResources() {
    static const Outcome outcome = compile();
    return outcome;
}

const std::vector<resfile::Resource>& resources() {
    return compiled;
}

resfile::VersionBlock versionInfo() {
    for (const resfile::Resource& resource : resources()) {
        if (resource.typeId == resfile::rtVersion) {
            return resfile::readVersionInfo(resource.data);
        }
    }
    throw std::runtime_error("no version resource");
}

const Outcome& installProgram() {
    static const Outcome outcome = install();
    return outcome;
}

const fs::path& installPrefix() {
    static const fs::path prefix = scratch() / "prefix";
    return prefix;
}

int run(const std::vector<std::string>& arguments, std::string& output) {
    static int runs = 0;
    const fs::path log = scratch() / ("run-" + std::to_string(++runs) + ".log");
    std::string command;
    for (const std::string& argument : arguments) {
        command += quote(argument) + ' ';
    }
    command += "> " + quote(log.string()) + " 2>&1";
#ifdef _WIN32
    command = '"' + command + '"'; // cmd strips one pair of outer quotes
#endif
    const int status = std::system(command.c_str());
    std::ifstream stream(log);
    output.assign(std::istreambuf_iterator<char>(stream), {});
    return status;
}

std::string desktopEntryValue(const fs::path& file, const std::string& key) {
    std::ifstream stream(file);
    bool inEntry = false;
    for (std::string line; std::getline(stream, line);) {
        if (line.starts_with('[')) {
            inEntry = line == "[Desktop Entry]";
        } else if (inEntry && line.starts_with(key + '=')) {
            return line.substr(key.size() + 1);
        }
    }
    return {};
}

} // namespace apptest
