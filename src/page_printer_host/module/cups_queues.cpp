#include "page_printer_host/module/cups_queues.h"

#include <cups/cups.h>
#include <cups/pwg.h>

#include <algorithm>

#include "shared/errors.h"

namespace orvo::page {

namespace {

// Hundredths of a millimetre, as CUPS gives paper sizes.
double twips_from_cups(int hundredths_mm) {
  return hundredths_mm / 100.0 / 25.4 * kTwipsPerInch;
}

class CupsQueues : public PrintQueues {
 public:
  std::vector<std::string> names() override {
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
      // Instances ("name/instance") are option sets of a queue, not printers of their own.
      if (dests[i].instance == nullptr) out.emplace_back(dests[i].name);
    }
    cupsFreeDests(n, dests);
    // No scheduler running means no printers, not a failure.
    if (n == 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING &&
        cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND &&
        cupsLastError() != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) {
      raise(err::kDeviceUnavailable,
            std::string("cannot list the CUPS printers: ") + cupsLastErrorString());
    }
    return out;
  }

  std::string default_name() override {
    const char* name = cupsGetDefault2(CUPS_HTTP_DEFAULT);
    return name != nullptr ? name : "";
  }

  std::optional<PageSize> media(const std::string& queue) override {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
    if (dest == nullptr) return std::nullopt;
    std::optional<PageSize> size;
    // The queue's media-default, by its standard name or an older one ("A4", "Letter").
    if (const char* name = cupsGetOption("media", dest->num_options, dest->options)) {
      const pwg_media_t* media = pwgMediaForPWG(name);
      if (media == nullptr) media = pwgMediaForLegacy(name);
      if (media != nullptr && media->width > 0 && media->length > 0) {
        size = PageSize{twips_from_cups(media->width), twips_from_cups(media->length)};
      }
    }
    cupsFreeDests(1, dest);
    return size;
  }

  int submit(const std::string& queue, const std::string& title, const std::string& pdf) override {
    const char* name = title.empty() ? nullptr : title.c_str();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.c_str(), name, 0, nullptr);
    if (job == 0) {
      // libcups words a missing queue as a missing file.
      const std::string reason = cupsLastErrorString();
      cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
      if (dest == nullptr) fail(queue, title, "there is no such queue");
      cupsFreeDests(1, dest);
      fail(queue, title, reason);
    }
    const bool sent =
        cupsStartDocument(CUPS_HTTP_DEFAULT, queue.c_str(), job, name, CUPS_FORMAT_PDF, 1) ==
            HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE;
    // Finishing also reads the scheduler's answer, so it runs even after a failed write.
    const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str());
    if (!sent || finished > IPP_STATUS_OK_CONFLICTING) {
      const std::string reason = cupsLastErrorString();
      cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job, 0);
      fail(queue, title, reason);
    }
    return job;
  }

 private:
  [[noreturn]] static void fail(const std::string& queue, const std::string& title,
                                std::string reason = cupsLastErrorString()) {
    raise(err::kDeviceIo, "the CUPS queue \"" + queue + "\" did not take the job \"" + title +
                              "\": " + reason);
  }
};

}  // namespace

std::shared_ptr<PrintQueues> cups_queues() { return std::make_shared<CupsQueues>(); }

}  // namespace orvo::page
