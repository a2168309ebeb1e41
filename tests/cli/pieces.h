// What the tests of a conversion feed it and keep of it: an input read in pieces
// of at most a given size, a regular file's (which can be read again) or a
// pipe's, and the whole output.
#pragma once

#include "cli/input.h"

#include <algorithm>
#include <string>
#include <string_view>

class Pieces : public cli::Source {
public:
    Pieces(std::string_view data, std::size_t piece, bool regular = false)
        : data_(data), rest_(data), piece_(piece), regular_(regular) {}
    std::size_t read(char* out, std::size_t size) override {
        const std::size_t n = std::min({size, piece_, rest_.size()});
        std::copy_n(rest_.data(), n, out);
        rest_.remove_prefix(n);
        return n;
    }
    bool rewindable() const override { return regular_; }
    void rewind() override { rest_ = data_; }

private:
    std::string_view data_, rest_;
    std::size_t piece_;
    bool regular_;
};

class Collect : public cli::Sink {
public:
    void write(std::string_view bytes) override { out += bytes; }
    std::string out;
};
