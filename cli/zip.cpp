// A workbook's zip package read and written through minizip, with the file
// functions pointed at the streams brelvoxa opened itself, so that the output is
// the temporary file cli/files.h made and the input the one it checked.

#include "cli/zip.h"

#include "cli/failure.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <cerrno>

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

} // namespace

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
    if (unzOpenCurrentFile(zip.zip_) != UNZ_OK)
        zip.fail("el fitxer zip té una part que no es pot llegir", entry.name);
    open_ = true;
}

ZipReader::Stream::~Stream() {
    if (open_)
        unzCloseCurrentFile(zip_.zip_);
}

std::size_t ZipReader::Stream::read(char* data, std::size_t size) {
    const int n = unzReadCurrentFile(zip_.zip_, data,
                                     static_cast<unsigned>(std::min<std::size_t>(size, 1 << 30)));
    if (n < 0)
        zip_.fail("el fitxer zip és malmès o incomplet", entry_.name);
    got_ += static_cast<std::uint64_t>(n);
    if (got_ > entry_.size)
        zip_.fail("el fitxer zip té una part que s'infla més del que diu la seva mida",
                  entry_.name);
    if (n == 0) {
        open_ = false;
        if (unzCloseCurrentFile(zip_.zip_) != UNZ_OK || got_ != entry_.size)
            zip_.fail("el fitxer zip és malmès: una part no quadra amb la mida o la suma de "
                      "control que en diu",
                      entry_.name);
    }
    return static_cast<std::size_t>(n);
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

void ZipWriter::open(const ZipEntry& entry, bool raw, bool large) {
    zip_fileinfo info{};
    info.dosDate = entry.dosDate;
    info.internal_fa = entry.internal;
    info.external_fa = entry.external;
    const int method = raw ? static_cast<int>(entry.method) : Z_DEFLATED;
    // A converted part is written as fast as zlib deflates; what is copied keeps its bytes.
    if (zipOpenNewFileInZip2_64(zip_, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                method, raw ? Z_DEFAULT_COMPRESSION : Z_BEST_SPEED, raw,
                                large ? 1 : 0) != ZIP_OK)
        fail();
}

void ZipWriter::copy(ZipReader& from, const ZipEntry& entry) {
    from.select(entry);
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(from.zip_, &method, &level, 1) != UNZ_OK)
        from.fail("el fitxer zip té una part que no es pot llegir", entry.name);
    open(entry, true, entry.size >= 0xFFFFFFFFu || entry.compressed >= 0xFFFFFFFFu);
    char buffer[1 << 16];
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
    open(entry, false, large);
}

void ZipWriter::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const auto n = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1 << 30));
        if (zipWriteInFileInZip(zip_, bytes.data(), n) != ZIP_OK)
            fail();
        bytes.remove_prefix(n);
    }
}

void ZipWriter::end() {
    if (zipCloseFileInZip(zip_) != ZIP_OK)
        fail();
}

void ZipWriter::close() {
    void* zip = zip_;
    zip_ = nullptr;
    if (zipClose(zip, nullptr) != ZIP_OK)
        fail();
}

} // namespace cli
