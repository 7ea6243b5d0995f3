#pragma once
// OrvoInvoice.InvPrinter as an automation object: the core's InvPrinter behind the dispatch
// interface _InvPrinter, its members found by name or dispatch id, values converted both ways and
// errors handed back as exceptions with number, source and description.
#include <oaidl.h>
#include <ocidl.h>

#include <map>
#include <memory>

#include "printer_object/invoice_printer.h"

namespace orvo::com {

// Objects alive in this module, for DllCanUnloadNow.
long live_objects();

class InvPrinterObject : public IDispatch, public ISupportErrorInfo, public IProvideClassInfo {
 public:
  explicit InvPrinterObject(std::shared_ptr<Host> host);
  InvPrinterObject(const InvPrinterObject&) = delete;
  InvPrinterObject& operator=(const InvPrinterObject&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* arg_error) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;
  // IProvideClassInfo
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

 private:
  virtual ~InvPrinterObject();

  // What the host last stored in a field or property: handed back as it was (a Long stays a
  // Long, an object stays the object) while the core's value is still the one it gave.
  struct Held {
    VARIANT original;
    Variant as_put;
  };

  bool is_value_member(DISPID id) const;
  Variant value_of(DISPID id) const;
  void store(DISPID id, const Variant& v);
  void get(DISPID id, VARIANT* result);
  void put(DISPID id, const VARIANT& value, bool by_ref);
  // An object the host Set into a field is read afresh (its default value) before each call.
  void refresh_objects();
  void call(DISPID id, DISPPARAMS* params, VARIANT* result);
  void forget(DISPID id);

  long refs_ = 1;
  InvPrinter inv_;
  std::map<DISPID, Held> held_;
};

}  // namespace orvo::com
