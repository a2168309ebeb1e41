// An OpenDocument spreadsheet's content.xml, which holds every sheet and their
// automatic styles: read as far as the chosen sheet's first rows, which give its
// layout and, as the part says it nowhere, its last used column, then again to
// write it with six cells after that column in every row that holds an account (a
// later row that reaches further has it read whole and written again). Cells are
// positional here: a row short of that column is padded, a repeated empty cell
// across it is cut around the added ones, and so are the column declarations.

#include "cli/ods.h"

#include "cli/encoding.h"
#include "cli/failure.h"
#include "cli/names.h"
#include "cli/xlsx.h"
#include "cli/xml.h"
#include "core/comprovacio.h"
#include "core/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace cli {

namespace {

const std::string officeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
const std::string tableNs = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
const std::string textNs = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
const std::string styleNs = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
const std::string foNs = "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0";

// The names of the elements and attributes read, as the part writes them: it is
// read without expat's namespaces (a lookup on every element and attribute), its
// prefixes taken from the declarations on its root element, where every writer
// puts them.
struct Names {
    std::string tableTable, tableRow, tableCell, coveredCell, tableColumn, textP, textS, textTab,
        textBreak, annotation, automaticStyles, officeBody;
    std::string spaces, rowsRepeated, columnsRepeated, tableName, valueType, officeValue, styleName;

    template <class Qualify>
    explicit Names(Qualify&& in)
        : tableTable(in(tableNs, "table")), tableRow(in(tableNs, "table-row")),
          tableCell(in(tableNs, "table-cell")), coveredCell(in(tableNs, "covered-table-cell")),
          tableColumn(in(tableNs, "table-column")), textP(in(textNs, "p")), textS(in(textNs, "s")),
          textTab(in(textNs, "tab")), textBreak(in(textNs, "line-break")),
          annotation(in(officeNs, "annotation")), automaticStyles(in(officeNs, "automatic-styles")),
          officeBody(in(officeNs, "body")), spaces(in(textNs, "c")),
          rowsRepeated(in(tableNs, "number-rows-repeated")),
          columnsRepeated(in(tableNs, "number-columns-repeated")), tableName(in(tableNs, "name")),
          valueType(in(officeNs, "value-type")), officeValue(in(officeNs, "value")),
          styleName(in(tableNs, "style-name")) {}
};

// The added columns' widths, and the names of the styles brelvoxa adds.
constexpr std::array<std::string_view, 6> addedWidths = {"5.4cm", "6.4cm", "2.8cm",
                                                         "8.2cm", "9.4cm", "6.4cm"};
constexpr std::string_view columnStyle = "brelvoxa_columna", failStyle = "brelvoxa_erroni";
// The most columns a sheet has.
constexpr std::uint64_t maxColumns = 16384;

std::uint64_t count(const char* value, std::uint64_t otherwise) {
    if (value == nullptr)
        return otherwise;
    std::uint64_t n = 0;
    const std::string_view v(value);
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), n);
    return error == std::errc() && end == v.data() + v.size() && n > 0 ? n : otherwise;
}

// An element of the row or the columns, where its bytes are and which columns it covers.
struct Span {
    std::uint64_t start = 0, end = 0;
    std::uint64_t column = 0, repeat = 1;
};

class ContentHandler : public XmlReader::Handler {
public:
    enum class Pass { scan, write };
    ContentHandler(Pass pass, std::string sheet) : pass_(pass), sheet_(std::move(sheet)) {}

    XmlReader* xml = nullptr;
    // The scan: the sheets' names, the chosen one's sample and last used column.
    std::vector<std::string> sheets;
    Sample sample;
    std::optional<std::size_t> chosen; // among sheets
    long lastColumn = -1;
    // The chosen sheet is read to its end, or its first rows are.
    bool enough() const { return chosen && (chosenEnded_ || sample.size() >= 1000); }

    void writeWith(RowRules& rules, Sink& out, long last, std::size_t needed);
    void arrived(std::string_view bytes) {
        if (copy_)
            copy_->arrived(bytes);
    }
    void finish() {
        if (copy_)
            copy_->finish();
    }
    std::uint64_t rows() const { return index_; }

