// Runs the real brelvoxa as a careful user would on the inputs and outputs that
// can lose or expose data: rows far longer than memory should hold, outputs that
// are devices, links or the input itself, and runs cut short by a signal.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A directory of its own for each test, removed after it.
class Files : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("brelvoxa-files-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs a shell script in the directory, with $BRELVOXA naming the program and
    // messages in the C locale; returns its exit status.
    int shell(const std::string& script) {
        std::ofstream(dir_ / "run.sh") << script;
        const std::string command =
            "cd '" + dir_.string() + "' && LC_ALL=C BRELVOXA='" + BRELVOXA_EXE + "' sh run.sh";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::string file(const std::string& name) { return read(dir_ / name); }
    void expectLongRowsWhole();

    fs::path dir_;
};

// The largest resident set of any process this test has waited for, in MiB.
long peakChildMiB() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024;
}

// A script whose csv and list write an input with a quoted cell of cellBytes and a
// line of lineBytes between converted rows; with an argument, they write the
// output expected of it instead. Each is converted and both are compared.
std::string longRows(std::size_t cellBytes, std::size_t lineBytes) {
    return "CELL=" + std::to_string(cellBytes) + " LINE=" + std::to_string(lineBytes) + R"(
A=ES0321001234515678901234
CELLS="$A	ES03 2100 1234 5156 7890 1234	CAIXESBBXXX	CAIXABANK, S.A.	correcte"
LONG="					fila il·legible: massa llarga"
tr0() { head -c "$1" /dev/zero | tr "\0" "$2"; }
csv() {
    printf "Nom;IBAN%s\r\n" "${1:+;IBAN;IBAN en format paper;BIC;Entitat;Estat}"
    printf "1;\""; tr0 $CELL x; printf "\";%s%s\r\n" $A "${1:+$LONG}" | tr "\t" ";"
    printf "2;%s%s\n" $A "${1:+	$CELLS}" | tr "\t" ";"
}
list() {
    printf "%s%s\n" $A "${1:+	$CELLS}"
    tr0 $LINE 7; printf "%s\n" "${1:+$LONG}"
    printf "%s%s" $A "${1:+	$CELLS}"
}
csv | { $BRELVOXA -c IBAN 2>csv.err; echo $? >csv.status; } | cksum >csv.got
csv 1 | cksum >csv.want
list | { $BRELVOXA 2>list.err; echo $? >list.status; } | cksum >list.got
list 1 | cksum >list.want
)";
}

} // namespace

void Files::expectLongRowsWhole() {
    for (const std::string kind : {"csv", "list"}) {
        EXPECT_EQ(file(kind + ".status"), "1\n") << kind;
        EXPECT_EQ(file(kind + ".got"), file(kind + ".want")) << kind;
        EXPECT_NE(file(kind + ".err").find("entrada estàndard:2: fila il·legible: massa llarga\n"),
                  std::string::npos)
            << file(kind + ".err");
    }
}

// State: a quoted cell and a line of a few mebibytes, longer than a row is kept.
// Expected: each comes back whole, with one set of empty added cells and an
// unreadable status before its own line end; the rows around it are converted.
TEST_F(Files, a_row_longer_than_is_kept_comes_back_whole_with_its_cells_at_its_end) {
    ASSERT_EQ(shell(longRows(3'000'000, 3'000'000)), 0);
    expectLongRowsWhole();
}

// The same with a cell of 200 MB and a line of 100 MB, measuring memory: a few
// seconds, so only with BRELVOXA_LONG_TESTS=1.
TEST_F(Files, rows_of_hundreds_of_megabytes_take_under_64_mib) {
    if (std::getenv("BRELVOXA_LONG_TESTS") == nullptr)
        GTEST_SKIP() << "set BRELVOXA_LONG_TESTS=1 to run";
    ASSERT_EQ(shell(longRows(200'000'000, 100'000'000)), 0);
    expectLongRowsWhole();
    std::cout << "peak resident memory of any process run: " << peakChildMiB() << " MiB\n";
    EXPECT_LT(peakChildMiB(), 64);
}
