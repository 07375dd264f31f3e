// The entries of the Form page's lists and of its dialogs' lists. A list's
// position is the value stored, unless a list says otherwise.
#pragma once

#include <string>
#include <vector>

#include "model/record_actions.h"  // the Form page's record action list

namespace fw {

// "form  1" .. "form  10": the Form page's Name list.
std::vector<std::string> formNameList();
// The TargetCode list: "main", "form  1".."form  10", "menu  1".."menu  10".
std::vector<std::string> targetList();
// "small", "large".
std::vector<std::string> fontList();
// "nil", "1st lookup file", "2nd lookup file", "3rd lookup file".
std::vector<std::string> lookupFileList();
// "nil" and the fourteen data types.
std::vector<std::string> dataTypeList();
// "reader", "keypad", "both".
std::vector<std::string> inputSourceList();

// Field Properties dialogs.
std::vector<std::string> alignmentList();
std::vector<std::string> decimalPlacesList();      // "variable", "1".."6"
std::vector<std::string> checkDigitMethodList();   // position + 1 is stored
std::vector<std::string> autoEnterList();

// Date and time stamp dialog.
std::vector<std::string> stampPositionList();
std::vector<std::string> yearDigitsList();
std::vector<std::string> dateStyleList();

// Branch dialog: "disable", "form  1".."form  10".
std::vector<std::string> branchList();

}  // namespace fw
