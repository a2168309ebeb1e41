// An .xlsx worksheet read as the person sees its cells and written back as it
// was, with six cells after the last used column of each row that holds an
// account, and the shared strings and styles it needs to read them.

#include "cli/xlsx.h"

#include "cli/encoding.h"
#include "cli/failure.h"
#include "cli/names.h"
#include "cli/xml.h"
#include "core/comprovacio.h"
#include "core/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace cli {

namespace {

// The largest column a sheet has (XFD).
constexpr long maxColumns = 16384;
// How wide the added columns are, in characters: an IBAN on paper, a BIC, a
// bank's name, a status.
constexpr std::array<int, 6> addedWidths = {26, 31, 13, 40, 46, 31};
// The sheet is read in pieces of this size.
constexpr std::size_t piece = 1 << 16;
// The shared strings are kept whole; more than this is no list of accounts.
constexpr std::size_t maxStrings = std::size_t(1) << 30;

std::size_t toNumber(std::string_view digits, std::size_t otherwise) {
    std::size_t n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return error == std::errc() && end == digits.data() + digits.size() ? n : otherwise;
}

// Reads a part from its handler's point of view, a piece at a time.
void readPart(ZipReader& zip, const ZipEntry& entry, XmlReader& xml) {
    ZipReader::Stream in(zip, entry);
    std::string bytes(piece, '\0');
    for (;;) {
        const std::size_t n = in.read(bytes.data(), bytes.size());
        xml.feed(std::string_view(bytes.data(), n), n == 0);
        if (n == 0)
            return;
    }
}

// Gathers the text of the elements named t inside si (or is), but not those of
// a phonetic run (rPh), which a person does not see.
class TextRuns {
public:
    void start(std::string_view local) {
        if (local == "rPh")
            ++phonetic_;
        else if (local == "t" && phonetic_ == 0)
            inside_ = true;
    }
    void end(std::string_view local) {
        if (local == "rPh")
            --phonetic_;
        else if (local == "t")
            inside_ = false;
    }
    void text(std::string_view utf8, std::string& out) const {
        if (inside_)
            out += utf8;
    }

private:
    int phonetic_ = 0;
    bool inside_ = false;
};

class StringsHandler : public XmlReader::Handler {
public:
    explicit StringsHandler(SharedStrings& strings) : strings_(strings) {}
    void start(std::string_view name, const char**) override {
        const auto local = localName(name);
        if (local == "si")
            text_.clear();
        runs_.start(local);
    }
    void end(std::string_view name) override {
        const auto local = localName(name);
        runs_.end(local);
        if (local == "si")
            strings_.add(text_);
    }
    void text(std::string_view utf8) override {
        runs_.text(utf8, text_);
        if (text_.size() > maxStrings)
            throw Failure("la taula de textos del llibre és massa gran");
    }

private:
    SharedStrings& strings_;
    TextRuns runs_;
    std::string text_;
};

} // namespace

std::optional<std::string_view> SharedStrings::at(std::string_view index) const {
    const std::size_t i = toNumber(index, ends_.size());
    if (i >= ends_.size())
        return std::nullopt;
    const std::size_t from = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(texts_).substr(from, ends_[i] - from);
}

void SharedStrings::add(std::string_view text) {
    texts_ += text;
    if (texts_.size() > maxStrings)
        throw Failure("la taula de textos del llibre és massa gran");
    ends_.push_back(texts_.size());
}

SharedStrings readSharedStrings(ZipReader& zip, const ZipEntry& entry, const std::string& file) {
    SharedStrings strings;
    StringsHandler handler(strings);
    XmlReader xml(handler, file, entry.name);
    readPart(zip, entry, xml);
    return strings;
}

namespace {

// What the styles part holds, and where its fills and cell formats end.
class StylesHandler : public XmlReader::Handler {
public:
    XmlReader* xml = nullptr;
    std::string prefix; // the part's own elements'

