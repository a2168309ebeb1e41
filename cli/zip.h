#pragma once
// The zip package a workbook is (minizip, over zlib): its entries listed in the
// order they are stored, one read as it is inflated, with the checks a package
// from anyone needs (sizes that lie, ratios no document has, a damaged or cut
// file), and a new package written beside it: entries copied as their stored
// bytes, without inflating them, or written anew, deflated as they are written.
// What is inflated or deflated goes through ISA-L's igzip, several times faster
// than zlib; minizip only hands over and takes the entries' raw bytes.

#include "cli/input.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct Inflater;
struct Deflater;

struct ZipEntry {
    std::string name;
    std::uint64_t compressed = 0, size = 0; // as the package says
    unsigned long method = 0, dosDate = 0, crc = 0, internal = 0, external = 0;
};

// How far into the file `inflated` bytes of the entry reach, as far as its
// compression ratio tells: what the progress bar measures a part's reading by.
inline std::uint64_t fileShare(const ZipEntry& entry, std::uint64_t inflated) {
    const std::uint64_t ratio = entry.size / (entry.compressed == 0 ? 1 : entry.compressed);
    return inflated / (ratio == 0 ? 1 : ratio);
}

class ZipReader {
public:
    // Reads the package's directory from file, which must be seekable; name is
    // the file as messages name it. Throws Failure when it is no zip or damaged.
    ZipReader(std::FILE* file, std::string name);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    const std::vector<ZipEntry>& entries() const { return entries_; }
    // The entry of that name, or nullptr.
    const ZipEntry* find(std::string_view name) const;

    // An entry's bytes, inflated as read: read() returns up to size bytes, 0 at
    // its end, once its check sum is found right. Throws Failure when the entry
    // inflates past what its size says or past any sane ratio, or is damaged.
    class Stream {
    public:
        Stream(ZipReader& zip, const ZipEntry& entry);
        ~Stream();
        Stream(const Stream&) = delete;
        Stream& operator=(const Stream&) = delete;
        std::size_t read(char* data, std::size_t size);

    private:
        std::size_t raw(char* data, std::size_t size);
        std::size_t inflated(char* data, std::size_t size);
        void close();

        ZipReader& zip_;
        const ZipEntry& entry_;
        std::unique_ptr<Inflater> inflater_; // none for a stored entry
        std::uint64_t got_ = 0;
        std::uint32_t crc_ = 0;
        bool open_ = false;
    };

    // The whole of a small entry (at most limit bytes, else Failure).
    std::string whole(const ZipEntry& entry, std::uint64_t limit);

private:
    friend class ZipWriter;
    [[noreturn]] void fail(const std::string& what, std::string_view entry = {}) const;
    void select(const ZipEntry& entry);

    void* zip_ = nullptr;
    std::string name_;
    std::vector<ZipEntry> entries_;
};

// Where a package is written from in file, and, given that place, the file cut
// back to it, so that a package can be written there again.
std::uint64_t restartAt(std::FILE* file, std::optional<std::uint64_t> at, const std::string& name);

class ZipWriter : public Sink {
public:
    // Writes a package to file, which must be seekable, from its current place.
    ZipWriter(std::FILE* file, std::string name);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // The entry as it is stored in from, its compressed bytes unchanged.
    void copy(ZipReader& from, const ZipEntry& entry);
    // A new entry like entry (name, date, attributes), deflated as it is written:
    // begin, then write as often as needed, then end. large: it may outgrow 4 GiB.
    void begin(const ZipEntry& entry, bool large);
    void write(std::string_view bytes) override;
    void end();
    // Writes the package's directory; the package is complete.
    void close();

private:
    [[noreturn]] void fail() const;
    void open(const ZipEntry& entry, int method, bool large);
    void deflate(bool last);

    void* zip_ = nullptr;
    std::string name_;
    std::unique_ptr<Deflater> deflater_; // of the entry being written anew
};

} // namespace cli
