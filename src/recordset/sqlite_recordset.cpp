#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "recordset/recordset.h"
#include "recordset/recordset_internal.h"

namespace orvo {

using namespace recordset_detail;

namespace {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStmt {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using DbPtr = std::unique_ptr<sqlite3, CloseDb>;
using StmtPtr = std::unique_ptr<sqlite3_stmt, FinalizeStmt>;

// A host may still be finishing its write of the sale when the print starts.
constexpr int kBusyTimeoutMs = 2000;
// The rows are read once, front to back: SQLite's default 2 MiB page cache would only grow the
// process with the sale. 64 KiB keeps memory flat whatever the number of rows.
constexpr const char* kSmallCache = "PRAGMA cache_size = -64";

}  // namespace

struct SqliteRecordset::Impl {
  std::string path;
  // Declared before the statement so that the statement is finalized first: a connection with a
  // live statement refuses to close.
  DbPtr db;
  StmtPtr stmt;
  std::vector<std::string> columns;
  bool eof = false;

  [[noreturn]] void fail(const std::string& what) const {
    const char* reason = db ? sqlite3_errmsg(db.get()) : "out of memory";
    raise(kDatabaseError, what + " '" + path + "': " + reason);
  }

  void step() {
    switch (sqlite3_step(stmt.get())) {
      case SQLITE_ROW:
        eof = false;
        return;
      case SQLITE_DONE:
        eof = true;
        return;
      default:
        // The current row is gone either way; nothing may read it after a failed step.
        eof = true;
        fail("Cannot read the next row from database");
    }
  }

  Impl(const std::filesystem::path& database, const std::string& query) : path(database.string()) {
    sqlite3* raw_db = nullptr;
    // Without SQLITE_OPEN_CREATE a mistyped path is an error rather than a new, empty database.
    int rc = sqlite3_open_v2(path.c_str(), &raw_db, SQLITE_OPEN_READONLY, nullptr);
    db.reset(raw_db);  // owned even when the open failed
    if (rc != SQLITE_OK) fail("Cannot open database");
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    // A file SQLite cannot read fails here too; the prepare below reports it with its reason.
    sqlite3_exec(db.get(), kSmallCache, nullptr, nullptr, nullptr);

    sqlite3_stmt* raw_stmt = nullptr;
    const char* tail = nullptr;
    rc = sqlite3_prepare_v2(db.get(), query.c_str(), static_cast<int>(query.size()), &raw_stmt,
                            &tail);
    stmt.reset(raw_stmt);
    if (rc != SQLITE_OK) fail("Cannot prepare query \"" + query + "\" on database");
    if (!stmt) raise(err::kInvalidArgument, "The item query on database '" + path + "' is empty");

    // Only the first statement would run; refuse rather than silently drop the rest.
    const char* end = query.c_str() + query.size();
    if (tail != nullptr && tail < end) {
      sqlite3_stmt* raw_rest = nullptr;
      rc = sqlite3_prepare_v2(db.get(), tail, static_cast<int>(end - tail), &raw_rest, nullptr);
      StmtPtr rest(raw_rest);
      if (rc != SQLITE_OK) fail("Cannot prepare query \"" + query + "\" on database");
      if (rest) {
        raise(err::kInvalidArgument,
              "The item query on database '" + path + "' holds more than one statement: " + query);
      }
    }

    const int count = sqlite3_column_count(stmt.get());
    if (count == 0) {
      raise(err::kInvalidArgument,
            "The item query on database '" + path + "' returns no rows (not a SELECT): " + query);
    }
    columns.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      const char* name = sqlite3_column_name(stmt.get(), i);
      if (name == nullptr) fail("Cannot read the column names from database");
      columns.emplace_back(name);
    }
    step();
  }

  int column_of(std::string_view name) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (same_field_name(columns[i], name)) return static_cast<int>(i);
    }
    raise_missing_field(name);
  }

  Variant value(int col) const {
    sqlite3_stmt* s = stmt.get();
    switch (sqlite3_column_type(s, col)) {
      case SQLITE_INTEGER:
        return Variant(static_cast<double>(sqlite3_column_int64(s, col)));
      case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(s, col));
      case SQLITE_NULL:
        return Variant::null();
      case SQLITE_BLOB: {
        const void* bytes = sqlite3_column_blob(s, col);
        const int size = sqlite3_column_bytes(s, col);
        if (bytes == nullptr) return Variant(std::string());
        return Variant(
            std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size)));
      }
      default: {
        const unsigned char* text = sqlite3_column_text(s, col);
        const int size = sqlite3_column_bytes(s, col);
        if (text == nullptr) {
          if (sqlite3_errcode(db.get()) == SQLITE_NOMEM) fail("Cannot read a field from database");
          return Variant(std::string());
        }
        return Variant(
            std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size)));
      }
    }
  }
};

SqliteRecordset::SqliteRecordset(const std::filesystem::path& database, const std::string& query)
    : impl_(std::make_unique<Impl>(database, query)) {}

SqliteRecordset::~SqliteRecordset() = default;

// Construction either succeeds with a running statement or throws, so the recordset is always open.
int SqliteRecordset::State() const { return 1; }

bool SqliteRecordset::Eof() const { return impl_->eof; }

Variant SqliteRecordset::Fields(std::string_view name) const {
  if (impl_->eof) raise_no_current_record();
  return impl_->value(impl_->column_of(name));
}

void SqliteRecordset::MoveNext() {
  if (impl_->eof) raise_no_current_record();
  impl_->step();
}

}  // namespace orvo
