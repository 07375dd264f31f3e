#include "editor/calculator_entry.h"

#include "model/fixed_text.h"

namespace fw {

namespace {
constexpr int kCalculatorLine = 0;   // first of the extra utility lines

}  // namespace

bool lookupDefined(const LookupDef& lookup) { return lookup.memberLength != 0 && lookup.fieldCount != 0; }

char calculatorDigit(const ProgramModel& model) {
    for (const LookupDef& l : model.lookups)
        if (lookupDefined(l)) return '9';
    return '8';
}

void renumberCalculatorEntry(char* text, char digit) {
    if (text && isDigit(text[0])) text[0] = digit;
}

void renumberCalculatorEntry(uint8_t* text, char digit) {
    if (text && isDigit(static_cast<char>(text[0]))) text[0] = static_cast<uint8_t>(digit);
}

void renumberCalculatorDefaults(DefaultTexts& defaults, char digit) {
    renumberCalculatorEntry(defaults.extraUtility[kCalculatorLine], digit);
    renumberCalculatorEntry(defaults.extraUtilityLarge[kCalculatorLine], digit);
}

}  // namespace fw
