// The whole application checked before it leaves the PC: targets that lead
// nowhere, lines the terminal cannot fill, settings that spoil a record.
// Each rule lives once, in checker.cpp; the designer's list, fwxtool check
// and the report all show what checkProgram() finds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "editor/editor_sheet.h"
#include "model/program_model.h"

namespace fw {

enum class Severity {
    Error,     // the terminal cannot run the program as meant
    Warning,   // probably not what was meant
};

// The editor page a finding belongs to, so that a list can open it there.
using FindingPage = SheetPageId;

struct Finding {
    Severity severity = Severity::Warning;
    FindingPage page = FindingPage::Form;
    int index = -1;   // the form, menu or lookup (0-based); -1 for the page as a whole
    int entry = -1;   // the line, item or field (0-based); -1 for the whole record
    std::string text; // one sentence a user understands, in UTF-8

    // Where in the program document: "forms[2].lines[4]", "menus[0].items[3]",
    // "lookups[1]", "settings".
    std::string place() const;
};

std::vector<Finding> checkProgram(const ProgramModel& model);

int errorCount(const std::vector<Finding>& findings);

// "error" or "warning".
const char* severityName(Severity severity);
// "Error" or "Warning", as a list shows it.
const char* severityLabel(Severity severity);

// "2 errors, 1 warning".
std::string findingCounts(int errors, int warnings);
// The line over the designer's list of findings: how many of each, or that
// there are none.
std::string findingsSummary(const std::vector<Finding>& findings);

// Where the editor opens to mend a finding: its page, with the form, menu,
// lookup file or screen of its place shown (the page's first when the
// finding is about the page as a whole).
SheetStart editorStartFor(const Finding& finding);

// A finding as one line of a list: "Error: Form 3, line #2 is ... (forms[2].lines[1])".
std::string findingLine(const Finding& finding);
// The list's one line when there is no finding.
inline constexpr const char* kNoFindingsLine = "No findings: the checker found nothing to point out.";

// "The program has 2 errors. Download anyway?"
std::string downloadAnywayQuestion(int errors);

// ---- facts the checker and the report share --------------------------------

// The terminal stops at a line of these types for the user.
bool formHasInput(const FormDef& form);
// The items a menu shows, counted as the terminal counts them.
int menuItemCount(const MenuDef& menu);
// The longest record a form can write: every line at its maximum length,
// with its codes, the delimiters and the stamp.
std::size_t longestRecord(const FormDef& form, const TerminalSettings& settings);
// What Collect opens first: a target code, or -1 when there is nothing to run.
int startTarget(const ProgramModel& model);

}  // namespace fw
