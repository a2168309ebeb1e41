// Feeds arbitrary bytes to brelvoxa's workbook conversion: as a whole zip file, or,
// to reach the XML past the zip, as the parts of an .xlsx package (sheet, shared
// strings, styles) or the content of an .ods one, cut apart where two NUL bytes
// stand and packed here. Whatever the bytes, the conversion either fails with a
// Failure or writes a package with the input's entries in the input's order, each
// one but those it converts with the very bytes it had. The sanitizers catch the
// rest.

#include "cli/failure.h"
#include "cli/workbook.h"
#include "cli/zip.h"
#include "fuzz/check.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view types =
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/)"
    R"(vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/></Types>)";
constexpr std::string_view workbook =
    R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
    R"(<sheets><sheet name="F" r:id="a"/></sheets></workbook>)";
constexpr std::string_view rels =
    R"(<Relationships><Relationship Id="a" Type="x/worksheet" Target="s.xml"/>)"
    R"(<Relationship Id="b" Type="x/sharedStrings" Target="t.xml"/>)"
    R"(<Relationship Id="c" Type="x/styles" Target="e.xml"/></Relationships>)";

std::FILE* withBytes(std::string_view bytes) {
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

// A package of these entries, in this order.
std::FILE* package(const std::vector<std::pair<std::string, std::string_view>>& entries) {
    std::FILE* file = std::tmpfile();
    cli::ZipWriter zip(file, "fuzz");
    for (const auto& [name, data] : entries) {
        cli::ZipEntry entry;
        entry.name = name;
        zip.begin(entry, false);
        zip.write(data);
        zip.end();
    }
    zip.close();
    std::rewind(file);
    return file;
}

std::vector<std::string_view> parts(std::string_view data, std::size_t n) {
    std::vector<std::string_view> cut;
    while (cut.size() + 1 < n) {
        const auto at = data.find(std::string_view("\0\0", 2));
        if (at == std::string_view::npos)
            break;
        cut.push_back(data.substr(0, at));
        data.remove_prefix(at + 2);
    }
    cut.push_back(data);
    cut.resize(n);
    return cut;
}

std::vector<cli::ZipEntry> entries(std::FILE* file) {
    std::rewind(file);
    cli::ZipReader zip(file, "fuzz");
    return zip.entries();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view data(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    std::FILE* in = nullptr;
    const int kind = bytes[0] % 3;
    if (kind == 0) {
        in = withBytes(data);
    } else if (kind == 1) {
        const auto p = parts(data, 3);
        in = package({{"[Content_Types].xml", types},
                      {"xl/workbook.xml", workbook},
                      {"xl/_rels/workbook.xml.rels", rels},
                      {"xl/s.xml", p[0]},
                      {"xl/t.xml", p[1]},
                      {"xl/e.xml", p[2]}});
    } else {
        in = package({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                      {"content.xml", data},
                      {"styles.xml", "<x/>"}});
    }
    std::FILE* out = std::tmpfile();
    cli::Options options;
    if (bytes[0] & 4)
        options.column = "1";
    cli::Reporter reporter;
    reporter.note = [](std::uint64_t, std::string_view) {};
    bool converted = false;
    try {
        cli::convertWorkbook(in, "in", out, "out", options, reporter);
        converted = true;
    } catch (const cli::Failure&) {
    }
    if (converted) {
        const auto before = entries(in), after = entries(out);
        CHECK(before.size() == after.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            CHECK(before[i].name == after[i].name);
            const bool changed = before[i].name == "xl/s.xml" || before[i].name == "xl/e.xml" ||
                                 before[i].name == "content.xml" ||
                                 before[i].name.find("sheet") != std::string::npos ||
                                 before[i].name.find("styles") != std::string::npos;
            CHECK(changed ||
                  (before[i].crc == after[i].crc && before[i].compressed == after[i].compressed));
        }
    }
    std::fclose(in);
    std::fclose(out);
    return 0;
}
