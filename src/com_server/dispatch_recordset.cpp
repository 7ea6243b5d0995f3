#include "com_server/dispatch_recordset.h"

#include <dispex.h>

#include <algorithm>
#include <vector>

#include "com_server/variant_convert.h"
#include "shared/errors.h"

namespace orvo::com {

namespace {

// Not in mingw's uuid library.
constexpr IID kIidDispatchEx = {0xA6EF9860, 0xC720, 0x11D0, {0x93, 0x37, 0x00, 0xA0, 0xC9, 0x0D, 0xCA, 0xA9}};
constexpr std::int32_t kObjectNotSet = 91;
constexpr std::int32_t kNoSuchMember = 438;

// Releases a VARIANT on every path.
struct Result {
  VARIANT v;
  Result() { ::VariantInit(&v); }
  ~Result() { ::VariantClear(&v); }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;
};

[[noreturn]] void no_member(const std::wstring& name) {
  raise(kNoSuchMember, "Object doesn't support this property or method: " +
                           utf8(name.c_str(), name.size()));
}

// The member's dispatch id: by GetIDsOfNames, else by IDispatchEx, which script objects answer.
// False when the object has no such member.
bool find_member(IDispatch* object, const std::wstring& name, DISPID& id) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
  if (SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return true;
  IDispatchEx* ex = nullptr;
  if (FAILED(object->QueryInterface(kIidDispatchEx, reinterpret_cast<void**>(&ex)))) return false;
  BSTR bname = ::SysAllocString(name.c_str());
  const HRESULT hr = ex->GetDispID(bname, fdexNameCaseInsensitive, &id);
  ::SysFreeString(bname);
  ex->Release();
  return SUCCEEDED(hr);
}

void invoke(IDispatch* object, DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT& out,
            const std::wstring& what) {
  // DISPPARAMS wants the arguments last to first.
  std::vector<VARIANT> reversed(args, args + count);
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS params{reversed.data(), nullptr, count, 0};
  EXCEPINFO info{};
  const HRESULT hr =
      object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &out, &info, nullptr);
  if (FAILED(hr)) raise_from(hr, info, "recordset " + utf8(what.c_str(), what.size()));
}

IDispatch* object_or_raise(const VARIANT& v, const wchar_t* what) {
  IDispatch* object = object_of(v);
  if (object == nullptr) {
    raise(kObjectNotSet, "Object variable or With block variable not set: " +
                             utf8(what, std::char_traits<wchar_t>::length(what)) +
                             " gave no object");
  }
  return object;
}

}  // namespace

void call(IDispatch* object, const std::wstring& name, WORD flags, VARIANT* args, UINT count,
          VARIANT& out) {
  if (object == nullptr) {
    raise(kObjectNotSet, "Object variable or With block variable not set: no recordset");
  }
  DISPID id = 0;
  if (!find_member(object, name, id)) no_member(name);
  invoke(object, id, flags, args, count, out, name);
}

DispatchRecordset::DispatchRecordset(IDispatch* rs) : rs_(rs) {
  if (rs_) rs_->AddRef();
}

DispatchRecordset::~DispatchRecordset() {
  if (rs_) rs_->Release();
}

int DispatchRecordset::State() const {
  Result r;
  call(rs_, L"State", DISPATCH_PROPERTYGET, nullptr, 0, r.v);
  return static_cast<int>(Num(from_variant(r.v)));
}

bool DispatchRecordset::Eof() const {
  Result r;
  call(rs_, L"EOF", DISPATCH_PROPERTYGET, nullptr, 0, r.v);
  const Variant eof = from_variant(r.v);
  return eof.kind() == Variant::Kind::Boolean ? eof.as_bool() : Num(eof) != 0;
}

// Fields(name).Value: the collection's Item, or its default member; the field's Value, or the
// item itself when it is a plain value already.
Variant DispatchRecordset::Fields(std::string_view name) const {
  Result fields;
  call(rs_, L"Fields", DISPATCH_PROPERTYGET, nullptr, 0, fields.v);
  IDispatch* collection = object_or_raise(fields.v, L"Fields");
  VARIANT key;
  key.vt = VT_BSTR;
  key.bstrVal = ::SysAllocString(wide(std::string(name)).c_str());
  Result item;
  try {
    DISPID id = DISPID_VALUE;
    find_member(collection, L"Item", id);
    invoke(collection, id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &key, 1, item.v, L"Fields.Item");
  } catch (...) {
    ::VariantClear(&key);
    throw;
  }
  ::VariantClear(&key);
  IDispatch* field = object_of(item.v);
  if (field == nullptr) return from_variant(item.v);
  Result value;
  DISPID id = DISPID_VALUE;
  find_member(field, L"Value", id);
  invoke(field, id, DISPATCH_PROPERTYGET, nullptr, 0, value.v, L"Field.Value");
  return from_variant(value.v);
}

void DispatchRecordset::MoveNext() {
  Result r;
  call(rs_, L"MoveNext", DISPATCH_METHOD, nullptr, 0, r.v);
}

}  // namespace orvo::com
