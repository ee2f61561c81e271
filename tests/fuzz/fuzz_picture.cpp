// libFuzzer target for the design carried in exported pictures. The first
// byte chooses the test:
//  - even: the rest is read as a picture (PNG, SVG, PDF or anything): the
//    reader finds a system text or refuses, and a text it finds is read as
//    a system file or refused with one message;
//  - odd: the rest, as printable text, is written into an SVG and a PDF as
//    the export writes it, and each reads back exactly.

#include "engine/file/SystemFile.h"
#include "gui/chart/EmbeddedSystem.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok)
{
  if (!ok)
    std::abort();
}

// A minimal PDF with a catalog, as a PDF writer leaves it.
const char kPdf[] =
    "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
    "2 0 obj\n<< /Type /Pages /Kids [] /Count 0 >>\nendobj\n"
    "xref\n0 3\n0000000000 65535 f \n0000000009 00000 n \n0000000058 00000 n \n"
    "trailer\n<< /Size 3 /Root 1 0 R >>\nstartxref\n110\n%%EOF\n";
const char kSvg[] =
    "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\">\n"
    "<rect width=\"4\" height=\"4\"/>\n</svg>\n";

void ReadPicture(const QByteArray& bytes)
{
  std::string text;
  if (EmbeddedSystemText(bytes, text) != PictureText::Found) {
    Check(text.empty());
    return;
  }
  Check(!text.empty());
  LoadedSystem loaded;
  std::string message;
  if (!ReadSystemFile(text, "p.png", loaded, message))
    Check(message.rfind("p.png", 0) == 0 && message.find('\n') == std::string::npos);
}

void WriteAndReadBack(const std::string& text)
{
  std::string back;
  Check(EmbeddedSystemText(SvgWithSystem(QByteArray(kSvg), text), back) == PictureText::Found && back == text);
  Check(EmbeddedSystemText(PdfWithSystem(QByteArray(kPdf), text, QStringLiteral("t")), back) == PictureText::Found &&
        back == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size == 0)
    return 0;
  const char* rest = reinterpret_cast<const char*>(data + 1);
  const std::size_t n = size - 1;
  if (data[0] % 2 == 0) {
    ReadPicture(QByteArray(rest, static_cast<qsizetype>(n)));
    return 0;
  }
  // system texts are printable, in lines
  std::string text;
  for (std::size_t i = 0; i < n; ++i)
    if ((rest[i] >= ' ' && rest[i] <= '~') || rest[i] == '\n')
      text += rest[i];
  if (!text.empty())
    WriteAndReadBack(text);
  return 0;
}
