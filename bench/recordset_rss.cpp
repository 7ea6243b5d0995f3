// Peak memory of walking a sale's item rows through SqliteRecordset, for growing row counts.
//
//   recordset_rss [N ...]     default: 1000 1000000
//
// For each N it writes a scratch database of N item rows, walks it in a fresh process (this
// program re-executed with --walk, so the parent's insert work does not count) reading every
// field, and prints that process's peak RSS and the walk's rows/s. Exits 1 if the peak for the
// largest N exceeds the peak for the smallest by more than 16 MiB: the walk must stream.
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

#include "printer_object/recordset/recordset.h"
#include "shared/errors.h"

namespace {

constexpr long kAllowedGrowthKib = 16 * 1024;
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
    const std::string name = "茶葉蛋 Tea egg #" + std::to_string(i);
    const int qty = static_cast<int>(i % 5) + 1;
    const double price = 12.5 + static_cast<double>(i % 100);
    sqlite3_bind_text(insert, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 2, qty);
    sqlite3_bind_double(insert, 3, price);
    sqlite3_bind_double(insert, 4, price * qty);
    sqlite3_bind_text(insert, 5, i % 10 == 0 ? "TX" : "TZ", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 6, "單價", -1, SQLITE_STATIC);
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

// Runs in the re-executed process: its peak RSS is the walk's alone.
int walk(const std::filesystem::path& path) {
  try {
    const auto start = std::chrono::steady_clock::now();
    orvo::SqliteRecordset rs(path,
                             "SELECT itemname, Qty, Price, Amt, ItemType, PriceCap, RefKPType,"
                             " Remark FROM items ORDER BY rowid");
    long rows = 0;
    double checksum = 0;  // printed, so the reads cannot be optimised away
    for (; !rs.Eof(); rs.MoveNext(), ++rows) {
      for (const char* field : kFields) {
        const orvo::Variant v = rs.Fields(field);
        checksum += v.kind() == orvo::Variant::Kind::Number ? v.as_number()
                    : v.is_text() ? static_cast<double>(v.as_text().size())
                                  : 0.0;
      }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld %ld %.6f %.0f\n", rows, usage.ru_maxrss, seconds, checksum);
    return 0;
  } catch (const orvo::Error& e) {
    std::fprintf(stderr, "recordset_rss: walk failed: %d %s\n", e.number(),
                 e.description().c_str());
    return 2;
  }
}

WalkResult run_walker(const std::filesystem::path& path) {
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
    execl("/proc/self/exe", "recordset_rss", "--walk", path.c_str(), static_cast<char*>(nullptr));
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
    die("the walk over " + path.string() + " failed");
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

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--walk") == 0) return walk(argv[2]);

  std::vector<long> counts;
  std::string tmpl;
  try {
    for (int i = 1; i < argc; ++i) counts.push_back(parse_count(argv[i]));
    if (counts.empty()) counts = {1000, 1000000};
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

  std::printf("%10s %14s %12s\n", "rows", "walk peak KiB", "rows/s");
  std::vector<WalkResult> results;
  try {
    for (const long n : counts) {
      const auto db = dir / ("items_" + std::to_string(n) + ".db");
      create_items(db, n);
      const WalkResult r = run_walker(db);
      std::filesystem::remove(db);
      if (r.rows != n) die("walked " + std::to_string(r.rows) + " rows of " + std::to_string(n));
      const double rate = r.seconds > 0 ? static_cast<double>(r.rows) / r.seconds : 0;
      std::printf("%10ld %14ld %12.0f\n", r.rows, r.peak_kib, rate);
      std::fflush(stdout);
      results.push_back(r);
    }
  } catch (const std::exception& e) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    std::fprintf(stderr, "recordset_rss: %s\n", e.what());
    return 2;
  }
  std::filesystem::remove_all(dir);

  const auto [smallest, largest] = std::minmax_element(
      results.begin(), results.end(), [](const auto& a, const auto& b) { return a.rows < b.rows; });
  const long growth = largest->peak_kib - smallest->peak_kib;
  if (growth > kAllowedGrowthKib) {
    std::printf("FAIL: walking %ld rows peaked %ld KiB above %ld rows (allowed %ld KiB)\n",
                largest->rows, growth, smallest->rows, kAllowedGrowthKib);
    return 1;
  }
  std::printf("ok: walk peak grew %ld KiB from %ld to %ld rows (allowed %ld KiB)\n", growth,
              smallest->rows, largest->rows, kAllowedGrowthKib);
  return 0;
}
