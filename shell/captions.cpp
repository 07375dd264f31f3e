#include "shell/captions.h"

#include "texts/code_page.h"

#include "shell/document.h"
#include "shell/language.h"
#include "texts/texts.h"

namespace fw {

std::string editorCaption(const std::string& currentFile) {
    // The language's texts are Windows-1252, the file's name UTF-8.
    return editorSheetCaption(currentFile, utf8FromCodePage(captionText(kTextSheetPrefix, "Formwright")),
                              utf8FromCodePage(captionText(kTextNewFile, "New file")));
}

}  // namespace fw