    void start(std::string_view name, const char** attributes) override {
        const auto local = localName(name);
        ++depth_;
        if (local == "styleSheet") {
            prefix = xml->prefix();
        } else if (local == "numFmt" && inFormats_) {
            const char* id = attribute(attributes, "numFmtId");
            const char* code = attribute(attributes, "formatCode");
            if (id != nullptr && code != nullptr)
                codes_.emplace_back(toNumber(id, 0), code);
        } else if (local == "numFmts") {
            inFormats_ = true;
        } else if (local == "fills" && depth_ == 2) {
            fills = {{xml->at(), xml->size()}, 0, 0};
        } else if (local == "fill" && depth_ == 3 && fills.start.size > 0) {
            ++fills.children;
        } else if (local == "cellXfs" && depth_ == 2) {
            formats = {{xml->at(), xml->size()}, 0, 0};
            inCellFormats_ = true;
        } else if (local == "xf" && inCellFormats_ && depth_ == 3) {
            const char* id = attribute(attributes, "numFmtId");
            formatIds.push_back(id == nullptr ? 0 : toNumber(id, 0));
        }
    }
    void end(std::string_view name) override {
        const auto local = localName(name);
        --depth_;
        if (local == "numFmts")
            inFormats_ = false;
        else if (local == "fills" && depth_ == 1)
            fills.end = xml->size() > 0 ? xml->at() : 0;
        else if (local == "cellXfs" && depth_ == 1) {
            formats.end = xml->size() > 0 ? xml->at() : 0;
            inCellFormats_ = false;
        }
    }
    void text(std::string_view) override {}

    // How many zeros the format of that id shows, when it is nothing but zeros.
    std::uint8_t zeros(std::size_t id) const {
        if (id == 1) // built in: "0"
            return 1;
        for (const auto& [code, text] : codes_)
            if (code == id && !text.empty() && text.size() < 64 &&
                std::all_of(text.begin(), text.end(), [](char c) { return c == '0'; }))
                return static_cast<std::uint8_t>(text.size());
        return 0;
    }

    struct Tag {
        std::uint64_t at;
        std::size_t size;
    };
    // An element whose children are counted: its start tag, where its end tag
    // starts (0 for none: an empty element) and how many children it has.
    struct Counted {
        Tag start{0, 0};
        std::uint64_t end = 0;
        std::size_t children = 0;
    };
    Counted fills, formats;
    std::vector<std::size_t> formatIds;

private:
    std::vector<std::pair<std::size_t, std::string>> codes_;
    int depth_ = 0;
    bool inFormats_ = false, inCellFormats_ = false;
};

// The start tag with its count attribute set to n, or as it was when it has none.
std::string recounted(std::string_view tag, std::size_t n) {
    const auto at = tag.find(" count=");
    if (at == std::string_view::npos || at + 8 >= tag.size())
        return std::string(tag);
    const char quote = tag[at + 7];
    const auto close = tag.find(quote, at + 8);
    if (close == std::string_view::npos)
        return std::string(tag);
    return std::string(tag.substr(0, at + 8)) + std::to_string(n) + std::string(tag.substr(close));
}

// The name a new element takes: the prefix the part's own elements use.
std::string qualified(std::string_view prefix, std::string_view local) {
    return prefix.empty() ? std::string(local) : std::string(prefix) + ":" + std::string(local);
}

} // namespace