    void bind(const char** attributes);
    void start(std::string_view name, const char** attributes) override;
    void end(std::string_view name) override;
    void text(std::string_view utf8) override {
        if (inP_ > 0 && hidden_ == 0)
            text_ += utf8;
    }

private:
    bool inSheet() const { return chosen && *chosen + 1 == sheets.size() && inTable_; }
    void startSheet(const char** attributes);
    void startCell(const char** attributes);
    void endCell();
    void endRow();
    void endColumn();
    void addedColumns();
    void addStyles();
    void addCells(const Gain& gain, std::uint64_t rowEnd);
    void addCell(std::string_view text, std::string_view style);
    std::string name(const std::string& space, std::string_view local) const;
    std::string qualifiedName(const std::string& space, std::string_view local) const;
    std::string undeclared() const;
    std::string withRepeat(const Span& span, std::string_view attribute, std::uint64_t n) const;

    const Pass pass_;
    const std::string sheet_;
    std::vector<std::pair<std::string, std::string>> prefixes_;
    std::optional<Names> q_; // once the root element has declared the prefixes
    mutable std::vector<std::pair<std::pair<const std::string*, std::string>, std::string>> names_;
    struct {
        std::string open, style, text, close, repeated;
    } tags_; // an added cell's, made once the root element has declared the prefixes
    bool inTable_ = false, inRow_ = false, inCell_ = false, stylesAdded_ = false;
    bool columnsAdded_ = false, columnsSeen_ = false, chosenEnded_ = false;
    int inP_ = 0, hidden_ = 0, paragraphs_ = 0;
    // The row being read.
    std::string arena_, text_, value_, type_, cellStyle_, lastStyle_;
    std::vector<std::pair<std::size_t, std::size_t>> cells_;
    std::vector<Span> spans_;
    Record record_;
    Span cell_, column_;
    std::uint64_t nextColumn_ = 0, rowNumber_ = 0, rowRepeat_ = 1, index_ = 0, rowStart_ = 0;
    std::uint64_t stylesAt_ = 0;
    // The write pass.
    RowRules* rules_ = nullptr;
    std::optional<XmlCopy> copy_;
    std::uint64_t first_ = 0;
    std::size_t needed_ = 0;
    std::array<std::string, statusCount> statuses_;
};

// The usual prefixes, for a namespace the part does not declare (a writer declares
// only those it uses): the elements added declare it themselves.
const std::array<std::pair<std::string_view, const std::string*>, 5> usualPrefixes = {
    {{"office", &officeNs},
     {"table", &tableNs},
     {"text", &textNs},
     {"style", &styleNs},
     {"fo", &foNs}}};

std::string ContentHandler::name(const std::string& space, std::string_view local) const {
    // Asked for on every row that gains cells: the last few answers are kept.
    for (const auto& [key, answer] : names_)
        if (key.first == &space && key.second == local)
            return answer;
    std::string answer = qualifiedName(space, local);
    names_.push_back({{&space, std::string(local)}, answer});
    return answer;
}

std::string ContentHandler::qualifiedName(const std::string& space, std::string_view local) const {
    for (const auto& [prefix, uri] : prefixes_)
        if (uri == space)
            return prefix.empty() ? std::string(local) : prefix + ":" + std::string(local);
    for (const auto& [prefix, uri] : usualPrefixes)
        if (*uri == space)
            return std::string(prefix) + ":" + std::string(local);
    throw Failure("el contingut del llibre no declara l'espai de noms " + space);
}

// The declarations an added element needs of namespaces the part has not declared.
std::string ContentHandler::undeclared() const {
    std::string declarations;
    for (const auto& usual : usualPrefixes) {
        const std::string& uri = *usual.second;
        if (std::none_of(prefixes_.begin(), prefixes_.end(),
                         [&](const auto& p) { return p.second == uri; }))
            declarations += " xmlns:" + std::string(usual.first) + "=\"" + uri + "\"";
    }
    return declarations;
}

void ContentHandler::writeWith(RowRules& rules, Sink& out, long last, std::size_t needed) {
    rules_ = &rules;
    copy_.emplace(out);
    first_ = static_cast<std::uint64_t>(last + 1);
    needed_ = needed;
    for (std::size_t s = 0; s < statusCount; ++s)
        statuses_[s] = statusText(static_cast<Status>(s));
}

