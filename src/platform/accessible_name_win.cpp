#include "platform/accessible_name_win.h"

#include <oleacc.h>

#include <memory>

namespace lumora::platform {
namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The standard object of a control with the name replaced; everything else
// is the standard object's.
class NamedAccessible final : public IAccessible {
 public:
  NamedAccessible(IAccessible* inner, const wchar_t* name) : inner_(inner), name_(name) {}
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // IEnumVARIANT for the children, IOleWindow for the window: the
    // standard object's own.
    return inner_->QueryInterface(riid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) std::unique_ptr<NamedAccessible> last(this);
    return static_cast<ULONG>(left);
  }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, locale, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
    return inner_->GetIDsOfNames(riid, names, count, locale, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override {
    return inner_->Invoke(id, riid, locale, flags, params, result, exception, argumentError);
  }

  // IAccessible
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child)) return inner_->get_accName(child, name);
    if (!name) return E_POINTER;
    *name = SysAllocString(name_);
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  STDMETHODIMP get_accParent(IDispatch** parent) override { return inner_->get_accParent(parent); }
  STDMETHODIMP get_accChildCount(long* count) override { return inner_->get_accChildCount(count); }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override { return inner_->get_accChild(child, object); }
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override { return inner_->get_accValue(child, value); }
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override { return inner_->get_accRole(child, role); }
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override { return inner_->get_accState(child, state); }
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override { return inner_->get_accHelp(child, help); }
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return inner_->get_accKeyboardShortcut(child, shortcut);
  }
  STDMETHODIMP get_accFocus(VARIANT* child) override { return inner_->get_accFocus(child); }
  STDMETHODIMP get_accSelection(VARIANT* children) override { return inner_->get_accSelection(children); }
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  STDMETHODIMP accSelect(long flags, VARIANT child) override { return inner_->accSelect(flags, child); }
  STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    return inner_->accLocation(left, top, width, height, child);
  }
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(direction, start, end);
  }
  STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override { return inner_->accHitTest(x, y, child); }
  STDMETHODIMP accDoDefaultAction(VARIANT child) override { return inner_->accDoDefaultAction(child); }
  STDMETHODIMP put_accName(VARIANT child, BSTR name) override { return inner_->put_accName(child, name); }
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) override { return inner_->put_accValue(child, value); }

 private:
  ~NamedAccessible() { inner_->Release(); }
  friend struct std::default_delete<NamedAccessible>;

  LONG references_ = 1;
  IAccessible* inner_;  // one reference, released with this object
  const wchar_t* name_;
};

}  // namespace

LRESULT AnswerAccessibleObject(HWND control, WPARAM wParam, LPARAM lParam, const wchar_t* name, bool& handled) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&standard))) ||
      !standard) {
    return 0;
  }
  // The client takes its own reference through the result; ours goes.
  auto named = std::make_unique<NamedAccessible>(standard, name);
  const LRESULT result = LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(named.get()));
  named.release()->Release();
  if (FAILED(static_cast<HRESULT>(result))) return 0;
  handled = true;
  return result;
}

}  // namespace lumora::platform
