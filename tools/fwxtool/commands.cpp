#include "tools/fwxtool/commands.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string_view>

#include "comm/posix/transfer_runner_posix.h"
#include "formwright_version.h"
#include "comm/program_image.h"
#include "comm/serial_link.h"
#include "comm/posix/serial_port_posix.h"
#include "comm/transfer.h"
#include "loader/loader_session.h"
#include "model/default_texts.h"
#include "model/file_replace.h"
#include "model/fixed_text.h"
#include "model/program_defaults.h"
#include "model/program_document.h"
#include "shell/document.h"
#include "resources/text_ids.h"
#include "texts/texts.h"
#include "tools/fwxtool/simulate.h"
#include "tools/fwxtool/station_commands.h"
#include "tools/fwxtool/multi_port_commands.h"

namespace fw::tool {

namespace {

constexpr const char* kProgramName = "fwxtool";

// Open as the designer does it: New first, so that an older file converts
// onto New's defaults, then the file.
struct OpenedProgram {
    std::unique_ptr<ProgramModel> model = std::make_unique<ProgramModel>();
    LoadResult result;
};

OpenedProgram openProgram(const std::string& path, std::ostream& err) {
    OpenedProgram p;
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    newProgram(*p.model, *defaults);
    p.result = loadProgram(*p.model, *defaults, path);
    switch (p.result.status) {
        case LoadStatus::Ok:
            break;
        case LoadStatus::CannotOpen:
            err << kProgramName << ": cannot open '" << path << "'\n";
            break;
        case LoadStatus::FormatMismatch:
            err << kProgramName << ": '" << path << "': " << kFormatMismatchMessage << '\n';
            break;
    }
    return p;
}

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

int usageError(std::ostream& err, const std::string& message) {
    err << kProgramName << ": " << message << "\n";
    err << "Try '" << kProgramName << " --help'.\n";
    return kExitUsage;
}

// The progress of a transfer on the error stream: a bar redrawn in place on
// a terminal, otherwise a line at every tenth of the way (downloads) or every
// hundred records (receive), so that a log stays short.
class ProgressPrinter final : public TransferObserver {
public:
    ProgressPrinter(std::ostream& err, bool bar) : err_(err), bar_(bar) {}
    ~ProgressPrinter() override { finish(); }

    void progress(int position) override {
        if (position == position_) return;
        position_ = position;
        if (bar_) {
            constexpr int kWidth = 40;
            const int filled = position * kWidth / 100;
            err_ << "\rDownloading... [" << std::string(std::size_t(filled), '#')
                 << std::string(std::size_t(kWidth - filled), ' ') << "] " << position << "%"
                 << std::flush;
            drawn_ = true;
        } else if (position / 10 != lastTenth_) {
            lastTenth_ = position / 10;
            err_ << "Downloading... " << position << "%\n";
        }
    }

    void recordCount(int count) override {
        if (bar_) {
            err_ << "\rData received : " << count << std::flush;
            drawn_ = true;
        } else if (count % 100 == 0 && count > 0) {
            err_ << "Data received : " << count << "\n";
        }
    }

    // Ends the bar's line before anything else is printed.
    void finish() {
        if (drawn_) err_ << "\n" << std::flush;
        drawn_ = false;
    }

private:
    std::ostream& err_;
    bool bar_;
    bool drawn_ = false;
    int position_ = -1;
    int lastTenth_ = -1;
};

// The text of a transfer's failure, as the designer shows it.
int transferFailed(std::ostream& err, int result) {
    std::string message = loadText(unsigned(result));
    if (message.empty()) message = "transfer failed (" + std::to_string(result) + ")";
    err << kProgramName << ": " << message << "\n";
    return kExitFailure;
}

DeviceLink deviceLink(const std::string& port, const TransferOptions& options) {
    return DeviceLink{port, options.linkType, options.speedChoice};
}

}  // namespace

// Takes --link and --baud (either "--link X" or "--link=X") out of `args`.
// Returns an empty string, or what is wrong.
std::string takeTransferOptions(std::vector<std::string>& args, TransferOptions& options) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        const bool known = name.rfind("--link", 0) == 0 || name.rfind("--baud", 0) == 0;
        if (!known || (name.size() > 6 && name[6] != '=')) {
            rest.push_back(name);
            continue;
        }
        if (name.size() > 6) {
            value = name.substr(7);
            name.resize(6);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return "option '" + name + "' needs a value";
        }
        if (name == "--link") {
            if (value == "cradle") {
                options.linkType = kLinkCradleIr;
            } else if (value == "irda") {
                options.linkType = kLinkIrda;
            } else if (value == "serial") {
                options.linkType = kLinkOther;
            } else {
                return "unknown link '" + value + "' (cradle, irda or serial)";
            }
        } else {
            int choice = -1;
            for (int c = 0; c < 5; ++c) {
                if (value == std::to_string(kSpeedChoices[c])) choice = c;
            }
            if (choice < 0) return "unknown speed '" + value + "' (115200, 57600, 38400, 19200 or 9600)";
            options.speedChoice = choice;
        }
    }
    args.swap(rest);
    return {};
}

