// The entry of orvo-cups.so: raw jobs on the CUPS server libcups finds (CUPS_SERVER,
// client.conf, else the local scheduler).
#include <cups/cups.h>

#include <cstdlib>
#include <string>

#include "channel/cups_spooler.h"
#include "shared/errors.h"

namespace orvo {

namespace {

using State = CupsJobStatus::State;

std::string keywords(ipp_t* response, const char* name) {
  std::string out;
  ipp_attribute_t* attr = ippFindAttribute(response, name, IPP_TAG_KEYWORD);
  for (int i = 0; attr != nullptr && i < ippGetCount(attr); ++i) {
    out += (out.empty() ? "" : ",") + std::string(ippGetString(attr, i, nullptr));
  }
  return out;
}

std::string dest_option(cups_dest_t* dest, const char* name) {
  const char* value = cupsGetOption(name, dest->num_options, dest->options);
  return value ? value : "";
}

// The queue as the scheduler describes it; raises when there is none of that name.
cups_dest_t* named_dest(const std::string& queue) {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (dest == nullptr) {
    const std::string why = cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE
                                ? std::string(": ") + cupsLastErrorString()
                                : "";
    raise(err::kDeviceUnavailable, "there is no CUPS queue \"" + queue + "\"" + why);
  }
  return dest;
}

class Spooler : public CupsSpooler {
 public:
  void check(const std::string& queue) override {
    cups_dest_t* dest = named_dest(queue);
    const bool accepting = dest_option(dest, "printer-is-accepting-jobs") != "false";
    const std::string reasons = dest_option(dest, "printer-state-reasons");
    cupsFreeDests(1, dest);
    if (!accepting) {
      raise(err::kDeviceUnavailable,
            "the CUPS queue \"" + queue + "\" accepts no jobs" +
                (reasons.empty() || reasons == "none" ? "" : " (printer-state-reasons: " + reasons + ")"));
    }
  }

  int submit(const std::string& queue, const std::string& title, std::string_view bytes) override {
    const char* name = title.empty() ? nullptr : title.c_str();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, queue.c_str(), name, 0, nullptr);
    if (job == 0) refused(queue, cupsLastErrorString());
    const bool sent =
        cupsStartDocument(CUPS_HTTP_DEFAULT, queue.c_str(), job, name, CUPS_FORMAT_RAW, 1) ==
            HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.data(), bytes.size()) == HTTP_STATUS_CONTINUE;
    // Finishing also reads the scheduler's answer, so it runs even after a failed write.
    const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.c_str());
    if (!sent || finished > IPP_STATUS_OK_CONFLICTING) {
      const std::string reason = cupsLastErrorString();
      cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job, 0);
      refused(queue, reason);
    }
    return job;
  }

  CupsJobStatus status(const std::string& queue, int job) override {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr,
                 ("ipp://localhost/jobs/" + std::to_string(job)).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const kWanted[] = {"job-state", "job-state-reasons"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                  kWanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (response == nullptr || ippGetStatusCode(response) > IPP_STATUS_OK_CONFLICTING) {
      ippDelete(response);
      raise(err::kDeviceIo, "cannot ask CUPS about job " + std::to_string(job) + ": " +
                                cupsLastErrorString());
    }
    CupsJobStatus s;
    const int state = ippGetInteger(ippFindAttribute(response, "job-state", IPP_TAG_ENUM), 0);
    s.state = state >= IPP_JSTATE_PENDING && state <= IPP_JSTATE_COMPLETED
                  ? static_cast<State>(state - IPP_JSTATE_PENDING)
                  : State::Pending;
    s.reasons = keywords(response, "job-state-reasons");
    ippDelete(response);

    cups_dest_t* dest = named_dest(queue);
    s.queue_stopped = dest_option(dest, "printer-state") == "5";
    s.queue_reasons = dest_option(dest, "printer-state-reasons");
    cupsFreeDests(1, dest);
    return s;
  }

  void cancel(const std::string& queue, int job) override {
    cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job, 0);
  }

 private:
  [[noreturn]] static void refused(const std::string& queue, const std::string& reason) {
    raise(err::kDeviceIo, "the CUPS queue \"" + queue + "\" did not take the job: " + reason);
  }
};

}  // namespace

}  // namespace orvo

extern "C" __attribute__((visibility("default"))) orvo::CupsSpooler* orvo_cups_spooler_v1() {
  return new orvo::Spooler;
}
