// Runs the real brelvoxa as a careful user would on the inputs and outputs that
// can lose or expose data: rows far longer than memory should hold, outputs that
// are devices, links or the input itself, and runs cut short by a signal.

#include "tests/cli/run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <functional>
#include <set>
#include <vector>

using Files = InDirectory;

namespace {

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
CELLS="$A	ES03 2100 1234 5156 7890 1234	CAIXESBBXXX	CAIXABANK, S.A.	correcte	"
LONG="					fila il·legible: massa llarga	"
tr0() { head -c "$1" /dev/zero | tr "\0" "$2"; }
csv() {
    printf "Nom;IBAN%s\r\n" "${1:+;IBAN 2;IBAN en format paper;BIC;Entitat;Estat;Suggeriment}"
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

// State: a quoted cell and a line of a few mebibytes, longer than a row is kept;
// with BRELVOXA_LONG_TESTS=1, a cell of 200 MB and a line of 100 MB (a few seconds).
// Expected: each comes back whole, with one set of empty added cells and an
// unreadable status before its own line end; the rows around it are converted;
// the long run takes under 64 MiB.
TEST_F(Files, a_row_longer_than_is_kept_comes_back_whole_with_its_cells_at_its_end) {
    const bool big = std::getenv("BRELVOXA_LONG_TESTS") != nullptr;
    ASSERT_EQ(shell(big ? longRows(200'000'000, 100'000'000) : longRows(3'000'000, 3'000'000)), 0);
    for (const std::string kind : {"csv", "list"}) {
        EXPECT_EQ(file(kind + ".status"), "1\n") << kind;
        EXPECT_EQ(file(kind + ".got"), file(kind + ".want")) << kind;
        EXPECT_NE(file(kind + ".err").find("entrada estàndard:2: fila il·legible: massa llarga\n"),
                  std::string::npos)
            << file(kind + ".err");
    }
    if (big) {
        EXPECT_LT(peakChildMiB(), 64);
    }
}

namespace {

// What the program writes for dades/correcte.csv.
std::string converted() {
    return read(dades / "esperat" / "correcte.sortida");
}

std::set<std::string> names(const fs::path& dir) {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir))
        found.insert(entry.path().filename().string());
    return found;
}

// Starts the program in dir with the given arguments, standard input from in
// (else /dev/null) and standard error to dir/err.
pid_t start(const fs::path& dir, std::vector<std::string> arguments, int in = -1) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        dup2(in >= 0 ? in : open("/dev/null", O_RDONLY), 0);
        const int err = open("err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(BRELVOXA_EXE)};
        for (auto& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(BRELVOXA_EXE, argv.data());
        _exit(127);
    }
    return pid;
}

// Waits up to five seconds for a condition.
bool within5s(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition())
            return true;
        usleep(10'000);
    }
    return false;
}

// A FIFO holding one row, kept open for writing too by the test, so that a run
// reading it never ends until the test closes it.
int heldFifo(const fs::path& path) {
    if (mkfifo(path.c_str(), 0600) != 0)
        return -1;
    const int fifo = open(path.c_str(), O_RDWR | O_CLOEXEC);
    return write(fifo, "ES0321001234515678901234\n", 25) == 25 ? fifo : -1;
}

} // namespace

