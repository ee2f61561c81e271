#include "gui/chart/EmbeddedSystem.h"

#include "engine/file/SystemFileMessages.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cctype>
#include <string_view>

namespace {

constexpr qint64 kMaxPictureBytes = qint64(512) << 20;  // an 8000 x 8000 PNG is well below

// What is wrong with a picture that should carry a system, after "FILE: "
// (the missing and unreadable files are told as the system-file reader tells them).
constexpr char kTooLarge[] = "larger than 512 MiB, not a picture";
constexpr char kNotPicture[] = "not a PNG, SVG or PDF picture";
constexpr char kNoSystem[] = "the picture carries no VANTO system in its metadata";

// A PDF text string in UTF-16BE with its byte-order mark, as hexadecimal.
QByteArray PdfHexString(const QString& s)
{
  QByteArray bytes("\xFE\xFF", 2);
  for (const QChar c : s) {
    bytes += static_cast<char>(c.unicode() >> 8);
    bytes += static_cast<char>(c.unicode() & 0xFF);
  }
  return '<' + bytes.toHex().toUpper() + '>';
}

// The text of a hexadecimal PDF string written by PdfHexString.
bool ReadPdfHexString(const QByteArray& hex, QString& out)
{
  const QByteArray bytes = QByteArray::fromHex(hex);
  if (bytes.size() < 2 || bytes.size() % 2 != 0 || !bytes.startsWith("\xFE\xFF"))
    return false;
  out.clear();
  for (qsizetype i = 2; i < bytes.size(); i += 2)
    out += QChar(
        static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8) | static_cast<unsigned char>(bytes[i + 1])));
  return true;
}

QByteArray XmlEscaped(const std::string& text)
{
  QByteArray out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// True when the chunks of a PNG file chain up to its end chunk and one of
// them is a text chunk under key: only then is the image decoded for its
// texts, so that a damaged file is no work for the decoder.
bool PngHasTextKey(const QByteArray& bytes, const QByteArray& key)
{
  bool found = false;
  qsizetype at = 8;
  while (at + 12 <= bytes.size()) {
    const auto byte = [&bytes](qsizetype i) { return quint32(static_cast<unsigned char>(bytes[i])); };
    const quint32 n = (byte(at) << 24) | (byte(at + 1) << 16) | (byte(at + 2) << 8) | byte(at + 3);
    const QByteArray type = bytes.mid(at + 4, 4);
    if (n > quint32(bytes.size() - at - 12))
      return false;
    if ((type == "tEXt" || type == "zTXt" || type == "iTXt") && bytes.mid(at + 8, key.size() + 1) == key + '\0')
      found = true;
    at += qsizetype(n) + 12;
    if (type == "IEND")
      return found && at == bytes.size();
  }
  return false;
}

bool ReadPng(const QByteArray& bytes, std::string& text)
{
  if (!PngHasTextKey(bytes, QByteArray(kPngSystemKey)))
    return false;
  // The reader sees text chunks by their keys only in the image it read.
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer, "png");
  text = reader.read().text(QLatin1String(kPngSystemKey)).toStdString();
  return !text.empty();
}

bool ReadSvg(const QByteArray& bytes, std::string& text)
{
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.namespaceUri() == QLatin1String(kSvgSystemNamespace) &&
        xml.name() == QLatin1String("system")) {
      text = xml.readElementText().toStdString();
      return !xml.hasError() && !text.empty();
    }
  }
  return false;
}

bool ReadPdf(const QByteArray& bytes, std::string& text)
{
  // The newest information dictionary comes last in the file.
  const QByteArray key = QByteArray("/") + kPdfSystemKey;
  const qsizetype at = bytes.lastIndexOf(key);
  if (at < 0)
    return false;
  static const QRegularExpression value(QStringLiteral("^\\s*<([0-9A-Fa-f\\s]*)>"));
  const QRegularExpressionMatch m = value.match(QString::fromLatin1(bytes.mid(at + key.size())));
  QString s;
  if (!m.hasMatch() || !ReadPdfHexString(m.captured(1).toLatin1(), s))
    return false;
  text = s.toStdString();
  return !text.empty();
}

}  // namespace

QByteArray SvgWithSystem(const QByteArray& svg, const std::string& text)
{
  const qsizetype open = svg.indexOf("<svg");
  const qsizetype end = open < 0 ? -1 : svg.indexOf('>', open);
  if (end < 0)
    return svg;
  QByteArray out = svg;
  out.insert(end + 1, "\n<metadata><vanto:system xmlns:vanto=\"" + QByteArray(kSvgSystemNamespace) + "\">" +
                          XmlEscaped(text) + "</vanto:system></metadata>");
  return out;
}

