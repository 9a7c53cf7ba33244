#pragma once

#include <QString>

// The pupil's text files: GBK with CR LF line ends. In the editor a line end is "\n".
namespace TextFile {

// Larger files are refused: the text box would become too slow to type in.
inline constexpr qint64 kMaxBytes = 1024 * 1024;

// Reads the whole file; CR LF, a lone CR and a lone LF each become one line end. Refuses, with a
// message the pupil can act on, a file that cannot be read, that is larger than kMaxBytes, whose
// bytes would not come back unchanged when saved again, or that is UTF-8 with non-ASCII text
// (such text often decodes as valid GBK, but as wrong characters).
QString read(const QString& path);

// Writes the text in GBK with CR LF and no line end added at the end. The text goes to a
// temporary file beside the target that replaces it only when complete, so a failed write
// leaves the old file as it was. Refuses text that GBK cannot hold.
void write(const QString& path, const QString& text);

// The UTF-16 position of the first character that GBK cannot hold, or -1 when it holds them all.
int firstUnencodable(QStringView text);

// The save dialog's name rule: a name whose last four characters are not ".TXT" in any case
// gets ".TXT" appended.
QString withTextExtension(const QString& chosen);

}  // namespace TextFile
