// Peak memory of streaming a sale's item rows from SQLite, for growing row counts: a bare walk
// through SqliteRecordset reading every field, and RP420 prints to /dev/null of the summary mode
// (chkPrintMore = "Y": every row walked for the sums) and the detail mode.
//
//   recordset_rss                default: walk and summary 1e3 against 1e6, detail 1e3 against 3e5
//   recordset_rss MODE N ...     MODE walk, summary or detail; N row counts, the first the base
//
// For each N it writes a scratch database of N item rows and runs the mode in a fresh process
// (this program re-executed with --run, so the parent's insert work does not count), printing
// that process's peak RSS and its rows/s. Exits 1 if, in any mode, a larger N peaks more than
// 5 % above its first N: the rows must stream.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fstream>

#include "printer_object/invoice_printer.h"
#include "recordset/recordset.h"
#include "shared/errors.h"
#include "silent_host.h"

namespace {

constexpr double kAllowedRatio = 1.05;
constexpr const char* kQuery =
    "SELECT itemname, Qty, Price, Amt, ItemType, PriceCap, RefKPType, Remark FROM items"
    " ORDER BY rowid";
const char* const kFields[] = {"itemname", "Qty",      "Price",     "Amt",
                               "ItemType", "PriceCap", "RefKPType", "Remark"};

struct WalkResult {
  long rows = 0;
  long peak_kib = 0;
  double seconds = 0;
};

// Thrown so that main can remove the scratch directory before reporting.
[[noreturn]] void die(const std::string& what) { throw std::runtime_error(what); }

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStmt {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

void check(sqlite3* db, int rc, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE) die(std::string(what) + ": " + sqlite3_errmsg(db));
}

void create_items(const std::filesystem::path& path, long rows) {
  sqlite3* raw_db = nullptr;
  const int rc =
      sqlite3_open_v2(path.c_str(), &raw_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  const std::unique_ptr<sqlite3, CloseDb> owner(raw_db);
  sqlite3* db = raw_db;
  if (rc != SQLITE_OK) {
    die("cannot create " + path.string() + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
  }
  check(db,
        sqlite3_exec(db,
                     "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
                     "CREATE TABLE items(itemname TEXT, Qty INTEGER, Price REAL, Amt REAL,"
                     " ItemType TEXT, PriceCap TEXT, RefKPType INTEGER, Remark TEXT);"
                     "BEGIN;",
                     nullptr, nullptr, nullptr),
        "create table");
  sqlite3_stmt* insert = nullptr;
  const int prc = sqlite3_prepare_v2(db, "INSERT INTO items VALUES (?, ?, ?, ?, ?, ?, ?, ?)", -1,
                                     &insert, nullptr);
  const std::unique_ptr<sqlite3_stmt, FinalizeStmt> insert_owner(insert);
  check(db, prc, "prepare insert");
  for (long i = 0; i < rows; ++i) {
    // At most 14 bytes wide: one detail line per row, so 300,000 rows fit the page counter.
    const std::string name = "茶葉蛋 #" + std::to_string(i);
    const int qty = static_cast<int>(i % 5) + 1;
    const double price = 12.5 + static_cast<double>(i % 100);
    sqlite3_bind_text(insert, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 2, qty);
    sqlite3_bind_double(insert, 3, price);
    sqlite3_bind_double(insert, 4, price * qty);
    sqlite3_bind_text(insert, 5, i % 10 == 0 ? "TX" : "TZ", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 6, "時價", -1, SQLITE_STATIC);
    sqlite3_bind_int(insert, 7, static_cast<int>(i % 3));
    if (i % 2 == 0) {
      sqlite3_bind_null(insert, 8);
    } else {
      sqlite3_bind_text(insert, 8, "備註 remark", -1, SQLITE_STATIC);
    }
    check(db, sqlite3_step(insert), "insert");
    sqlite3_reset(insert);
  }
  check(db, sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), "commit");
}

long walk_rows(const std::filesystem::path& db, double& checksum) {
  orvo::SqliteRecordset rs(db, kQuery);
  long rows = 0;
  for (; !rs.Eof(); rs.MoveNext(), ++rows) {
    for (const char* field : kFields) {
      const orvo::Variant v = rs.Fields(field);
      checksum += v.kind() == orvo::Variant::Kind::Number ? v.as_number()
                  : v.is_text() ? static_cast<double>(v.as_text().size())
                                : 0.0;
    }
  }
  return rows;
}

// Counts the rows a print moves past.
class CountingRecordset : public orvo::Recordset {
 public:
  explicit CountingRecordset(orvo::Recordset& rows) : rows_(rows) {}
  int State() const override { return rows_.State(); }
  bool Eof() const override { return rows_.Eof(); }
  orvo::Variant Fields(std::string_view name) const override { return rows_.Fields(name); }
  void MoveNext() override {
    rows_.MoveNext();
    ++moved;
  }
  long moved = 0;

 private:
  orvo::Recordset& rows_;
};

// The rows a print walked: it reads them to the end in both modes.
long print_rows(const std::filesystem::path& db, bool detail) {
  const auto settings = db.parent_path() / "settings.ini";
  std::ofstream(settings) << "[IP]\nchkPrintMore=" << (detail ? "N" : "Y") << "\n";
  orvo::InvPrinter printer(std::make_shared<orvo::bench::SilentHost>());
  printer.set_settings_file(settings);
  printer.InvPrintPort(orvo::Variant("/dev/null"));
  printer.InvNo(orvo::Variant("AB00000001"));
  printer.Head0 = orvo::Variant("好味餐廳");
  printer.OrderAmt = orvo::Variant(123456);
  printer.InvAmt = orvo::Variant(123456);
  orvo::SqliteRecordset rs(db, kQuery);
  CountingRecordset counted(rs);
  printer.PrintInv(orvo::Variant(detail ? "Y" : "N"), counted);
  return counted.moved;
}

// Runs in the re-executed process: its peak RSS is the mode's alone.
int run(const std::string& mode, const std::filesystem::path& path) {
  try {
    const auto start = std::chrono::steady_clock::now();
    double checksum = 0;  // printed, so the reads cannot be optimised away
    long rows = 0;
    if (mode == "walk") {
      rows = walk_rows(path, checksum);
    } else if (mode == "summary" || mode == "detail") {
      rows = print_rows(path, mode == "detail");
    } else {
      die("unknown mode " + mode);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld %ld %.6f %.0f\n", rows, usage.ru_maxrss, seconds, checksum);
    return 0;
  } catch (const orvo::Error& e) {
    std::fprintf(stderr, "recordset_rss: %s failed: %d %s\n", mode.c_str(), e.number(),
                 e.description().c_str());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "recordset_rss: %s failed: %s\n", mode.c_str(), e.what());
    return 2;
  }
}

WalkResult run_mode(const std::string& mode, const std::filesystem::path& path) {
  int fds[2];
  if (pipe(fds) != 0) die(std::string("pipe: ") + std::strerror(errno));
  const pid_t pid = fork();
  if (pid < 0) {
    const int saved = errno;
    close(fds[0]);
    close(fds[1]);
    die(std::string("fork: ") + std::strerror(saved));
  }
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execl("/proc/self/exe", "recordset_rss", "--run", mode.c_str(), path.c_str(),
          static_cast<char*>(nullptr));
    std::fprintf(stderr, "recordset_rss: exec: %s\n", std::strerror(errno));
    _exit(127);
  }
  close(fds[1]);
  std::string out;
  char buf[256];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) out.append(buf, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    die("the " + mode + " over " + path.string() + " failed");
  WalkResult r;
  double checksum = 0;
  if (std::sscanf(out.c_str(), "%ld %ld %lf %lf", &r.rows, &r.peak_kib, &r.seconds, &checksum) !=
      4) {
    die("unexpected walker output: " + out);
  }
  return r;
}

long parse_count(const char* arg) {
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(arg, &end);  // accepts 1e6
  if (errno != 0 || end == arg || *end != '\0' || v < 0 || v > 1e9 || v != std::floor(v)) {
    die(std::string("not a row count: ") + arg);
  }
  return static_cast<long>(v);
}

}  // namespace

