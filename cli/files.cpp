// The files brelvoxa reads and writes: inputs opened all before the first row,
// an output that replaces its target only when complete, and the progress bar.
// What POSIX and Windows do differently (inodes, modes, owners, syncs, signal
// masks) is kept together in the first block below.

#include "cli/files.h"

#include "core/text.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cli {

namespace fs = std::filesystem;

namespace {

// Names arrive in UTF-8, the code page the program's manifest asks Windows for; a
// plain string would be read there in the C library's own encoding instead.
fs::path utf8Path(const std::string& name) {
    return fs::path(std::u8string(name.begin(), name.end()));
}

std::string systemError() {
    return std::strerror(errno);
}

#ifdef _WIN32
constexpr int endingSignals[] = {SIGINT, SIGTERM};
constexpr int exclusiveFlags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY;

void removeFile(const char* path) {
    _unlink(path);
}

bool sameRegularFile(std::FILE*, const std::string&) {
    return false; // standard input has no inode to compare
}

bool isRegular(std::FILE* file) {
    struct _stat64 s {};
    return _fstat64(_fileno(file), &s) == 0 && (s.st_mode & _S_IFREG) != 0;
}

int seekStart(std::FILE* file) {
    return _fseeki64(file, 0, SEEK_SET);
}

bool canSeek(std::FILE* file) {
    return _fseeki64(file, 0, SEEK_CUR) == 0;
}

void readOwnership(const std::string&, bool, unsigned&, long&, long&) {}
void keepOwnership(std::FILE*, bool, unsigned, long, long) {}

bool syncFile(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

void syncDirectory(const fs::path&) {}

// The read-only attribute, which is all Windows tells without asking for a handle.
bool mayWrite(const fs::path& path) {
    return _waccess(path.c_str(), 2) == 0;
}

// Windows counts UTF-16 units, never more than the UTF-8 bytes they are written in.
std::size_t nameLimit(const fs::path&) {
    return 255;
}

// Windows has no signal mask; its handlers run on a thread of their own.
struct SignalsHeld {
    SignalsHeld() {}
};
#else
constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int exclusiveFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

// unlink, unlike std::remove, may be called from a signal handler.
void removeFile(const char* path) {
    unlink(path);
}

bool sameRegularFile(std::FILE* file, const std::string& path) {
    struct stat in {
    }, out{};
    return fstat(fileno(file), &in) == 0 && S_ISREG(in.st_mode) && stat(path.c_str(), &out) == 0 &&
           in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

bool isRegular(std::FILE* file) {
    struct stat s {};
    return fstat(fileno(file), &s) == 0 && S_ISREG(s.st_mode);
}

int seekStart(std::FILE* file) {
    return fseeko(file, 0, SEEK_SET);
}

bool canSeek(std::FILE* file) {
    return fseeko(file, 0, SEEK_CUR) == 0;
}

// The mode and owner the output has, or the mode a new file would get.
void readOwnership(const std::string& path, bool existed, unsigned& mode, long& uid, long& gid) {
    struct stat old {};
    if (existed && stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
        uid = static_cast<long>(old.st_uid);
        gid = static_cast<long>(old.st_gid);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
}

// Owner and group first, where the user may give them: a change of owner may
// clear the set-id bits that the mode then puts back.
void keepOwnership(std::FILE* file, bool existed, unsigned mode, long uid, long gid) {
    const int fd = fileno(file);
    if (existed && fchown(fd, static_cast<uid_t>(uid), static_cast<gid_t>(gid)) != 0)
        (void)!fchown(fd, static_cast<uid_t>(-1), static_cast<gid_t>(gid));
    (void)!fchmod(fd, static_cast<mode_t>(mode));
}

bool syncFile(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

void syncDirectory(const fs::path& directory) {
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
}

// Whether a shell's redirection could write the file: by the effective ids, so
// that root may write a read-only file as the shell lets it.
bool mayWrite(const fs::path& path) {
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// The longest file name the folder takes.
std::size_t nameLimit(const fs::path& directory) {
    const long limit = pathconf(directory.empty() ? "." : directory.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

// The ending signals held back while alive.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : endingSignals)
            sigaddset(&set, signal);
        sigprocmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &old_, nullptr); }

private:
    sigset_t old_;
};
#endif

// The temporary output's name, where a signal handler can reach it: set while
// the file exists and is not yet renamed.
char pendingTemporary[4096];
volatile std::sig_atomic_t temporaryPending = 0;

extern "C" void removeTemporaryAndDie(int signal) {
    if (temporaryPending != 0)
        removeFile(pendingTemporary);
    // Dying of the signal itself gives the parent the conventional status.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Signals that end a run cleanly; one the caller ignores (nohup) stays ignored.
void catchEndingSignals() {
    static bool caught = false;
    if (caught)
        return;
    caught = true;
    for (const int signal : endingSignals) {
        if (std::signal(signal, removeTemporaryAndDie) == SIG_IGN)
            std::signal(signal, SIG_IGN);
    }
}

std::string utf8Name(const fs::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

// The file that path names once its links, a chain of them included, are followed.
fs::path linkTarget(fs::path path, const std::string& name) {
    std::error_code ec;
    for (int hops = 0; fs::is_symlink(path, ec); ++hops) {
        if (hops == 40) // as far as Linux follows
            throw Failure("no es pot obrir: " + std::string(std::strerror(ELOOP)), name);
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            throw Failure("no es pot obrir: " + ec.message(), name);
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// A name of its own for a new file beside target: the target's name, cut at a
// character's start where the suffix would take it past the folder's limit.
std::string temporaryName(const fs::path& target, std::size_t limit, std::random_device& random) {
    const std::string stem = utf8Name(target.filename());
    char suffix[24];
    const auto suffixSize = static_cast<std::size_t>(
        std::snprintf(suffix, sizeof suffix, ".brelvoxa-%06x", random() & 0xFFFFFF));
    const auto head = text::utf8Head(stem, limit - std::min(limit, suffixSize));
    return utf8Name(target.parent_path() / utf8Path(std::string(head))) + suffix;
}

} // namespace

void Input::close() {
    if (file != stdin && file != nullptr)
        std::fclose(file);
    file = nullptr;
}

std::string Input::head(std::size_t n) {
    if (!regular)
        return {};
    std::string bytes(n, '\0');
    bytes.resize(std::fread(bytes.data(), 1, n, file));
    if (seekStart(file) != 0)
        throw Failure("no es pot tornar a llegir des del principi", name);
    return bytes;
}

std::vector<Input> openInputs(const std::vector<std::string>& paths) {
    std::vector<Input> inputs;
    for (const auto& path : paths) {
        Input in;
        in.path = path;
        if (path == "-") {
            in.name = "entrada estàndard";
            in.file = stdin;
        } else {
            in.name = path;
            in.file = std::fopen(path.c_str(), "rb");
            if (in.file == nullptr)
                throw Failure("no es pot obrir: " + systemError(), path);
            std::error_code ec;
            if (fs::is_regular_file(utf8Path(path), ec))
                in.size = fs::file_size(utf8Path(path), ec);
        }
        in.regular = isRegular(in.file);
        inputs.push_back(in);
    }
    return inputs;
}

std::size_t FileSource::read(char* data, std::size_t size) {
    if (ended_)
        return 0;
    const std::size_t n = std::fread(data, 1, size, file_);
    if (n == 0 && std::ferror(file_))
        throw Failure("no es pot llegir: " + systemError(), name_);
    ended_ = n < size && std::feof(file_);
    return n;
}

void FileSource::rewind() {
    if (std::fseek(file_, 0, SEEK_SET) != 0)
        throw Failure("no es pot tornar a llegir des del principi", name_);
    std::clearerr(file_);
    ended_ = false;
}

void FileSink::write(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        throw Failure("no es pot escriure: " + systemError(), name_);
}

void FileSink::flush() {
    if (std::fflush(file_) != 0 || std::ferror(file_))
        throw Failure("no es pot escriure: " + systemError(), name_);
}

Output::Output(const std::string& path, const std::vector<Input>& inputs)
    : path_(path), sink_(stdout, path.empty() ? "sortida estàndard" : path) {
    if (path.empty())
        return;
    std::error_code ec;
    for (const auto& in : inputs) {
        if (in.path != "-" && fs::equivalent(utf8Path(in.path), utf8Path(path), ec))
            throw Failure("és també un fitxer d'entrada; no se sobreescriu", path);
        if (in.path == "-" && sameRegularFile(stdin, path))
            throw Failure("és també l'entrada estàndard; no se sobreescriu", path);
    }
    // A link stays a link: what it leads to is replaced.
    target_ = utf8Name(linkTarget(utf8Path(path), path));
    const auto status = fs::status(utf8Path(target_), ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        // A device, FIFO or terminal is no file to replace: it is written as it is.
        file_ = std::fopen(path.c_str(), "wb");
        if (file_ == nullptr)
            throw Failure("no es pot obrir: " + systemError(), path);
        sink_ = FileSink(file_, path);
        return;
    }
    existed_ = fs::exists(status);
    if (existed_ && !mayWrite(utf8Path(target_)))
        throw Failure("no es pot escriure: " + systemError(), path);
    readOwnership(target_, existed_, mode_, uid_, gid_);
    createTemporary();
}

// A new file beside the output, under a name nobody else has, created only if
// nothing (not even a link) is there yet and readable by its owner alone until
// it is complete. A failure to create it is the folder's.
void Output::createTemporary() {
    const fs::path target = utf8Path(target_);
    const std::string folder = target.has_parent_path() ? utf8Name(target.parent_path()) : ".";
    const std::size_t limit = nameLimit(target.parent_path());
    if (utf8Name(target.filename()).size() > limit) // now, not after the whole conversion
        throw Failure("no es pot crear: " + std::string(std::strerror(ENAMETOOLONG)), path_);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(target, limit, random);
        if (name.size() >= sizeof pendingTemporary)
            throw Failure("no es pot crear: el nom és massa llarg", path_);
        catchEndingSignals();
        int fd, error;
        {
            // A signal between creating the file and naming it to the handler
            // would leave it behind.
            const SignalsHeld held;
            fd = ::open(name.c_str(), exclusiveFlags, 0600);
            error = errno;
            if (fd >= 0) {
                std::memcpy(pendingTemporary, name.c_str(), name.size() + 1);
                temporaryPending = 1;
            }
        }
        if (fd < 0 && error == EEXIST)
            continue;
        if (fd < 0)
            throw Failure("no s'hi pot escriure: " + std::string(std::strerror(error)), folder);
        temporary_ = name;
        file_ = fdopen(fd, "wb");
        if (file_ == nullptr) {
            ::close(fd);
            throw Failure("no es pot crear: " + systemError(), path_);
        }
        sink_ = FileSink(file_, path_);
        return;
    }
    throw Failure("no s'hi pot escriure: " + std::string(std::strerror(EEXIST)), folder);
}

Output::~Output() {
    if (file_ != stdout)
        std::fclose(file_);
    if (!temporary_.empty()) {
        temporaryPending = 0;
        removeFile(temporary_.c_str());
    }
}

std::FILE* Output::seekable() {
    if (!canSeek(file_))
        throw Failure("un llibre només es pot escriure en un fitxer: indiqueu-lo amb -o", name());
    return file_;
}

void Output::commit() {
    sink_.flush();
    if (file_ == stdout)
        return;
    if (!temporary_.empty()) {
        keepOwnership(file_, existed_, mode_, uid_, gid_);
        if (!syncFile(file_))
            throw Failure("no es pot escriure: " + systemError(), path_);
    }
    std::FILE* file = file_;
    file_ = stdout;
    if (std::fclose(file) != 0)
        throw Failure("no es pot escriure: " + systemError(), path_);
    if (!temporary_.empty())
        replace();
}

// The rename, with no signal between it and forgetting the temporary name, then
// the directory synced so that the rename itself survives a crash.
void Output::replace() {
    std::error_code ec;
    {
        const SignalsHeld held;
        fs::rename(utf8Path(temporary_), utf8Path(target_), ec);
        if (!ec) {
            temporaryPending = 0;
            temporary_.clear();
        }
    }
    if (ec)
        throw Failure("no es pot reemplaçar: " + ec.message(), path_);
    syncDirectory(utf8Path(target_).parent_path());
}

bool isTerminal(std::FILE* file) {
#ifdef _WIN32
    return _isatty(_fileno(file)) != 0;
#else
    return isatty(fileno(file)) != 0;
#endif
}

void ProgressBar::start(std::optional<std::uint64_t> total) {
    total_ = total;
    start_ = last_ = Clock::now();
}

void ProgressBar::update(std::uint64_t rows, std::uint64_t bytes) {
    if (!enabled_)
        return;
    const auto now = Clock::now();
    if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(200))
        return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    char line[160];
    if (total_ && *total_ > 0) {
        const int width = 30;
        const double part = std::min(1.0, static_cast<double>(bytes) / *total_);
        const int filled = static_cast<int>(part * width);
        std::snprintf(line, sizeof line, "\r[%-*s] %3d%%  %llu files  %.2f M files/s ", width,
                      std::string(filled, '#').c_str(), static_cast<int>(part * 100),
                      static_cast<unsigned long long>(rows), rows / seconds / 1e6);
    } else {
        std::snprintf(line, sizeof line, "\r%llu files  %.2f M files/s ",
                      static_cast<unsigned long long>(rows), rows / seconds / 1e6);
    }
    std::cerr << line << std::flush;
    shown_ = true;
}

void ProgressBar::finish() {
    if (shown_)
        std::cerr << '\r' << std::string(72, ' ') << '\r' << std::flush;
    shown_ = false;
}

} // namespace cli
