#include "shell/captions.h"

#include "shell/document.h"
#include "shell/language.h"
#include "texts/texts.h"

namespace fw {

std::string editorCaption(const std::string& currentFile) {
    return editorSheetCaption(currentFile, captionText(kTextSheetPrefix, "Formwright"),
                              captionText(kTextNewFile, "New file"));
}

}  // namespace fw
