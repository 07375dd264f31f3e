// What a screen reader reads of a window, asked the way one asks: for the
// window's client object, through WM_GETOBJECT and COM marshalling.
#include <windows.h>
#include <oleacc.h>

#include "window_test_support.h"
#include "ui/win/wide_text.h"

namespace fw::wintest {

namespace {

using Reader = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

std::string readAccessible(HWND hwnd, Reader read) {
    // The object is marshalled through COM: the thread needs an apartment.
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    (void)com;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return "(none)";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    std::string result = "(none)";
    if (SUCCEEDED((object->*read)(self, &text)) && text) {
        result = win::utf8FromWide(std::wstring(text, SysStringLen(text)));
        SysFreeString(text);
    }
    object->Release();
    return result;
}

}  // namespace

std::string accessibleName(HWND hwnd) { return readAccessible(hwnd, &IAccessible::get_accName); }
std::string accessibleValue(HWND hwnd) { return readAccessible(hwnd, &IAccessible::get_accValue); }

}  // namespace fw::wintest
