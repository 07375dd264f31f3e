#include "tools/fwxtool/file_commands.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string_view>

#include "comm/program_image.h"
#include "model/default_texts.h"
#include "model/file_replace.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "model/program_document.h"
#include "shell/document.h"

namespace fw::tool {

OpenedProgram openProgram(const std::string& path, std::ostream& err, const std::string& who) {
    OpenedProgram p;
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    newProgram(*p.model, *defaults);
    p.result = loadProgram(*p.model, *defaults, path);
    switch (p.result.status) {
        case LoadStatus::Ok:
            break;
        case LoadStatus::CannotOpen:
            err << who << ": cannot open '" << path << "'\n";
            break;
        case LoadStatus::FormatMismatch:
            err << who << ": '" << path << "': " << kFormatMismatchMessage << '\n';
            break;
    }
    return p;
}

namespace {

// A text field for a summary line: trailing blanks dropped, anything that is
// not printable written as \xNN.
std::string readableText(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    static const char kHex[] = "0123456789ABCDEF";
    std::string s;
    for (char c : text) {
        const auto b = static_cast<uint8_t>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\' && b != '"') {
            s += c;
        } else if (b == '\\' || b == '"') {
            s += '\\';
            s += c;
        } else {
            s += "\\x";
            s += kHex[b >> 4];
            s += kHex[b & 0x0F];
        }
    }
    return s;
}

bool formInUse(const FormDef& f) {
    for (uint8_t type : f.dataType) {
        if (type != kTypeNil) return true;
    }
    return false;
}

int usedLines(const FormDef& f) {
    int n = 0;
    for (uint8_t type : f.dataType) n += type != kTypeNil ? 1 : 0;
    return n;
}

bool lookupDefined(const LookupDef& l) { return l.memberLength != 0 && l.fieldCount != 0; }

const char* plural(int n, const char* one, const char* many) { return n == 1 ? one : many; }



// Documents are text of a few hundred kilobytes; anything far larger is not
// one, and is refused before it is read into memory.
constexpr std::size_t kMaxDocumentSize = 16u << 20;

enum class ReadStatus { Ok, CannotOpen, TooLarge };

// The whole of a file, or of standard input for "-".
ReadStatus readWhole(const std::string& path, std::string& text) {
    std::istream* in = &std::cin;
    std::ifstream file;
    if (path != "-") {
        file.open(systemPath(path), std::ios::binary);
        if (!file) return ReadStatus::CannotOpen;
        in = &file;
    }
    text.clear();
    char buffer[65536];
    while (*in) {
        in->read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(in->gcount()));
        if (text.size() > kMaxDocumentSize) return ReadStatus::TooLarge;
    }
    if (in->bad()) return ReadStatus::CannotOpen;   // a folder opens but does not read
    return ReadStatus::Ok;
}

bool reportRead(ReadStatus status, const std::string& path, std::ostream& err) {
    switch (status) {
        case ReadStatus::Ok:
            return true;
        case ReadStatus::CannotOpen:
            err << kProgramName << ": cannot open '" << path << "'\n";
            return false;
        case ReadStatus::TooLarge:
            err << kProgramName << ": '" << path << "': larger than "
                << (kMaxDocumentSize >> 20) << " MB, not a program document\n";
            return false;
    }
    return false;
}

}  // namespace

bool readProgramOrDocument(const std::string& path, ProgramModel& m, std::ostream& err) {
    std::string bytes;
    if (!reportRead(readWhole(path, bytes), path, err)) return false;
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (detectFormat(data, bytes.size()) != FileFormat::Unknown) {
        newProgram(m, *defaults);
        if (!loadProgramBytes(m, *defaults, data, bytes.size()).ok()) {
            err << kProgramName << ": '" << path << "': " << kFormatMismatchMessage << '\n';
            return false;
        }
        return true;
    }
    const DocumentImportResult r = importProgramDocument(bytes, *defaults, m);
    if (!r.ok) {
        err << kProgramName << ": '" << path << "': " << r.describe() << '\n';
        return false;
    }
    return true;
}

std::string targetName(TargetCode code) {
    if (code == kTargetMain) return "main";
    if (code <= targetForm(kFormCount)) return "form " + std::to_string(code);
    if (code <= targetMenu(kMenuCount)) return "menu " + std::to_string(code - targetMenu(0));
    return "invalid (" + std::to_string(code) + ")";
}

