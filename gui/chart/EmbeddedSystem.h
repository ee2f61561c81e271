#pragma once
// The loop definition carried inside an exported picture, so that a figure
// in a report also holds its design: a PNG text chunk, an SVG <metadata>
// element and a PDF document-information entry, each holding the system
// file's text as it was when the picture was made.

#include "engine/file/SystemFile.h"

#include <QByteArray>
#include <QString>

#include <string>

// The key of the PNG text chunk.
inline constexpr char kPngSystemKey[] = "VANTO system";
// The key of the PDF document-information entry (written as /VANTOSystem).
inline constexpr char kPdfSystemKey[] = "VANTOSystem";
// The namespace of the SVG element that holds the text.
inline constexpr char kSvgSystemNamespace[] = "urn:vanto:system";

// svg (a document from QSvgGenerator) with a <metadata> element holding
// text, first inside the <svg> element; svg unchanged when it has no <svg>
// element.
[[nodiscard]] QByteArray SvgWithSystem(const QByteArray& svg, const std::string& text);

// pdf with an incremental update appended: a new document-information
// dictionary holding title, the creator and text, a cross-reference section
// for it and a trailer linking the old one. pdf unchanged when its trailer
// cannot be read.
[[nodiscard]] QByteArray PdfWithSystem(const QByteArray& pdf, const std::string& text, const QString& title);

// The system text in the bytes of a picture, told by their content: a PNG
// text chunk, an SVG element or a PDF information entry under this
// program's key. text is empty unless Found.
enum class PictureText { Found, NotPicture, NoSystem };
[[nodiscard]] PictureText EmbeddedSystemText(const QByteArray& bytes, std::string& text);

// The system text of a .png, .svg or .pdf picture exported by this program
// (told by its content, not its name). False with one message "FILE: what"
// when the file is missing, cannot be read, is no such picture or carries no
// system text.
bool ReadEmbeddedSystem(const QString& path, std::string& text, QString& error);

// True when path names a picture (.png, .svg or .pdf, in any case), whose
// design is read from its metadata rather than as a system file.
[[nodiscard]] bool IsDesignPicture(const std::string& path);

// Reads the design that path holds: a system file, or a picture exported by
// this program. False with the one message of the reader that refused it.
bool LoadDesign(const std::string& path, LoadedSystem& loaded, std::string& message);
