#include "com_server/inv_printer_object.h"

#include <atomic>
#include <cwchar>
#include <vector>

#include "com_server/dispatch_recordset.h"
#include "com_server/members.h"
#include "com_server/type_library.h"
#include "com_server/variant_convert.h"

namespace orvo::com {

namespace {

std::atomic<long> g_live{0};

constexpr std::int32_t kWrongArguments = 450;  // "Wrong number of arguments or invalid property assignment"

bool same_name(const wchar_t* a, const wchar_t* b) { return ::_wcsicmp(a, b) == 0; }

int field_index(DISPID id) {
  const auto i = static_cast<long long>(id) - kFirstField;
  return i >= 0 && i < static_cast<long long>(InvoiceRecord::kFields.size()) ? static_cast<int>(i)
                                                                              : -1;
}

const MethodInfo* method_info(DISPID id) {
  for (const auto& m : kMethods) {
    if (static_cast<DISPID>(m.id) == id) return &m;
  }
  return nullptr;
}

const PropertyInfo* property_info(DISPID id) {
  for (const auto& p : kProperties) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

std::size_t param_count(const MethodInfo& m) {
  std::size_t n = 0;
  while (n < m.params.size() && m.params[n] != nullptr) ++n;
  return n;
}

// The arguments in the method's order, from positional and named ones alike.
std::vector<VARIANT*> arguments(const MethodInfo& m, DISPPARAMS* p) {
  const std::size_t wanted = param_count(m);
  const UINT given = p ? p->cArgs : 0;
  const UINT named = p ? p->cNamedArgs : 0;
  std::vector<VARIANT*> args(wanted, nullptr);
  if (given > wanted) raise(kWrongArguments, "Wrong number of arguments or invalid property assignment");
  for (UINT k = 0; k < given - named; ++k) args[k] = &p->rgvarg[given - 1 - k];
  for (UINT i = 0; i < named; ++i) {
    const DISPID slot = p->rgdispidNamedArgs[i];
    if (slot < 0 || static_cast<std::size_t>(slot) >= wanted) {
      raise(kWrongArguments, "Wrong number of arguments or invalid property assignment");
    }
    args[static_cast<std::size_t>(slot)] = &p->rgvarg[i];
  }
  for (const VARIANT* a : args) {
    if (a == nullptr) raise(kWrongArguments, "Wrong number of arguments or invalid property assignment");
  }
  return args;
}

// A by-reference Integer argument gets the value back; a value passed by value keeps its own.
void write_back(VARIANT* arg, std::int16_t value) {
  if (arg->vt == (VT_I2 | VT_BYREF)) {
    *arg->piVal = value;
  } else if (arg->vt == (VT_VARIANT | VT_BYREF) && arg->pvarVal != nullptr) {
    ::VariantClear(arg->pvarVal);
    arg->pvarVal->vt = VT_I2;
    arg->pvarVal->iVal = value;
  }
}

void set_bool(VARIANT* result, bool value) {
  if (!result) return;
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// Also as the thread's error object, for hosts that ask GetErrorInfo rather than EXCEPINFO.
void set_error_info(const Error& e) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(::CreateErrorInfo(&create))) return;
  create->SetGUID(kIidInvPrinter);
  create->SetSource(const_cast<LPOLESTR>(wide(e.source()).c_str()));
  create->SetDescription(const_cast<LPOLESTR>(wide(e.description()).c_str()));
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    ::SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

}  // namespace

long live_objects() { return g_live.load(); }

InvPrinterObject::InvPrinterObject(std::shared_ptr<Host> host) : inv_(std::move(host)) { ++g_live; }

InvPrinterObject::~InvPrinterObject() {
  for (auto& [id, held] : held_) ::VariantClear(&held.original);
  --g_live;
}

HRESULT InvPrinterObject::QueryInterface(REFIID riid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIidInvPrinter) {
    *out = static_cast<IDispatch*>(this);
  } else if (riid == IID_ISupportErrorInfo) {
    *out = static_cast<ISupportErrorInfo*>(this);
  } else if (riid == IID_IProvideClassInfo) {
    *out = static_cast<IProvideClassInfo*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG InvPrinterObject::AddRef() { return static_cast<ULONG>(++refs_); }

ULONG InvPrinterObject::Release() {
  const long left = --refs_;
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT InvPrinterObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT InvPrinterObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return type_info(kIidInvPrinter, info);
}

HRESULT InvPrinterObject::GetClassInfo(ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  return type_info(kClsidInvPrinter, info);
}

HRESULT InvPrinterObject::InterfaceSupportsErrorInfo(REFIID riid) {
  return riid == kIidInvPrinter || riid == IID_IDispatch ? S_OK : S_FALSE;
}

HRESULT InvPrinterObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const MethodInfo* method = nullptr;
  for (std::size_t i = 0; i < InvoiceRecord::kFields.size(); ++i) {
    if (same_name(names[0], wide(std::string(InvoiceRecord::kFields[i].name)).c_str())) {
      ids[0] = kFirstField + static_cast<DISPID>(i);
    }
  }
  for (const auto& p : kProperties) {
    if (same_name(names[0], p.name)) ids[0] = p.id;
  }
  for (const auto& m : kMethods) {
    if (same_name(names[0], m.name)) {
      ids[0] = static_cast<DISPID>(m.id);
      method = &m;
    }
  }
  if (ids[0] == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
  // The rest name arguments of a method.
  bool all = true;
  for (UINT i = 1; i < count; ++i) {
    for (std::size_t k = 0; method != nullptr && k < param_count(*method); ++k) {
      if (same_name(names[i], method->params[k])) ids[i] = static_cast<DISPID>(k);
    }
    all = all && ids[i] != DISPID_UNKNOWN;
  }
  return all ? S_OK : DISP_E_UNKNOWNNAME;
}

bool InvPrinterObject::is_value_member(DISPID id) const {
  return field_index(id) >= 0 || property_info(id) != nullptr;
}

Variant InvPrinterObject::value_of(DISPID id) const {
  if (const int i = field_index(id); i >= 0) return inv_.*InvoiceRecord::kFields[i].member;
  switch (id) {
    case kInvPrintType: return inv_.InvPrintType();
    case kInvPrintPort: return inv_.InvPrintPort();
    case kInvType: return inv_.InvType();
    default: return inv_.InvNo();
  }
}

void InvPrinterObject::store(DISPID id, const Variant& v) {
  if (const int i = field_index(id); i >= 0) {
    inv_.*InvoiceRecord::kFields[i].member = v;
    return;
  }
  switch (id) {
    case kInvPrintType: inv_.InvPrintType(v); return;
    case kInvPrintPort: inv_.InvPrintPort(v); return;
    case kInvType: inv_.InvType(v); return;
    default: inv_.InvNo(v); return;
  }
}

void InvPrinterObject::forget(DISPID id) {
  if (auto it = held_.find(id); it != held_.end()) {
    ::VariantClear(&it->second.original);
    held_.erase(it);
  }
}

void InvPrinterObject::get(DISPID id, VARIANT* result) {
  if (result == nullptr) return;
  const Variant now = value_of(id);
  if (auto it = held_.find(id); it != held_.end() && it->second.as_put == now) {
    ::VariantCopy(result, &it->second.original);
    return;
  }
  to_variant(now, *result);
}

void InvPrinterObject::put(DISPID id, const VARIANT& value, bool by_ref) {
  IDispatch* object = object_of(value);
  const bool is_object = (value.vt & VT_TYPEMASK) == VT_DISPATCH ||
                         (value.vt == (VT_VARIANT | VT_BYREF) && value.pvarVal &&
                          (value.pvarVal->vt & VT_TYPEMASK) == VT_DISPATCH);
  if (by_ref) {
    const PropertyInfo* p = property_info(id);
    if ((p != nullptr && !p->settable) || !is_object) {
      raise(kWrongArguments, "Wrong number of arguments or invalid property assignment");
    }
    Variant now;
    if (object != nullptr) {
      try {
        now = from_variant(value);
      } catch (const Error&) {
        // An object without a default value is held all the same; it reads as nothing.
      }
    }
    store(id, now);
    forget(id);
    Held held{{}, now};
    ::VariantInit(&held.original);
    held.original.vt = VT_DISPATCH;
    held.original.pdispVal = object;
    if (object) object->AddRef();
    held_.emplace(id, held);
    return;
  }
  const Variant v = from_variant(value);
  store(id, v);
  forget(id);
  Held held{{}, v};
  ::VariantInit(&held.original);
  if (is_object || FAILED(::VariantCopyInd(&held.original, const_cast<VARIANT*>(&value)))) return;
  held_.emplace(id, held);
}

void InvPrinterObject::refresh_objects() {
  for (auto& [id, held] : held_) {
    if (held.original.vt != VT_DISPATCH || held.original.pdispVal == nullptr) continue;
    const Variant now = from_variant(held.original);
    store(id, now);
    held.as_put = now;
  }
}

void InvPrinterObject::call(DISPID id, DISPPARAMS* params, VARIANT* result) {
  const MethodInfo& m = *method_info(id);
  const std::vector<VARIANT*> args = arguments(m, params);
  refresh_objects();
  switch (m.id) {
    case Method::SetPrinter:
      inv_.SetPrinter();
      return;
    case Method::PrintInv: {
      DispatchRecordset items(object_of(*args[1]));
      set_bool(result, inv_.PrintInv(from_variant(*args[0]), items));
      return;
    }
    case Method::PrintT2: {
      Variant item = from_variant(*args[3]);
      set_bool(result, inv_.PrintT2(from_variant(*args[0]), from_variant(*args[1]),
                                    from_variant(*args[2]), item));
      return;
    }
    case Method::TestPrint:
      inv_.TestPrint();
      return;
    case Method::Print_DAYEH:
    case Method::Print_FE:
    case Method::Print_CF: {
      DispatchRecordset items(object_of(*args[0]));
      const Variant printed = m.id == Method::Print_DAYEH ? inv_.Print_DAYEH(items)
                              : m.id == Method::Print_FE  ? inv_.Print_FE(items)
                                                          : inv_.Print_CF(items);
      if (result) to_variant(printed, *result);
      return;
    }
    case Method::InvHead_FE:
    case Method::InvHead_CF: {
      const std::int16_t fno = CInt(from_variant(*args[0]));
      std::int16_t page = CInt(from_variant(*args[1]));
      std::int16_t line = CInt(from_variant(*args[2]));
      if (m.id == Method::InvHead_FE) {
        inv_.InvHead_FE(fno, page, line);
      } else {
        inv_.InvHead_CF(fno, page, line);
      }
      write_back(args[1], page);
      write_back(args[2], line);
      return;
    }
  }
}

HRESULT InvPrinterObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* arg_error) {
  if (arg_error) *arg_error = 0;
  if (result) ::VariantInit(result);
  const bool member = is_value_member(id);
  if (!member && method_info(id) == nullptr) return DISP_E_MEMBERNOTFOUND;
  const UINT given = params ? params->cArgs : 0;
  try {
    if (member && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) {
      if (given != 1) return DISP_E_BADPARAMCOUNT;
      // A value stored with Set keeps the object; a value assigned with Let is read from it.
      const bool by_ref = (flags & DISPATCH_PROPERTYPUTREF) &&
                          (!(flags & DISPATCH_PROPERTYPUT) || object_of(params->rgvarg[0]));
      put(id, params->rgvarg[0], by_ref);
      return S_OK;
    }
    if (member) {
      if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
      if (given != 0) return DISP_E_BADPARAMCOUNT;
      get(id, result);
      return S_OK;
    }
    if (!(flags & DISPATCH_METHOD) && !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    call(id, params, result);
    return S_OK;
  } catch (...) {
    Error e = current_error();
    if (e.source().empty()) e = Error(e.number(), "OrvoInvoice", e.description());
    set_error_info(e);
    if (result) ::VariantClear(result);
    return report(e, exception);
  }
}

}  // namespace orvo::com
