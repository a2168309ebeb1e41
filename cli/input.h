#pragma once
// How the bytes of one input are read, and its output written back: the one place
// that looks for a byte order mark and chooses the encoding. A UTF-16 input, known
// by its byte order mark, is read as its UTF-8 transcoding and written back in
// UTF-16, whatever the command line says. Any other is read in the encoding the
// command line names; else UTF-8 when a UTF-8 byte order mark says so; else UTF-8
// when its bytes are, Windows-1252 when not: all of them for a regular file, read
// through once before it is converted, or the first window's for a pipe or a
// terminal, which cannot be read twice. The layout and the rows read the decoded
// bytes without the byte order mark, which the output gets back.

#include "cli/encoding.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

class Source {
public:
    virtual ~Source() = default;
    // Up to size bytes; 0 at the end of the input. Throws Failure when it cannot read.
    virtual std::size_t read(char* data, std::size_t size) = 0;
    // Whether rewind() can start the reading again from the first byte, as a
    // regular file's can.
    virtual bool rewindable() const { return false; }
    // Called only when rewindable; throws Failure when it cannot.
    virtual void rewind() {}
};

class Sink {
public:
    virtual ~Sink() = default;
    // Throws Failure when it cannot write.
    virtual void write(std::string_view bytes) = 0;
};

inline constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";

// The end-of-file mark (Ctrl+Z) that DOS programs put after a text file's last
// byte: as the input's last byte it ends the data, and is written back last.
inline constexpr char endOfFileMark = '\x1A';

// Where an input's encoding came from.
enum class EncodingFrom {
    option,     // the command line named it
    bom,        // a byte order mark: UTF-16's wins over the command line, UTF-8's does not
    wholeInput, // the whole input was checked before converting (a regular file)
    window,     // only the first window was checked (a pipe or a terminal)
};

// What was settled about how an input's bytes read.
struct Decoding {
    Encoding encoding = Encoding::utf8; // of the bytes the rows are read in
    EncodingFrom from = EncodingFrom::window;
    bool bom = false;          // a UTF-8 byte order mark, which the output gets back
    Utf16 utf16 = Utf16::none; // a UTF-16 input, whose rows are its UTF-8 transcoding

    // For stderr: "UTF-8 amb BOM", "Windows-1252 (l'entrada no és UTF-8 vàlid)"...
    std::string description() const;
};

// The decoded input as it is read: a window that keeps the row being read whole.
class Buffer {
public:
    Buffer(Source& source, std::size_t window) : source_(source), data_(window, '\0') {}

    std::string_view rest() const { return {data_.data() + begin_, end_ - begin_}; }
    bool atEnd() const { return atEnd_; }
    // Whether the input ended with an end-of-file mark, which rest() then leaves out.
    bool marked() const { return marked_; }
    // Whether rest()'s last byte may be the input's end-of-file mark: only the next
    // read can tell whether it is data.
    bool markPending() const {
        return !atEnd_ && end_ > begin_ && data_[end_ - 1] == endOfFileMark;
    }
    void consume(std::size_t n) {
        begin_ += n;
        consumed_ += n;
    }
    // The bytes consumed since the first.
    std::uint64_t consumed() const { return consumed_; }

    // Reads more, keeping what is not consumed; grows only for a row longer than
    // the window, which the splitter's limit bounds.
    void fill();
    // Reads until the window is full or the input ends.
    void fillWindow();

private:
    Source& source_;
    std::string data_;
    std::size_t begin_ = 0, end_ = 0;
    std::uint64_t consumed_ = 0;
    bool atEnd_ = false, marked_ = false;
};

// One input made ready to convert: its encoding settled and its first window read.
class DecodedInput {
public:
    // given: the encoding the command line names, if any; window: the size of the
    // first window and of a read. The output goes to sink.
    DecodedInput(Source& source, Sink& sink, std::optional<Encoding> given, std::size_t window);
    DecodedInput(const DecodedInput&) = delete;
    DecodedInput& operator=(const DecodedInput&) = delete;

    const Decoding& decoding() const { return decoding_; }
    // The rows' bytes, from the first after a byte order mark; the first window is read.
    Buffer& buffer() { return buffer_; }
    // Where the converted rows go, to be written back as the input came.
    Sink& output() { return encoder_; }
    // Ends the output: the input's end-of-file mark, the last bytes held back in
    // UTF-16, and an odd last byte of the input, which belongs to no character but
    // is still the input's.
    void finish();

private:
    // The input's bytes as the rows read them.
    class Decoder : public Source {
    public:
        // Reads the input's first bytes, as many as the longest byte order mark has.
        explicit Decoder(Source& source);
        std::string_view head() const { return pending_; }
        // Leaves out the first n bytes of the head.
        void skip(std::size_t n) { pos_ = n; }
        // Reads the rest, after its byte order mark, as UTF-16 in that order.
        void transcode(Utf16 order);
        // UTF-8 when every byte of the input is, else Windows-1252: the input is
        // read through, a chunk at a time, then rewound.
        Encoding wholeEncoding(std::size_t chunk);
        std::string_view leftover() const { return utf16_ ? utf16_->leftover() : ""; }
        // From now on every byte read must go on as UTF-8 from where check stands,
        // window holding the bytes read so far; else the read throws Failure.
        void checkAfter(const Utf8Check& check, std::string_view window);
        std::size_t read(char* data, std::size_t size) override;

    private:
        std::size_t next(char* data, std::size_t size);
        void check(std::string_view bytes);
        void countLines(std::string_view bytes);

        Source& source_;
        std::optional<Utf8Check> after_;
        std::uint64_t lf_ = 0, cr_ = 0; // line ends read, for the line a failure names
        bool ended_ = false;            // kept: a terminal read again after its end waits for more
        std::optional<Utf16Decoder> utf16_;
        std::string pending_; // read or decoded, not yet handed out
        std::size_t pos_ = 0;
        std::string raw_;
    };

    // The converted rows as the output has them.
    class Encoder : public Sink {
    public:
        explicit Encoder(Sink& sink) : sink_(sink) {}
        // The bytes the output starts with, written with the first rows.
        void startWith(std::string_view bytes) { pending_ = bytes; }
        // Writes UTF-16 in that order, after its byte order mark.
        void transcode(Utf16 order);
        void finish(std::string_view leftover);
        void write(std::string_view bytes) override;

    private:
        Sink& sink_;
        std::optional<Utf16Encoder> utf16_;
        std::string pending_; // for the output, not yet written
    };

    Decoder decoder_;
    Encoder encoder_;
    Buffer buffer_;
    Decoding decoding_;
};

} // namespace cli