// The root element's declarations, and the names they give.
void ContentHandler::bind(const char** attributes) {
    for (; *attributes != nullptr; attributes += 2) {
        const std::string_view a(attributes[0]);
        if (a == "xmlns")
            prefixes_.emplace_back("", attributes[1]);
        else if (a.starts_with("xmlns:"))
            prefixes_.emplace_back(a.substr(6), attributes[1]);
    }
    q_.emplace([&](const std::string& space, std::string_view local) {
        for (const auto& [prefix, uri] : prefixes_)
            if (uri == space)
                return prefix.empty() ? std::string(local) : prefix + ":" + std::string(local);
        return std::string(); // a namespace the part does not use: nothing of it is read
    });
}

void ContentHandler::start(std::string_view name, const char** attributes) {
    if (!q_)
        bind(attributes);
    if (inCell_) {
        if (name == q_->annotation)
            ++hidden_;
        else if (name == q_->textP && hidden_ == 0 && inP_++ == 0 && paragraphs_++ > 0)
            text_ += '\n';
        else if (name == q_->textS && inP_ > 0 && hidden_ == 0)
            text_.append(count(attribute(attributes, q_->spaces), 1) % 1024, ' ');
        else if (name == q_->textTab && inP_ > 0 && hidden_ == 0)
            text_ += '\t';
        else if (name == q_->textBreak && inP_ > 0 && hidden_ == 0)
            text_ += '\n';
        return;
    }
    if (name == q_->tableTable) {
        startSheet(attributes);
    } else if (!inSheet()) {
        if (pass_ == Pass::write && name == q_->automaticStyles)
            stylesAt_ = xml->at();
        else if (pass_ == Pass::write && name == q_->officeBody && !stylesAdded_) {
            copy_->copyTo(xml->at());
            copy_->add() += "<" + this->name(officeNs, "automatic-styles") + ">";
            addStyles();
            copy_->add() += "</" + this->name(officeNs, "automatic-styles") + ">";
        }
    } else if (name == q_->tableCell || name == q_->coveredCell) {
        if (inRow_)
            startCell(attributes);
    } else if (name == q_->tableRow) {
        if (pass_ == Pass::write)
            copy_->copyTo(xml->at());
        inRow_ = true;
        rowStart_ = xml->at();
        rowRepeat_ = count(attribute(attributes, q_->rowsRepeated), 1);
        nextColumn_ = 0;
        arena_.clear();
        cells_.clear();
        spans_.clear();
        lastStyle_.clear();
    } else if (name == q_->tableColumn) {
        columnsSeen_ = true;
        column_.start = xml->at();
        column_.repeat = count(attribute(attributes, q_->columnsRepeated), 1);
    } else if (pass_ == Pass::write && columnsSeen_ && !columnsAdded_) {
        // The first element after the columns' declarations: rows or their groups.
        copy_->copyTo(xml->at());
        addedColumns();
    }
}

void ContentHandler::startSheet(const char** attributes) {
    const char* n = attribute(attributes, q_->tableName);
    sheets.emplace_back(n == nullptr ? "" : n);
    inTable_ = true;
    if (!chosen && (sheet_.empty() || sheets.back() == sheet_))
        chosen = sheets.size() - 1;
}

void ContentHandler::startCell(const char** attributes) {
    inCell_ = true;
    inP_ = hidden_ = paragraphs_ = 0;
    text_.clear();
    cell_.start = xml->at();
    cell_.column = nextColumn_;
    cell_.repeat = count(attribute(attributes, q_->columnsRepeated), 1);
    nextColumn_ += cell_.repeat;
    const char* type = attribute(attributes, q_->valueType);
    type_ = type == nullptr ? "" : type;
    const char* value = attribute(attributes, q_->officeValue);
    value_ = value == nullptr ? "" : value;
    const char* style = attribute(attributes, q_->styleName);
    cellStyle_ = style == nullptr ? "" : style;
}

