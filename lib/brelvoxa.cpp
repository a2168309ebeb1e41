// The C interface over the core: brv_check is comprovarCompte on the UTF-8 bytes,
// its results written as NUL-terminated UTF-8. Nothing here decides anything about
// an account; the statuses are brelvoxa's (cli/status.h: the core's, and those of a
// row it cannot read) and the faults the core's, renumbered for C.

#include "brelvoxa.h"

#include "brelvoxa/version.h"
#include "cli/status.h"
#include "core/comprovacio.h"
#include "core/compte.h"
#include "core/entitats.h"
#include "core/registre_iban.h"
#include "core/text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace {

using mdlFuncions::Defecte;
using mdlFuncions::Estat;

// Each core status's C value. Written as a switch so that a status added to the
// core is an unhandled case (-Wswitch, an error here) until it gets its C value.
constexpr brv_status estatC(Estat e) {
    switch (e) {
    case Estat::correcte:
        return BRV_CORRECT;
    case Estat::entitatDesconeguda:
        return BRV_UNKNOWN_ENTITY;
    case Estat::estrangerCorrecte:
        return BRV_FOREIGN_CORRECT;
    case Estat::digitsControlIncorrectes:
        return BRV_WRONG_CONTROL_DIGITS;
    case Estat::digitsIBANIncorrectes:
        return BRV_WRONG_IBAN_DIGITS;
    case Estat::digitsNacionalsIncorrectes:
        return BRV_WRONG_NATIONAL_DIGITS;
    case Estat::estrangerMalFormat:
        return BRV_FOREIGN_MALFORMED;
    case Estat::totZeros:
        return BRV_ALL_ZEROS;
    case Estat::noCompte:
        return BRV_NOT_AN_ACCOUNT;
    case Estat::notacioCientifica:
        return BRV_SCIENTIFIC_NOTATION;
    case Estat::senseCompte:
        return BRV_NO_ACCOUNT;
    }
    return BRV_STATUS_COUNT;
}

// And each of brelvoxa's, the rows it cannot read after the core's.
constexpr brv_status estatC(cli::Status s) {
    switch (s) {
    case cli::Status::unclosedQuote:
        return BRV_UNCLOSED_QUOTE;
    case cli::Status::missingColumns:
        return BRV_MISSING_COLUMNS;
    case cli::Status::tooLong:
        return BRV_TOO_LONG;
    }
    return estatC(static_cast<Estat>(s));
}

constexpr brv_fault defecteC(Defecte d) {
    switch (d) {
    case Defecte::cap:
        return BRV_FAULT_NONE;
    case Defecte::llargada:
        return BRV_FAULT_LENGTH;
    case Defecte::format:
        return BRV_FAULT_FORMAT;
    case Defecte::digits:
        return BRV_FAULT_CHECKSUM;
    case Defecte::component:
        return BRV_FAULT_COMPONENT;
    }
    return BRV_FAULT_COUNT;
}

// brelvoxa's status for each C value: the inverse of estatC, which must therefore
// give every C value exactly once.
constexpr std::array<cli::Status, BRV_STATUS_COUNT> estatsCore = [] {
    std::array<cli::Status, BRV_STATUS_COUNT> t{};
    std::array<bool, BRV_STATUS_COUNT> vist{};
    for (std::size_t i = 0; i < cli::statusCount; ++i) {
        const auto e = static_cast<cli::Status>(i);
        const brv_status c = estatC(e);
        if (c >= BRV_STATUS_COUNT || vist[c])
            throw "two core statuses share a C value, or one has none";
        vist[c] = true;
        t[c] = e;
    }
    return t;
}();
static_assert(cli::statusCount == BRV_STATUS_COUNT,
              "every status brelvoxa writes has its value in brelvoxa.h, and no other");

// The Catalan texts in UTF-8, made while compiling from the core's, each with its NUL.
constexpr std::size_t midaText = 96;
constexpr std::array<std::array<char, midaText>, BRV_STATUS_COUNT> textosEstat = [] {
    std::array<std::array<char, midaText>, BRV_STATUS_COUNT> t{};
    for (std::size_t s = 0; s < t.size(); ++s) {
        std::size_t n = 0;
        for (const char16_t c : cli::statusText16(estatsCore[s])) {
            if (n + 4 > midaText)
                throw "a status text longer than midaText";
            n += text::toUtf8(c, &t[s][n]);
        }
    }
    return t;
}();

