// The Open and Save As dialogs of program, lookup and data files.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "shell/win/designer.h"

namespace fw::win {

namespace {

struct FileDialogKind {
    const char* filter;   // pairs of text and pattern, each ended by a NUL
    const char* defaultExtension;
};

// The filters are written with explicit NULs between entries.
const FileDialogKind kOpenKinds[] = {
    {"Formwright Files (*.FWX)\0*.FWX\0Application Template Files (*.ATX)\0*.ATX\0All files (*.*)\0*.*\0", "FWX"},
    {"Lookup data files {*.TXT}\0*.TXT\0All files (*.*)\0*.*\0", "TXT"},
    {"Formwright Files (*.FWX)\0*.FWX\0All files (*.*)\0*.*\0", "FWX"},
};
const FileDialogKind kSaveProgramKind{"Formwright (*.FWX)\0*.FWX\0", "FWX"};

void copyPath(char (&buffer)[MAX_PATH], const std::string& path) {
    std::memset(buffer, 0, sizeof buffer);
    if (path.size() < MAX_PATH) std::memcpy(buffer, path.data(), path.size());
}

}  // namespace

bool chooseOpenFile(HWND owner, int kind, std::string& path) {
    if (kind < kProgramFile || kind > kMessageImportFile) return false;
    char file[MAX_PATH];
    // Starting from the current file's name opens its folder; without one the
    // dialog starts in the current directory.
    copyPath(file, path);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kOpenKinds[kind].filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = kOpenKinds[kind].defaultExtension;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) return false;
    path = file;
    return true;
}

bool chooseSaveFile(HWND owner, int kind, std::string& path, const char* folder) {
    if (kind != kProgramFile && kind != kTextFile) return false;
    const FileDialogKind& k = kind == kProgramFile ? kSaveProgramKind : kOpenKinds[kTextFile];
    char file[MAX_PATH];
    copyPath(file, path);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = k.filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrDefExt = k.defaultExtension;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&ofn)) return false;
    path = file;
    return true;
}

}  // namespace fw::win
