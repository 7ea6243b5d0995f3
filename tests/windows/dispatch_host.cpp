// A host that knows OrvoInvoice.InvPrinter only by its class id: every member is reached through
// GetIDsOfNames and Invoke, as a late-bound point-of-sale program reaches it. Prints one line
// per failure and "dispatch host: N failures" last; exits 1 on any failure.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// {D8F94DF9-AD3A-4788-A410-DAC4E4C1841C}
const CLSID kClass = {0xD8F94DF9, 0xAD3A, 0x4788, {0xA4, 0x10, 0xDA, 0xC4, 0xE4, 0xC1, 0x84, 0x1C}};
// {2C7D14B0-CF96-4674-BDF3-1D6E01617114}
const IID kInterface = {0x2C7D14B0, 0xCF96, 0x4674, {0xBD, 0xF3, 0x1D, 0x6E, 0x01, 0x61, 0x71, 0x14}};

struct Member {
  const wchar_t* name;
  DISPID id;
};

// What a binary-compatible host was built against.
const Member kMembers[] = {
    {L"POSID", 0x40030007},        {L"TblName", 0x40030008},      {L"RNo", 0x40030009},
    {L"CheckNo", 0x4003000a},      {L"InvDate", 0x4003000b},      {L"BNo", 0x4003000c},
    {L"InvTime", 0x4003000d},      {L"InvAmt", 0x4003000e},       {L"UserID", 0x4003000f},
    {L"StoreID", 0x40030010},      {L"Remark", 0x40030011},       {L"SCharge", 0x40030012},
    {L"Discount", 0x40030013},     {L"TaxAdd", 0x40030014},       {L"OrderAmt", 0x40030015},
    {L"Head0", 0x40030016},        {L"Head1", 0x40030017},        {L"Head2", 0x40030018},
    {L"Head3", 0x40030019},        {L"Cash", 0x4003001a},         {L"Change", 0x4003001b},
    {L"PageCount", 0x4003001c},    {L"BottomLine1", 0x4003001d},  {L"BottomLine2", 0x4003001e},
    {L"CCardNo", 0x4003001f},      {L"CCardRef", 0x40030020},     {L"VCardNo", 0x40030021},
    {L"VCardRef", 0x40030022},     {L"VCardBPoint", 0x40030023},  {L"VCardBalPoint", 0x40030024},
    {L"UCardBalance", 0x40030025}, {L"InvPrintType", 0},          {L"InvPrintPort", 0x68030000},
    {L"InvType", 0x68030001},      {L"InvNo", 0x68030002},        {L"SetPrinter", 0x60030011},
    {L"PrintInv", 0x60030012},     {L"PrintT2", 0x60030013},      {L"TestPrint", 0x60030014},
    {L"Print_DAYEH", 0x6003001a},  {L"InvHead_FE", 0x6003001b},   {L"Print_FE", 0x6003001c},
    {L"InvHead_CF", 0x6003001d},   {L"Print_CF", 0x6003001e},
};
constexpr int kFields = 31;

int failures = 0;

void fail(const std::wstring& what) {
  ++failures;
  std::fwprintf(stdout, L"FAIL %ls\n", what.c_str());
}

void check(bool ok, const std::wstring& what) {
  if (!ok) fail(what);
}

struct Var {
  VARIANT v;
  Var() { ::VariantInit(&v); }
  ~Var() { ::VariantClear(&v); }
};

HRESULT put(IDispatch* o, DISPID id, VARIANT value, WORD how = DISPATCH_PROPERTYPUT) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS p{&value, &named, 1, 1};
  return o->Invoke(id, IID_NULL, 0, how, &p, nullptr, nullptr, nullptr);
}

HRESULT get(IDispatch* o, DISPID id, Var& out) {
  DISPPARAMS p{nullptr, nullptr, 0, 0};
  return o->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &p, &out.v, nullptr, nullptr);
}

VARIANT text(const wchar_t* s) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.bstrVal = ::SysAllocString(s);
  return v;
}

void check_names(IDispatch* o) {
  for (const Member& m : kMembers) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(m.name);
    check(o->GetIDsOfNames(IID_NULL, &name, 1, 0, &id) == S_OK && id == m.id,
          std::wstring(L"GetIDsOfNames ") + m.name);
  }
  // Names bind without regard to case, as a host language writes them.
  DISPID id = 0;
  LPOLESTR lower = const_cast<LPOLESTR>(L"printinv");
  check(o->GetIDsOfNames(IID_NULL, &lower, 1, 0, &id) == S_OK && id == 0x60030012, L"printinv");
  LPOLESTR unknown = const_cast<LPOLESTR>(L"PrintInvoice");
  check(o->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id) == DISP_E_UNKNOWNNAME, L"unknown name");
  LPOLESTR named[] = {const_cast<LPOLESTR>(L"PrintInv"), const_cast<LPOLESTR>(L"pRST"),
                      const_cast<LPOLESTR>(L"pvDetail")};
  DISPID ids[3];
  check(o->GetIDsOfNames(IID_NULL, named, 3, 0, ids) == S_OK && ids[1] == 1 && ids[2] == 0,
        L"PrintInv argument names");
}

