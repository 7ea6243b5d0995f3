// The C interface over InvPrinter: every entry catches what the component raises and keeps it on
// the object, so that no C++ exception reaches a C, Python, C# or Java caller.
#include "orvo-invoice/orvo_invoice.h"

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "c_api/callback_host.h"
#include "printer_object/invoice_printer.h"
#include "shared/errors.h"
#include "shared/utf8.h"

#define ORVO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using orvo::Variant;

constexpr std::int32_t kInvalidArgument = orvo::err::kInvalidArgument;
constexpr std::int32_t kNoSuchMember = 438;  // "Object doesn't support this property or method"
constexpr const char* kObject = "OrvoInvoice.InvPrinter";

struct Items {
  std::vector<orvo::MemoryRecordset::Row> rows;
  bool open = false;  // no row was ever added: a closed recordset, no items
  std::optional<std::pair<std::string, std::string>> sqlite;  // database, query

  std::unique_ptr<orvo::Recordset> recordset() const {
    if (sqlite) return std::make_unique<orvo::SqliteRecordset>(sqlite->first, sqlite->second);
    if (!open) return std::make_unique<orvo::MemoryRecordset>();
    return std::make_unique<orvo::MemoryRecordset>(rows);
  }
};

[[noreturn]] void invalid(const std::string& why) {
  orvo::raise(kInvalidArgument, "Invalid procedure call or argument: " + why);
}

std::string text_arg(const char* text, const char* what) {
  if (text == nullptr) invalid(std::string(what) + " is NULL");
  const std::string_view s(text);
  if (const auto bad = orvo::utf8::first_invalid(s); bad != std::string_view::npos) {
    invalid(std::string(what) + " is not UTF-8 (byte " + std::to_string(bad) + ")");
  }
  return std::string(s);
}

Variant detail_arg(const char* detail) {
  return detail == nullptr ? Variant() : Variant(text_arg(detail, "the detail flag"));
}

}  // namespace

struct orvo_invoice {
  std::shared_ptr<orvo::c_api::CallbackHost> host = std::make_shared<orvo::c_api::CallbackHost>();
  orvo::InvPrinter printer{host};
  Items items;
  orvo::Error error{0, "", ""};

  // Runs `body`, keeping what it raised; `proc` names the source of an error that has none.
  template <class F>
  int guarded(const char* proc, F&& body) noexcept {
    try {
      return body();
    } catch (...) {
      try {
        orvo::Error e = orvo::current_error();
        error = e.source().empty() ? orvo::Error(e.number(), proc, e.description()) : std::move(e);
      } catch (...) {
        // No memory left even to say why: the failure itself must do.
      }
      return ORVO_FAILED;
    }
  }

  void set(const char* name, const Variant& value) {
    const std::string n = text_arg(name, "the name");
    if (n == "InvPrintType") return printer.InvPrintType(value);
    if (n == "InvPrintPort") return printer.InvPrintPort(value);
    if (n == "InvType") return printer.InvType(value);
    if (n == "InvNo") return printer.InvNo(value);
    *member(n) = value;
  }

  const Variant& get(const char* name) {
    const std::string n = text_arg(name, "the name");
    if (n == "InvPrintType") return printer.InvPrintType();
    if (n == "InvPrintPort") return printer.InvPrintPort();
    if (n == "InvType") return printer.InvType();
    if (n == "InvNo") return printer.InvNo();
    return *member(n);
  }

  Variant* member(const std::string& name) {
    Variant* v = printer.field(name);
    if (v == nullptr) orvo::raise(kNoSuchMember, "Object doesn't support this property or method: " + name);
    return v;
  }

  void set_in_row(const char* column, Variant value) {
    if (items.sqlite || items.rows.empty()) invalid("no row: call orvo_invoice_add_row first");
    std::string c = text_arg(column, "the column");
    items.rows.back().emplace_back(std::move(c), std::move(value));
  }

  void configure(const std::string& key, const char* value) {
    const std::string v = value ? text_arg(value, "the value") : std::string();
    orvo::TerminalHostOptions options = host->options();
    if (key == "settings") {
      printer.set_settings_file(v.empty() ? std::nullopt : std::optional<std::filesystem::path>(v));
    } else if (key == "page_output") {
      printer.set_page_output(v.empty() ? std::nullopt : std::optional<std::filesystem::path>(v));
    } else if (key == "now") {
      options.fixed_now.reset();
      if (!v.empty()) {
        std::string date = v;
        if (date.size() > 10 && date[10] == 'T') date[10] = ' ';
        try {
          options.fixed_now = orvo::CDate(Variant(date));
        } catch (const orvo::Error&) {
          invalid("now \"" + v + "\" is not a date and time as YYYY-MM-DDTHH:MM:SS");
        }
      }
    } else if (key == "pause") {
      if (!v.empty() && v != "yes" && v != "no") invalid("pause \"" + v + "\" is not yes or no");
      options.no_pause = v == "no";
    } else if (key == "prompt") {
      using orvo::PromptMode;
      if (v.empty() || v == "auto") {
        options.prompt = PromptMode::Auto;
      } else if (v == "gui" || v == "terminal" || v == "none") {
        options.prompt = v == "gui" ? PromptMode::Gui : v == "terminal" ? PromptMode::Terminal : PromptMode::None;
      } else {
        invalid("prompt \"" + v + "\" is not auto, gui, terminal or none");
      }
    } else {
      invalid("no setting \"" + key + "\"");
    }
    host->set_options(std::move(options));
  }
};

