#include "recordset/recordset.h"
#include "recordset/recordset_internal.h"

namespace orvo {

using namespace recordset_detail;

MemoryRecordset::MemoryRecordset(std::vector<Row> rows) : open_(true), rows_(std::move(rows)) {}

int MemoryRecordset::State() const { return open_ ? 1 : 0; }

bool MemoryRecordset::Eof() const {
  if (!open_) raise_closed();
  return pos_ >= rows_.size();
}

Variant MemoryRecordset::Fields(std::string_view name) const {
  if (Eof()) raise_no_current_record();
  for (const auto& [field, value] : rows_[pos_]) {
    if (same_field_name(field, name)) return value;
  }
  raise_missing_field(name);
}

void MemoryRecordset::MoveNext() {
  if (Eof()) raise_no_current_record();
  ++pos_;
}

}  // namespace orvo