// Takes export's "-o FILE" ("--output FILE", "--output=FILE") out of `args`.
// Returns an empty string, or what is wrong.
std::string takeOutputOption(std::vector<std::string>& args, std::string& path) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--output") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return "option '" + a + "' needs a file name";
            path = args[++i];
        } else if (a.rfind("--output=", 0) == 0 && a.size() > 9) {
            path = a.substr(9);
        } else {
            rest.push_back(a);
        }
    }
    args.swap(rest);
    return {};
}

// Takes the load command's --link and --baud (either "--link X" or
// "--link=X") out of `args`. Returns an empty string, or what is wrong.
std::string takeLoadOptions(std::vector<std::string>& args, LoadOptions& options) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        const bool known = name.rfind("--link", 0) == 0 || name.rfind("--baud", 0) == 0;
        if (!known || (name.size() > 6 && name[6] != '=')) {
            rest.push_back(name);
            continue;
        }
        std::string value;
        if (name.size() > 6) {
            value = name.substr(7);
            name.resize(6);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return "option '" + name + "' needs a value";
        }
        if (name == "--link") {
            if (value == "rs232") {
                options.link = loader::kLinkRs232;
            } else if (value == "cradle") {
                options.link = loader::kLinkCradleIr;
            } else {
                return "unknown link '" + value + "' (rs232 or cradle)";
            }
        } else {
            int choice = -1;
            for (int c = 0; c < 5; ++c) {
                if (value == std::to_string(kSpeedChoices[c])) choice = c;
            }
            if (choice < 0) return "unknown speed '" + value + "' (115200, 57600, 38400, 19200 or 9600)";
            options.speedChoice = choice;
        }
    }
    args.swap(rest);
    return {};
}

namespace {

// What fwx_load shows in its message boxes, on the console: the success on
// `out`, the rest on `err`. Nobody answers the retry question: No.
class ConsoleLoaderUi final : public loader::LoaderUi {
public:
    ConsoleLoaderUi(std::ostream& out, std::ostream& err, bool bar)
        : out_(out), err_(err), printer_(err, bar) {}

