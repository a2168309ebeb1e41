// The added cells of one row: the account read from its cell (or four cells) and
// checked by the core (core/comprovacio.h), its IBAN written electronic and on
// paper, the entity's BIC and name taken from the compiled-in directory, and the
// status, all encoded and quoted for the output.

#include "cli/account.h"

#include "core/entitats.h"
#include "core/text.h"

#include <algorithm>

namespace cli {

namespace {

bool ascii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// An IBAN's characters are capitals and digits, the same bytes in either encoding.
std::size_t copyIban(std::u16string_view iban, char* out) {
    std::copy(iban.begin(), iban.end(), out);
    return iban.size();
}

} // namespace

std::string statusText(Status s) {
    std::string text;
    encode(statusText16(s), Encoding::utf8, text);
    return text;
}

Converter::Converter(const Layout& layout)
    : encoding_(layout.decoding.encoding),
      // A list gains its cells after a tab, which any spreadsheet splits on.
      separator_(layout.format == Format::csv ? layout.separator : '\t'), columns_(layout.columns),
      needed_(*std::max_element(columns_.begin(), columns_.end()) + 1),
      entityCells_(mdlFuncions::entitatsDirectori().size()) {
    quoteAll(false);
}

void Converter::quoteAll(bool quote) {
    quoteAll_ = quote;
    for (auto& cells : entityCells_)
        cells.clear();
    for (auto& cell : statusCells_)
        cell.clear();
    noEntity_.clear();
    cell(noEntity_, {});
    cell(noEntity_, {});
}

std::string_view Converter::header(const std::vector<std::string_view>& cells) {
    std::vector<std::u16string> names(cells.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        decode(cells[i], encoding_, names[i]);
    header_.clear();
    std::string encoded;
    for (const auto& name : addedNames(names)) {
        encoded.clear();
        encode(name, encoding_, encoded);
        cell(header_, encoded);
    }
    return header_;
}

const AddedCells& Converter::row(const Record& record) {
    if (record.tooLong)
        return cells(Status::tooLong, {}, nullptr, {});
    if (record.unclosedQuote)
        return cells(Status::unclosedQuote, {}, nullptr, {});
    if (record.cells.size() < needed_)
        return cells(Status::missingColumns, {}, nullptr, {});
    if (columns_.size() == 1)
        readCell(record.cells[columns_[0]]);
    else
        readFour(record);
    const mdlFuncions::Comprovacio& c = check_;
    return cells(cli::status(c.estat), c.iban(), c.entitat, c.suggeriment.iban());
}

void Converter::readCell(std::string_view cell) {
    // Nearly every cell is ASCII, the same in both encodings, and is read as it
    // stands; only one that is not an account that way and holds other bytes is
    // decoded and read again.
    mdlFuncions::comprovarCompte(cell, check_);
    if (check_.estat == mdlFuncions::Estat::noCompte && !ascii(cell)) {
        decode(cell, encoding_, text_);
        mdlFuncions::comprovarCompte(text_, check_);
    }
}

void Converter::readFour(const Record& record) {
    for (std::size_t i = 0; i < four_.size(); ++i)
        decode(record.cells[columns_[i]], encoding_, four_[i]);
    mdlFuncions::comprovarCamps({four_[0], four_[1], four_[2], four_[3]}, check_);
}

const AddedCells& Converter::cells(Status status, std::u16string_view iban,
                                   const mdlFuncions::Entitat* entity,
                                   std::u16string_view suggestion) {
    // The paper form is made from the bytes of the electronic one.
    std::string_view electronic;
    iban_.write(separator_, quoteAll_, [&](char* at) {
        electronic = {at, copyIban(iban, at)};
        return electronic.size();
    });
    paper_.write(separator_, quoteAll_,
                 [&](char* at) { return mdlFuncions::formatPaper(electronic, at); });
    suggestion_.write(separator_, quoteAll_, [&](char* at) {
        char bytes[mdlFuncions::midaMaximaIBAN];
        return mdlFuncions::formatPaper(std::string_view(bytes, copyIban(suggestion, bytes)), at);
    });
    added_.status = status;
    added_.iban = iban_.text();
    added_.paper = paper_.text();
    added_.suggestion = suggestion_.text();
    added_.entity = entity;
    added_.pieces = {iban_.view(), paper_.view(), entity ? entityCells(*entity) : noEntity_,
                     statusCell(status), suggestion_.view()};
    return added_;
}

const std::string& Converter::entityCells(const mdlFuncions::Entitat& entity) {
    const auto row = static_cast<std::size_t>(&entity - mdlFuncions::entitatsDirectori().data());
    std::string& cells = entityCells_[row];
    if (cells.empty()) {
        std::string text;
        encode(entity.bic, encoding_, text);
        cell(cells, text);
        text.clear();
        encode(entity.nom, encoding_, text);
        cell(cells, text);
    }
    return cells;
}

const std::string& Converter::statusCell(Status status) {
    std::string& cells = statusCells_[static_cast<std::size_t>(status)];
    if (cells.empty()) {
        std::string text;
        encode(statusText16(status), encoding_, text);
        cell(cells, text);
    }
    return cells;
}

void Converter::cell(std::string& out, std::string_view text) const {
    out += separator_;
    appendCell(out, text, separator_, quoteAll_);
}

} // namespace cli
