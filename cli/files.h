#pragma once
// brelvoxa's files: the inputs as named on the command line, the output (standard
// output or a file that replaces its target only when complete), and the progress
// bar on a terminal. Every failure names its file as data (cli/failure.h).

#include "cli/failure.h"
#include "cli/input.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// An input opened for reading; "-" is standard input.
struct Input {
    std::string path;
    std::string name; // as messages name it
    std::FILE* file = nullptr;
    std::optional<std::uint64_t> size; // known for regular files only
    bool regular = false;              // a regular file, standard input too, which can be reread

    void close();
    // The first n bytes of a regular file, read and put back; empty for any other.
    std::string head(std::size_t n);
};

// Opens every input before anything is written, so that a missing file stops the
// run before any output exists.
std::vector<Input> openInputs(const std::vector<std::string>& paths);

// Once it has met the end of its file it reads no more: a terminal's end (Ctrl+D,
// or Ctrl+Z and Enter) comes once, and stdio would read the terminal again.
// regular: a regular file, which can be read again from its first byte.
class FileSource : public Source {
public:
    FileSource(std::FILE* file, std::string name, bool regular = false)
        : file_(file), name_(std::move(name)), regular_(regular) {}
    std::size_t read(char* data, std::size_t size) override;
    bool rewindable() const override { return regular_; }
    void rewind() override;

private:
    std::FILE* file_;
    std::string name_;
    bool regular_;
    bool ended_ = false;
};

class FileSink : public Sink {
public:
    FileSink(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
    void write(std::string_view bytes) override;
    void flush();

private:
    std::FILE* file_;
    std::string name_;
};

// Where the rows go: standard output; an output that is not a regular file (a
// device, a FIFO, a terminal), written in place; or a regular file, replaced by
// commit() with a new file written beside it (beside the file a link leads to,
// which is replaced while the link stays). That file is created exclusively
// under a name of its own, gets the old file's mode and, where allowed, owner,
// and is synced before the rename; destroyed without commit(), or on SIGINT,
// SIGTERM or SIGHUP, it is removed and the old output stays as it was. A file
// the user may not write is refused, as a shell's redirection refuses it.
class Output {
public:
    // path empty: standard output. Refuses a path that is one of the inputs,
    // standard input included.
    Output(const std::string& path, const std::vector<Input>& inputs);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Sink& sink() { return sink_; }
    // The stream the output is written to, for a writer that seeks in it (a
    // workbook's); throws Failure when it cannot seek, as a pipe cannot.
    std::FILE* seekable();
    // The output as messages name it.
    std::string name() const { return path_.empty() ? "sortida estàndard" : path_; }
    // Makes the output complete; throws Failure when it cannot.
    void commit();

private:
    void createTemporary();
    void replace();

    std::string path_;
    std::string target_;    // the file path_ leads to through its links, if any
    std::string temporary_; // empty unless a regular file is replaced
    std::FILE* file_ = stdout;
    FileSink sink_;
    bool existed_ = false; // a regular file is there to be replaced
    unsigned mode_ = 0666; // its permission bits, or those a new file gets
    long uid_ = -1, gid_ = -1;
};

bool isTerminal(std::FILE* file);

// A bar with rows per second on stderr, shown only on a terminal and only once a
// conversion has run for a second, redrawn at most five times a second.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled) {}

    void start(std::optional<std::uint64_t> total);
    void update(std::uint64_t rows, std::uint64_t bytes);
    // Clears the bar, so that a message starts on a clean line.
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    bool shown_ = false;
    std::optional<std::uint64_t> total_;
    Clock::time_point start_, last_;
};

} // namespace cli
