#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The pupil's text files: GBK with CR LF line ends, or UTF-8 and UTF-16 as the pupil's other
// programs write them. In the editor a line end is "\n".
namespace TextFile {

// Opens the file for reading. Only a regular file is opened: reading a pipe waits for a writer
// that may never come and a device may never end, so those (and folders) are refused with a
// message that names the file and says what it is.
void openForReading(QFile& file);

enum class Encoding { None, Utf8, Utf16LE, Utf16BE };
// The encoding a byte-order mark at the start of the bytes announces, and the mark's length.
Encoding byteOrderMark(const QByteArray& bytes, int* markLength = nullptr);

// Larger files are refused: the text box would become too slow to type in.
inline constexpr qint64 kMaxBytes = 1024 * 1024;

// How a file's text is stored, so that saving writes it back the way it came.
enum class Format { Gbk, Utf8, Utf8Mark, Utf16LEMark, Utf16BEMark };

// Reads the whole file; CR LF, a lone CR and a lone LF each become one line end. A byte-order
// mark names the encoding; without one, text beyond ASCII that is valid UTF-8 is UTF-8 (such
// bytes often decode as valid GBK too, but as wrong characters), and anything else GBK. Refuses,
// with a message the pupil can act on, a file that is not a regular file or cannot be read, that
// is larger than kMaxBytes, or whose bytes would not come back unchanged when saved again.
// format, when given, receives how the file is stored.
QString read(const QString& path, Format* format = nullptr);

// Writes the text in format with CR LF and no line end added at the end. The text goes to a
// temporary file beside the target that replaces it only when complete, so a failed write
// leaves the old file as it was. Refuses GBK text that GBK cannot hold.
void write(const QString& path, const QString& text, Format format = Format::Gbk);

// The UTF-16 position of the first character that GBK cannot hold, or -1 when it holds them all.
int firstUnencodable(QStringView text);

// The save dialog's name rule: a name whose last four characters are not ".TXT" in any case
// gets ".TXT" appended.
QString withTextExtension(const QString& chosen);

}  // namespace TextFile
