// Lists the text an enhanced metafile draws, one line per text: X Y (twips) FONT POINTS TEXT, in
// UTF-8, so that a test can compare a page printed on Windows with the layout's places.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t* s, int n) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, s, n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, s, n, out.data(), size, nullptr, nullptr);
  return out;
}

std::string g_font;

int CALLBACK record(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM) {
  if (r->iType == EMR_EXTCREATEFONTINDIRECTW) {
    const auto* f = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(r);
    const LOGFONTW& lf = f->elfw.elfLogFont;
    g_font = utf8(lf.lfFaceName, static_cast<int>(wcsnlen(lf.lfFaceName, LF_FACESIZE))) + " " +
             std::to_string(-lf.lfHeight / 20.0).substr(0, 5);
  } else if (r->iType == EMR_EXTTEXTOUTW) {
    const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(r);
    const auto* text = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) +
                                                        t->emrtext.offString);
    std::printf("%ld %ld %s %s\n", t->emrtext.ptlReference.x, t->emrtext.ptlReference.y,
                g_font.c_str(), utf8(text, static_cast<int>(t->emrtext.nChars)).c_str());
  }
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HENHMETAFILE emf = ::GetEnhMetaFileW(argv[1]);
  if (!emf) return 1;
  ::EnumEnhMetaFile(nullptr, emf, record, nullptr, nullptr);
  ::DeleteEnhMetaFile(emf);
  return 0;
}
