#include "page_printer_host/page_printer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

#include "page_printer_host/page_parts.h"
#include "shared/errors.h"
#include "shared/unique_fd.h"

namespace orvo::page {

namespace {

std::int32_t file_error_number(int errnum) {
  switch (errnum) {
    case ENOENT:
    case ENOTDIR:
      return err::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return err::kPermissionDenied;
    case ENOSPC:
      return err::kDiskFull;
    default:
      return err::kDeviceIo;
  }
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  auto fail = [&](int errnum) {
    raise(file_error_number(errnum),
          "cannot write the page output \"" + path.string() + "\": " + std::strerror(errnum));
  };
  int raw;
  do {
    raw = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (raw < 0 && errno == EINTR);
  if (raw < 0) fail(errno);
  UniqueFd fd(raw);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd.get(), p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(n < 0 ? errno : ENOSPC);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::close(fd.release()) != 0 && errno != EINTR) fail(errno);
}

bool has_extension(const std::filesystem::path& path, std::string_view ext) {
  std::string e = path.extension().string();
  for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e == ext;
}

}  // namespace

PagePrinter::PagePrinter(std::shared_ptr<PrintQueues> queues, std::shared_ptr<TextMetrics> metrics,
                         std::shared_ptr<PageRenderer> renderer)
    : PageCanvas(std::move(queues), std::move(metrics)), renderer_(std::move(renderer)) {}

PagePrinter::PagePrinter() : PagePrinter(real_page_parts()) {}

PagePrinter::PagePrinter(PageParts parts)
    : PagePrinter(std::move(parts.queues), std::move(parts.metrics), std::move(parts.renderer)) {}

Delivered PagePrinter::deliver(const Delivery& how) {
  if (!document_ended()) {
    raise(page_err::kNoDocument, "no page document to deliver: begin and end one first");
  }
  Delivered done;
  if (preview()) return done;
  if (!how.output.empty()) {
    done.to = Delivered::To::Files;
    done.files = write_files(how.output, how.picture_dpi);
    return done;
  }
  done.queue = printer_name();
  if (done.queue.empty()) {
    raise(page_err::kNoPrinter,
          "no printer for the page document: no CUPS queue is chosen and there is no default "
          "one; give an output file (--page-output FILE or ORVO_PAGE_OUTPUT) or make a queue "
          "the default (lpadmin -d NAME)");
  }
  done.to = Delivered::To::Queue;
  done.job_id = queues().submit(done.queue, how.job_title, renderer_->pdf(document()));
  return done;
}

Delivered PagePrinter::print(const Delivery& how, const std::function<void(PageCanvas&)>& draw) {
  draw(*this);
  return deliver(how);
}

std::vector<std::filesystem::path> PagePrinter::write_files(const std::filesystem::path& output,
                                                            double dpi) {
  if (has_extension(output, ".pdf")) {
    write_file(output, renderer_->pdf(document()));
    return {output};
  }
  if (!has_extension(output, ".png")) {
    raise(err::kInvalidArgument,
          "the page output \"" + output.string() + "\" must end in .pdf or .png");
  }
  const std::vector<std::string> pictures = renderer_->png(document(), dpi);
  std::vector<std::filesystem::path> files;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    std::filesystem::path file = output;
    if (pictures.size() > 1) {
      file.replace_filename(output.stem().string() + "-" + std::to_string(i + 1) +
                            output.extension().string());
    }
    write_file(file, pictures[i]);
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace orvo::page