ORVO_EXPORT const char* orvo_invoice_version(void) { return ORVO_VERSION; }

ORVO_EXPORT orvo_invoice* orvo_invoice_new(void) {
  try {
    return new orvo_invoice;
  } catch (...) {
    return nullptr;
  }
}

ORVO_EXPORT void orvo_invoice_free(orvo_invoice* inv) { delete inv; }

#define GUARD(inv, proc, ...)                                     \
  if ((inv) == nullptr) return ORVO_FAILED;                       \
  return (inv)->guarded(proc, [&]() -> int { __VA_ARGS__ });

ORVO_EXPORT int orvo_invoice_set_text(orvo_invoice* inv, const char* name, const char* utf8) {
  GUARD(inv, kObject, inv->set(name, utf8 ? Variant(text_arg(utf8, "the text")) : Variant::null());
        return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_set_number(orvo_invoice* inv, const char* name, double value) {
  GUARD(inv, kObject, inv->set(name, Variant(orvo::finite(value))); return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_set_null(orvo_invoice* inv, const char* name) {
  GUARD(inv, kObject, inv->set(name, Variant::null()); return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_set_empty(orvo_invoice* inv, const char* name) {
  GUARD(inv, kObject, inv->set(name, Variant()); return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_kind(orvo_invoice* inv, const char* name) {
  GUARD(inv, kObject, return static_cast<int>(inv->get(name).kind());)
}

ORVO_EXPORT int orvo_invoice_get_text(orvo_invoice* inv, const char* name, char* buf,
                                      size_t size, size_t* length) {
  GUARD(inv, kObject, const std::string text = orvo::Str(inv->get(name));
        if (length) *length = text.size();
        if (buf == nullptr || text.size() >= size) return ORVO_TOO_SMALL;
        std::memcpy(buf, text.c_str(), text.size() + 1);
        return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_get_number(orvo_invoice* inv, const char* name, double* value) {
  GUARD(inv, kObject, const double n = orvo::Num(inv->get(name)); if (value) *value = n;
        return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_clear_items(orvo_invoice* inv) {
  GUARD(inv, "items", inv->items = Items{}; return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_add_row(orvo_invoice* inv) {
  GUARD(inv, "items", if (inv->items.sqlite) inv->items = Items{};
        inv->items.rows.emplace_back(); inv->items.open = true; return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_row_text(orvo_invoice* inv, const char* column, const char* utf8) {
  GUARD(inv, "items",
        inv->set_in_row(column, utf8 ? Variant(text_arg(utf8, "the text")) : Variant::null());
        return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_row_number(orvo_invoice* inv, const char* column, double value) {
  GUARD(inv, "items", inv->set_in_row(column, Variant(orvo::finite(value))); return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_row_null(orvo_invoice* inv, const char* column) {
  GUARD(inv, "items", inv->set_in_row(column, Variant::null()); return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_use_sqlite(orvo_invoice* inv, const char* database, const char* query) {
  GUARD(inv, "items", Items items;
        items.sqlite.emplace(text_arg(database, "the database"), text_arg(query, "the query"));
        inv->items = std::move(items); return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_configure(orvo_invoice* inv, const char* key, const char* value) {
  GUARD(inv, "configure", inv->configure(text_arg(key, "the key"), value); return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_print(orvo_invoice* inv, const char* detail) {
  GUARD(inv, "PrintInv", const Variant pv = detail_arg(detail);
        const auto rows = inv->items.recordset();
        return inv->printer.PrintInv(pv, *rows) ? ORVO_PRINTED : ORVO_NOT_PRINTED;)
}

ORVO_EXPORT int orvo_invoice_test_print(orvo_invoice* inv) {
  GUARD(inv, "TestPrint", inv->printer.TestPrint(); return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_lay_out(orvo_invoice* inv, const char* detail, char* buf, size_t size,
                                     size_t* length) {
  GUARD(inv, "lay_out", const Variant pv = detail_arg(detail);
        const auto rows = inv->items.recordset();
        const std::string bytes = inv->printer.lay_out(pv, *rows);
        if (length) *length = bytes.size();
        if (bytes.size() > size || (buf == nullptr && !bytes.empty())) return ORVO_TOO_SMALL;
        if (!bytes.empty()) std::memcpy(buf, bytes.data(), bytes.size());
        return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_lay_out_to(orvo_invoice* inv, const char* detail, orvo_write_fn write,
                                        void* context) {
  GUARD(inv, "lay_out", if (write == nullptr) invalid("the write function is NULL");
        const Variant pv = detail_arg(detail);
        const auto rows = inv->items.recordset();
        const std::string bytes = inv->printer.lay_out(pv, *rows);
        if (const int rc = write(context, bytes.data(), bytes.size()); rc != 0) {
          orvo::raise(orvo::err::kDeviceIo, "the write function returned " + std::to_string(rc));
        }
        return ORVO_OK;)
}

ORVO_EXPORT int orvo_invoice_error_number(const orvo_invoice* inv) {
  return inv ? inv->error.number() : 0;
}

ORVO_EXPORT const char* orvo_invoice_error_source(const orvo_invoice* inv) {
  return inv ? inv->error.source().c_str() : "";
}

ORVO_EXPORT const char* orvo_invoice_error_description(const orvo_invoice* inv) {
  return inv ? inv->error.description().c_str() : "";
}

ORVO_EXPORT int orvo_invoice_set_host(orvo_invoice* inv, const orvo_host_callbacks* callbacks) {
  GUARD(inv, "set_host", inv->host->set_callbacks(callbacks); return ORVO_OK;)
}