    void showMessage(loader::Message message) override {
        printer_.finish();
        if (message == loader::Message::downloadedCompletely) {
            out_ << loader::messageText(message) << '\n';
        } else {
            err_ << kProgramName << ": " << loader::messageText(message) << '\n';
        }
    }
    bool askRetry() override {
        printer_.finish();
        std::string question(loader::kRetryQuestion);
        for (char& c : question) c = c == '\n' ? ' ' : c;
        err_ << kProgramName << ": " << question << " No\n";
        return false;
    }
    void openProgress() override { printer_.progress(0); }
    void setProgress(int position) override { printer_.progress(position); }
    void closeProgress() override { printer_.finish(); }

private:
    std::ostream& out_;
    std::ostream& err_;
    ProgressPrinter printer_;
};


// Documents are text of a few hundred kilobytes; anything far larger is not
// one, and is refused before it is read into memory.
constexpr std::size_t kMaxDocumentSize = 16u << 20;

enum class ReadStatus { Ok, CannotOpen, TooLarge };

// The whole of a file, or of standard input for "-".
ReadStatus readWhole(const std::string& path, std::string& text) {
    std::istream* in = &std::cin;
    std::ifstream file;
    if (path != "-") {
        file.open(path, std::ios::binary);
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

// One side of a diff: a program file of either format, opened as Open does
// it, or a document. Returns false after saying what is wrong.
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

}  // namespace

void printUsage(std::ostream& os) {
    os << "Usage: fwxtool COMMAND ARGUMENTS\n"
          "\n"
          "Commands:\n"
          "  new FILE.FWX           create a new program with the default texts\n"
          "  convert IN OUT.FWX     read a program file of any known format and save it\n"
          "                         in the current format\n"
          "  image IN.FWX OUT.BIN   write the 20,000-byte image a program download sends\n"
          "  info FILE              show the format of a program file and what it holds\n"
          "  export PROGRAM [-o OUT.json]\n"
          "                         write a program file of any known format as a JSON\n"
          "                         document (to standard output without -o)\n"
          "  import [--strict] IN.json OUT.FWX\n"
          "                         save a JSON document as a program file (IN \"-\" reads\n"
          "                         standard input); fields it leaves out take the values\n"
          "                         of a new program; a bad document writes nothing. A\n"
          "                         value the editor does not offer is kept with a\n"
          "                         warning; --strict refuses it\n"
          "  diff [--json] A B      list the fields in which two programs differ, one line\n"
          "                         each (A and B: program files or JSON documents);\n"
          "                         --json prints them as a JSON array\n"
          "  download PORT FILE.FWX send a program to the terminal on serial device PORT\n"
          "  lookup PORT FILE.TXT   send a lookup file to the terminal\n"
          "  receive PORT OUT.TXT   receive the terminal's records into a text file\n"
          "  receive PORTS FOLDER   receive from several terminals, one file per port in\n"
          "                         FOLDER, named after the port (ttyUSB0.TXT)\n"
          "  load PORT FILE.FWX     send a program as the standalone downloader does\n"
          "                         (--link rs232|cradle, --baud as below)\n"
          "  simulate PROGRAM       run a program on the simulated terminal from a key\n"
          "                         script (see 'fwxtool simulate --help')\n"
          "  ports                  list this machine's serial ports (device, kind,\n"
          "                         description)\n"
          "  station PORT... --db FILE\n"
          "                         collect the records of every terminal docked on the\n"
          "                         ports into an SQLite database, until Ctrl+C\n"
          "                         [--all-ports] [--link L] [--baud B] [--program FILE]\n"
          "                         [--skip-repeated] [--log FILE]\n"
          "  records --db FILE      export the collected records: CSV (as a receive's\n"
          "                         text file) or --json [--since TIME] [--port PORT]\n"
          "                         [--mark-exported: only those not exported before]\n"
          "\n"
          "Several terminals at once: download, lookup, receive and load take a comma\n"
          "list in place of PORT, or --port PORT repeated. The program or file is\n"
          "prepared once and every port runs on its own: a failing port does not stop\n"
          "the others. Progress shows one line per port; a summary table follows (port,\n"
          "result, time, bytes or records). At most 64 ports at once. Ctrl+C cancels\n"
          "every port; a receive keeps the records it acknowledged.\n"
          "\n"
          "Saved program names get \".FWX\" appended unless their extension begins\n"
          "with FWX.\n"
          "\n"
          "Options:\n"
          "  -h, --help             show this help\n"
          "  --version              show the version of fwxtool (and of Formwright)\n"
          "  --link cradle|irda|serial\n"
          "                         how the terminal is reached (default serial);\n"
          "                         cradle sets up an infrared cradle first\n"
          "  --baud 115200|57600|38400|19200|9600\n"
          "                         line speed of a transfer (default 115200)\n"
          "  --port PORT            a port of a transfer; repeat it for several\n"
          "  --json                 ports: the list as JSON; transfers: the summary as\n"
          "                         JSON on standard output\n"
          "\n"
          "Program documents: format \"formwright-program\", formatVersion 1. Every\n"
          "field of the program by its model name (forms[0].lines[2].prompt,\n"
          "settings.uploadPort); numbers are the stored values; texts are decoded from\n"
          "Windows-1252; bytes without a known meaning are hex strings.\n"
          "\n"
          "Exit status: 0 on success (on every port), 1 on failure, 2 on a usage error;\n"
          "diff: 0 equal, 1 different, 2 trouble.\n";
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

int commandDownload(const std::string& port, const std::string& file,
                    const TransferOptions& options, std::ostream& out, std::ostream& err) {
    OpenedProgram p = openProgram(file, err);
    if (!p.result.ok()) return kExitFailure;
    int result;
    {
        ProgressPrinter printer(err, options.progressBar);
        result = downloadProgramToDevice(deviceLink(port, options), *p.model, &printer);
    }
    if (result != kTransferDone) return transferFailed(err, result);
    out << loadText(kTextDownloadedCompletely) << '\n';
    return kExitOk;
}

int commandLookup(const std::string& port, const std::string& file,
                  const TransferOptions& options, std::ostream& out, std::ostream& err) {
    int result;
    {
        ProgressPrinter printer(err, options.progressBar);
        result = downloadLookupToDevice(deviceLink(port, options), file, &printer);
    }
    if (result != kTransferDone) return transferFailed(err, result);
    out << loadText(kTextDownloadedCompletely) << '\n';
    return kExitOk;
}

int commandReceive(const std::string& port, const std::string& file,
                   const TransferOptions& options, std::ostream& out, std::ostream& err) {
    ReceiveOutcome outcome;
    {
        ProgressPrinter printer(err, options.progressBar);
        outcome = receiveFromDevice(deviceLink(port, options), file, &printer);
    }
    if (outcome.result != kTransferDone) {
        transferFailed(err, outcome.result);
        if (outcome.records > 0) {
            err << kProgramName << ": " << outcome.records << " records received are in '"
                << file << "'\n";
        }
        return kExitFailure;
    }
    if (outcome.records == 0) {
        out << loadText(kTextNoDataReceived) << '\n';
    } else {
        out << "Done : " << outcome.records << " records received.\n";
    }
    return kExitOk;
}

int run(const std::vector<std::string>& argsIn, std::ostream& out, std::ostream& err,
        const RunOptions& runOptions) {
    std::vector<std::string> args = argsIn;
    if (args.empty()) {
        printUsage(err);
        return kExitUsage;
    }
    const std::string command = args[0];
    if (command == "-h" || command == "--help") {
        printUsage(out);
        return kExitOk;
    }
    if (command == "--version") {
        out << kProgramName << " " << FW_VERSION_TEXT << "\n";
        return kExitOk;
    }

    if (command == "simulate") return commandSimulate({args.begin() + 1, args.end()}, out, err);
    if (command == "station" || command == "records") {
        return runStationCommand(args, out, err, runOptions.progressBar);
    }

    struct Command {
        const char* name;
        std::size_t files;
        const char* synopsis;
    };
    static const Command kCommands[] = {
        {"new", 1, "new FILE.FWX"},
        {"convert", 2, "convert IN OUT.FWX"},
        {"image", 2, "image IN.FWX OUT.BIN"},
        {"info", 1, "info FILE"},
        {"export", 1, "export PROGRAM [-o OUT.json]"},
        {"import", 2, "import [--strict] IN.json OUT.FWX"},
        {"diff", 2, "diff [--json] A B"},
        {"download", 2, "download [--link L] [--baud B] [--json] PORT[,PORT...] FILE.FWX"},
        {"lookup", 2, "lookup [--link L] [--baud B] [--json] PORT[,PORT...] FILE.TXT"},
        {"receive", 2, "receive [--link L] [--baud B] [--json] PORT OUT.TXT | PORT[,PORT...] FOLDER"},
        {"load", 2, "load [--link rs232|cradle] [--baud B] [--json] PORT[,PORT...] FILE.FWX"},
        {"ports", 0, "ports [--json]"},
    };
    const Command* found = nullptr;
    for (const Command& c : kCommands) {
        if (command == c.name) found = &c;
    }
    if (found == nullptr) {
        if (!command.empty() && command[0] == '-') {
            return usageError(err, "unknown option '" + command + "'");
        }
        return usageError(err, "unknown command '" + command + "'");
    }
    TransferOptions transfer;
    transfer.progressBar = runOptions.progressBar;
    const bool isTransfer = command == "download" || command == "lookup" || command == "receive";
    if (isTransfer) {
        std::string problem = takeTransferOptions(args, transfer);
        if (!problem.empty()) return usageError(err, problem);
    }
    LoadOptions load;
    load.progressBar = runOptions.progressBar;
    if (command == "load") {
        std::string problem = takeLoadOptions(args, load);
        if (!problem.empty()) return usageError(err, problem);
    }
    PortArguments portArguments;
    const bool takesPorts = isTransfer || command == "load";
    if (takesPorts || command == "ports") {
        std::string problem = takePortArguments(args, portArguments, takesPorts);
        if (!problem.empty()) return usageError(err, problem);
    }
    std::string exportTo;
    if (command == "export") {
        std::string problem = takeOutputOption(args, exportTo);
        if (!problem.empty()) return usageError(err, problem);
    }
    bool importStrict = false;
    if (command == "import") {
        std::vector<std::string> rest;
        for (const std::string& a : args) {
            if (a == "--strict") importStrict = true;
            else rest.push_back(a);
        }
        args.swap(rest);
    }
    bool diffAsJson = false;
    if (command == "diff") {
        std::vector<std::string> rest;
        for (const std::string& a : args) {
            if (a == "--json") diffAsJson = true;
            else rest.push_back(a);
        }
        args.swap(rest);
    }
    if (args.size() - 1 != found->files) {
        return usageError(err, std::string("usage: ") + kProgramName + " " + found->synopsis);
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i].empty()) return usageError(err, "empty file name");
    }

    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i].size() > 1 && args[i][0] == '-')
            return usageError(err, "unknown option '" + args[i] + "'");
    }

    if (command == "ports") return commandPorts(portArguments.json, out, err);
    if (takesPorts) {
        MultiPortRequest request;
        request.transfer = transfer;
        request.load = load;
        std::string problem = makeMultiPortRequest(command, args[1], args[2], portArguments, request);
        if (!problem.empty()) return usageError(err, problem);
        if (request.parallel) return runMultiPort(request, out, err, runOptions.progressBar);
    }

    if (command == "new") return commandNew(args[1], out, err);
    if (command == "export") return commandExport(args[1], exportTo, out, err);
    if (command == "import") return commandImport(args[1], args[2], importStrict, out, err);
    if (command == "diff") return commandDiff(args[1], args[2], diffAsJson, out, err);
    if (command == "convert") return commandConvert(args[1], args[2], out, err);
    if (command == "image") return commandImage(args[1], args[2], out, err);
    if (command == "download") return commandDownload(args[1], args[2], transfer, out, err);
    if (command == "lookup") return commandLookup(args[1], args[2], transfer, out, err);
    if (command == "receive") return commandReceive(args[1], args[2], transfer, out, err);
    if (command == "load") return commandLoad(args[1], args[2], load, out, err);
    return commandInfo(args[1], out, err);
}

int commandLoad(const std::string& port, const std::string& file, const LoadOptions& options,
                std::ostream& out, std::ostream& err) {
    std::vector<uint8_t> bytes;
    switch (loader::readProgramFile(file, bytes)) {
        case loader::ProgramFileStatus::ok:
            break;
        case loader::ProgramFileStatus::cannotOpen:
            err << kProgramName << ": '" << file << "': "
                << loader::messageText(loader::Message::cantOpenFile) << '\n';
            return kExitFailure;
        case loader::ProgramFileStatus::formatMismatch:
            err << kProgramName << ": '" << file << "': "
                << loader::messageText(loader::Message::formatMismatch) << '\n';
            return kExitFailure;
    }
    loader::LoaderProgram program(std::move(bytes));
    program.prepare();
    loader::Choices choices;
    choices.link = options.link;
    choices.speed = options.speedChoice;
    PosixSerialPort serial;
    ConsoleLoaderUi ui(out, err, options.progressBar);
    return loader::runDownload(serial, port, choices, program.image(), ui) ? kExitOk : kExitFailure;
}

}  // namespace fw::tool
