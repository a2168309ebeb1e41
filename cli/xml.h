#pragma once
// An XML part of a workbook read as it arrives (expat), each element and text
// handed on with the place of its bytes, so that a writer can copy the part as
// it is and add to it. A document type declaration is refused outright: no
// entity is ever declared, expanded or fetched. Names come as "namespace local",
// the namespace's URI, one blank, the local name; their prefix is kept apart.

#include "cli/input.h"

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
        // A namespace declared, with its prefix ("" for the default one).
        virtual void space(std::string_view, std::string_view) {}
    };

    // part names the part in messages, file the file. Without namespaces, names
    // come as written ("x:row"), which spares expat a lookup on every element: for
    // a worksheet, whose elements are all of one namespace.
    XmlReader(Handler& handler, std::string file, std::string part, bool namespaces = true);
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
    std::string_view prefix() const;

private:
    friend struct XmlCalls;
    void* parser_;
    Handler& handler_;
    std::string file_, part_, refusal_;
    // Of the element being handled, in expat's buffer; without namespaces the
    // prefix is found in the name when it is asked for, seldom.
    std::string_view prefix_, name_;
    std::exception_ptr error_; // a handler's, carried past expat
    bool namespaces_;
};

// A part written as it is read: its bytes copied through to where an event
// stands, with bytes added there or bytes of the part skipped, so that what is
// not changed comes out byte for byte. Holds only the bytes not yet copied.
class XmlCopy {
public:
    explicit XmlCopy(Sink& out) : out_(out) {}
    // Each piece of the part as it arrives, before the reader sees it.
    void arrived(std::string_view bytes);
    // Copies the part up to that place (nothing when it is copied already).
    void copyTo(std::uint64_t at);
    // Leaves out the part's bytes up to that place.
    void skipTo(std::uint64_t at) { used_ = static_cast<std::size_t>(at - base_); }
    // The part's bytes from at, not yet copied, as many as are held.
    std::string_view held(std::uint64_t at) const {
        return std::string_view(pending_).substr(static_cast<std::size_t>(at - base_));
    }
    // Added to the output.
    std::string& add() { return added_; }
    // The rest of the part, and everything written.
    void finish();

private:
    void flush(bool always);
    Sink& out_;
    std::string pending_, added_;
    std::size_t used_ = 0;   // of pending_, already copied or skipped
    std::uint64_t base_ = 0; // where pending_ starts in the part
};

// The local part of a name as XmlReader gives it, with or without namespaces.
inline std::string_view localName(std::string_view name) {
    // By hand: find_last_of calls memchr once a character.
    std::size_t i = name.size();
    while (i > 0 && name[i - 1] != ' ' && name[i - 1] != ':')
        --i;
    return name.substr(i);
}

// The value of the attribute of that name (namespace and local name, or local
// name alone for one without a namespace), or nullptr.
const char* attribute(const char** attributes, std::string_view name);

// Text written as XML character data or an attribute's value, escaped.
void appendEscaped(std::string& out, std::string_view utf8);

} // namespace cli
