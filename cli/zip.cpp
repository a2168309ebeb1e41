// A workbook's zip package read and written through minizip, with the file
// functions pointed at the streams brelvoxa opened itself, so that the output is
// the temporary file cli/files.h made and the input the one it checked.

#include "cli/zip.h"

#include "cli/failure.h"

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace {

#ifdef _WIN32
int cut(std::FILE* f, std::uint64_t at) {
    return _chsize_s(_fileno(f), static_cast<long long>(at));
}
int seekTo(std::FILE* f, ZPOS64_T offset, int origin) {
    return _fseeki64(f, static_cast<long long>(offset), origin);
}
ZPOS64_T tellOf(std::FILE* f) {
    return static_cast<ZPOS64_T>(_ftelli64(f));
}
#else
int cut(std::FILE* f, std::uint64_t at) {
    return ftruncate(fileno(f), static_cast<off_t>(at));
}
int seekTo(std::FILE* f, ZPOS64_T offset, int origin) {
    return fseeko(f, static_cast<off_t>(offset), origin);
}
ZPOS64_T tellOf(std::FILE* f) {
    return static_cast<ZPOS64_T>(ftello(f));
}
#endif

std::FILE* stream(voidpf s) {
    return static_cast<std::FILE*>(s);
}

extern "C" {
voidpf ZCALLBACK openFile(voidpf opaque, const void*, int) {
    return opaque;
}
uLong ZCALLBACK readFile(voidpf, voidpf s, void* data, uLong size) {
    return static_cast<uLong>(std::fread(data, 1, size, stream(s)));
}
uLong ZCALLBACK writeFile(voidpf, voidpf s, const void* data, uLong size) {
    return static_cast<uLong>(std::fwrite(data, 1, size, stream(s)));
}
ZPOS64_T ZCALLBACK tellFile(voidpf, voidpf s) {
    return tellOf(stream(s));
}
long ZCALLBACK seekFile(voidpf, voidpf s, ZPOS64_T offset, int origin) {
    const int whence = origin == ZLIB_FILEFUNC_SEEK_CUR   ? SEEK_CUR
                       : origin == ZLIB_FILEFUNC_SEEK_END ? SEEK_END
                                                          : SEEK_SET;
    return seekTo(stream(s), offset, whence) == 0 ? 0 : -1;
}
// The stream is brelvoxa's own, closed by whoever opened it.
int ZCALLBACK closeFile(voidpf, voidpf) {
    return 0;
}
int ZCALLBACK errorFile(voidpf, voidpf s) {
    return std::ferror(stream(s));
}
}

zlib_filefunc64_def functionsFor(std::FILE* file) {
    return {openFile, readFile, writeFile, tellFile, seekFile, closeFile, errorFile, file};
}

// No document inflates to more than this many times its compressed size (a sheet
// of repeated rows stays well under a hundred); a zip bomb does.
constexpr std::uint64_t maxRatio = 500;
// Below this an entry is too small to be a bomb, whatever its ratio.
constexpr std::uint64_t ratioFrom = std::uint64_t(16) << 20;

// The raw bytes are taken from minizip and handed to it in pieces of this size.
constexpr std::size_t rawPiece = 1 << 16;
// At most this much is inflated or deflated at once (igzip counts in 32 bits).
constexpr std::size_t maxStep = std::size_t(1) << 30;

std::uint8_t* bytesOf(const char* data) {
    return reinterpret_cast<std::uint8_t*>(const_cast<char*>(data));
}

} // namespace

// Large enough to live on the heap: igzip's state and the raw bytes in hand.
struct Inflater {
    inflate_state state{};
    std::array<std::uint8_t, rawPiece> in{};
    bool drained = false; // every raw byte of the entry is in state
};

