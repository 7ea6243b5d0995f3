#include "com_server/variant_convert.h"

#include <cmath>
#include <cstring>

#include "platform/windows/wide.h"

namespace orvo::com {

std::wstring wide(const std::string& text) { return win::widen(text); }

std::string utf8(const wchar_t* text, std::size_t n) {
  return text ? win::narrow(std::wstring_view(text, n)) : std::string();
}

namespace {

std::string bstr_text(BSTR b) { return utf8(b, b ? ::SysStringLen(b) : 0); }

// The object's default member (DISPID_VALUE), as a host language reads an object used as a value.
Variant default_value(IDispatch* object) {
  if (object == nullptr) raise(91, "Object variable or With block variable not set");
  DISPPARAMS none{};
  VARIANT result;
  ::VariantInit(&result);
  EXCEPINFO info{};
  const HRESULT hr = object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, &result, &info,
                                    nullptr);
  if (FAILED(hr)) raise_from(hr, info, "the object's default value");
  Variant value = result.vt == VT_DISPATCH ? Variant() : from_variant(result);
  const bool nested = result.vt == VT_DISPATCH;
  ::VariantClear(&result);
  if (nested) raise_type_mismatch();
  return value;
}

}  // namespace

IDispatch* object_of(const VARIANT& v) {
  switch (v.vt) {
    case VT_DISPATCH: return v.pdispVal;
    case VT_DISPATCH | VT_BYREF: return v.ppdispVal ? *v.ppdispVal : nullptr;
    case VT_VARIANT | VT_BYREF: return v.pvarVal ? object_of(*v.pvarVal) : nullptr;
    default: return nullptr;
  }
}

Variant from_variant(const VARIANT& v) {
  if (v.vt == (VT_VARIANT | VT_BYREF)) return v.pvarVal ? from_variant(*v.pvarVal) : Variant();
  switch (v.vt & ~VT_BYREF) {
    case VT_EMPTY: return Variant();
    case VT_NULL: return Variant::null();
    case VT_ERROR: return Variant();  // a missing optional argument
    case VT_BOOL: return Variant((v.vt & VT_BYREF ? *v.pboolVal : v.boolVal) != VARIANT_FALSE);
    case VT_BSTR: return Variant(bstr_text(v.vt & VT_BYREF ? *v.pbstrVal : v.bstrVal));
    case VT_DATE: return Variant(DateValue{v.vt & VT_BYREF ? *v.pdate : v.date});
    case VT_DISPATCH: return default_value(object_of(v));
    case VT_UNKNOWN: {
      IUnknown* unknown = v.vt & VT_BYREF ? *v.ppunkVal : v.punkVal;
      IDispatch* object = nullptr;
      if (unknown) unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object));
      if (!object) raise_type_mismatch();
      try {
        Variant value = default_value(object);
        object->Release();
        return value;
      } catch (...) {
        object->Release();
        throw;
      }
    }
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_UI1: case VT_UI2: case VT_UI4:
    case VT_UI8: case VT_INT: case VT_UINT: case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: {
      VARIANT number;
      ::VariantInit(&number);
      if (FAILED(::VariantChangeType(&number, const_cast<VARIANT*>(&v), 0, VT_R8))) raise_overflow();
      return Variant(number.dblVal);
    }
    default:
      raise_type_mismatch();
  }
}

void to_variant(const Variant& v, VARIANT& out) {
  ::VariantInit(&out);
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return;
    case Variant::Kind::Null:
      out.vt = VT_NULL;
      return;
    case Variant::Kind::Boolean:
      out.vt = VT_BOOL;
      out.boolVal = v.as_bool() ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case Variant::Kind::Number: {
      const double d = v.as_number();
      if (d == std::trunc(d) && d >= -2147483648.0 && d <= 2147483647.0) {
        out.vt = VT_I4;
        out.lVal = static_cast<LONG>(d);
      } else {
        out.vt = VT_R8;
        out.dblVal = d;
      }
      return;
    }
    case Variant::Kind::Text:
      out.vt = VT_BSTR;
      out.bstrVal = ::SysAllocString(wide(v.as_text()).c_str());
      return;
    case Variant::Kind::Date:
      out.vt = VT_DATE;
      out.date = v.as_date().serial;
      return;
  }
}

HRESULT error_hresult(const Error& e) {
  if (e.number() < 0) return static_cast<HRESULT>(e.number());
  return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, e.number() & 0xFFFF);
}

HRESULT report(const Error& e, EXCEPINFO* info) {
  if (info != nullptr) {
    std::memset(info, 0, sizeof *info);
    info->scode = error_hresult(e);
    info->bstrSource = ::SysAllocString(wide(e.source()).c_str());
    info->bstrDescription = ::SysAllocString(wide(e.description()).c_str());
  }
  return DISP_E_EXCEPTION;
}

void raise_from(HRESULT hr, const EXCEPINFO& info, const std::string& what) {
  if (hr == DISP_E_EXCEPTION) {
    const HRESULT code = info.scode != 0 ? info.scode : MAKE_HRESULT(1, FACILITY_CONTROL, info.wCode);
    const std::string description = bstr_text(info.bstrDescription);
    // A run-time error of the host's language keeps its own number.
    const std::int32_t number =
        HRESULT_FACILITY(code) == FACILITY_CONTROL ? HRESULT_CODE(code) : static_cast<std::int32_t>(code);
    ::SysFreeString(info.bstrSource);
    ::SysFreeString(info.bstrDescription);
    ::SysFreeString(info.bstrHelpFile);
    raise(number, description.empty() ? what + ": error " + std::to_string(number) : description);
  }
  raise(static_cast<std::int32_t>(hr), what + ": " + win::system_message(static_cast<unsigned long>(hr)));
}

}  // namespace orvo::com
