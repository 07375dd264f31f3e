// The command popup menu and its recent-file entries.
#include <windows.h>

#include "resources/resource_ids.h"
#include "shell/captions.h"
#include "shell/win/designer.h"
#include "ui/win/wide_text.h"

namespace fw::win {

// Recent files go in before "A&bout...", followed by one separator.
constexpr UINT kRecentPosition = 16;

void refreshRecentFiles(const DesignerSession& session) {
    Designer& d = designer();
    if (!d.popupMenu) return;
    if (d.recentEntries > 0) {
        // The entries and the separator after them.
        for (int i = 0; i <= d.recentEntries; ++i) DeleteMenu(d.popupMenu, kRecentPosition, MF_BYPOSITION);
        d.recentEntries = 0;
    }
    const auto& files = session.document().prefs.recentFiles;
    int n = static_cast<int>(files.size());
    if (n > kMaxRecentFiles) n = kMaxRecentFiles;
    for (int k = 0; k < n; ++k) {
        std::string label = recentFileLabel(k, files[static_cast<size_t>(k)]);
        InsertMenuW(d.popupMenu, kRecentPosition + static_cast<UINT>(k), MF_BYPOSITION | MF_STRING,
                    IDM_RECENT_FIRST + static_cast<UINT>(k), wideFromUtf8(label).c_str());
    }
    if (n > 0) InsertMenuW(d.popupMenu, kRecentPosition + static_cast<UINT>(n), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    d.recentEntries = n;
}

void buildPopupMenu(const DesignerSession& session) {
    Designer& d = designer();
    if (d.popupRoot) DestroyMenu(d.popupRoot);
    d.popupRoot = LoadMenuW(d.instance, L"PopMenuK400");
    d.popupMenu = d.popupRoot ? GetSubMenu(d.popupRoot, 0) : nullptr;
    d.recentEntries = 0;
    if (d.popupMenu) {
        for (const MenuCommandText& item : kPopupMenuTexts) {
            std::string caption = languageCaption(item.textId);
            if (caption.empty()) continue;
            ModifyMenuW(d.popupMenu, item.position, MF_BYPOSITION | MF_STRING,
                        GetMenuItemID(d.popupMenu, static_cast<int>(item.position)), wideFromText(caption).c_str());
        }
    }
    refreshRecentFiles(session);
}

}  // namespace fw::win
