// The pupil's text files: a file the editor opens is saved back unchanged but for line ends.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fuzzinput.h"
#include "platform/errors.h"
#include "tools/textfile.h"

namespace {
QByteArray crlf(QByteArray bytes) {
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    bytes.replace("\n", "\r\n");
    return bytes;
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    FUZZ_ASSERT(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_ASSERT(file.write(bytes) == bytes.size());
}

QByteArray get(const QString& path) {
    QFile file(path);
    FUZZ_ASSERT(file.open(QIODevice::ReadOnly));
    return file.readAll();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pupil.TXT"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    put(path, bytes);
    QString text;
    TextFile::Format format;
    try {
        text = TextFile::read(path, &format);
    } catch (const AppError&) {
        return 0;  // refused with a message: nothing else to check
    }
    FUZZ_ASSERT(!text.contains(QLatin1Char('\r')));
    TextFile::write(path, text, format);  // an opened file must be savable
    if (format == TextFile::Format::Utf16LEMark || format == TextFile::Format::Utf16BEMark) {
        // Line ends are two bytes there: the text read back is the measure.
        TextFile::Format again;
        FUZZ_ASSERT(TextFile::read(path, &again) == text && again == format);
    } else {
        FUZZ_ASSERT(get(path) == crlf(bytes));
    }
    return 0;
}
