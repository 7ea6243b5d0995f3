// PagePrinter on Windows: an ended document is drawn with GDI on the chosen Windows printer as
// one job, or into enhanced metafiles, a picture of each page that any Windows program opens.
#include <windows.h>

#include <cctype>

#include "page_printer_host/gdi_page_win.h"
#include "page_printer_host/page_parts.h"
#include "page_printer_host/page_printer.h"
#include "platform/windows/wide.h"
#include "shared/errors.h"

namespace orvo::page {

namespace {

bool has_extension(const std::filesystem::path& path, std::string_view ext) {
  std::string e = path.extension().string();
  for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e == ext;
}

[[noreturn]] void raise_gdi(std::int32_t number, const std::string& what) {
  raise(number, what + ": " + win::system_message(::GetLastError()));
}

// Owns a printer's device context.
class PrinterDc {
 public:
  explicit PrinterDc(const std::string& printer)
      : dc_(::CreateDCW(L"WINSPOOL", win::widen(printer).c_str(), nullptr, nullptr)) {
    if (!dc_) raise_gdi(page_err::kNoPrinter, "cannot open the Windows printer \"" + printer + "\"");
  }
  ~PrinterDc() { ::DeleteDC(dc_); }
  PrinterDc(const PrinterDc&) = delete;
  PrinterDc& operator=(const PrinterDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

int print_on(const std::string& printer, const std::string& title, const PageDocument& doc) {
  const PrinterDc dc(printer);
  const std::wstring name = win::widen(title);
  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = name.c_str();
  const int job = ::StartDocW(dc.get(), &info);
  if (job <= 0) raise_gdi(err::kDeviceIo, "cannot start a print job on \"" + printer + "\"");
  for (const Page& page : doc.pages) {
    if (::StartPage(dc.get()) <= 0) {
      ::AbortDoc(dc.get());
      raise_gdi(err::kDeviceIo, "printing on \"" + printer + "\" failed");
    }
    use_twips(dc.get(), true);
    draw_page(dc.get(), page);
    if (::EndPage(dc.get()) <= 0) {
      ::AbortDoc(dc.get());
      raise_gdi(err::kDeviceIo, "printing on \"" + printer + "\" failed");
    }
  }
  if (::EndDoc(dc.get()) <= 0) raise_gdi(err::kDeviceIo, "printing on \"" + printer + "\" failed");
  return job;
}

void write_metafile(const std::filesystem::path& file, const PageSize& size, const Page& page) {
  // The frame in hundredths of a millimetre.
  const RECT frame{0, 0, static_cast<LONG>(size.width * 2540 / kTwipsPerInch),
                   static_cast<LONG>(size.height * 2540 / kTwipsPerInch)};
  HDC dc = ::CreateEnhMetaFileW(nullptr, file.c_str(), &frame, L"OrvoInvoice\0invoice\0");
  if (!dc) raise_gdi(err::kPathNotFound, "cannot write the page output \"" + file.string() + "\"");
  use_twips(dc, false);
  draw_page(dc, page);
  HENHMETAFILE done = ::CloseEnhMetaFile(dc);
  if (!done) raise_gdi(err::kDeviceIo, "cannot write the page output \"" + file.string() + "\"");
  ::DeleteEnhMetaFile(done);
}

}  // namespace

PageParts real_page_parts() {
  return {std::make_shared<WindowsPrinters>(), std::make_shared<GdiText>(), nullptr};
}

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
          "no printer for the page document: no Windows printer is chosen and there is no "
          "default one; give an output file (--page-output FILE.emf or ORVO_PAGE_OUTPUT) or "
          "set a default printer");
  }
  done.to = Delivered::To::Queue;
  done.job_id = print_on(done.queue, how.job_title, document());
  return done;
}

Delivered PagePrinter::print(const Delivery& how, const std::function<void(PageCanvas&)>& draw) {
  draw(*this);
  return deliver(how);
}

// x.emf for one page; x-1.emf, x-2.emf, ... for more.
std::vector<std::filesystem::path> PagePrinter::write_files(const std::filesystem::path& output,
                                                            double) {
  if (!has_extension(output, ".emf")) {
    raise(err::kInvalidArgument,
          "the page output \"" + output.string() + "\" must end in .emf on Windows");
  }
  const PageDocument& doc = document();
  std::vector<std::filesystem::path> files;
  for (std::size_t i = 0; i < doc.pages.size(); ++i) {
    std::filesystem::path file = output;
    if (doc.pages.size() > 1) {
      file.replace_filename(output.stem().string() + "-" + std::to_string(i + 1) +
                            output.extension().string());
    }
    write_metafile(file, doc.size, doc.pages[i]);
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace orvo::page
