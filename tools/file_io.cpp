#include "file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "sale_json.h"
#include "shared/unique_fd.h"

namespace orvo::cli {

namespace {
std::string os_reason(int e) { return std::generic_category().message(e); }
}  // namespace

namespace {

std::string read_all(int fd, const std::string& name) {
  std::string bytes;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw InputError(name + ": cannot read: " + os_reason(errno));
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  return bytes;
}

}  // namespace

std::string read_file(const std::filesystem::path& file) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw InputError(file.string() + ": cannot open: " + os_reason(errno));
  return read_all(fd.get(), file.string());
}

std::string read_stdin() { return read_all(STDIN_FILENO, "<stdin>"); }

void write_text_file(const std::filesystem::path& file, std::string_view text) {
  std::filesystem::path temp = file;
  temp += ".tmp" + std::to_string(::getpid());
  auto fail = [&](const char* what) {
    const int e = errno;
    ::unlink(temp.c_str());
    throw InputError(file.string() + ": " + what + ": " + os_reason(e));
  };
  {
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
      const int e = errno;
      throw InputError(file.string() + ": cannot create: " + os_reason(e));
    }
    while (!text.empty()) {
      const ssize_t n = ::write(fd.get(), text.data(), text.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) fail("cannot write");
      text.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::close(fd.release()) != 0) fail("cannot write");
  }
  if (::rename(temp.c_str(), file.c_str()) != 0) fail("cannot replace");
}

}  // namespace orvo::cli
