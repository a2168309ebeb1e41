// A workbook known by its content and taken apart: the package's list of content
// types names the workbook part, whose relationships name its sheets, shared
// strings and styles. The sheet is converted; every other part is copied as it
// was stored, in the order the package had.

#include "cli/workbook.h"

#include "cli/failure.h"
#include "cli/ods.h"
#include "cli/xlsx.h"
#include "cli/xml.h"
#include "cli/zip.h"

#include <algorithm>
#include <cstring>

namespace cli {

namespace {

constexpr std::string_view zipMark = "PK\x03\x04";
constexpr std::string_view oleMark = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
// The small parts read whole (a package's lists, a workbook's sheets, its styles).
constexpr std::uint64_t smallPart = std::uint64_t(64) << 20;

// A part's name as the package stores it, from a name in a list of content types
// ("/xl/workbook.xml") or a relationship's target relative to a folder.
std::string partName(std::string_view folder, std::string_view target) {
    std::string path = target.starts_with('/') ? std::string(target.substr(1))
                                               : std::string(folder) + std::string(target);
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= path.size();) {
        const auto slash = std::min(path.find('/', from), path.size());
        const std::string part = path.substr(from, slash - from);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        from = slash + 1;
    }
    std::string name;
    for (const auto& part : parts)
        name += (name.empty() ? "" : "/") + part;
    return name;
}

// Calls each(element's local name, attributes) for every element of a small part.
template <class Each>
void eachElement(ZipReader& zip, const ZipEntry& entry, const std::string& file, Each&& each) {
    struct Handler : XmlReader::Handler {
        Each& each;
        explicit Handler(Each& e) : each(e) {}
        void start(std::string_view name, const char** attributes) override {
            each(localName(name), attributes);
        }
        void end(std::string_view) override {}
        void text(std::string_view) override {}
    } handler(each);
    XmlReader xml(handler, file, entry.name);
    xml.feed(zip.whole(entry, smallPart), true);
}

struct Sheet {
    std::string name, part;
};

// The parts of an .xlsx package brelvoxa needs.
struct Parts {
    std::string workbook, strings, styles;
    std::vector<Sheet> sheets;
};

const ZipEntry& entryOf(ZipReader& zip, const std::string& name, const std::string& file) {
    const ZipEntry* entry = zip.find(name);
    if (entry == nullptr)
        throw Failure("el llibre no té la part " + name, file);
    return *entry;
}

// The workbook part, as the package's list of content types names it.
std::string workbookPart(ZipReader& zip, const std::string& file) {
    const ZipEntry* types = zip.find("[Content_Types].xml");
    if (types == nullptr) {
        throw Failure("és un fitxer zip, però no un llibre .xlsx ni .ods", file);
    }
    std::string workbook;
    bool binary = false;
    eachElement(zip, *types, file, [&](std::string_view local, const char** attributes) {
        const char* part = attribute(attributes, "PartName");
        const char* type = attribute(attributes, "ContentType");
        if (local != "Override" || part == nullptr || type == nullptr || !workbook.empty())
            return;
        const std::string_view t(type);
        if (t.ends_with(".main+xml") &&
            (t.find("spreadsheetml") != t.npos || t.find("ms-excel") != t.npos))
            workbook = partName("", part);
        binary = binary || t == "application/vnd.ms-excel.sheet.binary.macroEnabled.main";
    });
    if (workbook.empty())
        throw Failure(binary ? "és un llibre binari (.xlsb), que no es llegeix: deseu-lo com a "
                               ".xlsx o .ods"
                             : "és un paquet d'Office, però no un llibre de full de càlcul",
                      file);
    return workbook;
}

Parts xlsxParts(ZipReader& zip, const std::string& file) {
    Parts parts;
    parts.workbook = workbookPart(zip, file);
    const auto slash = parts.workbook.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "" : parts.workbook.substr(0, slash + 1);
    std::vector<std::pair<std::string, std::string>> sheetIds; // name, relationship
    eachElement(zip, entryOf(zip, parts.workbook, file), file,
                [&](std::string_view local, const char** attributes) {
                    const char* name = attribute(attributes, "name");
                    const char* id = attribute(
                        attributes,
                        "http://schemas.openxmlformats.org/officeDocument/2006/relationships id");
                    if (id == nullptr)
                        id = attribute(attributes, "http://purl.oclc.org/ooxml/officeDocument/"
                                                   "relationships id");
                    if (local == "sheet" && name != nullptr && id != nullptr)
                        sheetIds.emplace_back(name, id);
                });
    std::vector<std::pair<std::string, std::string>> targets; // relationship, part
    const std::string rels = folder + "_rels/" +
                             parts.workbook.substr(slash == std::string::npos ? 0 : slash + 1) +
                             ".rels";
    eachElement(zip, entryOf(zip, rels, file), file,
                [&](std::string_view local, const char** attributes) {
                    const char* id = attribute(attributes, "Id");
                    const char* target = attribute(attributes, "Target");
                    const char* type = attribute(attributes, "Type");
                    const char* mode = attribute(attributes, "TargetMode");
                    if (local != "Relationship" || id == nullptr || target == nullptr ||
                        type == nullptr || (mode != nullptr && std::strcmp(mode, "External") == 0))
                        return;
                    const std::string part = partName(folder, target);
                    const std::string_view t(type);
                    if (t.ends_with("/sharedStrings"))
                        parts.strings = part;
                    else if (t.ends_with("/styles"))
                        parts.styles = part;
                    targets.emplace_back(id, part);
                });
    for (const auto& [name, id] : sheetIds)
        for (const auto& [rel, part] : targets)
            if (rel == id)
                parts.sheets.push_back({name, part});
    if (parts.sheets.empty())
        throw Failure("el llibre no té cap full", file);
    return parts;
}

// The sheet options.sheet names, or the first; an unknown name is a usage error
// that lists the sheets there are.
const Sheet& chosenSheet(const Parts& parts, const Options& options, const std::string& file) {
    if (options.sheet.empty())
        return parts.sheets.front();
    for (const auto& sheet : parts.sheets)
        if (sheet.name == options.sheet)
            return sheet;
    std::string names;
    for (const auto& sheet : parts.sheets)
        names += (names.empty() ? "«" : ", «") + sheet.name + "»";
    Failure failure("no hi ha cap full «" + options.sheet + "»; els fulls són: " + names, file);
    failure.usage = true;
    throw failure;
}

} // namespace

