// A text checked as an account: read (llegirCompteOIBAN), then a domestic account
// or a Spanish IBAN has its control digits and check digits tested and its entity
// found, another country's IBAN is checked against the registry, and a Spanish
// account that fails is handed to the one-typo suggestion.

#include "core/comprovacio.h"

#include "core/ccc.h"
#include "core/registre_iban.h"
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
                       bool suggerir = true) {
    if (!validarCCC(ccc)) {
        // validarCCC refuses the all-zero account, whose control digits agree.
        if (ccc.find_first_not_of(u'0') == std::u16string_view::npos) {
            c.estat = Estat::totZeros;
            return;
        }
        c.estat = Estat::digitsControlIncorrectes;
        if (suggerir)
            suggerirCompte(ccc, digitsIBAN, c.suggeriment);
        return;
    }
    const std::u16string digits = calcularDigitsIBAN(ccc, paisEspanya);
    // Two digits each, compared in place: a call per row otherwise.
    if (!digitsIBAN.empty() && (digitsIBAN[0] != digits[0] || digitsIBAN[1] != digits[1])) {
        c.estat = Estat::digitsIBANIncorrectes;
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
}

void comprovarEstranger(std::u16string_view iban, Comprovacio& c) {
    switch (validarIBAN(iban)) {
    case ValidesaIBAN::valid:
        escriureIBAN(iban, c);
        c.estat = Estat::estrangerCorrecte;
        return;
    case ValidesaIBAN::digitsIncorrectes:
        c.estat = Estat::digitsIBANIncorrectes;
        return;
    case ValidesaIBAN::malFormat:
        c.estat = Estat::estrangerMalFormat;
        return;
    case ValidesaIBAN::paisDesconegut:
        c.estat = Estat::noCompte;
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
        c.estat = text::allBlank(text)    ? Estat::senseCompte
                  : nombreCientific(text) ? Estat::notacioCientifica
                                          : Estat::noCompte;
        break;
    case Lectura::Tipus::ibanEstranger:
        comprovarEstranger(lectura.text(), c);
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

Defecte defecteCompte(text::Utf8 utf8) {
    Comprovacio c;
    comprovar(utf8, c);
    switch (c.estat) {
    case Estat::digitsControlIncorrectes:
    case Estat::digitsIBANIncorrectes:
        return Defecte::digits;
    case Estat::totZeros:
        return Defecte::component;
    case Estat::senseCompte:
        return Defecte::llargada;
    case Estat::estrangerMalFormat: {
        const Lectura lectura = llegirCompteOIBAN(utf8);
        const PaisIBAN* pais = cercarPaisIBAN(lectura.text().substr(0, 2));
        return pais && lectura.text().size() != static_cast<std::size_t>(pais->llargada)
                   ? Defecte::llargada
                   : Defecte::format;
    }
    case Estat::noCompte:
        return defecteLectura(utf8);
    case Estat::notacioCientifica:
        return Defecte::format;
    case Estat::correcte:
    case Estat::entitatDesconeguda:
    case Estat::estrangerCorrecte:
        return Defecte::cap;
    case Estat::cometesSenseTancar:
    case Estat::faltenColumnes:
    case Estat::massaLlarga:
        break;
    }
    return Defecte::format;
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
    if (!xifres)
        c.estat = buits ? Estat::senseCompte : Estat::noCompte;
    else
        comprovarEspanyol({ccc.data(), ccc.size()}, {}, c);
}

} // namespace mdlFuncions