Styles readStyles(std::string part, const std::string& file, const std::string& name) {
    Styles styles;
    StylesHandler handler;
    XmlReader xml(handler, file, name);
    handler.xml = &xml;
    xml.feed(part, true);
    const std::string& prefix = handler.prefix;
    for (const std::size_t id : handler.formatIds)
        styles.zeros.push_back(handler.zeros(id));
    const auto& fills = handler.fills;
    const auto& formats = handler.formats;
    // Both lists are there, whole, fills first as the schema orders them.
    if (fills.end == 0 || formats.end == 0 || fills.end > formats.start.at)
        return styles;
    const std::string fill =
        "<" + qualified(prefix, "fill") + "><" + qualified(prefix, "patternFill") +
        " patternType=\"solid\"><" + qualified(prefix, "fgColor") + " rgb=\"FFFFC7CE\"/><" +
        qualified(prefix, "bgColor") + " indexed=\"64\"/></" + qualified(prefix, "patternFill") +
        "></" + qualified(prefix, "fill") + ">";
    const std::string format =
        "<" + qualified(prefix, "xf") + " numFmtId=\"0\" fontId=\"0\" fillId=\"" +
        std::to_string(fills.children) + "\" borderId=\"0\" xfId=\"0\" applyFill=\"1\"/>";
    const std::string_view p(part);
    const auto tag = [&](const StylesHandler::Tag& t) { return p.substr(t.at, t.size); };
    styles.rewritten.reserve(part.size() + fill.size() + format.size() + 16);
    styles.rewritten.append(p.substr(0, fills.start.at))
        .append(recounted(tag(fills.start), fills.children + 1))
        .append(p.substr(fills.start.at + fills.start.size,
                         fills.end - fills.start.at - fills.start.size))
        .append(fill)
        .append(p.substr(fills.end, formats.start.at - fills.end))
        .append(recounted(tag(formats.start), handler.formatIds.size() + 1))
        .append(p.substr(formats.start.at + formats.start.size,
                         formats.end - formats.start.at - formats.start.size))
        .append(format)
        .append(p.substr(formats.end));
    styles.failFormat = static_cast<long>(handler.formatIds.size());
    return styles;
}

std::string numberText(std::string_view value, std::size_t zeros) {
    // [digits][.digits][E[sign]digits], and nothing else, is a whole number only
    // when no digit is left after the point.
    std::string digits;
    long point = -1, exponent = 0;
    std::size_t i = 0;
    for (; i < value.size() && (text::isDigit(value[i]) || value[i] == '.'); ++i) {
        if (value[i] == '.') {
            if (point >= 0)
                return std::string(value);
            point = static_cast<long>(digits.size());
        } else {
            digits += value[i];
        }
    }
    if (digits.empty())
        return std::string(value);
    if (i < value.size()) {
        if (value[i] != 'E' && value[i] != 'e')
            return std::string(value);
        std::string_view rest = value.substr(i + 1);
        if (!rest.empty() && rest[0] == '+')
            rest.remove_prefix(1);
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), exponent);
        if (error != std::errc() || end != rest.data() + rest.size() || exponent > 400 ||
            exponent < -400)
            return std::string(value);
    }
    long whole = (point < 0 ? static_cast<long>(digits.size()) : point) + exponent;
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return std::string(std::max<std::size_t>(zeros, 1), '0');
    digits.erase(0, first);
    whole -= static_cast<long>(first);
    digits.erase(digits.find_last_not_of('0') + 1);
    if (static_cast<long>(digits.size()) > whole || whole > 40)
        return std::string(value);
    if (whole > 15) {
        std::string shown = digits.substr(0, 15);
        shown.erase(shown.find_last_not_of('0') + 1);
        return shown.substr(0, 1) + (shown.size() > 1 ? "." + shown.substr(1) : "") + "E+" +
               std::to_string(whole - 1);
    }
    digits.append(static_cast<std::size_t>(whole) - digits.size(), '0');
    if (digits.size() < zeros)
        digits.insert(0, zeros - digits.size(), '0');
    return digits;
}