QByteArray PdfWithSystem(const QByteArray& pdf, const std::string& text, const QString& title)
{
  const qsizetype start = pdf.lastIndexOf("startxref");
  const qsizetype trailer = start < 0 ? -1 : pdf.lastIndexOf("trailer", start);
  if (trailer < 0)
    return pdf;
  static const QRegularExpression prevRe(QStringLiteral("^startxref\\s+(\\d+)"));
  static const QRegularExpression sizeRe(QStringLiteral("/Size\\s+(\\d+)"));
  static const QRegularExpression rootRe(QStringLiteral("/Root\\s+(\\d+\\s+\\d+\\s+R)"));
  static const QRegularExpression idRe(QStringLiteral("/ID\\s*\\[[^\\]]*\\]"));
  const QString dict = QString::fromLatin1(pdf.mid(trailer, start - trailer));
  const QRegularExpressionMatch prev = prevRe.match(QString::fromLatin1(pdf.mid(start, 64)));
  const QRegularExpressionMatch size = sizeRe.match(dict);
  const QRegularExpressionMatch root = rootRe.match(dict);
  if (!prev.hasMatch() || !size.hasMatch() || !root.hasMatch())
    return pdf;
  const QRegularExpressionMatch id = idRe.match(dict);
  const QByteArray object = size.captured(1).toLatin1();  // the next free object number

  QByteArray out = pdf;
  if (!out.endsWith('\n'))
    out += '\n';
  const qsizetype infoAt = out.size();
  out += object + " 0 obj\n<< /Title " + PdfHexString(title) + " /Creator " + PdfHexString(QStringLiteral("VANTO")) +
         " /" + kPdfSystemKey + ' ' + PdfHexString(QString::fromStdString(text)) + " >>\nendobj\n";
  const qsizetype xrefAt = out.size();
  // Each cross-reference entry is exactly 20 bytes.
  out += "xref\n" + object + " 1\n" + QByteArray::number(infoAt).rightJustified(10, '0') + " 00000 n \n";
  out += "trailer\n<< /Size " + QByteArray::number(object.toLongLong() + 1) + " /Root " + root.captured(1).toLatin1() +
         " /Info " + object + " 0 R /Prev " + prev.captured(1).toLatin1();
  if (id.hasMatch())
    out += ' ' + id.captured(0).toLatin1();
  out += " >>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
  return out;
}

PictureText EmbeddedSystemText(const QByteArray& bytes, std::string& text)
{
  text.clear();
  bool found = false;
  if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
    found = ReadPng(bytes, text);
  else if (bytes.startsWith("%PDF-"))
    found = ReadPdf(bytes, text);
  else if (bytes.startsWith("<?xml") || bytes.left(1024).contains("<svg"))
    found = ReadSvg(bytes, text);
  else
    return PictureText::NotPicture;
  if (!found) {
    text.clear();
    return PictureText::NoSystem;
  }
  return PictureText::Found;
}

bool ReadEmbeddedSystem(const QString& path, std::string& text, QString& error)
{
  text.clear();
  const std::string name = path.toStdString();
  const auto fail = [&error, &name](std::string_view what) {
    error = QString::fromStdString(FileMessage(name, what));
    return false;
  };
  QFile file(path);
  if (!file.exists())
    return fail(filemsg::kMissing);
  if (!file.open(QIODevice::ReadOnly))
    return fail(FillMessage(filemsg::kUnreadable, {.v = file.errorString().toStdString()}));
  if (file.size() > kMaxPictureBytes)
    return fail(kTooLarge);
  const QByteArray bytes = file.readAll();
  file.close();
  switch (EmbeddedSystemText(bytes, text)) {
    case PictureText::NotPicture:
      return fail(kNotPicture);
    case PictureText::NoSystem:
      return fail(kNoSystem);
    case PictureText::Found:
      break;
  }
  return true;
}

bool IsDesignPicture(const std::string& path)
{
  std::string lower = path;
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string_view ext : {".png", ".svg", ".pdf"})
    if (lower.size() > ext.size() && lower.compare(lower.size() - ext.size(), ext.size(), ext) == 0)
      return true;
  return false;
}

bool LoadDesign(const std::string& path, LoadedSystem& loaded, std::string& message)
{
  if (!IsDesignPicture(path))
    return LoadSystemFile(path, loaded, message);
  std::string text;
  QString error;
  // The image decoder's own complaints about a damaged picture are not
  // ours to print: the one message below says what is wrong.
  const QtMessageHandler before = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  const bool read = ReadEmbeddedSystem(QString::fromStdString(path), text, error);
  qInstallMessageHandler(before);
  if (!read) {
    message = error.toStdString();
    return false;
  }
  return ReadSystemFile(text, path, loaded, message);
}
