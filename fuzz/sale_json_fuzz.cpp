// Any bytes as a sale file: the reader gives a sale whose rows can be walked, or an InputError
// (or an orvo::Error from the rows); nothing else may escape.
#include <cstdint>
#include <string_view>

#include "../tools/sale_json.h"
#include "layout_kit/invoice_record.h"
#include "shared/errors.h"

namespace {

// The record's own fields; anything else is an unknown key.
bool record_field(std::string_view key) {
  static orvo::InvoiceRecord record;
  return record.field(key) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    // A database named by the sale resolves under a directory that does not exist.
    orvo::cli::Sale sale = orvo::cli::parse_sale(text, "/nonexistent/orvo-fuzz/sale.json",
                                                 record_field);
    orvo::Recordset& rows = *sale.items;
    if (rows.State() == 1) {
      for (int n = 0; !rows.Eof() && n < 1000; ++n, rows.MoveNext()) {
        for (const char* f : {"itemname", "Qty", "Amt", "Remark"}) {
          try {
            (void)rows.Fields(f);
          } catch (const orvo::Error& e) {
            if (e.number() != orvo::err::kItemNotFound) __builtin_trap();
          }
        }
      }
    }
  } catch (const orvo::cli::InputError&) {
  } catch (const orvo::Error& e) {
    if (e.number() != orvo::Recordset::kDatabaseError && e.number() != orvo::err::kInvalidArgument)
      __builtin_trap();
  }
  return 0;
}
