// SQLite has no mingw package on Debian: the Windows build reads items from the host's recordset
// (the automation server) or from the sale file's "items" array.
#include "recordset/recordset.h"
#include "shared/errors.h"

namespace orvo {

struct SqliteRecordset::Impl {};

SqliteRecordset::SqliteRecordset(const std::filesystem::path& database, const std::string&) {
  raise(kDatabaseError, "cannot open " + database.string() +
                            ": SQLite item queries are not part of the Windows build; give the "
                            "items as \"items\" in the sale");
}

SqliteRecordset::~SqliteRecordset() = default;
int SqliteRecordset::State() const { return 0; }
bool SqliteRecordset::Eof() const { return true; }
Variant SqliteRecordset::Fields(std::string_view) const { return {}; }
void SqliteRecordset::MoveNext() {}

}  // namespace orvo
