#include "tools/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

#include "platform/errors.h"
#include "platform/gbk.h"

namespace TextFile {

namespace {

QString lineEndsToNewline(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

bool isUtf8WithNonAscii(const QByteArray& bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return uchar(byte) < 0x80; }))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);  // decodes only when converted to a QString
    return !decoder.hasError();
}

QStringConverter::Encoding unicodeEncoding(Format format) {
    return format == Format::Utf16LEMark   ? QStringConverter::Utf16LE
           : format == Format::Utf16BEMark ? QStringConverter::Utf16BE
                                           : QStringConverter::Utf8;
}

QByteArray encoded(const QString& text, Format format) {
    if (format == Format::Gbk)
        return Gbk::encode(text);
    QStringEncoder encoder(unicodeEncoding(format), format == Format::Utf8
                                                        ? QStringConverter::Flag::Default
                                                        : QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// The text of bytes stored in format, or a null string when they are not that encoding's.
QString decoded(const QByteArray& bytes, Format format) {
    if (format == Format::Gbk)
        return Gbk::decode(bytes);
    int markLength = 0;
    byteOrderMark(bytes, &markLength);
    QStringDecoder decoder(unicodeEncoding(format), QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes.mid(markLength));
    return decoder.hasError() ? QString() : text;
}

Format formatOf(const QByteArray& bytes) {
    switch (byteOrderMark(bytes)) {
        case Encoding::Utf8:
            return Format::Utf8Mark;
        case Encoding::Utf16LE:
            return Format::Utf16LEMark;
        case Encoding::Utf16BE:
            return Format::Utf16BEMark;
        case Encoding::None:
            break;
    }
    return isUtf8WithNonAscii(bytes) ? Format::Utf8 : Format::Gbk;
}

}  // namespace

void openForReading(QFile& file) {
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile())
        throw AppError(QStringLiteral("%1 不是普通文件（%2），不能当作文本打开。")
                           .arg(file.fileName(),
                                info.isDir() ? QStringLiteral("是一个文件夹")
                                             : QStringLiteral("是设备或管道，读它会一直等待")));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法打开文件 %1：%2。")
                           .arg(file.fileName(), Errors::fileProblem(file, false)));
}

Encoding byteOrderMark(const QByteArray& bytes, int* markLength) {
    struct Mark {
        const char* bytes;
        int length;
        Encoding encoding;
    };
    static const Mark marks[] = {{"\xEF\xBB\xBF", 3, Encoding::Utf8},
                                 {"\xFF\xFE", 2, Encoding::Utf16LE},
                                 {"\xFE\xFF", 2, Encoding::Utf16BE}};
    for (const Mark& mark : marks)
        if (bytes.startsWith(QByteArray::fromRawData(mark.bytes, mark.length))) {
            if (markLength)
                *markLength = mark.length;
            return mark.encoding;
        }
    if (markLength)
        *markLength = 0;
    return Encoding::None;
}

QString read(const QString& path, Format* format) {
    QFile file(path);
    openForReading(file);
    if (file.size() > kMaxBytes)
        throw AppError(QStringLiteral("文件 %1 太大，文本框放不下（最多 %2 字节）。")
                           .arg(path)
                           .arg(kMaxBytes));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(
            QStringLiteral("无法读取文件 %1：%2。").arg(path, Errors::fileProblem(file, false)));
    const Format stored = formatOf(bytes);
    const QString text = decoded(bytes, stored);
    // A later save encodes the text again; bytes that do not survive that would be corrupted.
    if (text.isNull() || encoded(text, stored) != bytes)
        throw AppError(QStringLiteral("文件 %1 既不是 GBK 编码的文本，也不是 UTF-8 或带字节顺序标记"
                                      "的 UTF-16 文本，打开后保存会改变它的内容，所以没有打开。")
                           .arg(path));
    if (format)
        *format = stored;
    return lineEndsToNewline(text);
}

void write(const QString& path, const QString& text, Format format) {
    if (format == Format::Gbk && !Gbk::canEncode(text))
        throw AppError(
            QStringLiteral("文本中有 GBK 编码不能保存的字符，文件 %1 没有保存。").arg(path));
    const QByteArray bytes = encoded(QString(text).replace('\n', QStringLiteral("\r\n")), format);
    QSaveFile file(path);
    const QString cannotSave = QStringLiteral("无法保存文件 %1：%2。");
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(cannotSave.arg(path, Errors::fileProblem(file, true)));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(cannotSave.arg(path, Errors::fileProblem(file, true)));
}

int firstUnencodable(QStringView text) {
    // Every character GBK cannot hold encodes as the unmappable pair, whose byte no real
    // character has.
    const qsizetype at = Gbk::encode(text).indexOf(Gbk::kUnmappable[0]);
    return at < 0 ? -1 : Gbk::charPosition(text, int(at));
}

QString withTextExtension(const QString& chosen) {
    if (chosen.right(4).toUpper() == QStringLiteral(".TXT"))
        return chosen;
    return chosen + QStringLiteral(".TXT");
}

}  // namespace TextFile
