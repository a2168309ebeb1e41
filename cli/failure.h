#pragma once
// A failure that ends brelvoxa's run with status 2. The file it concerns travels
// beside the message as data, so that whoever reports it never has to guess it
// from the text.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace cli {

struct Failure : std::runtime_error {
    // The message, in Catalan, complete but for the program's and the file's names.
    explicit Failure(const std::string& message, std::string file = {})
        : std::runtime_error(message), file(std::move(file)) {}

    // The file as a person named it ("entrada estàndard" for standard input);
    // empty until a caller that knows which file was being read fills it in.
    std::string file;
    // The line of the file it concerns; 0 for the whole file.
    std::uint64_t line = 0;
    // A usage error found only in the file (a sheet it has not): the message is
    // followed by the pointer to --help.
    bool usage = false;
};

} // namespace cli
