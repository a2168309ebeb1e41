// The reading of one input's bytes: its byte order mark, its encoding and how it
// was found, the UTF-16 transcoding both ways, and the window the layout and the
// rows are read through.

#include "cli/input.h"

#include "cli/failure.h"

#include <algorithm>
#include <cstring>

namespace cli {

namespace {

constexpr std::string_view utf16LittleBom = "\xFF\xFE", utf16BigBom = "\xFE\xFF";

Utf16 utf16Order(std::string_view head) {
    if (head.starts_with(utf16LittleBom))
        return Utf16::littleEndian;
    if (head.starts_with(utf16BigBom))
        return Utf16::bigEndian;
    return Utf16::none;
}

} // namespace

std::string Decoding::description() const {
    if (utf16 != Utf16::none)
        return std::string(utf16Name(utf16)) + " amb BOM";
    std::string text(encodingName(encoding));
    if (bom)
        text += " amb BOM";
    if (from != EncodingFrom::option && encoding == Encoding::windows1252)
        text += " (l'entrada no és UTF-8 vàlid)";
    return text;
}

void Buffer::fill() {
    if (begin_ > 0) {
        std::memmove(data_.data(), data_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == data_.size())
        data_.resize(data_.size() * 2);
    const std::size_t n = source_.read(data_.data() + end_, data_.size() - end_);
    if (n == 0 && !atEnd_ && end_ > begin_ && data_[end_ - 1] == endOfFileMark) {
        --end_;
        marked_ = true;
    }
    atEnd_ = n == 0;
    end_ += n;
}

void Buffer::fillWindow() {
    while (!atEnd_ && end_ < data_.size())
        fill();
}

DecodedInput::DecodedInput(Source& source, Sink& sink, std::optional<Encoding> given,
                           std::size_t window)
    : decoder_(source), encoder_(sink), buffer_(decoder_, window) {
    const std::string_view head = decoder_.head();
    decoding_.utf16 = utf16Order(head);
    decoding_.bom = decoding_.utf16 == Utf16::none && head.starts_with(utf8Bom);
    if (decoding_.utf16 != Utf16::none) {
        decoding_.from = EncodingFrom::bom;
        decoder_.transcode(decoding_.utf16);
        encoder_.transcode(decoding_.utf16);
    } else if (given) {
        decoding_.encoding = *given;
        decoding_.from = EncodingFrom::option;
    } else if (decoding_.bom) {
        decoding_.from = EncodingFrom::bom;
    } else if (source.rewindable()) {
        decoding_.encoding = decoder_.wholeEncoding(window);
        decoding_.from = EncodingFrom::wholeInput;
    }
    if (decoding_.bom) {
        decoder_.skip(utf8Bom.size());
        encoder_.startWith(utf8Bom);
    }
    buffer_.fillWindow();
    if (decoding_.from == EncodingFrom::window) {
        // UTF-8 when the window's bytes are; a character cut at its edge is no
        // sign of another encoding.
        Utf8Check check;
        const bool valid = check.feed(buffer_.rest());
        const bool utf8 = buffer_.atEnd() ? check.valid() : valid;
        decoding_.encoding = utf8 ? Encoding::utf8 : Encoding::windows1252;
        // What follows cannot be read twice; once UTF-8 is written, it must be UTF-8 too.
        if (utf8 && !buffer_.atEnd())
            decoder_.checkAfter(check, buffer_.rest());
    }
}

void DecodedInput::finish() {
    if (buffer_.marked())
        encoder_.write(std::string_view(&endOfFileMark, 1));
    encoder_.finish(decoder_.leftover());
}

DecodedInput::Decoder::Decoder(Source& source) : source_(source) {
    pending_.resize(utf8Bom.size());
    std::size_t got = 0;
    while (got < pending_.size() && !ended_) {
        const std::size_t n = source_.read(pending_.data() + got, pending_.size() - got);
        ended_ = n == 0;
        got += n;
    }
    pending_.resize(got);
}

void DecodedInput::Decoder::transcode(Utf16 order) {
    utf16_.emplace(order);
    const std::string afterMark = pending_.substr(utf16LittleBom.size());
    pending_.clear();
    utf16_->feed(afterMark, pending_);
}

Encoding DecodedInput::Decoder::wholeEncoding(std::size_t chunk) {
    Utf8Check check;
    bool valid = check.feed(pending_);
    if (!ended_) {
        std::string bytes(chunk, '\0');
        while (valid) {
            const std::size_t n = source_.read(bytes.data(), bytes.size());
            if (n == 0)
                break;
            valid = check.feed(std::string_view(bytes.data(), n));
        }
        source_.rewind();
        pending_.clear(); // read again from the first byte
    }
    return valid && check.valid() ? Encoding::utf8 : Encoding::windows1252;
}

void DecodedInput::Decoder::checkAfter(const Utf8Check& check, std::string_view window) {
    after_ = check;
    countLines(window);
}

void DecodedInput::Decoder::countLines(std::string_view bytes) {
    lf_ += std::count(bytes.begin(), bytes.end(), '\n');
    cr_ += std::count(bytes.begin(), bytes.end(), '\r');
}

void DecodedInput::Decoder::check(std::string_view bytes) {
    Utf8Check before = *after_;
    if (after_->feed(bytes) && (!bytes.empty() || after_->valid())) {
        countLines(bytes);
        return;
    }
    // The line of the first byte that is not UTF-8, or of the input's end when
    // it cuts a character; lines end in CR alone when none ends in LF.
    std::size_t bad = 0;
    while (bad < bytes.size() && before.feed(bytes.substr(bad, 1)))
        ++bad;
    countLines(bytes.substr(0, bad));
    Failure failure("hi ha un byte que no és UTF-8 però l'inici ja s'ha escrit com a UTF-8; "
                    "torneu-ho a provar amb -e windows-1252");
    failure.line = 1 + (lf_ > 0 ? lf_ : cr_);
    throw failure;
}

std::size_t DecodedInput::Decoder::read(char* data, std::size_t size) {
    const std::size_t n = next(data, size);
    if (after_)
        check(std::string_view(data, n));
    return n;
}

std::size_t DecodedInput::Decoder::next(char* data, std::size_t size) {
    while (pos_ == pending_.size()) {
        pending_.clear();
        pos_ = 0;
        if (ended_) {
            if (utf16_)
                utf16_->finish(pending_); // a surrogate left waiting for its pair
            if (pending_.empty())
                return 0;
        } else if (!utf16_) {
            return source_.read(data, size);
        } else {
            raw_.resize(std::max<std::size_t>(size, 2));
            const std::size_t n = source_.read(raw_.data(), raw_.size());
            ended_ = n == 0;
            utf16_->feed(std::string_view(raw_.data(), n), pending_);
        }
    }
    const std::size_t n = std::min(size, pending_.size() - pos_);
    std::memcpy(data, pending_.data() + pos_, n);
    pos_ += n;
    return n;
}

void DecodedInput::Encoder::transcode(Utf16 order) {
    utf16_.emplace(order);
    utf16_->feed(utf8Bom, pending_);
}

void DecodedInput::Encoder::write(std::string_view bytes) {
    if (utf16_)
        utf16_->feed(bytes, pending_);
    if (!pending_.empty()) {
        sink_.write(pending_);
        pending_.clear();
    }
    if (!utf16_)
        sink_.write(bytes);
}

void DecodedInput::Encoder::finish(std::string_view leftover) {
    if (utf16_)
        utf16_->finish(pending_);
    pending_ += leftover;
    sink_.write(pending_);
    pending_.clear();
}

} // namespace cli
