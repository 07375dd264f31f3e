// The Open and Save As dialogs of program, lookup and data files. Wide
// dialogs with a buffer for the longest path the system takes: a name with
// any character, in a folder of any depth, comes back whole (as UTF-8).
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "shell/win/designer.h"
#include "ui/win/wide_text.h"

namespace fw::win {

namespace {

struct FileDialogKind {
    const wchar_t* filter;   // pairs of text and pattern, each ended by a NUL
    const wchar_t* defaultExtension;
};

// The filters are written with explicit NULs between entries.
const FileDialogKind kOpenKinds[] = {
    {L"Formwright Files (*.FWX)\0*.FWX\0Application Template Files (*.ATX)\0*.ATX\0All files (*.*)\0*.*\0", L"FWX"},
    {L"Lookup data files {*.TXT}\0*.TXT\0All files (*.*)\0*.*\0", L"TXT"},
    {L"Formwright Files (*.FWX)\0*.FWX\0All files (*.*)\0*.*\0", L"FWX"},
};
const FileDialogKind kSaveProgramKind{L"Formwright (*.FWX)\0*.FWX\0", L"FWX"};
const FileDialogKind kSaveReportKind{L"Web page (*.html)\0*.html;*.htm\0All files (*.*)\0*.*\0", L"html"};

// The longest path the wide API takes, and its end.
constexpr std::size_t kPathCapacity = 32768;

std::vector<wchar_t> pathBuffer(const std::string& path) {
    std::vector<wchar_t> buffer(kPathCapacity, L'\0');
    const std::wstring wide = wideFromUtf8(path);
    if (wide.size() < kPathCapacity) std::copy(wide.begin(), wide.end(), buffer.begin());
    return buffer;
}

bool runFileDialog(HWND owner, const FileDialogKind& kind, std::string& path, const std::string& folder, bool save) {
    std::vector<wchar_t> file = pathBuffer(path);
    const std::wstring initialFolder = wideFromUtf8(folder);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kind.filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    ofn.lpstrDefExt = kind.defaultExtension;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
    path = utf8FromWide(file.data());
    return true;
}

}  // namespace

bool chooseOpenFile(HWND owner, int kind, std::string& path) {
    if (kind < kProgramFile || kind > kMessageImportFile) return false;
    // Starting from the current file's name opens its folder; without one the
    // dialog starts where the system last saw the user.
    return runFileDialog(owner, kOpenKinds[kind], path, {}, false);
}

bool chooseSaveFile(HWND owner, int kind, std::string& path, const std::string& folder) {
    if (kind != kProgramFile && kind != kTextFile && kind != kReportFile) return false;
    const FileDialogKind& k = kind == kProgramFile  ? kSaveProgramKind
                              : kind == kReportFile ? kSaveReportKind
                                                    : kOpenKinds[kTextFile];
    return runFileDialog(owner, k, path, folder, true);
}

}  // namespace fw::win
