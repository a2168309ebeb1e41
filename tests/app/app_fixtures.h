#pragma once
// What the program's identity tests start from: the Windows resource script
// compiled by llvm-rc, and the program installed into a scratch prefix. Each is
// made once per test run; a test asks for it and skips when the tool it needs is
// missing.

#include "tests/app/res_reader.h"

#include <filesystem>
#include <string>
#include <vector>

namespace apptest {

// Why the resources or the installation are unavailable; empty when they are.
struct Outcome {
    std::string skipReason;
    std::string failure;
};

// Dormatique.rc compiled to a .res and read back.
const Outcome& compileResources();
const std::vector<resfile::Resource>& resources();
// The VERSIONINFO of the compiled resources; throws if there is none.
resfile::VersionBlock versionInfo();

// `cmake --install` of the program's component into a scratch prefix.
const Outcome& installProgram();
const std::filesystem::path& installPrefix();

// Runs a command line, its output kept in `output`; returns its exit status.
int run(const std::vector<std::string>& arguments, std::string& output);

// Value of a key in the [Desktop Entry] group of a desktop file; empty if absent.
std::string desktopEntryValue(const std::filesystem::path& file, const std::string& key);

} // namespace apptest

// Skips the test, or fails it, when its starting point could not be made.
#define APPTEST_REQUIRE(outcome)                                                                   \
    do {                                                                                           \
        const ::apptest::Outcome& required = (outcome);                                            \
        if (!required.skipReason.empty())                                                          \
            GTEST_SKIP() << required.skipReason;                                                   \
        if (!required.failure.empty())                                                             \
            FAIL() << required.failure;                                                            \
    } while (false)