// The cell's text as a person sees it: a number as its digits, as the text the
// sheet shows for it when that is its digits with leading zeros.
void ContentHandler::endCell() {
    inCell_ = false;
    cell_.end = xml->at() + xml->size();
    std::string shown = text_;
    if (type_ == "float" || type_ == "percentage" || type_ == "currency") {
        const std::string digits = numberText(value_, 0);
        const bool padded = !text_.empty() && text::allDigits(std::string_view(text_)) &&
                            text_.size() >= digits.size() &&
                            text_.substr(text_.size() - digits.size()) == digits &&
                            text_.find_first_not_of('0') == text_.size() - digits.size();
        shown = padded ? text_ : digits;
    }
    spans_.push_back(cell_);
    if (shown.empty() && type_.empty())
        return;
    if (cell_.column + cell_.repeat > maxColumns)
        throw Failure("el full té més columnes de les que un full pot tenir");
    lastColumn = std::max(lastColumn, static_cast<long>(cell_.column + cell_.repeat - 1));
    if (!cellStyle_.empty())
        lastStyle_ = cellStyle_;
    if (pass_ == Pass::write && cell_.column + cell_.repeat > first_)
        throw WiderThanSampled{};
    for (std::uint64_t k = 0; k < cell_.repeat; ++k) {
        cells_.resize(static_cast<std::size_t>(cell_.column + k), {0, 0});
        cells_.emplace_back(arena_.size(), shown.size());
        arena_ += shown;
    }
}

void ContentHandler::end(std::string_view name) {
    if (inCell_) {
        if (name == q_->annotation)
            --hidden_;
        else if (name == q_->textP && hidden_ == 0)
            --inP_;
        else if (name == q_->tableCell || name == q_->coveredCell)
            endCell();
        return;
    }
    if (name == q_->tableTable) {
        if (pass_ == Pass::write && inSheet() && !columnsAdded_) {
            copy_->copyTo(xml->at());
            addedColumns();
        }
        chosenEnded_ = chosenEnded_ || inSheet();
        inTable_ = false;
    } else if (inSheet() && name == q_->tableRow && inRow_) {
        endRow();
    } else if (inSheet() && name == q_->tableColumn) {
        endColumn();
    } else if (pass_ == Pass::write && name == q_->automaticStyles && !stylesAdded_) {
        if (xml->size() == 0) { // empty: <office:automatic-styles/>
            copy_->copyTo(stylesAt_);
            copy_->skipTo(xml->at());
            copy_->add() += "<" + this->name(officeNs, "automatic-styles") + ">";
            addStyles();
            copy_->add() += "</" + this->name(officeNs, "automatic-styles") + ">";
        } else {
            copy_->copyTo(xml->at());
            addStyles();
        }
    }
    // Nothing outside a row is held longer than its element: the other sheets
    // are copied as they are read.
    if (pass_ == Pass::write && !inRow_)
        copy_->copyTo(xml->at() + xml->size());
}

void ContentHandler::endRow() {
    inRow_ = false;
    record_.cells.clear();
    for (const auto& [at, size] : cells_)
        record_.cells.push_back(std::string_view(arena_).substr(at, size));
    const std::uint64_t index = index_++;
    const std::uint64_t line = rowNumber_ + 1;
    rowNumber_ += rowRepeat_;
    if (pass_ == Pass::scan) {
        if (sample.size() < 1000 && !blankRow(record_))
            sample.add(record_, index, line);
        return;
    }
    if (record_.cells.size() < needed_)
        record_.cells.resize(needed_);
    const Gain gain = rules_->take(record_, line);
    if (gain.kind != Gain::Kind::nothing)
        addCells(gain, xml->at());
}

// A column declaration across the added columns is cut around them.
void ContentHandler::endColumn() {
    column_.end = xml->at() + xml->size();
    column_.column = nextColumn_;
    nextColumn_ += column_.repeat;
    if (pass_ != Pass::write || columnsAdded_ || column_.column + column_.repeat <= first_)
        return;
    copy_->copyTo(column_.start);
    const auto attributeName = name(tableNs, "number-columns-repeated");
    if (column_.column < first_)
        copy_->add() += withRepeat(column_, attributeName, first_ - column_.column);
    addedColumns();
    if (column_.column + column_.repeat > first_ + 6)
        copy_->add() +=
            withRepeat(column_, attributeName, column_.column + column_.repeat - first_ - 6);
    copy_->skipTo(column_.end);
}

