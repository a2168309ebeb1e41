// A text checked as an account: read (llegirCompteOIBAN), then a domestic account
// or a Spanish IBAN has its control digits and check digits tested and its entity
// found, another country's IBAN is checked against the registry and its national
// check, and an account that fails is handed to the one-typo suggestion. Why a text
// fails is set where it is found, so that nothing is read twice to say it.

#include "core/comprovacio.h"

#include "core/ccc.h"
#include "core/text.h"

#include <algorithm>

namespace mdlFuncions {

namespace {

void escriureIBAN(std::u16string_view iban, Comprovacio& c) {
    c.mida = static_cast<std::uint8_t>(std::min(iban.size(), c.caracters.size()));
    std::copy_n(iban.begin(), c.mida, c.caracters.begin());
}

// 20 digits, and the two check digits of the IBAN they came in (empty when bare).
void comprovarEspanyol(std::u16string_view ccc, std::u16string_view digitsIBAN, Comprovacio& c,
                       bool suggerir) {
    if (!validarCCC(ccc)) {
        // validarCCC refuses the all-zero account, whose control digits agree.
        if (ccc.find_first_not_of(u'0') == std::u16string_view::npos) {
            c.estat = Estat::totZeros;
            c.defecte = Defecte::component;
            return;
        }
        c.estat = Estat::digitsControlIncorrectes;
        c.defecte = Defecte::digits;
        if (suggerir)
            suggerirCompte(ccc, digitsIBAN, c.suggeriment);
        return;
    }
    const std::u16string digits = calcularDigitsIBAN(ccc, paisEspanya);
    // Two digits each, compared in place: a call per row otherwise.
    if (!digitsIBAN.empty() && (digitsIBAN[0] != digits[0] || digitsIBAN[1] != digits[1])) {
        c.estat = Estat::digitsIBANIncorrectes;
        c.defecte = Defecte::digits;
        if (suggerir)
            suggerirCompte(ccc, digitsIBAN, c.suggeriment);
        return;
    }
    std::copy(paisEspanya.begin(), paisEspanya.end(), c.caracters.begin());
    std::copy(digits.begin(), digits.end(), c.caracters.begin() + paisEspanya.size());
    std::copy(ccc.begin(), ccc.end(), c.caracters.begin() + prefixIBAN);
    c.mida = static_cast<std::uint8_t>(prefixIBAN + digitsCCC);
    c.entitat = cercarEntitat(codiEntitat(ccc));
    c.estat = c.entitat ? Estat::correcte : Estat::entitatDesconeguda;
    c.defecte = Defecte::cap;
}

void comprovarEstranger(std::u16string_view iban, Comprovacio& c, bool suggerir) {
    switch (validarIBAN(iban)) {
    case ValidesaIBAN::valid:
        escriureIBAN(iban, c);
        c.estat = Estat::estrangerCorrecte;
        c.defecte = Defecte::cap;
        return;
    case ValidesaIBAN::digitsNacionals:
        // Well formed: its IBAN is written, though it is no right account.
        escriureIBAN(iban, c);
        c.estat = Estat::digitsNacionalsIncorrectes;
        c.defecte = Defecte::digits;
        return;
    case ValidesaIBAN::digitsIncorrectes:
        c.estat = Estat::digitsIBANIncorrectes;
        c.defecte = Defecte::digits;
        if (suggerir)
            suggerirIBAN(iban, c.suggeriment);
        return;
    case ValidesaIBAN::llargada:
        c.estat = Estat::estrangerMalFormat;
        c.defecte = Defecte::llargada;
        return;
    case ValidesaIBAN::malFormat:
        c.estat = Estat::estrangerMalFormat;
        c.defecte = Defecte::format;
        return;
    case ValidesaIBAN::paisDesconegut:
        c.estat = Estat::noCompte;
        c.defecte = Defecte::component;
        return;
    }
}

// Only what every status sets is cleared: the characters are read up to mida.
void netejar(Comprovacio& c) {
    c.mida = 0;
    c.entitat = nullptr;
    c.suggeriment.candidats = 0;
}

template <class Text> void comprovar(const Text& text, Comprovacio& c, bool suggerir = true) {
    netejar(c);
    const Lectura lectura = llegirCompteOIBAN(text);
    switch (lectura.tipus) {
    case Lectura::Tipus::res:
        if (text::allBlank(text)) {
            c.estat = Estat::senseCompte;
            c.defecte = Defecte::llargada;
        } else if (nombreCientific(text)) {
            c.estat = Estat::notacioCientifica;
            c.defecte = Defecte::format;
        } else {
            c.estat = Estat::noCompte;
            c.defecte = lectura.defecte;
        }
        break;
    case Lectura::Tipus::ibanEstranger:
        comprovarEstranger(lectura.text(), c, suggerir);
        break;
    default:
        comprovarEspanyol(lectura.ccc(), lectura.digitsIBAN(), c, suggerir);
        break;
    }
}

} // namespace

void comprovarCompte(std::u16string_view text, Comprovacio& c) {
    comprovar(text, c);
}

void comprovarCompte(std::string_view ascii, Comprovacio& c) {
    comprovar(ascii, c);
}

void comprovarCompte(text::Utf8 utf8, Comprovacio& c, bool suggerir) {
    comprovar(utf8, c, suggerir);
}

void comprovarCamps(const std::array<std::u16string_view, 4>& camps, Comprovacio& c) {
    std::array<char16_t, digitsCCC> ccc{};
    bool buits = true, xifres = true;
    for (std::size_t k = 0; k < camps.size(); ++k) {
        const std::u16string_view camp = text::trimBlanks(camps[k]);
        buits = buits && camp.empty();
        xifres = xifres && camp.size() == campsCCC[k].mida;
        for (std::size_t i = 0; xifres && i < camp.size(); ++i) {
            const char16_t c = text::fromFullWidth(camp[i]);
            xifres = text::isDigit(c);
            ccc[campsCCC[k].inici + i] = c;
        }
    }
    netejar(c);
    if (!xifres) {
        c.estat = buits ? Estat::senseCompte : Estat::noCompte;
        c.defecte = buits ? Defecte::llargada : Defecte::format;
    } else {
        comprovarEspanyol({ccc.data(), ccc.size()}, {}, c, true);
    }
}

} // namespace mdlFuncions