std::string characterName(uint8_t code) {
    static const char* const kControlNames[32] = {
        "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT", "LF",
        "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
        "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    if (code == 0) return "nil";
    if (code < 0x20) return kControlNames[code];
    if (code == 0x20) return "SP";
    if (code == 0x7F) return "DEL";
    if (code > 0x7F) return std::to_string(code);
    return std::string("\"") + static_cast<char>(code) + "\"";
}

std::string formatName(FileFormat format) {
    switch (format) {
        case FileFormat::Current:
            return "current (K400-1.00)";
        case FileFormat::Older400:
            return "older (K2x-4.00)";
        case FileFormat::Older310:
            return "older (K2x-3.10)";
        case FileFormat::Unknown:
            break;
    }
    return "unknown";
}

void writeSummary(const ProgramModel& m, std::ostream& os) {
    const TerminalSettings& s = m.settings;
    os << "program start: " << (s.startFrom != 0 ? "menu 1" : "form 1") << '\n';
    os << "delimiters: " << characterName(s.delimiter1) << " and " << characterName(s.delimiter2)
       << '\n';
    os << "large font: " << (s.largeFont != 0 ? "on" : "off") << '\n';

    int forms = 0;
    for (const FormDef& f : m.forms) forms += formInUse(f) ? 1 : 0;
    os << "forms in use: " << forms << '\n';
    for (int k = 0; k < kFormCount; ++k) {
        const FormDef& f = m.forms[k];
        if (!formInUse(f)) continue;
        const int lines = usedLines(f);
        os << "  form " << k + 1 << ": " << lines << plural(lines, " line", " lines")
           << ", next " << targetName(f.nextTarget) << ", esc " << targetName(f.escTarget)
           << '\n';
    }

    // Count items as the download does: the same width and blank rules.
    auto normalised = std::make_unique<ProgramModel>(m);
    normaliseForDownload(*normalised);
    int menus = 0;
    for (const MenuDef& menu : normalised->menus) menus += menu.itemCount != 0 ? 1 : 0;
    os << "menus in use: " << menus << '\n';
    for (int k = 0; k < kMenuCount; ++k) {
        const int items = normalised->menus[k].itemCount;
        if (items == 0) continue;
        const MenuDef& menu = m.menus[k];
        os << "  menu " << k + 1 << ": " << items << plural(items, " item", " items") << ", ";
        const std::string caption = readableText(fieldText(menu.caption));
        if (caption.empty()) {
            os << "no caption";
        } else {
            os << "caption \"" << caption << '"';
            if (menu.captionOn == 0) os << " (not shown)";
        }
        os << '\n';
    }

    int lookups = 0;
    for (const LookupDef& l : m.lookups) lookups += lookupDefined(l) ? 1 : 0;
    os << "lookups defined: " << lookups << '\n';
    for (int k = 0; k < kLookupCount; ++k) {
        const LookupDef& l = m.lookups[k];
        if (!lookupDefined(l)) continue;
        os << "  lookup " << k + 1 << ": " << int{l.fieldCount}
           << plural(l.fieldCount, " field", " fields") << ", ";
        if (l.delimiter == 0) {
            os << "fixed length, member length " << int{l.memberLength};
        } else {
            os << "delimiter " << characterName(l.delimiter);
        }
        os << '\n';
    }
}

int commandNew(const std::string& path, std::ostream& out, std::ostream& err) {
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    auto m = std::make_unique<ProgramModel>();
    newProgram(*m, *defaults);
    const std::string name = withProgramExtension(path);
    if (!saveProgram(*m, name)) {
        err << kProgramName << ": cannot write '" << name << "'\n";
        return kExitFailure;
    }
    out << "created " << name << '\n';
    return kExitOk;
}

int commandConvert(const std::string& in, const std::string& outPath, std::ostream& out,
                   std::ostream& err) {
    OpenedProgram p = openProgram(in, err);
    if (!p.result.ok()) return kExitFailure;
    const std::string name = withProgramExtension(outPath);
    if (!saveProgram(*p.model, name)) {
        err << kProgramName << ": cannot write '" << name << "'\n";
        return kExitFailure;
    }
    out << "read " << in << ": " << formatName(p.result.format) << '\n';
    out << "saved " << name << '\n';
    return kExitOk;
}

int commandImage(const std::string& in, const std::string& outPath, std::ostream& out,
                 std::ostream& err) {
    OpenedProgram p = openProgram(in, err);
    if (!p.result.ok()) return kExitFailure;
    normaliseForDownload(*p.model);
    auto image = std::make_unique<ProgramImage>();
    buildProgramImage(*p.model, *image);
    if (!writeFileReplacing(outPath, image->bytes, sizeof image->bytes)) {
        err << kProgramName << ": cannot write '" << outPath << "'\n";
        return kExitFailure;
    }
    out << "wrote " << outPath << " (" << sizeof image->bytes << " bytes, " << kImageBlockCount
        << " blocks)\n";
    return kExitOk;
}

int commandInfo(const std::string& path, std::ostream& out, std::ostream& err) {
    OpenedProgram p = openProgram(path, err);
    if (!p.result.ok()) return kExitFailure;
    out << "format: " << formatName(p.result.format) << '\n';
    writeSummary(*p.model, out);
    return kExitOk;
}

int commandExport(const std::string& in, const std::string& outPath, std::ostream& out,
                  std::ostream& err) {
    OpenedProgram p = openProgram(in, err);
    if (!p.result.ok()) return kExitFailure;
    const std::string text = exportProgramDocument(*p.model);
    if (outPath.empty()) {
        out << text;
        return kExitOk;
    }
    if (!writeFileReplacing(outPath, text.data(), text.size())) {
        err << kProgramName << ": cannot write '" << outPath << "'\n";
        return kExitFailure;
    }
    return kExitOk;
}

int commandImport(const std::string& in, const std::string& outPath, bool strict,
                  std::ostream& out, std::ostream& err) {
    std::string text;
    if (!reportRead(readWhole(in, text), in, err)) return kExitFailure;
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    auto m = std::make_unique<ProgramModel>();
    DocumentImportOptions options;
    options.strict = strict;
    const DocumentImportResult r = importProgramDocument(text, *defaults, *m, options);
    const std::string source = in == "-" ? "standard input" : "'" + in + "'";
    for (const std::string& w : r.warnings)
        err << kProgramName << ": " << source << ": warning: " << w << '\n';
    if (!r.ok) {
        err << kProgramName << ": " << source << ": " << r.describe() << '\n';
        return kExitFailure;
    }
    const std::string name = withProgramExtension(outPath);
    if (!saveProgram(*m, name)) {
        err << kProgramName << ": cannot write '" << name << "'\n";
        return kExitFailure;
    }
    out << "saved " << name << '\n';
    return kExitOk;
}

int commandDiff(const std::string& a, const std::string& b, bool asJson, std::ostream& out,
                std::ostream& err) {
    constexpr int kDiffEqual = 0, kDiffDifferent = 1, kDiffTrouble = 2;
    auto ma = std::make_unique<ProgramModel>();
    auto mb = std::make_unique<ProgramModel>();
    if (!readProgramOrDocument(a, *ma, err) || !readProgramOrDocument(b, *mb, err))
        return kDiffTrouble;
    const std::vector<DocumentDifference> differences = diffPrograms(*ma, *mb);
    if (asJson) {
        out << differencesAsJson(differences);
    } else {
        for (const DocumentDifference& d : differences)
            out << d.path << ": " << d.before << " -> " << d.after << '\n';
    }
    return differences.empty() ? kDiffEqual : kDiffDifferent;
}


int handleNew(const ParsedCommand& c, CommandContext& x) {
    return commandNew(c.arguments[0], x.out, x.err);
}

int handleConvert(const ParsedCommand& c, CommandContext& x) {
    return commandConvert(c.arguments[0], c.arguments[1], x.out, x.err);
}

int handleImage(const ParsedCommand& c, CommandContext& x) {
    return commandImage(c.arguments[0], c.arguments[1], x.out, x.err);
}

int handleInfo(const ParsedCommand& c, CommandContext& x) {
    return commandInfo(c.arguments[0], x.out, x.err);
}

int handleExport(const ParsedCommand& c, CommandContext& x) {
    return commandExport(c.arguments[0], c.value("--output"), x.out, x.err);
}

int handleImport(const ParsedCommand& c, CommandContext& x) {
    return commandImport(c.arguments[0], c.arguments[1], c.has("--strict"), x.out, x.err);
}

int handleDiff(const ParsedCommand& c, CommandContext& x) {
    return commandDiff(c.arguments[0], c.arguments[1], c.has("--json"), x.out, x.err);
}

}  // namespace fw::tool
