#include "page_printer_host/gdi_page_win.h"

#include <winspool.h>

#include <cmath>

#include "platform/windows/wide.h"
#include "shared/errors.h"
#include "shared/utf8.h"

namespace orvo::page {

HFONT create_font(const FontSpec& font) {
  const int height = -static_cast<int>(std::lround(font.size * kTwipsPerPoint));
  return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, CHINESEBIG5_CHARSET,
                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       win::widen(font.name).c_str());
}

void use_twips(HDC dc, bool printer) {
  ::SetMapMode(dc, MM_ANISOTROPIC);
  ::SetWindowExtEx(dc, static_cast<int>(kTwipsPerInch), static_cast<int>(kTwipsPerInch), nullptr);
  ::SetViewportExtEx(dc, ::GetDeviceCaps(dc, LOGPIXELSX), ::GetDeviceCaps(dc, LOGPIXELSY), nullptr);
  // A printer's device origin is the corner of what it can print, not of the sheet.
  if (printer) {
    ::SetViewportOrgEx(dc, -::GetDeviceCaps(dc, PHYSICALOFFSETX),
                       -::GetDeviceCaps(dc, PHYSICALOFFSETY), nullptr);
  }
}

namespace {

// Selects a font for the length of a scope.
class Selected {
 public:
  Selected(HDC dc, const FontSpec& spec) : dc_(dc), font_(create_font(spec)) {
    old_ = ::SelectObject(dc_, font_);
  }
  ~Selected() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(font_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};

double extent(HDC dc, const std::wstring& text) {
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

}  // namespace

GdiText::GdiText() : dc_(::CreateCompatibleDC(nullptr)) { use_twips(dc_, false); }

GdiText::~GdiText() { ::DeleteDC(dc_); }

double GdiText::line_height(const FontSpec& font) {
  const Selected selected(dc_, font);
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc_, &tm);
  return tm.tmHeight + tm.tmExternalLeading;
}

// Breaks at the last space that fits, else between characters; a line feed always breaks.
std::vector<std::string> GdiText::wrap(std::string_view text, const FontSpec& font, double width) {
  const Selected selected(dc_, font);
  std::vector<std::string> lines;
  std::size_t start = 0;
  do {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::wstring rest = win::widen(text.substr(start, end - start));
    do {
      std::size_t fit = rest.size();
      while (fit > 1 && extent(dc_, rest.substr(0, fit)) > width) --fit;
      if (fit < rest.size()) {
        const std::size_t space = rest.rfind(L' ', fit);
        if (space != std::wstring::npos && space > 0) fit = space + 1;
      }
      std::wstring line = rest.substr(0, fit);
      while (!line.empty() && line.back() == L' ' && fit < rest.size()) line.pop_back();
      lines.push_back(win::narrow(line));
      rest.erase(0, fit);
    } while (!rest.empty());
    start = end + 1;
  } while (start <= text.size());
  return lines;
}

// The font mapper gives a Chinese face for a Chinese font name; a name it can only map to a
// face without the code page would print empty boxes.
void GdiText::require_chinese(const std::string& font_name) {
  const Selected selected(dc_, FontSpec{font_name, 10});
  if (::GetTextCharset(dc_) != CHINESEBIG5_CHARSET) {
    raise(page_err::kInvalidPropertyValue,
          "Invalid property value: the font \"" + font_name + "\" has no Chinese characters here");
  }
}

std::vector<std::string> WindowsPrinters::names() {
  DWORD needed = 0, count = 0;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  ::EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  std::vector<std::string> found;
  if (needed == 0 ||
      !::EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count))
    return found;
  const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) found.push_back(win::narrow(info[i].pPrinterName));
  return found;
}

std::string WindowsPrinters::default_name() {
  wchar_t name[512];
  DWORD size = 512;
  return ::GetDefaultPrinterW(name, &size) ? win::narrow(name) : std::string();
}

int WindowsPrinters::submit(const std::string& queue, const std::string&, const std::string&) {
  raise(page_err::kNoPrinter, "cannot send a PDF document to " + queue + " on Windows");
}

void draw_page(HDC dc, const Page& page) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0, 0, 0));
  for (const TextRun& run : page.texts) {
    const Selected selected(dc, run.font);
    const std::wstring text = win::widen(run.text);
    const bool right = run.width > 0 && run.align == Align::Right;
    ::SetTextAlign(dc, TA_TOP | (right ? TA_RIGHT : TA_LEFT) | TA_NOUPDATECP);
    const double x = right ? run.x + run.width : run.x;
    ::TextOutW(dc, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(run.y)),
               text.c_str(), static_cast<int>(text.size()));
  }
  HPEN pen = ::CreatePen(PS_SOLID, 15, RGB(0, 0, 0));  // one pixel wide on a screen
  HGDIOBJ old = ::SelectObject(dc, pen);
  for (const Rule& r : page.rules) {
    ::MoveToEx(dc, static_cast<int>(std::lround(r.x1)), static_cast<int>(std::lround(r.y1)), nullptr);
    ::LineTo(dc, static_cast<int>(std::lround(r.x2)), static_cast<int>(std::lround(r.y2)));
  }
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}

}  // namespace orvo::page