static_assert(BRV_IBAN_SIZE == mdlFuncions::midaMaximaIBAN + 1);
static_assert(BRV_PAPER_SIZE == mdlFuncions::midaPaper(mdlFuncions::midaMaximaIBAN) + 1);

// ASCII white space: space, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool espai(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The caller's bytes without the white space around them (a null pointer with no
// bytes is an empty text). A line as a file gives it, with its "\n" or "\r\n", or a
// cell pasted with its line end, is the account alone; a line end inside a text still
// makes it no account, as in brelvoxa's cells.
text::Utf8 utf8(const char* text, std::size_t len) {
    std::string_view bytes{len == 0 ? "" : text, len};
    while (!bytes.empty() && espai(bytes.front()))
        bytes.remove_prefix(1);
    while (!bytes.empty() && espai(bytes.back()))
        bytes.remove_suffix(1);
    return text::Utf8(bytes);
}

// An IBAN's characters (ASCII capitals and digits) with a NUL. The caller's array
// can alias nothing the characters come from (__restrict), which lets them be
// narrowed and copied many at a time; the bound, which no IBAN reaches, tells the
// compiler that they fit.
std::size_t escriure(std::u16string_view iban, char* __restrict electronic) {
    const std::size_t mida = std::min<std::size_t>(iban.size(), BRV_IBAN_SIZE - 1);
    for (std::size_t i = 0; i < mida; ++i)
        electronic[i] = static_cast<char>(iban[i]);
    electronic[mida] = '\0';
    return mida;
}

// The paper form of an IBAN already written electronic, a group of four bytes at a time.
void escriurePaper(const char* __restrict electronic, std::size_t mida, char* __restrict paper) {
    std::size_t i = 0, k = 0;
    for (; i + 4 < mida; i += 4, k += 5) {
        std::memcpy(paper + k, electronic + i, 4);
        paper[k + 4] = ' ';
    }
    std::memcpy(paper + k, electronic + i, mida - i);
    paper[k + mida - i] = '\0';
}

} // namespace

extern "C" {

brv_status brv_check(const char* text, std::size_t len, brv_result* out) {
    // Each call has its own: threads share nothing but the constant tables.
    mdlFuncions::Comprovacio c;
    mdlFuncions::comprovarCompte(utf8(text, len), c);
    out->status = estatC(c.estat);
    escriurePaper(out->iban, escriure(c.iban(), out->iban), out->paper);
    out->bic = c.entitat ? c.entitat->bicUTF8.data() : "";
    out->name = c.entitat ? c.entitat->nomUTF8.data() : "";
    char suggeriment[BRV_IBAN_SIZE];
    escriurePaper(suggeriment, escriure(c.suggeriment.iban(), suggeriment), out->suggestion);
    return out->status;
}

int brv_is_valid(const char* text, std::size_t len) {
    mdlFuncions::Comprovacio c;
    mdlFuncions::comprovarCompte(utf8(text, len), c, false);
    return mdlFuncions::esCorrecte(c.estat);
}

std::size_t brv_compact(const char* text, std::size_t len, char out[BRV_IBAN_SIZE]) {
    const mdlFuncions::Lectura lectura = mdlFuncions::llegirCompteOIBAN(utf8(text, len));
    escriure(lectura.text(), out);
    return lectura.text().size();
}

brv_fault brv_check_fault(const char* text, std::size_t len) {
    mdlFuncions::Comprovacio c;
    mdlFuncions::comprovarCompte(utf8(text, len), c, false);
    return defecteC(c.defecte);
}

int brv_status_is_correct(brv_status status) {
    return status >= 0 && status < BRV_STATUS_COUNT && cli::correct(estatsCore[status]);
}

const char* brv_status_text(brv_status status) {
    return status >= 0 && status < BRV_STATUS_COUNT ? textosEstat[status].data() : "";
}

const char* brv_version(void) {
    return BRELVOXA_VERSION;
}

const char* brv_directory_edition(void) {
    return mdlFuncions::edicioDirectori().data();
}

const char* brv_registry_edition(void) {
    return mdlFuncions::edicioRegistre().data();
}

} // extern "C"