// State: outputs that exist and are not regular files: a FIFO with a reader, and
// (as root, made with mknod) the null and the full device.
// Expected: each is written in place and is still what it was afterwards; the
// full device fails as a full disk does; nothing else appears in the directory.
TEST_F(Files, an_output_that_is_not_a_regular_file_is_written_in_place) {
    fs::copy_file(dades / "correcte.csv", dir_ / "in.csv");
    ASSERT_EQ(shell(R"(
mkfifo fifo
timeout 10 cat fifo >from-fifo & reader=$!
$BRELVOXA in.csv -o fifo 2>/dev/null; echo $? >fifo.status
wait $reader
test -p fifo && echo yes >fifo.kept
if mknod null c 1 3 2>/dev/null && mknod full c 1 7; then
    $BRELVOXA in.csv -o null 2>/dev/null; echo $? >null.status
    $BRELVOXA in.csv -o full 2>full.err; echo $? >full.status
    test -c null && test -c full && echo yes >devices.kept
    rm null full
fi
rm fifo
)"),
              0);
    EXPECT_EQ(file("fifo.status"), "0\n");
    EXPECT_EQ(file("from-fifo"), converted());
    EXPECT_EQ(file("fifo.kept"), "yes\n");
    if (fs::exists(dir_ / "null.status")) {
        EXPECT_EQ(file("null.status"), "0\n");
        EXPECT_EQ(file("full.status"), "2\n");
        EXPECT_NE(
            file("full.err").find("brelvoxa: full: no es pot escriure: No space left on device\n"),
            std::string::npos)
            << file("full.err");
        EXPECT_EQ(file("devices.kept"), "yes\n");
    }
    const std::set<std::string> left = {"run.sh",      "in.csv",    "from-fifo",
                                        "fifo.status", "fifo.kept", "null.status",
                                        "full.status", "full.err",  "devices.kept"};
    for (const auto& name : names(dir_))
        EXPECT_TRUE(left.contains(name)) << name;
}

// State: outputs to replace, one readable by its owner alone, one owned by
// somebody else and read-only for them (as root, who may write it), and a new
// one under a umask of 027; then a run that fails on a column it cannot find.
// Expected: the replaced ones keep their mode, owner and group; the new one gets
// the mode the umask leaves; the failed run leaves its output as it was.
TEST_F(Files, replacing_an_output_keeps_its_mode_and_owner) {
    fs::copy_file(dades / "correcte.csv", dir_ / "in.csv");
    ASSERT_EQ(shell(R"(
umask 022
echo old >private.csv; chmod 600 private.csv
$BRELVOXA in.csv -o private.csv 2>/dev/null; stat -c %a private.csv >private.mode
$BRELVOXA -c Telefon in.csv -o private.csv 2>/dev/null; echo $? >failed.status
echo old >theirs.csv; chmod 440 theirs.csv
if chown 65534:65534 theirs.csv 2>/dev/null; then
    $BRELVOXA in.csv -o theirs.csv 2>/dev/null; stat -c "%a %u %g" theirs.csv >theirs.mode
fi
umask 027
$BRELVOXA in.csv -o new.csv 2>/dev/null; stat -c %a new.csv >new.mode
)"),
              0);
    EXPECT_EQ(file("private.mode"), "600\n");
    EXPECT_EQ(file("private.csv"), converted()); // a failed run leaves it as it was
    EXPECT_EQ(file("failed.status"), "2\n");
    EXPECT_EQ(file("new.mode"), "640\n");
    if (fs::exists(dir_ / "theirs.mode")) {
        EXPECT_EQ(file("theirs.mode"), "440 65534 65534\n");
        EXPECT_EQ(file("theirs.csv"), converted());
    }
}

// Expected: the temporary file is created afresh, never through a link planted
// at its name; it is synced before it replaces the output, and the directory
// after, so that a crash leaves the old output or the whole new one.
TEST_F(Files, the_new_output_is_created_exclusively_and_synced_around_the_rename) {
    if (shell("strace -o /dev/null true 2>/dev/null") != 0)
        GTEST_SKIP() << "strace cannot run here";
    // LeakSanitizer cannot run under a tracer; a sanitizer build leaves it out here.
    ASSERT_EQ(shell("cp \"$DADES/correcte.csv\" in.csv && "
                    "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" "
                    "strace -o trace -e trace=openat,fsync,fdatasync,rename,renameat,renameat2 "
                    "$BRELVOXA in.csv -o out.csv 2>/dev/null"),
              0);
    std::istringstream trace(file("trace"));
    std::string calls, line;
    while (std::getline(trace, line))
        if (line.starts_with("openat(") && line.find(".brelvoxa-") != std::string::npos) {
            EXPECT_NE(line.find("O_EXCL"), std::string::npos) << line;
            EXPECT_NE(line.find("O_NOFOLLOW"), std::string::npos) << line;
            calls += "openat ";
        } else if (line.starts_with("fsync(") || line.starts_with("rename"))
            calls += line.substr(0, line.find('(')) + " ";
    EXPECT_TRUE(calls.starts_with("openat fsync rename") && calls.ends_with("fsync ")) << calls;
    EXPECT_EQ(file("out.csv"), converted());
    EXPECT_FALSE(fs::is_symlink(dir_ / "out.csv"));
}