// The type library names the same members with the same ids, under the interface's own id.
void check_type_library(IDispatch* o) {
  ITypeInfo* info = nullptr;
  if (o->GetTypeInfo(0, 0, &info) != S_OK) return fail(L"GetTypeInfo");
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  check(attr->guid == kInterface && attr->typekind == TKIND_DISPATCH, L"type library: _InvPrinter");
  // Three accessors per field, two or three per property, one per method.
  check(attr->cFuncs == kFields * 3 + 2 + 2 + 3 + 3 + 9, L"type library: member count");
  info->ReleaseTypeAttr(attr);
  BSTR name = nullptr;
  info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
  check(name && std::wstring(name) == L"_InvPrinter", L"type library: interface name");
  ::SysFreeString(name);
  for (const Member& m : kMembers) {
    MEMBERID id = DISPID_UNKNOWN;
    LPOLESTR n = const_cast<LPOLESTR>(m.name);
    check(info->GetIDsOfNames(&n, 1, &id) == S_OK && id == m.id,
          std::wstring(L"type library: ") + m.name);
  }
  info->Release();
}

// Each field keeps what the host stored, in the type it stored: the Long, the Currency, the text.
void check_fields(IDispatch* o) {
  for (int i = 0; i < kFields; ++i) {
    const Member& m = kMembers[i];
    VARIANT values[3];
    values[0].vt = VT_I4;
    values[0].lVal = 1050 + i;
    values[1].vt = VT_CY;
    values[1].cyVal.int64 = 12345;  // 1.2345
    values[2] = text(L"好味餐廳");
    for (VARIANT& value : values) {
      Var back;
      check(put(o, m.id, value) == S_OK && get(o, m.id, back) == S_OK &&
                ::VarCmp(&back.v, &value, 0, 0) == VARCMP_EQ && back.v.vt == value.vt,
            std::wstring(L"field round trip ") + m.name);
      ::VariantClear(&value);
    }
    VARIANT null_value;
    null_value.vt = VT_NULL;
    Var back;
    check(put(o, m.id, null_value) == S_OK && get(o, m.id, back) == S_OK && back.v.vt == VT_NULL,
          std::wstring(L"field Null ") + m.name);
  }
}

void check_error(IDispatch* o) {
  VARIANT bad = text(L"rp420");
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS p{&bad, &named, 1, 1};
  EXCEPINFO e{};
  const HRESULT hr = o->Invoke(0, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, &e, nullptr);
  check(hr == DISP_E_EXCEPTION && e.scode == static_cast<SCODE>(0x80040000) &&
            e.bstrSource && std::wstring(e.bstrSource) == L"InvPrintPort:" &&
            e.bstrDescription && std::wstring(e.bstrDescription) == L"不支援此發票機種類:rp420",
        L"refused InvPrintType raises 0x80040000");
  ::SysFreeString(e.bstrSource);
  ::SysFreeString(e.bstrDescription);
  ::VariantClear(&bad);
  Var type;
  check(get(o, 0, type) == S_OK && type.v.vt == VT_EMPTY, L"InvPrintType unset after refusal");
}

// Every method answers on its id: PrintT2 returns False; the others, given one argument too
// many, refuse it with error 450 instead of running.
void check_methods(IDispatch* o) {
  VARIANT args[4];
  for (VARIANT& a : args) {
    a.vt = VT_I2;
    a.iVal = 1;
  }
  DISPPARAMS four{args, nullptr, 4, 0};
  Var result;
  check(o->Invoke(0x60030013, IID_NULL, 0, DISPATCH_METHOD, &four, &result.v, nullptr, nullptr) ==
                S_OK &&
            result.v.vt == VT_BOOL && result.v.boolVal == VARIANT_FALSE,
        L"PrintT2 returns False");
  VARIANT many[5] = {};
  DISPPARAMS five{many, nullptr, 5, 0};
  for (const Member& m : kMembers) {
    if (m.id < 0x60030011 || m.id > 0x6003001e) continue;
    EXCEPINFO e{};
    const HRESULT hr = o->Invoke(m.id, IID_NULL, 0, DISPATCH_METHOD, &five, nullptr, &e, nullptr);
    check(hr == DISP_E_EXCEPTION && e.scode == static_cast<SCODE>(0x800A01C2),
          std::wstring(L"method id ") + m.name);
    ::SysFreeString(e.bstrSource);
    ::SysFreeString(e.bstrDescription);
  }
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  check(o->Invoke(0x60030015, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr) ==
            DISP_E_MEMBERNOTFOUND,
        L"no member at 0x60030015");
}

}  // namespace

int wmain() {
  ::CoInitialize(nullptr);
  IDispatch* o = nullptr;
  const HRESULT hr =
      ::CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&o));
  if (FAILED(hr)) {
    std::printf("FAIL CoCreateInstance: 0x%08lx\ndispatch host: 1 failures\n", static_cast<unsigned long>(hr));
    return 1;
  }
  check_names(o);
  check_type_library(o);
  check_error(o);
  check_fields(o);
  check_methods(o);
  o->Release();
  ::CoUninitialize();
  std::printf("dispatch host: %d failures\n", failures);
  return failures == 0 ? 0 : 1;
}
