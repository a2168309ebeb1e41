// What the tests that run the real brelvoxa share: the sample files, reading a
// file whole, and a directory of its own for each test to run it in from a shell.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

inline const fs::path dades = BRELVOXA_DADES;

inline std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class InDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("brelvoxa-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs a shell script in the directory, with $BRELVOXA naming the program,
    // $DADES the samples and messages in the C locale; returns its exit status.
    int shell(const std::string& script) {
        std::ofstream(dir_ / "run.sh") << script;
        const std::string command = "cd '" + dir_.string() + "' && LC_ALL=C BRELVOXA='" +
                                    BRELVOXA_EXE + "' DADES='" + dades.string() + "' sh run.sh";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::string file(const std::string& name) { return read(dir_ / name); }

    fs::path dir_;
};
