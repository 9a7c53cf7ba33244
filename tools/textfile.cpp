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

QString read(const QString& path) {
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
    const Encoding mark = byteOrderMark(bytes);
    if (mark == Encoding::Utf16LE || mark == Encoding::Utf16BE)
        throw AppError(QStringLiteral("文件 %1 是 UTF-16 编码的文本，而这里只能保存 GBK 编码，"
                                      "打开后保存会改变它的内容，所以没有打开。")
                           .arg(path));
    const QString text = Gbk::decode(bytes);
    // A later save writes GBK again; bytes that do not survive that would be corrupted, and UTF-8
    // shown as GBK would be saved as a mix of both.
    if (isUtf8WithNonAscii(bytes) || Gbk::encode(text) != bytes)
        throw AppError(
            QStringLiteral("文件 %1 不是 GBK 编码的文本，打开后保存会改变它的内容，所以没有打开。")
                .arg(path));
    return lineEndsToNewline(text);
}

void write(const QString& path, const QString& text) {
    if (!Gbk::canEncode(text))
        throw AppError(
            QStringLiteral("文本中有 GBK 编码不能保存的字符，文件 %1 没有保存。").arg(path));
    QByteArray bytes = Gbk::encode(text);
    bytes.replace("\n", "\r\n");
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
