#pragma once
// A scratch directory of the test's own (mkdtemp), removed with its contents at the end.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace orvo::testing {

inline std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

struct TempDir {
  std::filesystem::path path = make();

  TempDir() = default;
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }

  std::filesystem::path operator/(const std::string& name) const { return path / name; }
  // Writes `bytes` to a file here and returns its path.
  std::filesystem::path write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path / name, std::ios::binary | std::ios::trunc) << bytes;
    return path / name;
  }

 private:
  static std::filesystem::path make() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orvo-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + tmpl);
    return tmpl;
  }
};

}  // namespace orvo::testing
