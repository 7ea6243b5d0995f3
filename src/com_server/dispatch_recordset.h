#pragma once
// The host's recordset (ADO, or any object with the same members) read through IDispatch: State,
// EOF, Fields.Item(name).Value and MoveNext, bound by name on each object, with IDispatchEx for
// script objects that learn their names late.
#include <oaidl.h>

#include <string>

#include "recordset/recordset.h"

namespace orvo::com {

class DispatchRecordset : public Recordset {
 public:
  // Holds a reference to `rs`; nullptr (Nothing) raises 91 on first use.
  explicit DispatchRecordset(IDispatch* rs);
  ~DispatchRecordset() override;
  DispatchRecordset(const DispatchRecordset&) = delete;
  DispatchRecordset& operator=(const DispatchRecordset&) = delete;

  int State() const override;
  bool Eof() const override;
  Variant Fields(std::string_view name) const override;
  void MoveNext() override;

 private:
  IDispatch* rs_;
};

// Calls `name` on `object` with `args` (in call order) as `flags` says; the result in `out`.
void call(IDispatch* object, const std::wstring& name, WORD flags, VARIANT* args, UINT count,
          VARIANT& out);

}  // namespace orvo::com
