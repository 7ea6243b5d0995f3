#pragma once
// Reads a sale file: the invoice record and the item rows the command-line tool hands to PrintInv.
//   {"invoice": {FIELD: value, ...}, "items": [{FIELD: value, ...}, ...]}
// or, instead of "items", "items_sqlite": {"database": PATH, "query": SQL}.
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "recordset/recordset.h"
#include "shared/variant.h"

namespace orvo::cli {

// The file is not a usable sale; the message names the file and what is wrong with it.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Sale {
  // Only the keys the file gives, in file order.
  std::vector<std::pair<std::string, Variant>> invoice;
  // Never null: closed when the file has no items, open otherwise.
  std::unique_ptr<Recordset> items;
  // What the sale gives that prints, but likely not as meant (a quantity of "two").
  std::vector<std::string> warnings;
};

// Whether an invoice key names something the printer object accepts (exact spelling).
using KeyFilter = std::function<bool(std::string_view)>;

// `file` names the sale in messages and anchors a relative "items_sqlite" database path.
Sale parse_sale(std::string_view text, const std::filesystem::path& file,
                const KeyFilter& known_invoice_key);
Sale read_sale(const std::filesystem::path& file, const KeyFilter& known_invoice_key);

}  // namespace orvo::cli
