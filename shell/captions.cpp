#include "shell/captions.h"

#include "shell/document.h"
#include "shell/language.h"
#include "texts/texts.h"

namespace fw {

std::string languageCaption(unsigned id) {
    if (!languageActive()) return {};
    return loadText(id);
}

std::string captionText(unsigned id, const std::string& builtIn) {
    std::string text = languageCaption(id);
    return text.empty() ? builtIn : text;
}

std::string editorCaption(const std::string& currentFile) {
    return editorSheetCaption(currentFile, captionText(kTextSheetPrefix, "Formwright"),
                              captionText(kTextNewFile, "New file"));
}

}  // namespace fw
