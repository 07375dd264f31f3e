#include "editor/win/sheet_context.h"

#include <commctrl.h>

namespace fw::win {

bool sheetNotify(HWND page, LPARAM lParam, SheetContext& context) {
    const auto* n = reinterpret_cast<const NMHDR*>(lParam);
    switch (n->code) {
        case PSN_APPLY:
            context.confirmed = true;
            SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return true;
        case PSN_RESET:
            return true;
        default:
            return false;
    }
}

}  // namespace fw::win
