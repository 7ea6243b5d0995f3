#pragma once
// Scratch SQLite databases for the recordset tests, one directory per test process.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "printer_object/recordset/recordset.h"
#include "shared/errors.h"

namespace orvo {
inline void PrintTo(const Variant& v, std::ostream* os) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      *os << "Empty";
      break;
    case Variant::Kind::Null:
      *os << "Null";
      break;
    case Variant::Kind::Boolean:
      *os << (v.as_bool() ? "True" : "False");
      break;
    case Variant::Kind::Number:
      *os << "Number " << v.as_number();
      break;
    case Variant::Kind::Text:
      *os << "Text \"" << v.as_text() << '"';
      break;
    case Variant::Kind::Date:
      *os << "Date " << v.as_date().serial;
      break;
  }
}
}  // namespace orvo

namespace orvo::testing {

class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "orvo_recordset_" + std::to_string(::getpid());
    if (info != nullptr) name += std::string("_") + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    dir_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::filesystem::path path(const std::string& file) const { return dir_ / file; }

 private:
  std::filesystem::path dir_;
};

// Creates (or extends) a database by running `sql`; fails the test on any SQLite error.
inline void exec_sql(const std::filesystem::path& db_path, const std::string& sql) {
  sqlite3* db = nullptr;
  int rc =
      sqlite3_open_v2(db_path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  char* msg = nullptr;
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg);
  const std::string reason = msg ? msg : (db ? sqlite3_errmsg(db) : "out of memory");
  sqlite3_free(msg);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << reason << "\nin: " << sql;
}

// Runs `f`, which must throw orvo::Error, and returns it.
template <typename F>
Error error_from(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no orvo::Error was raised";
  return Error(0, "");
}

}  // namespace orvo::testing