// The element's bytes with its count of repeated columns set to n.
std::string ContentHandler::withRepeat(const Span& span, std::string_view attribute,
                                       std::uint64_t n) const {
    std::string bytes(copy_->held(span.start).substr(0, span.end - span.start));
    const std::string key = std::string(attribute) + "=\"";
    const auto at = bytes.find(key);
    const auto tagEnd = bytes.find('>');
    if (at != std::string::npos && at < tagEnd) {
        const auto close = bytes.find('"', at + key.size());
        bytes.replace(at + key.size(), close - at - key.size(), std::to_string(n));
    } else {
        const auto nameEnd = bytes.find_first_of(" \t\r\n/>");
        bytes.insert(nameEnd, " " + key + std::to_string(n) + "\"");
    }
    return bytes;
}

void ContentHandler::addedColumns() {
    if (columnsAdded_)
        return;
    columnsAdded_ = true;
    std::string& out = copy_->add();
    if (nextColumn_ < first_)
        out += "<" + name(tableNs, "table-column") + " " +
               name(tableNs, "number-columns-repeated") + "=\"" +
               std::to_string(first_ - nextColumn_) + "\"/>";
    for (std::size_t k = 0; k < addedWidths.size(); ++k)
        out += "<" + name(tableNs, "table-column") + " " + name(tableNs, "style-name") + "=\"" +
               std::string(columnStyle) + std::to_string(k + 1) + "\"/>";
}

void ContentHandler::addStyles() {
    stylesAdded_ = true;
    std::string& out = copy_->add();
    const std::string style = name(styleNs, "style") + undeclared(),
                      styleName = name(styleNs, "name"), family = name(styleNs, "family");
    for (std::size_t k = 0; k < addedWidths.size(); ++k)
        out += "<" + style + " " + styleName + "=\"" + std::string(columnStyle) +
               std::to_string(k + 1) + "\" " + family + "=\"table-column\"><" +
               name(styleNs, "table-column-properties") + " " + name(styleNs, "column-width") +
               "=\"" + std::string(addedWidths[k]) + "\"/></" + name(styleNs, "style") + ">";
    out += "<" + style + " " + styleName + "=\"" + std::string(failStyle) + "\" " + family +
           "=\"table-cell\"><" + name(styleNs, "table-cell-properties") + " " +
           name(foNs, "background-color") + "=\"#ffc7ce\"/></" + name(styleNs, "style") + ">";
}

