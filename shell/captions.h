// Captions and labels of the designer's windows under a language file.
//
// The windows carry their English texts in their resource templates. A
// language file adds texts for them under numbers of its own (the string
// table has none of these): the popup menu's commands, the editor sheet's
// caption and page titles, the "OK" and "Cancel" buttons, the Preferences
// dialog. A text the language leaves empty keeps the English one, so that a
// language file need not name every text to leave no control blank.
#pragma once

#include <string>

#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

// The eleven commands of the popup menu that a language file names, by
// their position (separators count) and the language's text for each.
// "Check program...", "Report..." (positions 8, 9) and "Collected data..."
// (position 14) have no text in a language file and keep their own.
struct MenuCommandText {
    unsigned position;
    unsigned textId;
};
inline constexpr MenuCommandText kPopupMenuTexts[] = {
    {0, menucommandtext::kNew},
    {1, menucommandtext::kOpen},
    {2, menucommandtext::kSave},
    {3, menucommandtext::kSaveAs},
    {5, menucommandtext::kEdit},
    {6, menucommandtext::kPreferences},
    {11, menucommandtext::kDownloadApplication},
    {12, menucommandtext::kDownloadLookupFile},
    {13, menucommandtext::kReceiveData},
    {16, menucommandtext::kAbout},
    {17, menucommandtext::kExit},
};

// The editor sheet's caption for `currentFile` in the active language:
// "Formwright - [ ", the file or "New file", " ]", in UTF-8.
std::string editorCaption(const std::string& currentFile);

}  // namespace fw
