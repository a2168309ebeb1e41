// The files brelvoxa reads and writes: inputs opened all before the first row,
// an output that replaces its target only when complete, and the progress bar.

#include "cli/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace fs = std::filesystem;

namespace {

std::string systemError() {
    return std::strerror(errno);
}

} // namespace

std::optional<Encoding> Input::wholeEncoding() {
    if (!size)
        return std::nullopt;
    FileSource scan(file, name);
    const Encoding e = detectEncoding(scan);
    if (std::fseek(file, 0, SEEK_SET) != 0)
        throw Failure("no es pot tornar a llegir des del principi", name);
    std::clearerr(file);
    return e;
}

void Input::close() {
    if (file != stdin && file != nullptr)
        std::fclose(file);
    file = nullptr;
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
            if (fs::is_regular_file(path, ec))
                in.size = fs::file_size(path, ec);
        }
        inputs.push_back(in);
    }
    return inputs;
}

std::size_t FileSource::read(char* data, std::size_t size) {
    const std::size_t n = std::fread(data, 1, size, file_);
    if (n == 0 && std::ferror(file_))
        throw Failure("no es pot llegir: " + systemError(), name_);
    return n;
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
    for (const auto& in : inputs)
        if (in.path != "-" && fs::equivalent(in.path, path, ec))
            throw Failure("és també un fitxer d'entrada; no se sobreescriu", path);
    temporary_ = path + ".brelvoxa-tmp";
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (file_ == nullptr)
        throw Failure("no es pot crear: " + systemError(), path);
    sink_ = FileSink(file_, path);
}

Output::~Output() {
    if (file_ == stdout)
        return;
    std::fclose(file_);
    std::error_code ec;
    fs::remove(temporary_, ec);
}

void Output::commit() {
    sink_.flush();
    if (file_ == stdout)
        return;
    std::FILE* file = file_;
    file_ = stdout;
    if (std::fclose(file) != 0) {
        std::error_code ec;
        fs::remove(temporary_, ec);
        throw Failure("no es pot escriure: " + systemError(), path_);
    }
    std::error_code ec;
    fs::rename(temporary_, path_, ec);
    if (ec) {
        fs::remove(temporary_, ec);
        throw Failure("no es pot reemplaçar: " + ec.message(), path_);
    }
}

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
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
