#include "win/accessible_names.h"

#include <commctrl.h>
#include <ole2.h>

namespace harvelin::win {

namespace {

// The subclass that answers WM_GETOBJECT (the edits have a filter of their
// own), and the property that holds the control's namer.
constexpr UINT_PTR NamingSubclass = 2;
constexpr const wchar_t* NamerProperty = L"HarvelinControlNamer";

// UI Automation's "LiveSetting" property, which the annotation sets; not in
// MinGW's headers. 1 is "polite": read once the screen reader is idle.
constexpr GUID LiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG PoliteLiveSetting = 1;

// None once the control has gone.
const ControlNamer* namerOf(HWND control)
{
    return static_cast<const ControlNamer*>(::GetPropW(control, NamerProperty));
}

// The system's object for a control with the name the form gives it; every
// other answer is the system object's own. A screen reader may hold on to it
// after the control has gone; it then answers as the system's object does.
// The other interfaces a client may ask for (IEnumVARIANT, IOleWindow) are
// the system object's too: they answer for the same control.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(HWND control, IAccessible* standard) : control_(control), standard_(standard) {}
    NamedAccessible(const NamedAccessible&) = delete;
    NamedAccessible& operator=(const NamedAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return standard_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (name && child.vt == VT_I4 && child.lVal == CHILDID_SELF) {
            const ControlNamer* namer = namerOf(control_);
            const std::wstring own = namer ? namer->accessibleName(control_) : std::wstring();
            if (!own.empty()) {
                *name = ::SysAllocStringLen(own.data(), static_cast<UINT>(own.size()));
                return *name ? S_OK : E_OUTOFMEMORY;
            }
        }
        return standard_->get_accName(child, name);
    }

    // --- the system object's answers
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override
    {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override
    {
        return standard_->Invoke(id, iid, locale, flags, params, result, exception, badArgument);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        if (text && child.vt == VT_I4 && child.lVal == CHILDID_SELF) {
            const ControlNamer* namer = namerOf(control_);
            const std::wstring own = namer ? namer->accessibleDescription(control_) : std::wstring();
            if (!own.empty()) {
                *text = ::SysAllocStringLen(own.data(), static_cast<UINT>(own.size()));
                return *text ? S_OK : E_OUTOFMEMORY;
            }
        }
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override
    {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG how, VARIANT child) override { return standard_->accSelect(how, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override
    {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override
    {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return standard_->put_accValue(child, value);
    }

private:
    ~NamedAccessible() { standard_->Release(); }

    HWND control_;
    IAccessible* standard_;
    LONG references_ = 1;
};

// WM_GETOBJECT for the client object is answered with a fresh object each
// time; anything the layer cannot hand over leaves the system to answer.
LRESULT CALLBACK answerAccessibility(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR)
{
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        IAccessible* standard = nullptr;
        if (SUCCEEDED(::CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                  reinterpret_cast<void**>(&standard)))) {
            auto* named = new NamedAccessible(control, standard);
            const LRESULT handed = ::LresultFromObject(__uuidof(IAccessible), wParam, named);
            named->Release();
            if (handed > 0)
                return handed;
        }
    } else if (message == WM_NCDESTROY) {
        ::RemovePropW(control, NamerProperty);
        ::RemoveWindowSubclass(control, answerAccessibility, NamingSubclass);
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

AccessibleControls::~AccessibleControls()
{
    if (!annotations_)
        return;
    for (HWND control : live_)
        annotations_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &LiveSettingProperty, 1);
    annotations_->Release();
}

void AccessibleControls::name(HWND control)
{
    // The namer is the form, which outlives its controls.
    ::SetPropW(control, NamerProperty, const_cast<ControlNamer*>(&namer_));
    ::SetWindowSubclass(control, answerAccessibility, NamingSubclass, 0);
}

// The live setting is a dynamic annotation of the control's client object,
// kept by the system's layer beside the object the control answers with.
void AccessibleControls::markLive(HWND control)
{
    if (!annotations_ && FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                                    IID_IAccPropServices, reinterpret_cast<void**>(&annotations_)))) {
        annotations_ = nullptr;
        return;
    }
    VARIANT polite;
    ::VariantInit(&polite);
    polite.vt = VT_I4;
    polite.lVal = PoliteLiveSetting;
    if (SUCCEEDED(annotations_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                            LiveSettingProperty, polite)))
        live_.push_back(control);
}

void AccessibleControls::tell(HWND control, DWORD event)
{
    ::NotifyWinEvent(event, control, OBJID_CLIENT, CHILDID_SELF);
}

void AccessibleControls::liveRegionChanged(HWND control)
{
    ::NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace harvelin::win