struct Deflater {
    isal_zstream stream{};
    // Level 1: a sheet comes out a fifth smaller than at level 0, for no more work.
    std::vector<std::uint8_t> level = std::vector<std::uint8_t>(ISAL_DEF_LVL1_DEFAULT);
    std::array<std::uint8_t, rawPiece> out{};
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

std::uint64_t restartAt(std::FILE* file, std::optional<std::uint64_t> at, const std::string& name) {
    if (!at)
        return tellOf(file);
    // A device such as /dev/null cannot be cut, nor needs to be.
    if (std::fflush(file) != 0 || seekTo(file, *at, SEEK_SET) != 0 ||
        (cut(file, *at) != 0 && errno != EINVAL))
        throw Failure("no es pot tornar a escriure el llibre des del principi", name);
    return *at;
}

ZipReader::ZipReader(std::FILE* file, std::string name) : name_(std::move(name)) {
    zlib_filefunc64_def functions = functionsFor(file);
    zip_ = unzOpen2_64("", &functions);
    if (zip_ == nullptr)
        fail("el fitxer zip és malmès o incomplet (no s'hi troba el directori)");
    for (int at = unzGoToFirstFile(zip_); at == UNZ_OK; at = unzGoToNextFile(zip_)) {
        unz_file_info64 info{};
        char entryName[1024];
        if (unzGetCurrentFileInfo64(zip_, &info, entryName, sizeof entryName, nullptr, 0, nullptr,
                                    0) != UNZ_OK)
            fail("el fitxer zip és malmès o incomplet");
        entries_.push_back({entryName, info.compressed_size, info.uncompressed_size,
                            info.compression_method, info.dosDate, info.crc, info.internal_fa,
                            info.external_fa});
    }
}

ZipReader::~ZipReader() {
    if (zip_ != nullptr)
        unzClose(zip_);
}

void ZipReader::fail(const std::string& what, std::string_view entry) const {
    throw Failure(entry.empty() ? what : what + " (" + std::string(entry) + ")", name_);
}

const ZipEntry* ZipReader::find(std::string_view name) const {
    const auto e = std::find_if(entries_.begin(), entries_.end(),
                                [&](const ZipEntry& entry) { return entry.name == name; });
    return e == entries_.end() ? nullptr : &*e;
}

void ZipReader::select(const ZipEntry& entry) {
    if (unzLocateFile(zip_, entry.name.c_str(), 1) != UNZ_OK)
        fail("el fitxer zip és malmès o incomplet", entry.name);
}

ZipReader::Stream::Stream(ZipReader& zip, const ZipEntry& entry) : zip_(zip), entry_(entry) {
    if (entry.size > ratioFrom &&
        entry.size / std::max<std::uint64_t>(entry.compressed, 1) > maxRatio)
        zip.fail("el fitxer zip té una part que diu que s'infla massa: no és un llibre de "
                 "debò",
                 entry.name);
    zip.select(entry);
    // Only stored and deflated entries open at all.
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(zip.zip_, &method, &level, 1) != UNZ_OK)
        zip.fail("el fitxer zip té una part que no es pot llegir", entry.name);
    open_ = true;
    if (method == Z_DEFLATED) {
        inflater_ = std::make_unique<Inflater>();
        isal_inflate_init(&inflater_->state);
        inflater_->state.crc_flag = ISAL_DEFLATE;
    }
}

ZipReader::Stream::~Stream() {
    if (open_)
        unzCloseCurrentFile(zip_.zip_);
}

std::size_t ZipReader::Stream::raw(char* data, std::size_t size) {
    const int n = unzReadCurrentFile(zip_.zip_, data, static_cast<unsigned>(size));
    if (n < 0)
        zip_.fail("el fitxer zip és malmès o incomplet", entry_.name);
    return static_cast<std::size_t>(n);
}

// Inflates until some bytes (at least one asked for) come out or the stream ends (0).
std::size_t ZipReader::Stream::inflated(char* data, std::size_t size) {
    Inflater& in = *inflater_;
    inflate_state& s = in.state;
    s.next_out = bytesOf(data);
    s.avail_out = static_cast<std::uint32_t>(size);
    while (s.block_state != ISAL_BLOCK_FINISH && s.avail_out == size) {
        if (s.avail_in == 0 && !in.drained) {
            s.avail_in = static_cast<std::uint32_t>(
                raw(reinterpret_cast<char*>(in.in.data()), in.in.size()));
            s.next_in = in.in.data();
            in.drained = s.avail_in == 0;
        }
        // A stream that stops short, or goes no further with bytes in hand, is damaged.
        const std::uint32_t before = s.avail_in;
        if (isal_inflate(&s) < 0 ||
            (s.avail_out == size && s.avail_in == before && s.block_state != ISAL_BLOCK_FINISH))
            zip_.fail("el fitxer zip és malmès o incomplet", entry_.name);
    }
    return size - s.avail_out;
}

std::size_t ZipReader::Stream::read(char* data, std::size_t size) {
    size = std::min(size, maxStep);
    const std::size_t n = !open_ || size == 0 ? 0
                          : inflater_         ? inflated(data, size)
                                              : raw(data, size);
    got_ += n;
    if (got_ > entry_.size)
        zip_.fail("el fitxer zip té una part que s'infla més del que diu la seva mida",
                  entry_.name);
    crc_ = crc32_gzip_refl(crc_, bytesOf(data), n);
    if (n == 0 && open_)
        close();
    return n;
}

// The entry read through: it must end here, as long and with the check sum it says.
void ZipReader::Stream::close() {
    char more = 0;
    if (inflater_ && inflated(&more, 1) > 0)
        zip_.fail("el fitxer zip té una part que s'infla més del que diu la seva mida",
                  entry_.name);
    open_ = false;
    if (unzCloseCurrentFile(zip_.zip_) != UNZ_OK || got_ != entry_.size || crc_ != entry_.crc)
        zip_.fail("el fitxer zip és malmès: una part no quadra amb la mida o la suma de "
                  "control que en diu",
                  entry_.name);
}