// The added cells at the row's first free column: after a short row's padding, or
// in the place of the empty cells repeated across it.
void ContentHandler::addCells(const Gain& gain, std::uint64_t rowEnd) {
    const auto across = std::find_if(spans_.begin(), spans_.end(),
                                     [&](const Span& s) { return s.column + s.repeat > first_; });
    if (tags_.open.empty()) {
        const std::string cell = name(tableNs, "table-cell");
        tags_.open = "<" + cell;
        tags_.style = " " + name(tableNs, "style-name") + "=\"";
        tags_.text = " " + name(officeNs, "value-type") + "=\"string\"><" + name(textNs, "p") + ">";
        tags_.close = "</" + name(textNs, "p") + "></" + cell + ">";
        tags_.repeated = name(tableNs, "number-columns-repeated");
    }
    const std::string& attributeName = tags_.repeated;
    if (across == spans_.end()) {
        copy_->copyTo(rowEnd);
        if (nextColumn_ < first_)
            copy_->add() += tags_.open + " " + attributeName + "=\"" +
                            std::to_string(first_ - nextColumn_) + "\"/>";
    } else {
        copy_->copyTo(across->start);
        if (across->column < first_)
            copy_->add() += withRepeat(*across, attributeName, first_ - across->column);
    }
    if (gain.kind == Gain::Kind::header) {
        std::vector<std::u16string> names(record_.cells.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            decode(record_.cells[i], Encoding::utf8, names[i]);
        std::string text;
        for (const auto& added : addedNames(names)) {
            text.clear();
            encode(added, Encoding::utf8, text);
            addCell(text, lastStyle_);
        }
    } else {
        const AddedCells& cells = *gain.cells;
        addCell(cells.iban, {});
        addCell(cells.paper, {});
        addCell(cells.entity != nullptr ? cells.entity->bicUTF8 : "", {});
        addCell(cells.entity != nullptr ? cells.entity->nomUTF8 : "", {});
        addCell(statuses_[static_cast<std::size_t>(cells.status)],
                cli::correct(cells.status) ? "" : failStyle);
        addCell(cells.suggestion, {});
    }
    if (across != spans_.end()) {
        if (across->column + across->repeat > first_ + 6)
            copy_->add() +=
                withRepeat(*across, attributeName, across->column + across->repeat - first_ - 6);
        copy_->skipTo(across->end);
    }
}

void ContentHandler::addCell(std::string_view text, std::string_view style) {
    std::string& out = copy_->add();
    out += tags_.open;
    if (!style.empty())
        out.append(tags_.style).append(style).append("\"");
    if (text.empty()) {
        out += "/>";
        return;
    }
    out += tags_.text;
    appendEscaped(out, text);
    out += tags_.close;
}

// Reads the part, each piece handed to the handler before the reader, while each()
// says to go on.
template <class Each>
void readContent(ZipReader& zip, const ZipEntry& entry, XmlReader& xml, ContentHandler& handler,
                 Each&& each) {
    ZipReader::Stream input(zip, entry);
    std::string bytes(std::size_t(1) << 16, '\0');
    for (std::uint64_t read = 0;;) {
        const std::size_t n = input.read(bytes.data(), bytes.size());
        read += n;
        handler.arrived(std::string_view(bytes.data(), n));
        xml.feed(std::string_view(bytes.data(), n), n == 0);
        if (!each(read) || n == 0)
            return;
    }
}

} // namespace

Summary convertContent(ZipReader& zip, const ZipEntry& content, ZipWriter& out,
                       const Options& options, const Reporter& reporter, const std::string& file,
                       bool again) {
    // Read whole again, or when small, to name how many sheets it has.
    const bool whole = again || content.size < (std::uint64_t(16) << 20);
    ContentHandler scan(ContentHandler::Pass::scan, options.sheet);
    bool stopped = false;
    {
        XmlReader xml(scan, file, content.name, false);
        scan.xml = &xml;
        readContent(zip, content, xml, scan, [&](std::uint64_t) {
            stopped = !whole && scan.enough();
            return !stopped;
        });
    }
    if (!scan.chosen) {
        if (scan.sheets.empty())
            throw Failure("el llibre no té cap full", file);
        std::string names;
        for (const auto& sheet : scan.sheets)
            names += (names.empty() ? "«" : ", «") + sheet + "»";
        Failure failure("no hi ha cap full «" + options.sheet + "»; els fulls són: " + names, file);
        failure.usage = true;
        throw failure;
    }
    const std::string what =
        "llibre .ods, full «" + scan.sheets[*scan.chosen] + "»" +
        (!options.sheet.empty()   ? ""
         : stopped                ? " (el primer)"
         : scan.sheets.size() > 1 ? " (el primer de " + std::to_string(scan.sheets.size()) + ")"
                                  : "");
    const Layout layout = settleSheet(scan.sample, options, what);
    if (!again) {
        reporter.note(0, layout.description);
        if (reporter.settled)
            reporter.settled(layout);
    }
    if (static_cast<std::uint64_t>(scan.lastColumn + 1 + 6) > maxColumns)
        throw Failure("el full no té lloc per a sis columnes més", file);
    RowRules rules(layout, reporter);
    ContentHandler handler(ContentHandler::Pass::write, options.sheet);
    handler.writeWith(rules, out, scan.lastColumn,
                      *std::max_element(layout.columns.begin(), layout.columns.end()) + 1);
    XmlReader xml(handler, file, content.name, false);
    handler.xml = &xml;
    out.begin(content, content.size > (std::uint64_t(1) << 30));
    readContent(zip, content, xml, handler, [&](std::uint64_t read) {
        if (reporter.progress)
            reporter.progress(handler.rows(), fileShare(content, read));
        return true;
    });
    handler.finish();
    out.end();
    return rules.summary();
}

} // namespace cli
