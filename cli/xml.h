#pragma once
// An XML part of a workbook read as it arrives (expat), each element and text
// handed on with the place of its bytes, so that a writer can copy the part as
// it is and add to it. A document type declaration is refused outright: no
// entity is ever declared, expanded or fetched. Names come as "namespace local",
// the namespace's URI, one blank, the local name; their prefix is kept apart.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace cli {

class XmlReader {
public:
    class Handler {
    public:
        virtual ~Handler() = default;
        // attributes: name, value, name, value..., then nullptr; names as elements'.
        virtual void start(std::string_view name, const char** attributes) = 0;
        virtual void end(std::string_view name) = 0;
        virtual void text(std::string_view utf8) = 0;
    };

    // part names the part in messages, file the file.
    XmlReader(Handler& handler, std::string file, std::string part);
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    // The next piece of the part; last for its end. Throws Failure when the part
    // is no well-formed XML, declares a document type, or is not in UTF-8; or
    // whatever a handler threw.
    void feed(std::string_view bytes, bool last);

    // Within a handler: where the bytes of the event being handled start in the
    // part, and how many they are (0 for the end of an empty element, <a/>).
    std::uint64_t at() const;
    std::size_t size() const;
    // Within a handler: the prefix of the element's name ("" for none).
    std::string_view prefix() const { return prefix_; }

private:
    friend struct XmlCalls;
    void* parser_;
    Handler& handler_;
    std::string file_, part_, refusal_, prefix_, name_;
    std::exception_ptr error_; // a handler's, carried past expat
};

// The local part of a name as XmlReader gives it.
inline std::string_view localName(std::string_view name) {
    const auto blank = name.rfind(' ');
    return blank == std::string_view::npos ? name : name.substr(blank + 1);
}

// The value of the attribute of that name (namespace and local name, or local
// name alone for one without a namespace), or nullptr.
const char* attribute(const char** attributes, std::string_view name);

// Text written as XML character data or an attribute's value, escaped.
void appendEscaped(std::string& out, std::string_view utf8);

} // namespace cli
