#include "editor/form_lists.h"

#include "model/program_model.h"

namespace fw {

namespace {

// "form  " and "menu  " end in two blanks on purpose: the terminal's own
// lists read that way.
void addNumbered(std::vector<std::string>& list, const char* word, int count) {
    for (int n = 1; n <= count; ++n) list.push_back(std::string(word) + std::to_string(n));
}

}  // namespace

std::vector<std::string> formNameList() {
    std::vector<std::string> list;
    addNumbered(list, "form  ", kFormCount);
    return list;
}

std::vector<std::string> targetList() {
    std::vector<std::string> list{"main"};
    addNumbered(list, "form  ", kFormCount);
    addNumbered(list, "menu  ", kMenuCount);
    return list;
}

std::vector<std::string> fontList() { return {"small", "large"}; }

std::vector<std::string> lookupFileList() {
    return {"nil", "1st lookup file", "2nd lookup file", "3rd lookup file"};
}

std::vector<std::string> dataTypeList() {
    return {"nil",    "text",       "integer", "real",      "letter",    "auto(+/-)", "boolean", "lookup",
            "fixed data", "prompt", "counter", "pass down", "extension", "pause",     "alphanumeric"};
}

std::vector<std::string> inputSourceList() { return {"reader", "keypad", "both"}; }

std::vector<std::string> alignmentList() {
    return {"Left aligned (padded with space)", "Right aligned (filled with space)",
            "Left aligned (padded with 0)", "Right aligned (filled with 0)"};
}

std::vector<std::string> decimalPlacesList() { return {"variable", "1", "2", "3", "4", "5", "6"}; }

std::vector<std::string> checkDigitMethodList() {
    return {"MOD 10  Double-Add-Double (next high)", "MOD 10  Add-Double-Add (next high)",
            "MOD 10  Triple-Add-Triple (next high)", "MOD 11  Repeat Arithmetic (next high)",
            "MOD 10  Double-Add-Double (next low)",  "MOD 10  Add-Double-Add (next low)",
            "MOD 10  Triple-Add-Triple (next low)",  "MOD 11  Repeat Arithmetic (next low)"};
}

std::vector<std::string> autoEnterList() { return {"No", "Scan+ENTER", "ENTER+Scan"}; }

std::vector<std::string> stampPositionList() {
    return {"nil", "added to the top of a record", "appended to the bottom of a record"};
}

std::vector<std::string> yearDigitsList() { return {"4 Digits (YYYY)", "2 Digits (YY)"}; }

std::vector<std::string> dateStyleList() { return {"Year.Month.Day", "Month.Day.Year", "Day.Month.Year"}; }

std::vector<std::string> branchList() {
    std::vector<std::string> list{"disable"};
    addNumbered(list, "form  ", kFormCount);
    return list;
}

}  // namespace fw