std::string ZipReader::whole(const ZipEntry& entry, std::uint64_t limit) {
    if (entry.size > limit)
        fail("el fitxer zip té una part massa gran", entry.name);
    std::string bytes(static_cast<std::size_t>(entry.size), '\0');
    Stream in(*this, entry);
    std::size_t got = 0;
    // The last read, of nothing, checks the sum.
    for (std::size_t n; (n = in.read(bytes.data() + got, bytes.size() - got)) > 0;)
        got += n;
    return bytes;
}

ZipWriter::ZipWriter(std::FILE* file, std::string name) : name_(std::move(name)) {
    zlib_filefunc64_def functions = functionsFor(file);
    zip_ = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &functions);
    if (zip_ == nullptr)
        fail();
}

ZipWriter::~ZipWriter() {
    if (zip_ != nullptr)
        zipClose(zip_, nullptr);
}

void ZipWriter::fail() const {
    throw Failure("no es pot escriure el llibre (la sortida ha de ser un fitxer)", name_);
}

void ZipWriter::open(const ZipEntry& entry, int method, bool large) {
    zip_fileinfo info{};
    info.dosDate = entry.dosDate;
    info.internal_fa = entry.internal;
    info.external_fa = entry.external;
    // Raw: minizip writes the bytes it is given, deflated here or copied as stored.
    // The level only sets the flags that say how hard the part was deflated.
    if (zipOpenNewFileInZip2_64(zip_, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                method, Z_BEST_SPEED, 1, large ? 1 : 0) != ZIP_OK)
        fail();
}

void ZipWriter::copy(ZipReader& from, const ZipEntry& entry) {
    from.select(entry);
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(from.zip_, &method, &level, 1) != UNZ_OK)
        from.fail("el fitxer zip té una part que no es pot llegir", entry.name);
    open(entry, static_cast<int>(entry.method),
         entry.size >= 0xFFFFFFFFu || entry.compressed >= 0xFFFFFFFFu);
    char buffer[rawPiece];
    for (;;) {
        const int n = unzReadCurrentFile(from.zip_, buffer, sizeof buffer);
        if (n < 0) {
            unzCloseCurrentFile(from.zip_);
            from.fail("el fitxer zip és malmès o incomplet", entry.name);
        }
        if (n == 0)
            break;
        if (zipWriteInFileInZip(zip_, buffer, static_cast<unsigned>(n)) != ZIP_OK)
            fail();
    }
    unzCloseCurrentFile(from.zip_);
    if (zipCloseFileInZipRaw64(zip_, entry.size, entry.crc) != ZIP_OK)
        fail();
}

void ZipWriter::begin(const ZipEntry& entry, bool large) {
    open(entry, Z_DEFLATED, large);
    deflater_ = std::make_unique<Deflater>();
    isal_zstream& s = deflater_->stream;
    isal_deflate_init(&s);
    s.level = 1;
    s.level_buf = deflater_->level.data();
    s.level_buf_size = static_cast<std::uint32_t>(deflater_->level.size());
    s.gzip_flag = IGZIP_DEFLATE;
}

// Deflates what stream holds, the end of the entry too when last.
void ZipWriter::deflate(bool last) {
    isal_zstream& s = deflater_->stream;
    s.end_of_stream = last ? 1 : 0;
    do {
        s.next_out = deflater_->out.data();
        s.avail_out = static_cast<std::uint32_t>(deflater_->out.size());
        if (isal_deflate(&s) != COMP_OK)
            fail();
        const auto n = static_cast<unsigned>(deflater_->out.size() - s.avail_out);
        if (n > 0 && zipWriteInFileInZip(zip_, deflater_->out.data(), n) != ZIP_OK)
            fail();
    } while (s.avail_in > 0 || s.avail_out == 0 || (last && s.internal_state.state != ZSTATE_END));
}

void ZipWriter::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t n = std::min(bytes.size(), maxStep);
        deflater_->size += n;
        deflater_->crc = crc32_gzip_refl(deflater_->crc, bytesOf(bytes.data()), n);
        deflater_->stream.next_in = bytesOf(bytes.data());
        deflater_->stream.avail_in = static_cast<std::uint32_t>(n);
        deflate(false);
        bytes.remove_prefix(n);
    }
}

void ZipWriter::end() {
    deflate(true);
    const std::uint64_t size = deflater_->size;
    const std::uint32_t crc = deflater_->crc;
    deflater_.reset();
    if (zipCloseFileInZipRaw64(zip_, size, crc) != ZIP_OK)
        fail();
}

void ZipWriter::close() {
    void* zip = zip_;
    zip_ = nullptr;
    if (zipClose(zip, nullptr) != ZIP_OK)
        fail();
}

} // namespace cli