Container containerOf(std::string_view head) {
    if (head.starts_with(zipMark))
        return Container::zip;
    if (head.starts_with(oleMark))
        return Container::ole;
    return Container::text;
}

void refuseOle(std::string_view bytes) {
    // The streams of an encrypted Office document, in its directory's UTF-16 names.
    constexpr char16_t encrypted[] = u"EncryptedPackage";
    std::string name;
    for (const char16_t c : std::u16string_view(encrypted)) {
        name += static_cast<char>(c);
        name += '\0';
    }
    if (bytes.find(name) != std::string_view::npos)
        throw Failure("és un llibre protegit amb contrasenya, que no es pot llegir: traieu-li "
                      "la contrasenya i deseu-lo com a .xlsx o .ods");
    throw Failure("és un fitxer binari de l'Office antic (un .xls de l'Excel 97-2003, o un "
                  "document protegit amb contrasenya), que no es llegeix: deseu-lo com a .xlsx "
                  "o .ods");
}

namespace {

constexpr std::string_view odsType = "application/vnd.oasis.opendocument.spreadsheet";

// An OpenDocument package names its type in its first entry, stored as it is.
bool isOds(ZipReader& zip) {
    const ZipEntry* mimetype = zip.find("mimetype");
    return mimetype != nullptr && mimetype->size == odsType.size() &&
           zip.whole(*mimetype, odsType.size()) == odsType;
}

Summary convertOds(ZipReader& zip, std::FILE* out, const std::string& outName,
                   const std::string& name, const Options& options, const Reporter& reporter,
                   bool again) {
    const ZipEntry& content = entryOf(zip, "content.xml", name);
    ZipWriter writer(out, outName);
    Summary summary;
    for (const ZipEntry& entry : zip.entries()) {
        if (&entry == &content)
            summary = convertContent(zip, entry, writer, options, reporter, name, again);
        else
            writer.copy(zip, entry);
    }
    writer.close();
    return summary;
}

} // namespace

Summary convertWorkbook(std::FILE* in, const std::string& name, std::FILE* out,
                        const std::string& outName, const Options& options,
                        const Reporter& reporter) {
    ZipReader zip(in, name);
    if (isOds(zip)) {
        const std::uint64_t start = restartAt(out, std::nullopt, outName);
        try {
            return convertOds(zip, out, outName, name, options, reporter, false);
        } catch (const WiderThanSampled&) {
            restartAt(out, start, outName);
            return convertOds(zip, out, outName, name, options, reporter, true);
        }
    }
    const Parts parts = xlsxParts(zip, name);
    const Sheet& sheet = chosenSheet(parts, options, name);
    const ZipEntry& sheetEntry = entryOf(zip, sheet.part, name);
    const SharedStrings strings =
        parts.strings.empty() ? SharedStrings()
                              : readSharedStrings(zip, entryOf(zip, parts.strings, name), name);
    const ZipEntry* stylesEntry = parts.styles.empty() ? nullptr : zip.find(parts.styles);
    const Styles styles = stylesEntry == nullptr ? Styles()
                                                 : readStyles(zip.whole(*stylesEntry, smallPart),
                                                              name, stylesEntry->name);
    const std::string what = "llibre .xlsx, full «" + sheet.name + "»" +
                             (options.sheet.empty() && parts.sheets.size() > 1
                                  ? " (el primer de " + std::to_string(parts.sheets.size()) + ")"
                                  : "");
    ZipWriter writer(out, outName);
    Summary summary;
    for (const ZipEntry& entry : zip.entries()) {
        if (&entry == &sheetEntry) {
            summary =
                convertSheet(zip, entry, strings, styles, writer, options, reporter, name, what);
        } else if (&entry == stylesEntry && !styles.rewritten.empty()) {
            writer.begin(entry, false);
            writer.write(styles.rewritten);
            writer.end();
        } else {
            writer.copy(zip, entry);
        }
    }
    writer.close();
    return summary;
}

} // namespace cli