// State: outputs named with -o, by user 65534 when the test runs as root (with a
// copy of the program they can reach, and without the leak checker's suppressions
// file, which they may not), else by the user running: an input, named or read
// as standard input; a chain of links in a folder the user may not write, to a
// file in one they may; a file they may not write; a new file in a folder they
// may not write; names of 255 and 256 bytes.
// Expected: what a shell redirection would do: refused with status 2, a message
// naming what cannot be written, and the file untouched; or the file (the links'
// target, the links left as links) replaced with the output.
TEST_F(Files, an_output_is_written_or_refused_as_a_shell_redirection_would) {
    fs::copy_file(dades / "correcte.csv", dir_ / "f.csv");
    const std::string as = geteuid() == 0 ? "env -u LSAN_OPTIONS setpriv --reuid=65534 "
                                            "--regid=65534 --clear-groups ./brelvoxa "
                                          : "./brelvoxa ";
    ASSERT_EQ(shell(R"(cp "$BRELVOXA" brelvoxa && mkdir -m 777 open && mkdir locked &&
ln -s ../open/t.csv locked/l1 && ln -s l1 locked/l2 && echo old >open/t.csv && chmod 666 open/t.csv &&
echo old >open/ro.csv && chmod 444 open/ro.csv && chmod 555 locked && echo old >open/late.txt &&
chmod 666 open/late.txt && { yes ES9121000418450200051332 | head -n 50000; printf 'Mu\361oz\n'; } >late)"),
              0);
    if (shell(as + "--version >/dev/null") != 0)
        GTEST_SKIP() << "cannot run the program as user 65534 here";
    const std::string input = read(dades / "correcte.csv"), old = "old\n";
    const std::string name = "open/" + std::string(255, 'n');
    const std::string stdinToo = "és també l'entrada estàndard; no se sobreescriu\n";
    const struct {
        std::string arguments, message, output, content; // no message: written, status 0
        std::string before = "";                         // a pipe into the program
    } rows[] = {
        {"-o f.csv <f.csv", "f.csv: " + stdinToo, "f.csv", input},
        {"-o ./f.csv - <f.csv", "./f.csv: " + stdinToo, "f.csv", input},
        {"-f csv -o f.csv <f.csv", "f.csv: " + stdinToo, "f.csv", input},
        {"f.csv -o ./f.csv", "./f.csv: és també un fitxer d'entrada; no se sobreescriu\n", "f.csv",
         input},
        {"f.csv -o locked/l2", "", "open/t.csv", converted()},
        {"f.csv -o open/ro.csv", "open/ro.csv: no es pot escriure: Permission denied\n",
         "open/ro.csv", old},
        {"f.csv -o locked/new.csv", "locked: no s'hi pot escriure: Permission denied\n",
         "locked/new.csv", ""},
        // A pipe is checked by its start; a byte no UTF-8 after it stops the run.
        {"-o open/late.txt",
         "entrada estàndard: llista d'un compte per línia, UTF-8; sense capçalera\nbrelvoxa: "
         "entrada estàndard:50001: hi ha un byte que no és UTF-8 però l'inici ja s'ha escrit com a "
         "UTF-8; torneu-ho a provar amb -e windows-1252\n",
         "open/late.txt", old, "cat late | "},
        {"f.csv -o " + name, "", name, converted()},
        {"f.csv -o " + name + "n", name + "n: no es pot crear: File name too long\n", name + "n",
         ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(shell(row.before + as + row.arguments + " 2>err"), row.message.empty() ? 0 : 2)
            << row.arguments;
        if (!row.message.empty()) {
            EXPECT_EQ(file("err"), "brelvoxa: " + row.message) << row.arguments;
        }
        EXPECT_EQ(file(row.output), row.content) << row.arguments;
    }
    EXPECT_TRUE(fs::is_symlink(dir_ / "locked/l2") && fs::is_symlink(dir_ / "locked/l1"));
    fs::permissions(dir_ / "locked", fs::perms::owner_all);
}

// State: started on a terminal with no file named but an output.
// Expected: says at once, before anything is typed, that it reads what is typed
// and how to end it; a line typed, then one Ctrl+D ends the run with that line
// converted.
TEST_F(Files, on_a_terminal_it_says_at_once_how_to_end_the_input) {
    const std::string line = "ES0321001234515678901234\n";
    ASSERT_EQ(shell("printf '" + line + "' | $BRELVOXA >want 2>/dev/null"), 0);
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    const pid_t pid = start(dir_, {"-o", "out"}, terminal);
    close(terminal);
    const std::string hint = "brelvoxa: es llegeixen els comptes que s'escriguin aquí; acabeu amb "
                             "Ctrl+D a l'inici d'una línia\n";
    EXPECT_TRUE(within5s([&] { return file("err").starts_with(hint); })) << file("err");
    const std::string typed = line + "\x04";
    ASSERT_EQ(write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    int status = 0;
    const bool ended = within5s([&] { return waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended && kill(pid, SIGKILL) == 0)
        waitpid(pid, &status, 0);
    EXPECT_TRUE(ended);
    close(master);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(file("out"), file("want"));
}

// State: runs writing to an output that exists, each reading a FIFO still open.
// Action: SIGINT, SIGTERM or SIGHUP to a run; or two runs at once whose inputs end.
// Expected: each run writes a temporary file of its own. A run ended by a signal
// ends by that signal and leaves the old output as it was; two runs that finish
// leave the whole output of one of them. Nothing else is left behind.
TEST_F(Files, a_run_ended_by_a_signal_or_beside_another_leaves_one_whole_output) {
    ASSERT_EQ(shell("echo ES0321001234515678901234 | $BRELVOXA >want 2>/dev/null"), 0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, 0}) {
        std::ofstream(dir_ / "out.csv") << "old\n";
        const auto before = names(dir_);
        const int runs = signal ? 1 : 2;
        int fifos[2];
        pid_t pids[2];
        for (int i = 0; i < runs; ++i) {
            const std::string in = "in" + std::to_string(i);
            fifos[i] = heldFifo(dir_ / in);
            ASSERT_GE(fifos[i], 0);
            pids[i] = start(dir_, {in, "-o", "out.csv"});
        }
        // err, and a FIFO and a temporary file for each run.
        EXPECT_TRUE(within5s([&] { return names(dir_).size() == before.size() + 1 + 2 * runs; }))
            << signal;
        for (int i = 0; i < runs; ++i) {
            signal ? kill(pids[i], signal) : close(fifos[i]);
            int status = 0;
            waitpid(pids[i], &status, 0);
            EXPECT_TRUE(signal ? WIFSIGNALED(status) && WTERMSIG(status) == signal
                               : WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << signal << " " << status;
            if (signal)
                close(fifos[i]);
            fs::remove(dir_ / ("in" + std::to_string(i)));
        }
        EXPECT_EQ(file("out.csv"), signal ? "old\n" : file("want")) << signal;
        fs::remove(dir_ / "err");
        EXPECT_EQ(names(dir_), before) << signal;
    }
}
