// expat's callbacks turned into XmlReader's handler calls. Nothing may be thrown
// through expat's C frames: a handler's exception is kept, the parser stopped,
// and the exception thrown again once expat has returned.

#include "cli/xml.h"

#include "cli/failure.h"

#include <expat.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace cli {

namespace {

constexpr char separator = ' ';

XML_Parser parser(void* p) {
    return static_cast<XML_Parser>(p);
}

// "namespace local prefix" without its prefix.
std::string_view withoutPrefix(std::string_view name) {
    const auto first = name.find(separator);
    if (first == std::string_view::npos)
        return name;
    const auto second = name.find(separator, first + 1);
    return second == std::string_view::npos ? name : name.substr(0, second);
}

} // namespace

struct XmlCalls {
    static XmlReader& of(void* data) { return *static_cast<XmlReader*>(data); }

    template <class Call> static void guarded(XmlReader& r, Call&& call) {
        if (r.error_)
            return;
        try {
            call();
        } catch (...) {
            r.error_ = std::current_exception();
            XML_StopParser(parser(r.parser_), XML_FALSE);
        }
    }
    static void splitName(XmlReader& r, const char* name) {
        const std::string_view full(name);
        if (!r.namespaces_) {
            r.name_ = full;
            return;
        }
        const auto first = full.find(separator);
        const auto second =
            first == std::string_view::npos ? first : full.find(separator, first + 1);
        r.prefix_ = second == std::string_view::npos ? "" : full.substr(second + 1);
        r.name_ = withoutPrefix(full);
    }
    static void XMLCALL start(void* data, const char* name, const char** attributes) {
        XmlReader& r = of(data);
        guarded(r, [&] {
            splitName(r, name);
            r.handler_.start(r.name_, attributes);
        });
    }
    static void XMLCALL end(void* data, const char* name) {
        XmlReader& r = of(data);
        guarded(r, [&] {
            splitName(r, name);
            r.handler_.end(r.name_);
        });
    }
    static void XMLCALL text(void* data, const char* s, int len) {
        XmlReader& r = of(data);
        guarded(r, [&] { r.handler_.text(std::string_view(s, static_cast<std::size_t>(len))); });
    }
    static void XMLCALL space(void* data, const char* prefix, const char* uri) {
        XmlReader& r = of(data);
        guarded(r, [&] {
            r.handler_.space(prefix == nullptr ? "" : prefix, uri == nullptr ? "" : uri);
        });
    }
    static void XMLCALL doctype(void* data, const char*, const char*, const char*, int) {
        XmlReader& r = of(data);
        r.refusal_ = "declara un tipus de document (DTD), que no es llegeix mai";
        XML_StopParser(parser(r.parser_), XML_FALSE);
    }
    static void XMLCALL entity(void* data, const char*, int, const char*, int, const char*,
                               const char*, const char*, const char*) {
        XmlReader& r = of(data);
        r.refusal_ = "declara entitats, que no s'expandeixen mai";
        XML_StopParser(parser(r.parser_), XML_FALSE);
    }
};

XmlReader::XmlReader(Handler& handler, std::string file, std::string part, bool namespaces)
    : parser_(namespaces ? XML_ParserCreateNS("UTF-8", separator) : XML_ParserCreate("UTF-8")),
      handler_(handler), file_(std::move(file)), part_(std::move(part)), namespaces_(namespaces) {
    if (parser_ == nullptr)
        throw Failure("no hi ha prou memòria per llegir " + part_, file_);
    XML_Parser p = parser(parser_);
    if (namespaces)
        XML_SetReturnNSTriplet(p, XML_TRUE);
    XML_SetUserData(p, this);
    XML_SetElementHandler(p, XmlCalls::start, XmlCalls::end);
    XML_SetCharacterDataHandler(p, XmlCalls::text);
    XML_SetStartNamespaceDeclHandler(p, XmlCalls::space);
    XML_SetStartDoctypeDeclHandler(p, XmlCalls::doctype);
    XML_SetEntityDeclHandler(p, XmlCalls::entity);
    // No external entity is ever read, not even the DTD's.
    XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlReader::~XmlReader() {
    XML_ParserFree(parser(parser_));
}

void XmlReader::feed(std::string_view bytes, bool last) {
    XML_Parser p = parser(parser_);
    while (!bytes.empty() || last) {
        const auto n = static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 30));
        const bool final = last && static_cast<std::size_t>(n) == bytes.size();
        const XML_Status status = XML_Parse(p, bytes.data(), n, final);
        if (error_)
            std::rethrow_exception(error_);
        if (!refusal_.empty())
            throw Failure("la part " + part_ + " " + refusal_, file_);
        if (status != XML_STATUS_OK) {
            // expat's own words are English: the line says where.
            throw Failure("la part " + part_ + " no és XML ben format en UTF-8 (línia " +
                              std::to_string(XML_GetCurrentLineNumber(p)) + ")",
                          file_);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        if (final)
            break;
    }
}

std::string_view XmlReader::prefix() const {
    if (namespaces_)
        return prefix_;
    const auto colon = name_.find(':');
    return colon == std::string_view::npos ? "" : name_.substr(0, colon);
}

std::uint64_t XmlReader::at() const {
    return static_cast<std::uint64_t>(XML_GetCurrentByteIndex(parser(parser_)));
}

std::size_t XmlReader::size() const {
    return static_cast<std::size_t>(XML_GetCurrentByteCount(parser(parser_)));
}

void XmlCopy::arrived(std::string_view bytes) {
    if (used_ > 0) {
        pending_.erase(0, used_);
        base_ += used_;
        used_ = 0;
    }
    pending_ += bytes;
}

void XmlCopy::copyTo(std::uint64_t at) {
    if (at <= base_ + used_)
        return;
    const auto n = static_cast<std::size_t>(at - base_) - used_;
    added_.append(pending_, used_, n);
    used_ += n;
    flush(false);
}

void XmlCopy::flush(bool always) {
    // Written out in big blocks.
    if (added_.size() >= (std::size_t(1) << 20) || always) {
        out_.write(added_);
        added_.clear();
    }
}

void XmlCopy::finish() {
    added_.append(pending_, used_);
    pending_.clear();
    used_ = 0;
    flush(true);
}

const char* attribute(const char** attributes, std::string_view name) {
    // Compared in place, without measuring each name first: it is name, or with
    // namespaces name and the attribute's prefix after a blank.
    const bool spaced = name.find(separator) != std::string_view::npos;
    for (; *attributes != nullptr; attributes += 2) {
        const char* a = *attributes;
        std::size_t i = 0;
        while (i < name.size() && a[i] == name[i])
            ++i;
        if (i == name.size() && (a[i] == '\0' || (spaced && a[i] == separator)))
            return attributes[1];
    }
    return nullptr;
}

// The characters escaped, looked up rather than compared one by one.
constexpr std::array<bool, 256> escaped = [] {
    std::array<bool, 256> table{};
    for (const unsigned char c : {'&', '<', '>', '"'})
        table[c] = true;
    return table;
}();

void appendEscaped(std::string& out, std::string_view utf8) {
    // Nearly every text has nothing to escape.
    if (std::none_of(utf8.begin(), utf8.end(),
                     [](char c) { return escaped[static_cast<unsigned char>(c)]; })) {
        out += utf8;
        return;
    }
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

} // namespace cli
