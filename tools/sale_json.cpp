#include "sale_json.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "file_io.h"
#include "shared/errors.h"
#include "shared/utf8.h"

namespace orvo::cli {

namespace {

using Json = nlohmann::ordered_json;

class Reader;

// The sale's "items" array, turned into rows element by element as it is read, so that a large
// sale never stands in memory twice. The first element that is no good row is kept as the
// error, raised where the sale's other checks would come to it.
struct StreamedItems {
  std::vector<MemoryRecordset::Row> rows;
  std::optional<std::string> error;
  std::vector<std::string> warnings;
};

// Whether Val() finds a number at the start of `text` at all: "2 pcs" does, "two" does not.
bool has_leading_number(std::string_view text) {
  std::size_t i = text.find_first_not_of(" \t\n");
  if (i == std::string_view::npos) return false;
  if (text[i] == '&' && i + 2 < text.size()) {
    const char radix = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    const char digit = text[i + 2];
    if (radix == 'H') return std::isxdigit(static_cast<unsigned char>(digit)) != 0;
    if (radix == 'O') return digit >= '0' && digit <= '7';
  }
  if (text[i] == '+' || text[i] == '-') i = text.find_first_not_of(" \t\n", i + 1);
  if (i != std::string_view::npos && text[i] == '.') ++i;
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// A quantity or amount given as text that reads as no number prints as 0: the operator should
// hear of it, though the component prints it so.
void warn_unread_numbers(const MemoryRecordset::Row& row, std::size_t i,
                         std::vector<std::string>& warnings) {
  constexpr std::size_t kShown = 10;
  for (const auto& [key, v] : row) {
    std::string f = key;
    for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if ((f != "qty" && f != "amt") || !v.is_text() || has_leading_number(v.as_text())) continue;
    if (warnings.size() < kShown) {
      warnings.push_back("items[" + std::to_string(i) + "]." + key + ": \"" + v.as_text() +
                         "\" has no leading number; it is read as 0");
    } else if (warnings.size() == kShown) {
      warnings.push_back("further items have quantities or amounts read as 0");
    }
  }
}

// Builds the document as the library's own reader would, but refuses a key given twice in one
// object, where the library keeps the last: a sale that says two things is refused. (The parse
// callback that did this made the library rescan the parent array after every element.)
class DocumentBuilder : public nlohmann::json_sax<Json> {
 public:
  DocumentBuilder(const Reader& reader, StreamedItems& items) : reader_(reader), items_(items) {}

  Json take() { return std::move(root_); }

  bool null() override { return put(nullptr); }
  bool boolean(bool b) override { return put(b); }
  bool number_integer(number_integer_t n) override { return put(n); }
  bool number_unsigned(number_unsigned_t n) override { return put(n); }
  bool number_float(number_float_t n, const string_t&) override { return put(n); }
  bool string(string_t& s) override { return put(std::move(s)); }
  bool binary(binary_t& b) override { return put(Json::binary(std::move(b))); }
  bool start_object(std::size_t) override {
    open_.push_back(&place(Json::object()));
    keys_.emplace_back();
    return true;
  }
  bool key(string_t& k) override;
  bool end_object() override {
    open_.pop_back();
    keys_.pop_back();
    return ended();
  }
  bool start_array(std::size_t) override {
    const bool items = open_.size() == 1 && open_[0]->is_object() && key_ == "items";
    open_.push_back(&place(Json::array()));
    if (items) items_array_ = open_.back();
    return true;
  }
  bool end_array() override {
    open_.pop_back();
    return ended();
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override;

 private:
  bool put(Json v) {
    place(std::move(v));
    return ended();
  }

  bool in_items() const {
    return items_array_ != nullptr && !open_.empty() && open_.back() == items_array_;
  }

  // A value closed: when it is an element of the items array, it becomes a row.
  bool ended();

  // Only the innermost open value grows, so the pointers to the outer ones stay valid.
  Json& place(Json v) {
    if (open_.empty()) return root_ = std::move(v);
    if (in_items()) return element_ = std::move(v);
    Json& parent = *open_.back();
    if (parent.is_array()) {
      parent.push_back(std::move(v));
      return parent.back();
    }
    return parent[std::move(key_)] = std::move(v);
  }

  const Reader& reader_;
  StreamedItems& items_;
  Json* items_array_ = nullptr;             // the sale's "items" array, left empty
  Json element_{Json::value_t::discarded};  // the element of it being read
  Json root_;
  std::vector<Json*> open_;
  std::vector<std::set<std::string>> keys_;  // of each open object
  std::string key_;
};

class Reader {
 public:
  explicit Reader(const std::filesystem::path& file) : file_(file) {}

  [[noreturn]] void fail(const std::string& problem) const {
    throw InputError(file_.string() + ": " + problem);
  }

  Json parse(std::string_view text, StreamedItems& items) const {
    DocumentBuilder builder(*this, items);
    Json::sax_parse(text.begin(), text.end(), &builder);
    return builder.take();
  }

  Variant value(const Json& j, const std::string& where) const {
    switch (j.type()) {
      case Json::value_t::string:
        return Variant(j.get<std::string>());
      case Json::value_t::boolean:
        return Variant(j.get<bool>());
      case Json::value_t::null:
        return Variant::null();
      case Json::value_t::number_integer:
        return Variant(static_cast<double>(j.get<std::int64_t>()));
      case Json::value_t::number_unsigned:
        return Variant(static_cast<double>(j.get<std::uint64_t>()));
      case Json::value_t::number_float:
        return Variant(j.get<double>());
      default:
        fail(where + ": expected a string, number, true, false or null, got " +
             std::string(j.type_name()));
    }
  }

  const Json& object(const Json& j, const std::string& where) const {
    if (!j.is_object()) fail(where + ": expected an object, got " + std::string(j.type_name()));
    return j;
  }

  std::string text(const Json& parent, const std::string& key, const std::string& where) const {
    auto it = parent.find(key);
    if (it == parent.end()) fail(where + ": missing \"" + key + "\"");
    if (!it->is_string()) {
      fail(where + "." + key + ": expected a string, got " + std::string(it->type_name()));
    }
    return it->get<std::string>();
  }

  std::vector<std::pair<std::string, Variant>> invoice(const Json& j,
                                                       const KeyFilter& known) const {
    object(j, "invoice");
    std::vector<std::pair<std::string, Variant>> out;
    for (const auto& [key, v] : j.items()) {
      if (!known(key)) fail("invoice: unknown field \"" + key + "\"");
      out.emplace_back(key, value(v, "invoice." + key));
    }
    return out;
  }

  MemoryRecordset::Row item_row(const Json& item, std::size_t i) const {
    const std::string where = "items[" + std::to_string(i) + "]";
    object(item, where);
    MemoryRecordset::Row row;
    // Fields are looked up ignoring case, so "Qty" and "qty" in one row would be ambiguous.
    std::set<std::string> folded;
    for (const auto& [key, v] : item.items()) {
      std::string f = key;
      for (char& c : f) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (!folded.insert(f).second) {
        fail(where + ": field \"" + key + "\" repeats another field (names ignore case)");
      }
      row.emplace_back(key, value(v, where + "." + key));
    }
    return row;
  }

  std::unique_ptr<Recordset> items(const Json& j, StreamedItems& streamed) const {
    if (!j.is_array()) fail("items: expected an array, got " + std::string(j.type_name()));
    if (streamed.error) throw InputError(*streamed.error);
    return std::make_unique<MemoryRecordset>(std::move(streamed.rows));
  }

  std::unique_ptr<Recordset> items_sqlite(const Json& j) const {
    object(j, "items_sqlite");
    for (const auto& [key, v] : j.items()) {
      if (key != "database" && key != "query") fail("items_sqlite: unknown key \"" + key + "\"");
    }
    std::filesystem::path database = text(j, "database", "items_sqlite");
    const std::string query = text(j, "query", "items_sqlite");
    if (database.empty()) fail("items_sqlite.database: empty path");
    if (database.is_relative()) database = file_.parent_path() / database;
    try {
      return std::make_unique<SqliteRecordset>(database, query);
    } catch (const Error& e) {
      fail("items_sqlite: " + e.description());
    }
  }

 private:
  const std::filesystem::path& file_;
};

bool DocumentBuilder::key(string_t& k) {
  if (!keys_.back().insert(k).second) reader_.fail("key \"" + k + "\" appears twice in one object");
  key_ = std::move(k);
  return true;
}

bool DocumentBuilder::ended() {
  if (!in_items() || element_.is_discarded()) return true;
  if (!items_.error) {
    try {
      items_.rows.push_back(reader_.item_row(element_, items_.rows.size()));
      warn_unread_numbers(items_.rows.back(), items_.rows.size() - 1, items_.warnings);
    } catch (const InputError& e) {
      items_.error = e.what();
    }
  }
  element_ = Json(Json::value_t::discarded);
  return true;
}

bool DocumentBuilder::parse_error(std::size_t, const std::string&,
                                  const nlohmann::detail::exception& e) {
  reader_.fail(e.what());
}

}  // namespace

Sale parse_sale(std::string_view text, const std::filesystem::path& file,
                const KeyFilter& known_invoice_key) {
  Reader r(file);
  // The parser would quote the offending byte itself; a position is what helps.
  if (const auto bad = utf8::first_invalid(text); bad != std::string_view::npos) {
    const auto line_start = text.rfind('\n', bad);
    const auto line =
        std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(bad), '\n') + 1;
    const auto column = bad - (line_start == std::string_view::npos ? 0 : line_start + 1) + 1;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(text[bad])));
    r.fail("not UTF-8 text: byte " + std::string(hex) + " at offset " + std::to_string(bad) +
           " (line " + std::to_string(line) + ", byte " + std::to_string(column) + " of the line)");
  }
  StreamedItems streamed;
  const Json doc = r.parse(text, streamed);
  r.object(doc, "the sale");
  for (const auto& [key, v] : doc.items()) {
    if (key != "invoice" && key != "items" && key != "items_sqlite") {
      r.fail("unknown key \"" + key + "\" (expected \"invoice\", \"items\" or \"items_sqlite\")");
    }
  }
  if (!doc.contains("invoice")) r.fail("missing \"invoice\"");
  if (doc.contains("items") && doc.contains("items_sqlite")) {
    r.fail("give either \"items\" or \"items_sqlite\", not both");
  }

  Sale sale;
  sale.invoice = r.invoice(doc.at("invoice"), known_invoice_key);
  if (doc.contains("items")) {
    sale.items = r.items(doc.at("items"), streamed);
    sale.warnings = std::move(streamed.warnings);
  } else if (doc.contains("items_sqlite")) {
    sale.items = r.items_sqlite(doc.at("items_sqlite"));
  } else {
    sale.items = std::make_unique<MemoryRecordset>();
  }
  return sale;
}

Sale read_sale(const std::filesystem::path& file, const KeyFilter& known_invoice_key) {
  const std::string text = read_file(file);
  return parse_sale(text, file, known_invoice_key);
}

}  // namespace orvo::cli
