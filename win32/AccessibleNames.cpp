#include "AccessibleNames.h"

#include <oleacc.h>

#include <memory>
#include <string>

#include "ComApartment.h"
#include "Controls.h"
#include "Libraries.h"
#include "UniqueHandle.h"

namespace {

// The text of the label before `control`: what a sighted player reads as its name. The text field
// of a combo box, which has the keyboard while the box has it, takes the box's.
std::wstring LabelOf(HWND control) {
    if (HWND parent = GetParent(control); IsWindowClass(parent, L"ComboBox")) control = parent;
    for (HWND before = GetWindow(control, GW_HWNDPREV); before; before = GetWindow(before, GW_HWNDPREV)) {
        if (!IsWindowClass(before, L"Static") && !IsGroupBox(before)) continue;
        std::wstring text = WindowText(before);
        if (const size_t mark = text.find(L'&'); mark != std::wstring::npos) text.erase(mark, 1);
        while (!text.empty() && text.back() == L' ') text.pop_back();
        return text;
    }
    return std::wstring();
}

// What the names need of oleacc and oleaut32, loaded when a screen reader first asks: most runs
// never do.
struct Accessibility {
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&SysAllocString) allocString = nullptr;

    static const Accessibility& Get() {
        static const Accessibility functions = [] {
            Accessibility found;
            const HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll"), oleaut32 = LoadSystemLibrary(L"oleaut32.dll");
            found.createStandard = reinterpret_cast<decltype(&CreateStdAccessibleObject)>(
                reinterpret_cast<void*>(GetProcAddress(oleacc, "CreateStdAccessibleObject")));
            found.lresultFromObject = reinterpret_cast<decltype(&LresultFromObject)>(
                reinterpret_cast<void*>(GetProcAddress(oleacc, "LresultFromObject")));
            found.allocString = reinterpret_cast<decltype(&SysAllocString)>(
                reinterpret_cast<void*>(GetProcAddress(oleaut32, "SysAllocString")));
            return found;
        }();
        return functions;
    }
    bool Loaded() const { return createStandard && lresultFromObject && allocString; }
};

// The control's standard accessible object, with the label's text as its name; everything else
// is the standard object's.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(ComPtr<IAccessible> standard, std::wstring name)
        : standard_(std::move(standard)), name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IDispatch) && iid != __uuidof(IAccessible))
            return standard_.get()->QueryInterface(iid, object);  // IEnumVARIANT, IOleWindow...: the standard's
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;  // a COM object ends itself at its last release
        return left;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return standard_.get()->get_accName(child, name);
        *name = Accessibility::Get().allocString(name_.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }

    // The rest, as the standard object answers.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_.get()->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_.get()->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_.get()->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        return standard_.get()->Invoke(id, iid, locale, flags, parameters, result, exception, badArgument);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_.get()->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_.get()->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_.get()->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_.get()->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_.get()->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_.get()->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_.get()->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_.get()->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_.get()->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_.get()->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_.get()->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_.get()->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_.get()->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_.get()->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_.get()->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_.get()->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_.get()->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_.get()->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_.get()->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_.get()->put_accValue(child, value);
    }

private:
    ComPtr<IAccessible> standard_;
    std::wstring name_;
    LONG references_ = 1;
};

// WM_GETOBJECT for the control's client object: the standard one under the label's name. 0, for
// the system's own answer, when that cannot be made.
LRESULT NamedClientObject(HWND control, WPARAM flags) {
    // The object is marshalled to the screen reader through COM, which the thread must have: from
    // the first request on, for the rest of the run.
    static const ComApartment apartment;
    const Accessibility& accessibility = Accessibility::Get();
    ComPtr<IAccessible> standard;
    // CreateStdAccessibleObject makes the proxy itself: it sends no WM_GETOBJECT back here.
    if (!accessibility.Loaded() ||
        FAILED(accessibility.createStandard(control, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(standard.put()))))
        return 0;
    const ComPtr<IAccessible> named(std::make_unique<NamedAccessible>(std::move(standard), LabelOf(control)).release());
    return accessibility.lresultFromObject(__uuidof(IAccessible), flags, named.get());
}

LRESULT CALLBACK NamedControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    // The object id is a DWORD in lParam, whatever the width of LPARAM.
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT object = NamedClientObject(control, wParam)) return object;
    }
    return CallBehindSubclass(&NamedControlProcedure, control, message, wParam, lParam);
}

}  // namespace

void NameControlsByTheirLabels(HWND dialog) {
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowClass(control, L"ListBox") && !IsWindowClass(control, L"ComboBox") && !IsWindowClass(control, L"Edit")) continue;
        SubclassControl(control, &NamedControlProcedure);
        if (HWND field = FindWindowExW(control, nullptr, L"Edit", nullptr)) SubclassControl(field, &NamedControlProcedure);
    }
}
