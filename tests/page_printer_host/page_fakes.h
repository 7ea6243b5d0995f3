#pragma once
// Stand-ins for the print system and for text measurement, so that display lists can be checked
// to the twip and delivery failures can be forced.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "page_printer_host/page_printer.h"
#include "shared/errors.h"
#include "shared/variant.h"

namespace orvo::page {

// Readable failures for display-list comparisons.
inline void PrintTo(const TextRun& r, std::ostream* os) {
  *os << "{" << r.x << ", " << r.y << ", \"" << r.text << "\", " << r.font.name << " "
      << r.font.size << ", w " << r.width << (r.align == Align::Right ? " right" : "") << "}";
}
inline void PrintTo(const Rule& r, std::ostream* os) {
  *os << "{" << r.x1 << ", " << r.y1 << " - " << r.x2 << ", " << r.y2 << "}";
}

}  // namespace orvo::page

namespace orvo::testing {

// Every character is one em wide (size in points x 20 twips); a line is 1.25 em high.
class FixedMetrics : public page::TextMetrics {
 public:
  double line_height(const page::FontSpec& f) override { return f.size * 25; }
  std::vector<std::string> wrap(std::string_view text, const page::FontSpec& f,
                                double width) override {
    const auto per_line = std::max<std::size_t>(1, static_cast<std::size_t>(width / (f.size * 20)));
    std::vector<std::string> lines;
    for (std::size_t at = 1; at <= Len(text) || lines.empty(); at += per_line) {
      lines.push_back(Mid(text, at, per_line));
    }
    return lines;
  }
  void require_chinese(const std::string& name) override {
    if (name == no_chinese) raise(font_error, "no Chinese in " + name);
  }
  std::string no_chinese;
  std::int32_t font_error = page::page_err::kInvalidPropertyValue;
};

class FakeQueues : public page::PrintQueues {
 public:
  struct Job {
    std::string queue, title, pdf;
  };
  std::vector<std::string> names() override {
    if (!listing_error.empty()) raise(err::kDeviceUnavailable, listing_error);
    return installed;
  }
  std::string default_name() override { return current; }
  std::optional<page::PageSize> media(const std::string& queue) override {
    return queue == letter_queue ? std::optional(page::PageSize{12240, 15840}) : std::nullopt;
  }
  int submit(const std::string& queue, const std::string& title, const std::string& pdf) override {
    if (!rejection.empty()) raise(err::kDeviceIo, rejection);
    jobs.push_back({queue, title, pdf});
    return static_cast<int>(jobs.size());
  }

  std::vector<std::string> installed;
  std::string current, letter_queue, listing_error, rejection;
  std::vector<Job> jobs;
};

class FakeRenderer : public page::PageRenderer {
 public:
  std::string pdf(const page::PageDocument& doc) override {
    if (!failure.empty()) raise(err::kDeviceIo, failure);
    return "%PDF pages=" + std::to_string(doc.pages.size());
  }
  std::vector<std::string> png(const page::PageDocument& doc, double dpi) override {
    if (!failure.empty()) raise(err::kDeviceIo, failure);
    std::vector<std::string> out;
    while (out.size() < doc.pages.size()) {
      out.push_back("PNG " + std::to_string(out.size() + 1) + " at " + number_text(dpi));
    }
    return out;
  }
  std::string failure;
};

}  // namespace orvo::testing
