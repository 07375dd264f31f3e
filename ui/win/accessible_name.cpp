#include "ui/win/accessible_name.h"

#include <commctrl.h>
#include <oleacc.h>

#include <utility>

namespace fw::win {

namespace {

// The interface's id by __uuidof: MinGW's import libraries name
// IID_IAccessible as a function of oleacc.dll, whose address is no id.

bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT giveText(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The standard object with the name and value given; everything else is
// the standard object's answer.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible* standard, AccessibleText text) : standard_(standard), text_(std::move(text)) {}
    NamedAccessible(const NamedAccessible&) = delete;
    NamedAccessible& operator=(const NamedAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
            IsEqualIID(iid, __uuidof(IAccessible))) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // IEnumVARIANT, IOleWindow: the standard object's own.
        return standard_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return standard_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return standard_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* badArgument) override {
        return standard_->Invoke(id, iid, lcid, flags, params, result, exception, badArgument);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (isSelf(child) && !text_.name.empty()) return giveText(text_.name, name);
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (isSelf(child) && !text_.value.empty()) return giveText(text_.value, value);
        return standard_->get_accValue(child, value);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override { return standard_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return standard_->get_accDescription(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        return standard_->get_accRole(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        return standard_->get_accState(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return standard_->get_accHelp(child, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return standard_->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return standard_->get_accFocus(out); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return standard_->get_accSelection(out); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return standard_->get_accDefaultAction(child, out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override {
        return standard_->accLocation(x, y, w, h, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
        return standard_->accNavigate(direction, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override { return standard_->accHitTest(x, y, out); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~NamedAccessible() { standard_->Release(); }

    LONG references_ = 1;
    IAccessible* standard_;
    AccessibleText text_;
};

constexpr UINT_PTR kNameSubclass = 0x464E414D;   // one subclass per control
// The name a control was given, so that naming it again renames it.
const wchar_t kNameProperty[] = L"FwAccessibleName";

LRESULT CALLBACK namedControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* name = reinterpret_cast<std::wstring*>(data);
    if (msg == WM_GETOBJECT) {
        if (LRESULT answer = answerAccessibleObject(hwnd, wParam, lParam, AccessibleText{*name, {}})) return answer;
    } else if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, namedControlProc, kNameSubclass);
        RemovePropW(hwnd, kNameProperty);
        delete name;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

LRESULT answerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleText& text) {
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT)) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))) ||
        !standard)
        return 0;
    auto* named = new NamedAccessible(standard, text);
    const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, named);
    named->Release();   // the answer holds its own reference
    return FAILED(answer) ? 0 : answer;
}

void setAccessibleName(HWND control, const std::wstring& name) {
    if (!control) return;
    if (auto* kept = static_cast<std::wstring*>(GetPropW(control, kNameProperty))) {
        *kept = name;
        return;
    }
    auto* kept = new std::wstring(name);
    if (!SetWindowSubclass(control, namedControlProc, kNameSubclass, reinterpret_cast<DWORD_PTR>(kept))) {
        delete kept;
        return;
    }
    SetPropW(control, kNameProperty, kept);
}

}  // namespace fw::win
