#include "tools/fwxtool/commands.h"

#include <ostream>

#include "formwright_version.h"
#include "tools/fwxtool/check_commands.h"
#include "tools/fwxtool/file_commands.h"
#include "tools/fwxtool/ports_command.h"
#include "tools/fwxtool/simulate.h"
#include "tools/fwxtool/station_commands.h"
#include "tools/fwxtool/transfer_commands.h"

namespace fw::tool {

namespace {

// The options that several commands share.
const OptionRow kLink{kLinkOption, OptionKind::value, nullptr, "a value", false, checkTransferLink};
const OptionRow kLoaderLink{kLinkOption, OptionKind::value, nullptr, "a value", false, checkLoaderLink};
const OptionRow kBaud{kBaudOption, OptionKind::value, nullptr, "a value", false, checkSpeed};
const OptionRow kPort{kPortOption, OptionKind::list, nullptr, "a value", true, nullptr, true};
const OptionRow kJson{kJsonOption};
// The station's database: an SQLite file, or a PostgreSQL URL on Linux.
const OptionRow kDatabase{"--db", OptionKind::value, nullptr, "a file name or a postgresql:// URL", true};

OptionRow kFileValue(const char* name, const char* shortName = nullptr) {
    return OptionRow{name, OptionKind::value, shortName, "a file name", true};
}

}  // namespace

// The commands. A new command is one row here and its handler in a file of
// its own (a handler gets the parsed words, never argv); the help lines of a
// row are its part of fwxtool's usage text.
const std::vector<CommandRow>& commandTable() {
    static const std::vector<CommandRow> kTable = {
        {"new", "new FILE.FWX",
         "  new FILE.FWX           create a new program with the default texts\n",
         1, {}, handleNew},
        {"convert", "convert IN OUT.FWX",
         "  convert IN OUT.FWX     read a program file of any known format and save it\n"
         "                         in the current format\n",
         2, {}, handleConvert},
        {"image", "image IN.FWX OUT.BIN",
         "  image IN.FWX OUT.BIN   write the 20,000-byte image a program download sends\n",
         2, {}, handleImage},
        {"info", "info FILE",
         "  info FILE              show the format of a program file and what it holds\n",
         1, {}, handleInfo},
        {"export", "export PROGRAM [-o OUT.json]",
         "  export PROGRAM [-o OUT.json]\n"
         "                         write a program file of any known format as a JSON\n"
         "                         document (to standard output without -o)\n",
         1, {kFileValue("--output", "-o")}, handleExport},
        {"import", "import [--strict] IN.json OUT.FWX",
         "  import [--strict] IN.json OUT.FWX\n"
         "                         save a JSON document as a program file (IN \"-\" reads\n"
         "                         standard input); fields it leaves out take the values\n"
         "                         of a new program; a bad document writes nothing. A\n"
         "                         value the editor does not offer is kept with a\n"
         "                         warning; --strict refuses it\n",
         2, {OptionRow{"--strict"}}, handleImport},
        {"diff", "diff [--json] A B",
         "  diff [--json] A B      list the fields in which two programs differ, one line\n"
         "                         each (A and B: program files or JSON documents);\n"
         "                         --json prints them as a JSON array\n",
         2, {kJson}, handleDiff},
        {"check", "check [--json] PROGRAM",
         "  check [--json] PROGRAM list what would keep the terminal from running the\n"
         "                         program as meant (errors) and what is probably not\n"
         "                         meant (warnings); --json prints them as JSON\n",
         1, {kJson}, handleCheck},
        {"report", "report PROGRAM [-o REPORT.html]",
         "  report PROGRAM [-o REPORT.html]\n"
         "                         write one page that shows the whole application: the\n"
         "                         findings, its flow, each screen, a sample record of\n"
         "                         each form, the settings (beside PROGRAM without -o)\n",
         1, {kFileValue("--output", "-o")}, handleReport},
        {"download", "download [--link L] [--baud B] [--json] PORT[,PORT...] FILE.FWX",
         "  download PORT FILE.FWX send a program to the terminal on serial device PORT\n",
         2, {kLink, kBaud, kPort, kJson}, handleDownload},
        {"lookup", "lookup [--link L] [--baud B] [--json] PORT[,PORT...] FILE.TXT",
         "  lookup PORT FILE.TXT   send a lookup file to the terminal\n",
         2, {kLink, kBaud, kPort, kJson}, handleLookup},
        {"receive", "receive [--link L] [--baud B] [--json] PORT OUT.TXT | PORT[,PORT...] FOLDER",
         "  receive PORT OUT.TXT   receive the terminal's records into a text file\n"
         "  receive PORTS FOLDER   receive from several terminals, one file per port in\n"
         "                         FOLDER, named after the port (ttyUSB0.TXT)\n",
         2, {kLink, kBaud, kPort, kJson}, handleReceive},
        {"load", "load [--link rs232|cradle] [--baud B] [--json] PORT[,PORT...] FILE.FWX",
         "  load PORT FILE.FWX     send a program as the standalone downloader does\n"
         "                         (--link rs232|cradle, --baud as below)\n",
         2, {kLoaderLink, kBaud, kPort, kJson}, handleLoad},
        {"simulate",
         "simulate PROGRAM [--keys SCRIPT | --keys-file FILE] [--records OUT.TXT] "
         "[--time YYYY-MM-DDTHH:MM:SS] [--trace]",
         "  simulate PROGRAM       run a program on the simulated terminal from a key\n"
         "                         script (see 'fwxtool simulate --help')\n",
         1,
         {OptionRow{"--keys", OptionKind::value}, kFileValue("--keys-file"), kFileValue("--records"),
          OptionRow{"--time", OptionKind::value}, OptionRow{"--trace"}},
         handleSimulate, printSimulateUsage},
        {"ports", "ports [--json]",
         "  ports                  list this machine's serial ports (device, kind,\n"
         "                         description)\n",
         0, {kJson}, handlePorts},
        {"station",
         "station PORT... --db FILE|URL [--all-ports] [--link L] [--baud B] [--program FILE] "
         "[--skip-repeated] [--log FILE] [--name NAME] [--service]",
         "  station PORT... --db FILE|URL\n"
         "                         collect the records of every terminal docked on the\n"
         "                         ports into an SQLite file or a PostgreSQL database\n"
         "                         (postgresql://...), each stored before it is\n"
         "                         acknowledged, until Ctrl+C; --all-ports, --program\n"
         "                         FILE (fields split at its delimiters), --skip-repeated,\n"
         "                         --log FILE, --name NAME (the station's, default the\n"
         "                         machine's); --service: as a Windows service\n",
         kAnyArguments,
         {kDatabase, OptionRow{"--all-ports"}, kLink, kBaud, kPort, kFileValue("--program"),
          OptionRow{"--skip-repeated"}, kFileValue("--log"), OptionRow{"--name", OptionKind::value},
          OptionRow{"--service"}},
         handleStation},
        {"records", "records --db FILE|URL [--since TIME] [--port PORT] [--csv|--json] [--mark-exported]",
         "  records --db FILE|URL  export the station's records: as a received-data file\n"
         "                         (--csv, the default) or --json; --since TIME, --port\n"
         "                         PORT; --mark-exported: only those no earlier\n"
         "                         --mark-exported took, marking them\n",
         0,
         {kDatabase, OptionRow{"--since", OptionKind::value, nullptr, "a time", true, checkSince},
          OptionRow{kPortOption, OptionKind::value}, OptionRow{"--csv"}, kJson, OptionRow{"--mark-exported"}},
         handleRecords},
    };
    return kTable;
}

const std::vector<const OptionRow*>& knownOptions() {
    static const std::vector<const OptionRow*> kKnown = [] {
        std::vector<const OptionRow*> all;
        for (const CommandRow& c : commandTable()) {
            for (const OptionRow& o : c.options) all.push_back(&o);
        }
        return all;
    }();
    return kKnown;
}

void printUsage(std::ostream& os) {
    os << "Usage: fwxtool COMMAND ARGUMENTS\n"
          "\n"
          "Commands:\n";
    for (const CommandRow& c : commandTable()) os << c.help;
    os << "\n"
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
          "diff: 0 equal, 1 different, 2 trouble; check: 0 no error, 1 errors, 2 trouble.\n";
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const RunOptions& options) {
    if (args.empty()) {
        printUsage(err);
        return kExitUsage;
    }
    const std::string& name = args[0];
    if (name == "-h" || name == "--help") {
        printUsage(out);
        return kExitOk;
    }
    if (name == "--version") {
        out << kProgramName << " " << FW_VERSION_TEXT << "\n";
        return kExitOk;
    }
    for (const CommandRow& row : commandTable()) {
        if (name != row.name) continue;
        ParsedCommand parsed;
        const std::string problem =
            readCommandLine(row, {args.begin() + 1, args.end()}, knownOptions(), parsed);
        if (!problem.empty()) return usageError(err, &row, problem);
        if (parsed.help) {
            if (row.printHelp != nullptr) row.printHelp(out);
            else printUsage(out);
            return kExitOk;
        }
        CommandContext context{out, err, options.progressBar};
        return row.handler(parsed, context);
    }
    if (!name.empty() && name[0] == '-') return usageError(err, nullptr, "unknown option '" + name + "'");
    return usageError(err, nullptr, "unknown command '" + name + "'");
}

}  // namespace fw::tool
