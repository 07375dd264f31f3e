#include "check/report.h"

#include <sstream>
#include <vector>

#include "check/checker.h"
#include "check/display_image.h"
#include "check/flow_diagram.h"
#include "check/html.h"
#include "editor/barcode_page.h"
#include "editor/calculator_entry.h"
#include "editor/form_lists.h"
#include "editor/function_key_dialog.h"
#include "editor/lookup_page.h"
#include "editor/settings_page.h"
#include "model/barcode_fields.h"
#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/record_actions.h"
#include "simulator/collected_data_view.h"
#include "texts/code_page.h"

namespace fw {

namespace {

constexpr int kPictureScale = 2;

const char* const kStyle = R"(
body { font-family: "Segoe UI", "DejaVu Sans", Arial, sans-serif; font-size: 10.5pt; color: #111; margin: 2em; max-width: 60em; }
h1 { font-size: 18pt; margin-bottom: .2em; }
h2 { font-size: 14pt; border-bottom: 2px solid #444; margin-top: 1.6em; }
h3 { font-size: 12pt; margin: 0 0 .4em; }
table { border-collapse: collapse; margin: .4em 0; }
th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; vertical-align: top; }
th { background: #eee; }
code, .record { font-family: "DejaVu Sans Mono", Consolas, monospace; }
.record { background: #f4f4f4; padding: 2px 4px; word-break: break-all; }
.error { color: #b00; font-weight: bold; }
.warning { color: #a60; font-weight: bold; }
.page { margin: 1em 0 1.6em; break-inside: avoid; page-break-inside: avoid; }
.screen { float: right; margin: 0 0 .6em 1em; border: 6px solid #333; border-radius: 4px; }
.screen img { display: block; image-rendering: pixelated; }
.page::after { content: ""; display: block; clear: both; }
dl.facts { display: grid; grid-template-columns: max-content auto; gap: 1px 1em; margin: .4em 0; }
dl.facts dt { font-weight: bold; }
dl.facts dd { margin: 0; }
svg.flow { max-width: 100%; height: auto; font-size: 11px; }
svg.flow text { font-family: "DejaVu Sans", Arial, sans-serif; }
@page { size: A4; margin: 14mm; }
@media print {
  body { margin: 0; max-width: none; font-size: 9.5pt; }
  h2 { break-after: avoid; page-break-after: avoid; }
  #flow, #forms, #menus { break-before: page; page-break-before: always; }
  tr { break-inside: avoid; }
}
)";

std::string text(std::string_view codePageBytes) { return htmlEscape(utf8FromCodePage(codePageBytes)); }

std::string entry(const std::vector<std::string>& list, int value) {
    if (value >= 0 && static_cast<std::size_t>(value) < list.size()) return htmlEscape(list[value]);
    return "value " + std::to_string(value);
}

std::string targetText(int target) {
    if (target == kTargetMain) return "main menu";
    if (target >= 1 && target <= kFormCount) return "<a href=\"#form-" + std::to_string(target) + "\">form " +
                                                     std::to_string(target) + "</a>";
    if (target > kFormCount && target <= kFormCount + kMenuCount)
        return "<a href=\"#menu-" + std::to_string(target - kFormCount) + "\">menu " +
               std::to_string(target - kFormCount) + "</a>";
    return "target code " + std::to_string(target);
}

// A character code of a delimiter or a lookup separator.
std::string characterText(int code) {
    if (code == 0) return "none";
    if (code > 0x20 && code != 0x7F) return "\"" + text(std::string(1, static_cast<char>(code))) + "\" (" +
                                            std::to_string(code) + ")";
    return "code " + std::to_string(code) + " " + htmlEscape(visibleBytes(std::string(1, static_cast<char>(code))));
}

std::string yesNo(int v) { return v ? "yes" : "no"; }

std::string linkText(const FormDef& f, int i) {
    const int link = f.link[i];
    if (link == 0) return "";
    if (f.lookupFile != 0) {
        const int field = (link - 1) % kFieldsPerLookup + 1;
        const char* sign = link > 16 ? "+field " : link > 8 ? "-field " : "field ";
        return sign + std::to_string(field);
    }
    const int v = (link - 1) % 8 + 1;
    const char* verb = link > 16 ? "get&set v" : link > 8 ? "set v" : "get v";
    return verb + std::to_string(v);
}

std::string lengthsText(const FormDef& f, int i) {
    const int type = f.dataType[i];
    if (!hasLengths(type)) return "";
    std::string s = std::to_string(f.minLength[i]) + "&ndash;" + std::to_string(f.maxLength[i]);
    if (f.fixedLengthOn[i]) s += ", fixed " + std::to_string(f.fixedLength[i]) + " (" + entry(alignmentList(), f.alignment[i]) + ")";
    return s;
}

std::string codesText(const FormDef& f, int i) {
    std::vector<std::string> parts;
    if (f.initialValueOn[i] && f.dataType[i] != kTypeLookup)
        parts.push_back("initial <code>" + text(fieldText(f.initialValue[i])) + "</code>");
    if (f.dataType[i] == kTypeLookup && f.initialValueOn[i]) parts.push_back("saved in the record");
    if (f.prefixOn[i]) parts.push_back("prefix <code>" + htmlEscape(visibleBytes(fieldText(f.prefixCode[i]))) + "</code>");
    if (f.suffixOn[i]) parts.push_back("suffix <code>" + htmlEscape(visibleBytes(fieldText(f.suffixCode[i]))) + "</code>");
    if (f.leadCodeOn[i]) parts.push_back("lead code <code>" + text(fieldText(f.leadCode[i])) + "</code>");
    if (f.partialOn[i])
        parts.push_back("partial from " + std::to_string(f.partialStart[i]) + ", up to " +
                        std::to_string(f.partialMaxLength[i]));
    if (f.checkDigit[i]) parts.push_back("check digit " + entry(checkDigitMethodList(), f.checkDigit[i] - 1));
    std::string s;
    for (const std::string& p : parts) s += (s.empty() ? "" : "; ") + p;
    return s;
}

std::string stampText(const FormDef& f) {
    if (f.stampPosition == 0) return "none";
    std::string s = entry(stampPositionList(), f.stampPosition);
    s += f.stampSplit ? ", date and time as two fields" : ", date and time as one field";
    return s;
}

void findingsSection(std::ostream& os, const std::vector<Finding>& findings) {
    os << "<section id=\"findings\"><h2>Findings</h2>\n";
    if (findings.empty()) {
        os << "<p>" << kNoFindingsLine << "</p></section>\n";
        return;
    }
    os << "<table class=\"findings\"><tr><th>Severity</th><th>Place</th><th>Finding</th></tr>\n";
    for (const Finding& f : findings)
        os << "<tr class=\"finding\"><td class=\"" << severityName(f.severity) << "\">" << severityName(f.severity)
           << "</td><td><code>" << htmlEscape(f.place()) << "</code></td><td>" << htmlEscape(f.text)
           << "</td></tr>\n";
    os << "</table></section>\n";
}

// The picture holds the face's own pixels; the page shows each as a block of
// kPictureScale x kPictureScale, which keeps the page small.
void picture(std::ostream& os, const RgbImage& image, const std::string& alt) {
    os << "<div class=\"screen\"><img class=\"display\" width=\"" << image.width * kPictureScale
       << "\" height=\"" << image.height * kPictureScale << "\" alt=\"" << htmlEscape(alt) << "\" src=\"" << pngDataUri(image) << "\"></div>\n";
}

void formSection(std::ostream& os, const ProgramModel& m, const DefaultTexts& defaults, int k) {
    const FormDef& f = m.forms[k];
    const std::string name = "Form " + std::to_string(k + 1);
    os << "<article class=\"page form\" id=\"form-" << k + 1 << "\"><h3>" << name << "</h3>\n";
    picture(os, pageImage(m, defaults, targetForm(k + 1), 1), name + " on the terminal's display");
    os << "<dl class=\"facts\"><dt>Next</dt><dd>" << targetText(f.nextTarget) << "</dd><dt>ESC</dt><dd>"
       << targetText(f.escTarget) << "</dd><dt>Record</dt><dd>" << entry(recordActionList(), f.recordAction)
       << "</dd><dt>Lookup file</dt><dd>" << entry(lookupFileList(), f.lookupFile) << "</dd><dt>Font</dt><dd>"
       << entry(fontList(), f.font) << "</dd><dt>Date and time stamp</dt><dd>" << stampText(f) << "</dd>";
    for (int b = 0; b < kBranchKeys; ++b)
        if (f.branch[b]) os << "<dt>FN + " << b + 1 << "</dt><dd>" << targetText(f.branch[b]) << "</dd>";
    if (f.fileNameOn) os << "<dt>Data file</dt><dd><code>" << text(fieldText(f.fileName)) << "</code></dd>";
    os << "</dl>\n<table class=\"lines\"><tr><th>#</th><th>Type</th><th>Prompt</th><th>Input</th><th>Length</th>"
          "<th>Link</th><th>Codes</th><th>Sample value</th></tr>\n";
    const SampleEntry sample = sampleEntry(m, defaults, k);
    for (int i = 0; i < kLinesPerForm; ++i) {
        const int type = f.dataType[i];
        if (type == kTypeNil) continue;
        os << "<tr><td>" << i + 1 << "</td><td>" << entry(dataTypeList(), type) << "</td><td><code>"
           << text(fieldText(f.prompt[i])) << "</code></td><td>"
           << (isEntryType(type) ? entry(inputSourceList(), f.inputSource[i]) : "") << "</td><td>"
           << lengthsText(f, i) << "</td><td>" << htmlEscape(linkText(f, i)) << "</td><td>" << codesText(f, i)
           << "</td><td><code>" << text(sample.values[i]) << "</code></td></tr>\n";
    }
    os << "</table>\n<p>Sample record: ";
    if (sample.recorded)
        os << "<code class=\"record\">" << htmlEscape(visibleBytes(sample.text)) << "</code> (" << sample.text.size()
           << " characters" << (f.stampPosition != 0 ? ", stamped 2024-01-05 14:30:00)" : ")");
    else
        os << "none: the form does not accept the sample entry";
    os << "</p></article>\n";
}

void menuSection(std::ostream& os, const ProgramModel& m, const DefaultTexts& defaults, int k) {
    const MenuDef& menu = m.menus[k];
    const std::string name = "Menu " + std::to_string(k + 1);
    os << "<article class=\"page menu\" id=\"menu-" << k + 1 << "\"><h3>" << name << "</h3>\n";
    picture(os, pageImage(m, defaults, targetMenu(k + 1), 1), name + " on the terminal's display");
    os << "<dl class=\"facts\"><dt>Caption</dt><dd>"
       << (menu.captionOn ? "<code>" + text(fieldText(menu.caption)) + "</code>" : std::string("none"))
       << "</dd><dt>ESC</dt><dd>" << targetText(menu.escTarget) << "</dd><dt>Font</dt><dd>"
       << entry(fontList(), menu.font) << "</dd></dl>\n<table class=\"items\"><tr><th>#</th><th>Item</th><th>Next</th></tr>\n";
    const int count = std::min(menuItemCount(menu), kItemsPerMenu);
    for (int i = 0; i < count; ++i)
        os << "<tr><td>" << i + 1 << "</td><td><code>" << text(fieldText(menu.itemName[i])) << "</code></td><td>"
           << targetText(menu.itemNext[i]) << "</td></tr>\n";
    os << "</table></article>\n";
}

void lookupSection(std::ostream& os, const ProgramModel& m) {
    os << "<section id=\"lookups\"><h2>Lookup files</h2>\n";
    bool any = false;
    for (int k = 0; k < kLookupCount; ++k) {
        const LookupDef& l = m.lookups[k];
        if (!lookupDefined(l)) continue;
        any = true;
        os << "<article class=\"page lookup\"><h3>" << entry(lookupNameList(), k) << "</h3>\n"
           << "<dl class=\"facts\"><dt>Record length</dt><dd>" << int(l.memberLength) << "</dd><dt>Fields</dt><dd>"
           << (l.delimiter ? "separated by " + characterText(l.delimiter) : std::string("fixed length"))
           << "</dd><dt>Key field</dt><dd>#" << l.keyField + 1 << "</dd><dt>No match</dt><dd>"
           << entry(noMatchActionList(), l.noMatchAction) << "</dd><dt>Wrong record format</dt><dd>"
           << entry(badFormatActionList(), l.badFormatAction) << "</dd><dt>Can be uploaded</dt><dd>"
           << yesNo(l.uploadable) << "</dd><dt>Only read data once</dt><dd>" << yesNo(l.readOnce) << "</dd></dl>\n";
        os << "<table><tr><th>Field</th><th>Offset</th><th>Length</th></tr>\n";
        for (int i = 0; i < l.fieldCount && i < kFieldsPerLookup; ++i)
            os << "<tr><td>#" << i + 1 << (i == l.keyField ? " (key)" : "") << "</td><td>" << int(l.fieldOffset[i])
               << "</td><td>" << int(l.fieldLength[i]) << "</td></tr>\n";
        os << "</table></article>\n";
    }
    if (!any) os << "<p>The program defines no lookup file.</p>\n";
    os << "</section>\n";
}

// A check box label of the Barcode page as plain words: "EAN13  &&  UPCA"
// reads "EAN13 & UPCA".
std::string plainLabel(std::string_view label) {
    std::string out;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size() && label[i + 1] == '&') ++i;
        if (label[i] == ' ' && !out.empty() && out.back() == ' ') continue;
        out += label[i];
    }
    return out;
}

const char* const kSecurityItems[12] = {"Settings",    "Edit Data",        "Delete Data", "Set Date/Time",
                                        "Load Application", "Load Lookup File", "Upload Port", "Download Port",
                                        "Baud Rate",   "Backlight",        "Data Deletion", "Entry Options"};

void settingsSection(std::ostream& os, const ProgramModel& m) {
    const TerminalSettings& s = m.settings;
    const BarcodeSettings& b = m.barcode;
    os << "<section id=\"settings\"><h2>Barcode and terminal settings</h2>\n<h3>Reader</h3><p>";
    std::string on;
    for (const BarcodeCheckLayout& check : kBarcodeChecks)
        if (readBarcodeField(b, check.field)) on += (on.empty() ? "" : ", ") + plainLabel(check.text);
    os << "On: " << htmlEscape(on.empty() ? "nothing" : on) << ".</p>\n<p>Scan mode: " << entry(scanModeList(), int(readBarcodeField(b, BarcodeFieldId::scanMode)))
       << "; read redundancy: " << entry(redundancyList(), int(readBarcodeField(b, BarcodeFieldId::readRedundancy)))
       << "; code ID " << (s.codeIdOn ? "sent" : "not sent") << ".</p>\n";
    os << "<details><summary>Every reader setting</summary><table class=\"barcode\">";
    for (const BarcodeField& f : kBarcodeFields)
        os << "<tr><td><code>" << f.name << "</code></td><td>" << readBarcodeField(b, f) << "</td></tr>";
    os << "</table></details>\n";

    os << "<h3>Terminal</h3><dl class=\"facts\">"
       << "<dt>Program starts from</dt><dd>" << (s.startFrom ? "menu 1" : "form 1") << "</dd>"
       << "<dt>Field delimiters</dt><dd>" << characterText(s.delimiter1)
       << (s.delimiter1 && s.delimiter2 ? " then " + characterText(s.delimiter2) : std::string()) << "</dd>"
       << "<dt>Large font for all prompts</dt><dd>" << yesNo(s.largeFont) << "</dd>"
       << "<dt>A data file for each form</dt><dd>" << yesNo(s.separateDataFiles) << "</dd>"
       << "<dt>Upload port</dt><dd>" << entry(uploadPortList(), s.uploadPort) << "</dd>"
       << "<dt>Download port</dt><dd>" << entry(downloadPortList(), s.downloadPort) << "</dd>"
       << "<dt>Baud rate</dt><dd>" << entry(speedList(), s.baudRate) << "</dd>"
       << "<dt>Backlight</dt><dd>" << entry(backlightList(), s.backlight) << ", off when idle for "
       << s.backlightIdle * 10 << " s</dd>"
       << "<dt>Data deletion after upload</dt><dd>" << entry(dataDeletionList(), s.dataDeletion) << "</dd>"
       << "<dt>Entry option</dt><dd>" << entry(entryOptionList(), s.entryOption) << "</dd>"
       << "<dt>Prompts stay on the display</dt><dd>"
       << (s.promptDuration ? std::to_string(s.promptDuration * 100) + " ms" : std::string("until a key is pressed"))
       << "</dd><dt>Key click</dt><dd>" << entry(keyClickList(), s.keyClick) << "</dd>"
       << "<dt>Good read beep</dt><dd>" << entry(beepList(), s.goodReadBeep) << "</dd>"
       << "<dt>Warning beep</dt><dd>" << entry(beepList(), s.warningBeep) << "</dd>";
    std::string guarded;
    for (int i = 0; i < 12; ++i)
        if (s.securityItems[i]) guarded += (guarded.empty() ? "" : ", ") + std::string(kSecurityItems[i]);
    os << "<dt>Password</dt><dd>" << (fieldText(s.password).empty() ? "none" : "set") << "</dd>"
       << "<dt>Protected by it</dt><dd>" << (guarded.empty() ? "nothing" : guarded) << "</dd>";
    if (s.functionKeysOn) {
        const auto actions = functionActionList();
        for (int k = 0; k < kFunctionKeys; ++k)
            os << "<dt>FN + " << k + 1 << "</dt><dd>" << entry(actions, s.functionKeyMap[k]) << "</dd>";
    } else {
        os << "<dt>Function keys</dt><dd>not mapped</dd>";
    }
    os << "</dl></section>\n";
}

}  // namespace

std::string buildReport(const ProgramModel& model, const DefaultTexts& defaults, const std::string& title) {
    const std::vector<Finding> findings = checkProgram(model);
    const int errors = errorCount(findings);
    const int warnings = static_cast<int>(findings.size()) - errors;
    std::ostringstream os;
    os << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>" << htmlEscape(title)
       << " &ndash; program report</title>\n<style>" << kStyle << "</style></head>\n<body>\n<h1>"
       << htmlEscape(title) << "</h1>\n<p class=\"summary\">" << errors << (errors == 1 ? " error, " : " errors, ")
       << warnings << (warnings == 1 ? " warning." : " warnings.") << "</p>\n";
    findingsSection(os, findings);
    os << "<section id=\"flow\"><h2>Flow</h2>\n<p>Menus have round corners, forms square ones; dashed arrows lead "
          "back up. A box with a red dashed edge is reached from nowhere.</p>\n"
       << flowSvg(layoutFlow(model)) << "</section>\n";
    os << "<section id=\"forms\"><h2>Forms</h2>\n<p>Each form as it opens on the terminal. The sample fills every "
          "input line to its maximum length with a character its type accepts and shows the record it writes.</p>\n";
    for (int k = 0; k < kFormCount; ++k)
        if (formHasInput(model.forms[k])) formSection(os, model, defaults, k);
    os << "</section>\n<section id=\"menus\"><h2>Menus</h2>\n";
    for (int k = 0; k < kMenuCount; ++k)
        if (menuItemCount(model.menus[k]) > 0) menuSection(os, model, defaults, k);
    os << "</section>\n";
    lookupSection(os, model);
    settingsSection(os, model);
    os << "</body></html>\n";
    return os.str();
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string reportPathFor(const std::string& programPath) {
    const std::size_t slash = programPath.find_last_of("/\\");
    const std::size_t dot = programPath.find_last_of('.');
    const std::string stem =
        dot != std::string::npos && (slash == std::string::npos || dot > slash) ? programPath.substr(0, dot) : programPath;
    return stem + ".html";
}

}  // namespace fw
