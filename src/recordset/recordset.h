#pragma once
// The sale's item rows: exactly the operations the layouts use.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shared/variant.h"

namespace orvo {

class Recordset {
 public:
  // Fields or MoveNext with no current record (at EOF).
  static constexpr std::int32_t kNoCurrentRecord = 3021;
  // The database could not be opened, the query not prepared, or a row not read. The data-access
  // library has no single number for a provider failure; 3709 ("connection cannot be used") is the
  // closest, and the description carries the path and SQLite's own message.
  static constexpr std::int32_t kDatabaseError = 3709;

  virtual ~Recordset() = default;
  // 1 open, 0 closed.
  virtual int State() const = 0;
  // Closed: error 3704 "Operation is not allowed when the object is closed."
  virtual bool Eof() const = 0;
  // The current record's field, by name (case-insensitive). Unknown field: error 3265 naming it.
  virtual Variant Fields(std::string_view name) const = 0;
  virtual void MoveNext() = 0;
};

class MemoryRecordset : public Recordset {
 public:
  using Row = std::vector<std::pair<std::string, Variant>>;
  MemoryRecordset() = default;  // closed
  explicit MemoryRecordset(std::vector<Row> rows);  // open, positioned on the first row

  int State() const override;
  bool Eof() const override;
  Variant Fields(std::string_view name) const override;
  void MoveNext() override;

 private:
  bool open_ = false;
  std::vector<Row> rows_;
  std::size_t pos_ = 0;
};

// Steps a query row by row, so that a sale of any size is never held in memory.
class SqliteRecordset : public Recordset {
 public:
  // Opens the database read-only and runs the query, positioned on the first row. Open, prepare
  // and read failures raise kDatabaseError naming the database and SQLite's message; a query that
  // is not exactly one row-returning statement raises 5 (invalid argument).
  SqliteRecordset(const std::filesystem::path& database, const std::string& query);
  ~SqliteRecordset() override;
  SqliteRecordset(const SqliteRecordset&) = delete;
  SqliteRecordset& operator=(const SqliteRecordset&) = delete;

  int State() const override;
  bool Eof() const override;
  Variant Fields(std::string_view name) const override;
  void MoveNext() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvo
