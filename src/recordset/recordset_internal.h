#pragma once
// What both recordsets share: name matching and the errors the host's data-access library raises.
#include <string>
#include <string_view>

#include "recordset/recordset.h"
#include "shared/errors.h"

namespace orvo::recordset_detail {

// Field names match the way the host's library matches them: ASCII letters fold, nothing else.
inline bool same_field_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // the usual case, without folding
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

[[noreturn]] inline void raise_closed() {
  raise(err::kObjectClosed, "Operation is not allowed when the object is closed.");
}

[[noreturn]] inline void raise_no_current_record() {
  raise(Recordset::kNoCurrentRecord,
        "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
        "requires a current record.");
}

[[noreturn]] inline void raise_missing_field(std::string_view name) {
  raise(err::kItemNotFound,
        "Item cannot be found in the collection corresponding to the requested name or ordinal: " +
            std::string(name));
}

}  // namespace orvo::recordset_detail