struct Series {
  std::string mode;
  std::vector<long> counts;
};

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--run") == 0) return run(argv[2], argv[3]);

  std::vector<Series> series;
  std::string tmpl;
  try {
    if (argc >= 3) {
      Series s{argv[1], {}};
      for (int i = 2; i < argc; ++i) s.counts.push_back(parse_count(argv[i]));
      series.push_back(s);
    } else if (argc == 1) {
      series = {{"walk", {1000, 1000000}}, {"summary", {1000, 1000000}}, {"detail", {1000, 300000}}};
    } else {
      die("usage: recordset_rss [walk|summary|detail N ...]");
    }
    tmpl = (std::filesystem::temp_directory_path() / "recordset_rss.XXXXXX").string();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "recordset_rss: %s\n", e.what());
    return 2;
  }
  if (mkdtemp(tmpl.data()) == nullptr) {
    std::fprintf(stderr, "recordset_rss: mkdtemp %s: %s\n", tmpl.c_str(), std::strerror(errno));
    return 2;
  }
  const std::filesystem::path dir = tmpl;

  std::printf("%8s %10s %14s %8s %12s\n", "mode", "rows", "peak KiB", "ratio", "rows/s");
  bool ok = true;
  try {
    for (const Series& s : series) {
      long base_kib = 0;
      for (const long n : s.counts) {
        const auto db = dir / ("items_" + std::to_string(n) + ".db");
        if (!std::filesystem::exists(db)) create_items(db, n);
        const WalkResult r = run_mode(s.mode, db);
        if (r.rows != n) die("walked " + std::to_string(r.rows) + " rows of " + std::to_string(n));
        if (base_kib == 0) base_kib = r.peak_kib;
        const double ratio = static_cast<double>(r.peak_kib) / static_cast<double>(base_kib);
        const double rate = r.seconds > 0 ? static_cast<double>(r.rows) / r.seconds : 0;
        std::printf("%8s %10ld %14ld %8.3f %12.0f\n", s.mode.c_str(), r.rows, r.peak_kib, ratio,
                    rate);
        std::fflush(stdout);
        if (ratio > kAllowedRatio) {
          std::printf("FAIL: %s of %ld rows peaked %.3f times %ld rows (allowed %.2f)\n",
                      s.mode.c_str(), n, ratio, s.counts.front(), kAllowedRatio);
          ok = false;
        }
      }
    }
  } catch (const std::exception& e) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    std::fprintf(stderr, "recordset_rss: %s\n", e.what());
    return 2;
  }
  std::filesystem::remove_all(dir);
  return ok ? 0 : 1;
}