std::string columnLetters(std::size_t column) {
    std::string letters;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

long columnOf(std::string_view reference) {
    long column = 0;
    std::size_t i = 0;
    for (; i < reference.size() && text::isCapital(text::toCapital(reference[i])); ++i) {
        column = column * 26 + (text::toCapital(reference[i]) - 'A' + 1);
        if (column > maxColumns)
            return -1;
    }
    return i == 0 ? -1 : column - 1;
}

namespace {

// One worksheet read through, once to sample its first rows and learn its last
// column, then again to write it with the added cells.
class SheetHandler : public XmlReader::Handler {
public:
    enum class Pass { sample, write };

    SheetHandler(Pass pass, const SharedStrings& strings, const Styles& styles)
        : pass_(pass), strings_(strings), styles_(styles) {}
    XmlReader* xml = nullptr;

    // The sample pass: its rows, and the last used column (-1 for an empty sheet).
    Sample sample;
    long lastColumn = -1;
    bool enough() const { return pass_ == Pass::sample && sample.size() >= 1000 && dimension_; }

    // The write pass: what every row gains, and where the output goes.
    void writeWith(RowRules& rules, ZipWriter& out, long last, std::size_t needed);
    // Each piece of the part as it arrives, before the reader sees it.
    void arrived(std::string_view bytes);
    void finish();
    std::uint64_t rows() const { return rows_; }

    void start(std::string_view name, const char** attributes) override;
    void end(std::string_view name) override;
    void text(std::string_view utf8) override {
        if (inValue_)
            arena_ += utf8;
        else if (inInline_)
            runs_.text(utf8, arena_);
    }

private:
    void startRow(const char** attributes);
    void startCell(const char** attributes);
    void endCell();
    void endRow();
    void keep(const char** attributes);
    void writeDimension();
    void writeColumn();
    void addedColumns();
    void addCells(const Gain& gain);
    void addCell(std::size_t k, std::string_view text, long style);

    const Pass pass_;
    const SharedStrings& strings_;
    const Styles& styles_;
    bool dimension_ = false, inData_ = false, inRow_ = false, inCell_ = false;
    bool inValue_ = false, inInline_ = false;
    TextRuns runs_;
    // The row being read: its cells' texts, one arena, and where each cell is. A
    // cell's value is gathered in place, at cellAt_, and replaced by what it shows.
    std::string arena_;
    // How a cell's value is shown: looked up, as a number, or as it is.
    enum class Type { shared, number, asIs } type_ = Type::number;
    std::size_t cellAt_ = 0;
    std::vector<std::pair<std::size_t, std::size_t>> spans_;
    Record record_;
    long column_ = -1, cellStyle_ = -1, rowStyle_ = -1, lastStyle_ = -1;
    std::uint64_t rowNumber_ = 0, index_ = 0, rows_ = 0;
    std::uint64_t rowTag_ = 0;
    std::size_t rowTagSize_ = 0;
    // The write pass.
    RowRules* rules_ = nullptr;
    long first_ = 0;         // the first added column
    std::size_t needed_ = 0; // cells a row must reach to hold the account
    std::array<std::string, 6> letters_;
    std::array<std::string, statusCount> statuses_;
    std::optional<XmlCopy> copy_;
    std::string prefix_;
    struct {
        std::string prefix = "-", open, text, close;
    } tags_; // an added cell's tags, for the part's prefix
    bool columns_ = false, columnsAdded_ = false;
    // An element rewritten: where its start tag is, and a column's attributes.
    std::uint64_t elementAt_ = 0;
    std::vector<std::pair<std::string, std::string>> attributes_;
};

void SheetHandler::writeWith(RowRules& rules, ZipWriter& out, long last, std::size_t needed) {
    rules_ = &rules;
    needed_ = needed;
    copy_.emplace(out);
    first_ = last + 1;
    for (std::size_t k = 0; k < letters_.size(); ++k)
        letters_[k] = columnLetters(static_cast<std::size_t>(first_) + k);
    for (std::size_t s = 0; s < statusCount; ++s)
        statuses_[s] = statusText(static_cast<Status>(s));
}

void SheetHandler::arrived(std::string_view bytes) {
    if (copy_)
        copy_->arrived(bytes);
}

void SheetHandler::finish() {
    if (copy_)
        copy_->finish();
}

void SheetHandler::start(std::string_view name, const char** attributes) {
    const auto local = localName(name);
    if (inCell_) {
        if (local == "v")
            inValue_ = true;
        else if (local == "is")
            inInline_ = true;
        runs_.start(local);
    } else if (local == "c" && inRow_) {
        startCell(attributes);
    } else if (local == "row" && inData_) {
        startRow(attributes);
    } else if (local == "sheetData") {
        inData_ = true;
        if (pass_ == Pass::write && !columns_) {
            prefix_ = xml->prefix();
            copy_->copyTo(xml->at());
            copy_->add() += "<" + qualified(prefix_, "cols") + ">";
            addedColumns();
            copy_->add() += "</" + qualified(prefix_, "cols") + ">";
        }
    } else if (local == "dimension") {
        if (pass_ == Pass::write)
            keep(attributes);
        const char* ref = attribute(attributes, "ref");
        const std::string_view r = ref == nullptr ? "" : ref;
        const long c =
            columnOf(r.substr(r.find(':') == std::string_view::npos ? 0 : r.find(':') + 1));
        if (c >= 0) {
            dimension_ = true;
            lastColumn = std::max(lastColumn, c);
        }
    } else if (local == "col" && pass_ == Pass::write) {
        keep(attributes);
    } else if (local == "cols") {
        columns_ = true;
    }
}

void SheetHandler::end(std::string_view name) {
    const auto local = localName(name);
    if (inCell_) {
        if (local == "v")
            inValue_ = false;
        else if (local == "is")
            inInline_ = false;
        else if (local == "c")
            endCell();
        runs_.end(local);
        return;
    }
    if (local == "row" && inRow_) {
        endRow();
    } else if (local == "sheetData") {
        inData_ = false;
    } else if (pass_ == Pass::write) {
        if (local == "cols") {
            prefix_ = xml->prefix();
            copy_->copyTo(xml->at());
            addedColumns();
        } else if (local == "col") {
            writeColumn();
        } else if (local == "dimension") {
            writeDimension();
        } else if (!inRow_) {
            copy_->copyTo(xml->at() + xml->size());
        }
    }
}

void SheetHandler::startRow(const char** attributes) {
    inRow_ = true;
    const char* r = attribute(attributes, "r");
    rowNumber_ = r != nullptr ? toNumber(r, rowNumber_ + 1) : rowNumber_ + 1;
    const char* s = attribute(attributes, "s");
    const char* custom = attribute(attributes, "customFormat");
    rowStyle_ = s != nullptr && custom != nullptr &&
                        (std::string_view(custom) == "1" || std::string_view(custom) == "true")
                    ? static_cast<long>(toNumber(s, 0))
                    : -1;
    lastStyle_ = -1;
    column_ = -1;
    arena_.clear();
    spans_.clear();
    if (pass_ == Pass::write) {
        prefix_ = xml->prefix();
        copy_->copyTo(xml->at());
        rowTag_ = xml->at();
        rowTagSize_ = xml->size();
    }
}

void SheetHandler::startCell(const char** attributes) {
    inCell_ = true;
    cellAt_ = arena_.size();
    const char* r = attribute(attributes, "r");
    const long c = r != nullptr ? columnOf(r) : column_ + 1;
    if (c < 0 || c <= column_)
        throw Failure("el full té una cel·la fora de lloc a la fila " + std::to_string(rowNumber_));
    column_ = c;
    const char* t = attribute(attributes, "t");
    const std::string_view type = t == nullptr ? "n" : t;
    type_ = type == "s" ? Type::shared : type == "n" ? Type::number : Type::asIs;
    const char* s = attribute(attributes, "s");
    cellStyle_ = s == nullptr ? 0 : static_cast<long>(toNumber(s, 0));
    lastStyle_ = cellStyle_;
}

// The cell's text as a person sees it in the sheet.
void SheetHandler::endCell() {
    inCell_ = inValue_ = inInline_ = false;
    // Inline and formula texts, booleans, errors and dates are shown as they are.
    const std::string_view value = std::string_view(arena_).substr(cellAt_);
    if (type_ == Type::shared) {
        const auto text = strings_.at(value);
        if (!text)
            throw Failure("el full fa servir un text que la taula del llibre no té");
        arena_.resize(cellAt_);
        arena_ += *text;
    } else if (type_ == Type::number) {
        const std::size_t s = static_cast<std::size_t>(cellStyle_);
        const std::string number =
            numberText(value, s < styles_.zeros.size() ? styles_.zeros[s] : 0);
        arena_.resize(cellAt_);
        arena_ += number;
    }
    if (pass_ == Pass::write && column_ >= first_)
        throw Failure("el full té cel·les més enllà de la mida que en diu (fila " +
                      std::to_string(rowNumber_) + ")");
    lastColumn = std::max(lastColumn, column_);
    while (static_cast<long>(spans_.size()) < column_)
        spans_.emplace_back(cellAt_, 0);
    spans_.emplace_back(cellAt_, arena_.size() - cellAt_);
}

void SheetHandler::endRow() {
    inRow_ = false;
    record_.cells.clear();
    for (const auto& [at, size] : spans_)
        record_.cells.push_back(std::string_view(arena_).substr(at, size));
    const std::uint64_t index = index_++;
    if (pass_ == Pass::sample) {
        if (sample.size() < 1000 && !blankRow(record_))
            sample.add(record_, index, rowNumber_);
        return;
    }
    // A sheet's row reaches every column: the cells it lacks are empty.
    if (record_.cells.size() < needed_)
        record_.cells.resize(needed_);
    const Gain gain = rules_->take(record_, rowNumber_);
    ++rows_;
    if (gain.kind == Gain::Kind::nothing)
        copy_->copyTo(xml->at());
    else
        addCells(gain);
}

// An element about to be rewritten: where it starts, and its attributes.
void SheetHandler::keep(const char** attributes) {
    prefix_ = xml->prefix();
    copy_->copyTo(xml->at());
    elementAt_ = xml->at();
    attributes_.clear();
    for (; *attributes != nullptr; attributes += 2)
        attributes_.emplace_back(localName(attributes[0]), attributes[1]);
}

// The used range, which some readers trust, reaches the added columns.
void SheetHandler::writeDimension() {
    copy_->skipTo(xml->at() + xml->size());
    copy_->add() += "<" + qualified(prefix_, "dimension");
    for (auto& [name, value] : attributes_) {
        if (name == "ref") {
            const auto colon = value.find(':');
            const std::string from = value.substr(0, colon);
            const std::string to = colon == std::string::npos ? value : value.substr(colon + 1);
            std::size_t digits = 0;
            while (digits < to.size() && !text::isDigit(to[digits]))
                ++digits;
            value = from + ":" + letters_.back() + to.substr(digits);
        }
        copy_->add() += " " + name + "=\"";
        appendEscaped(copy_->add(), value);
        copy_->add() += "\"";
    }
    copy_->add() += "/>";
}

// A column's format that reaches the added columns is cut around them; the
// added ones go in their place, in order.
void SheetHandler::writeColumn() {
    const auto value = [&](std::string_view name) -> long {
        for (const auto& [n, v] : attributes_)
            if (n == name)
                return static_cast<long>(toNumber(v, 0));
        return 0;
    };
    // From 1, as the part counts them.
    const long min = value("min"), max = value("max"), first = first_ + 1, last = first_ + 6;
    if (max < first && !columnsAdded_)
        return;
    copy_->skipTo(xml->at() + xml->size());
    const auto piece = [&](long from, long to) {
        copy_->add() += "<" + qualified(prefix_, "col");
        for (const auto& [name, v] : attributes_) {
            copy_->add() += " " + name + "=\"";
            appendEscaped(copy_->add(), name == "min"   ? std::to_string(from)
                                        : name == "max" ? std::to_string(to)
                                                        : v);
            copy_->add() += "\"";
        }
        copy_->add() += "/>";
    };
    if (min < first)
        piece(min, std::min(max, first - 1));
    addedColumns();
    if (max > last)
        piece(std::max(min, last + 1), max);
}

void SheetHandler::addedColumns() {
    if (columnsAdded_)
        return;
    columnsAdded_ = true;
    for (std::size_t k = 0; k < addedWidths.size(); ++k) {
        const std::string n = std::to_string(first_ + 1 + static_cast<long>(k));
        copy_->add() += "<" + qualified(prefix_, "col") + " min=\"" + n + "\" max=\"" + n +
                        "\" width=\"" + std::to_string(addedWidths[k]) + "\" customWidth=\"1\"/>";
    }
}

void SheetHandler::addCells(const Gain& gain) {
    // The row's own span of columns, when it says it, reaches the added ones.
    const std::string_view tag = copy_->held(rowTag_).substr(0, rowTagSize_);
    const auto spans = tag.find(" spans=\"");
    if (spans != std::string_view::npos) {
        const auto colon = tag.find(':', spans), close = tag.find('"', spans + 8);
        if (colon != std::string_view::npos && close != std::string_view::npos && colon < close) {
            copy_->copyTo(rowTag_ + colon + 1);
            copy_->add() += std::to_string(first_ + 6);
            copy_->skipTo(rowTag_ + close);
        }
    }
    copy_->copyTo(xml->at());
    if (gain.kind == Gain::Kind::header) {
        std::vector<std::u16string> names(record_.cells.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            decode(record_.cells[i], Encoding::utf8, names[i]);
        const long style = lastStyle_ >= 0 ? lastStyle_ : rowStyle_;
        std::string name;
        for (std::size_t k = 0; const auto& added : addedNames(names)) {
            name.clear();
            encode(added, Encoding::utf8, name);
            addCell(k++, name, style);
        }
        return;
    }
    const AddedCells& cells = *gain.cells;
    addCell(0, cells.iban, -1);
    addCell(1, cells.paper, -1);
    if (cells.entity != nullptr) {
        addCell(2, cells.entity->bicUTF8, -1);
        addCell(3, cells.entity->nomUTF8, -1);
    }
    addCell(4, statuses_[static_cast<std::size_t>(cells.status)],
            cli::correct(cells.status) ? -1 : styles_.failFormat);
    addCell(5, cells.suggestion, -1);
}

// An inline string, so that the shared strings stay as they are.
void SheetHandler::addCell(std::size_t k, std::string_view text, long style) {
    if (text.empty())
        return;
    if (tags_.prefix != prefix_) {
        // Made once: every row of a part has the same prefix.
        tags_.prefix = prefix_;
        tags_.open = "<" + qualified(prefix_, "c") + " r=\"";
        tags_.text = "><" + qualified(prefix_, "is") + "><" + qualified(prefix_, "t") + ">";
        tags_.close = "</" + qualified(prefix_, "t") + "></" + qualified(prefix_, "is") + "></" +
                      qualified(prefix_, "c") + ">";
    }
    std::string& out = copy_->add();
    char number[24];
    const auto row = std::to_chars(number, number + sizeof number, rowNumber_).ptr;
    out.append(tags_.open).append(letters_[k]).append(number, row).append("\"");
    if (style > 0)
        out.append(" s=\"").append(std::to_string(style)).append("\"");
    out.append(" t=\"inlineStr\"").append(tags_.text);
    appendEscaped(out, text);
    out.append(tags_.close);
}

// Reads the sheet through, each piece handed to the handler before the reader.
template <class Each>
void readSheet(ZipReader& zip, const ZipEntry& entry, XmlReader& xml, SheetHandler& handler,
               Each&& each) {
    ZipReader::Stream in(zip, entry);
    std::string bytes(piece, '\0');
    for (std::uint64_t read = 0;;) {
        const std::size_t n = in.read(bytes.data(), bytes.size());
        read += n;
        handler.arrived(std::string_view(bytes.data(), n));
        xml.feed(std::string_view(bytes.data(), n), n == 0);
        if (n == 0 || !each(read))
            return;
    }
}

} // namespace

Summary convertSheet(ZipReader& zip, const ZipEntry& sheet, const SharedStrings& strings,
                     const Styles& styles, ZipWriter& out, const Options& options,
                     const Reporter& reporter, const std::string& file, const std::string& what) {
    SheetHandler first(SheetHandler::Pass::sample, strings, styles);
    {
        XmlReader xml(first, file, sheet.name, false);
        first.xml = &xml;
        readSheet(zip, sheet, xml, first, [&](std::uint64_t) { return !first.enough(); });
    }
    const Layout layout = settleSheet(first.sample, options, what);
    reporter.note(0, layout.description);
    if (reporter.settled)
        reporter.settled(layout);
    if (first.lastColumn + 1 + 6 > maxColumns)
        throw Failure("el full no té lloc per a sis columnes més", file);
    RowRules rules(layout, reporter);
    SheetHandler handler(SheetHandler::Pass::write, strings, styles);
    handler.writeWith(rules, out, first.lastColumn,
                      *std::max_element(layout.columns.begin(), layout.columns.end()) + 1);
    XmlReader xml(handler, file, sheet.name, false);
    handler.xml = &xml;
    out.begin(sheet, sheet.size > (std::uint64_t(1) << 30));
    readSheet(zip, sheet, xml, handler, [&](std::uint64_t read) {
        if (reporter.progress)
            reporter.progress(handler.rows(), fileShare(sheet, read));
        return true;
    });
    handler.finish();
    out.end();
    return rules.summary();
}

} // namespace cli
