#include "tools/Cfree.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextLayout>

#include "platform/errors.h"
#include "platform/firstframe.h"
#include "platform/gbk.h"
#include "platform/inputmethod.h"
#include "platform/pathrule.h"
#include "resources/toolpictures.h"
#include "tools/CWBFind.h"
#include "tools/filedialogs.h"
#include "tools/textfile.h"

TfrmFree* frmFree = nullptr;

namespace {

const QString kFilePrefix = QStringLiteral("    现在打开的文件是：");
const QString kFilter = QStringLiteral("文本文件|*.TXT|所有文件|*.*");

QFont pixelFont(const QString& family, int pixelSize) {
    QFont result(family);
    result.setPixelSize(pixelSize);
    return result;
}

// Row and column of a text position, both from 1: the row counts the box's display lines, so a
// wrapped line, or one broken by Shift+Enter, is several rows; the column counts GBK bytes of that
// row.
QPoint rowColumnAt(QPlainTextEdit* box, int p) {
    QTextDocument* document = box->document();
    const QTextBlock caretBlock = document->findBlock(p);
    int row = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        // Asking for the block's rectangle lays it out when it has not been yet.
        document->documentLayout()->blockBoundingRect(block);
        if (block == caretBlock)
            break;
        row += qMax(1, block.layout()->lineCount());
    }
    const int inBlock = p - caretBlock.position();
    const QTextLine line = caretBlock.layout()->lineForTextPosition(inBlock);
    const int lineStart = line.isValid() ? line.textStart() : 0;
    row += line.isValid() ? line.lineNumber() : 0;
    const int column =
        Gbk::byteLength(QStringView(caretBlock.text()).mid(lineStart, inBlock - lineStart));
    return {row + 1, column + 1};
}

QString codePointText(char32_t codePoint) {
    return QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

TfrmFree::TfrmFree(QWidget* parent) : TForm(parent) {
    setObjectName("frmFree");
    setWindowTitle(QStringLiteral("Tarvelle---->自由录入练习"));
    resize(792, 548);
    setFrame(Frame::Single, Frame::SystemMenu);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(16, 16, 753, 409);
    FirstFrame::setFont(Memo1, pixelFont(QStringLiteral("宋体"), 16));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->installEventFilter(this);
    Memo1->viewport()->installEventFilter(this);
    connect(Memo1, &QPlainTextEdit::textChanged, this,
            Errors::handler(this, &TfrmFree::Memo1Change));

    SpeedButton5 = button("SpeedButton5", QStringLiteral("新建"), ToolPictures::newPicture(), 100);
    SpeedButton3 =
        button("SpeedButton3", QStringLiteral("打开文本"), ToolPictures::openPicture(), 244);
    SpeedButton2 =
        button("SpeedButton2", QStringLiteral("保存文本"), ToolPictures::savePicture(), 350);
    SpeedButton4 =
        button("SpeedButton4", QStringLiteral("五笔帮助"), ToolPictures::helpPicture(), 462);
    SpeedButton1 =
        button("SpeedButton1", QStringLiteral("关闭[&C]"), ToolPictures::closePicture(), 592);
    connect(SpeedButton1, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmFree::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmFree::SpeedButton2Click));
    connect(SpeedButton3, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmFree::SpeedButton3Click));
    connect(SpeedButton4, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmFree::SpeedButton4Click));
    connect(SpeedButton5, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmFree::SpeedButton5Click));

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    FirstFrame::setFont(StatusBar1, pixelFont(QStringLiteral("Tahoma"), 11));
    FirstFrame::setStyleSheet(StatusBar1, QStringLiteral("QLabel { color: navy; }"));
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setObjectName("StatusPanel0");
    StatusPanel0->setFixedWidth(180);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setObjectName("StatusPanel1");
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1, 1);
}

QToolButton* TfrmFree::button(const char* name, const QString& caption, const QPixmap& picture,
                              int x) {
    auto* result = new QToolButton(this);
    result->setObjectName(name);
    result->setText(caption);
    result->setIcon(picture);
    result->setIconSize(picture.deviceIndependentSize().toSize());
    result->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    result->setAutoRaise(true);
    result->setFocusPolicy(Qt::NoFocus);
    FirstFrame::setFont(result, pixelFont(QStringLiteral("宋体"), 12));
    result->setGeometry(x, 464, 105, 41);
    return result;
}

void TfrmFree::FormCreate() {
    placeStandard();
}

void TfrmFree::FormActivate() {
    Memo1->setFocus();
    showRowAndColumn();
}

bool TfrmFree::FormCloseQuery() {
    // Unsaved text is dropped without a question; the file name stays for the next visit.
    Memo1->clear();
    return true;
}

void TfrmFree::resizeEvent(QResizeEvent* event) {
    TForm::resizeEvent(event);
    StatusBar1->setGeometry(0, height() - 20, width(), 20);
}

bool TfrmFree::eventFilter(QObject* watched, QEvent* event) {
    // fcitx5 keeps Wubi off in a window new to it; the text box asks for it.
    if (watched == Memo1 && event->type() == QEvent::FocusIn)
        InputMethod::switchOnFor(Memo1);
    if (watched == Memo1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    if (watched == Memo1 && event->type() == QEvent::KeyRelease && Memo1->isVisible())
        Errors::guard(this, [this] { Memo1KeyUp(); });
    if (watched == Memo1->viewport() && event->type() == QEvent::MouseButtonRelease)
        Errors::guard(this, [this] { Memo1Click(); });
    return TForm::eventFilter(watched, event);
}

void TfrmFree::Memo1Change() {
    showRowAndColumn();
}

void TfrmFree::Memo1Click() {
    showRowAndColumn();
}

void TfrmFree::Memo1KeyUp() {
    showRowAndColumn();
}

void TfrmFree::showRowAndColumn() {
    const QPoint rowColumn = rowColumnAt(Memo1, Memo1->textCursor().selectionStart());
    StatusPanel0->setText(QStringLiteral("行：%1   列：%2").arg(rowColumn.x()).arg(rowColumn.y()));
}

void TfrmFree::SpeedButton1Click() {
    close();
}

QString TfrmFree::textToSave() const {
    // Shift+Enter breaks a line inside a paragraph with U+2028; on screen and in the file it is a
    // line end like any other.
    return Memo1->document()
        ->toRawText()
        .replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'));
}

void TfrmFree::refuseUnencodable(const QString& text) {
    const int at = TextFile::firstUnencodable(text);
    if (at < 0)
        return;
    const bool pair = text[at].isHighSurrogate() && at + 1 < text.size();
    const int width = pair ? 2 : 1;
    const char32_t codePoint =
        pair ? QChar::surrogateToUcs4(text[at], text[at + 1]) : text[at].unicode();
    const QPoint rowColumn = rowColumnAt(Memo1, at);
    // The pupil finds the character selected, with its row and column in the status bar.
    QTextCursor cursor = Memo1->textCursor();
    cursor.setPosition(at);
    cursor.setPosition(at + width, QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
    showRowAndColumn();
    const QString what = Label1->text().isEmpty() ? QStringLiteral("文本")
                                                  : QStringLiteral("文件 %1 ").arg(Label1->text());
    throw AppError(QStringLiteral("第 %1 行第 %2 列的字符“%3”（%4）GBK 编码不能保存，%5没有保存。"
                                  "请删去或换掉这个字符再保存。")
                       .arg(rowColumn.x())
                       .arg(rowColumn.y())
                       .arg(text.mid(at, width), codePointText(codePoint), what));
}

void TfrmFree::SpeedButton2Click() {
    const QString text = textToSave();
    if (!Label1->text().isEmpty()) {
        if (fileFormat == TextFile::Format::Gbk)
            refuseUnencodable(text);
        TextFile::write(Label1->text(), text, fileFormat);
        return;
    }
    refuseUnencodable(text);
    const QString chosen = FileDialogs::chooseSave(
        this, {QString(), PathRule::resolve(QStringLiteral("\\mavro")), kFilter});
    if (chosen.isEmpty())
        return;
    const QString target = TextFile::withTextExtension(chosen);
    TextFile::write(target, text);
    fileFormat = TextFile::Format::Gbk;
    showFile(target);
}

void TfrmFree::SpeedButton3Click() {
    const QString path = FileDialogs::chooseOpen(
        this, {QStringLiteral("Keyvane6.0(五笔速成)     请选择要打开的文本文件"),
               PathRule::resolve(QStringLiteral("\\mavro")), kFilter});
    if (path.isEmpty())
        return;
    TextFile::Format format;
    Memo1->setPlainText(TextFile::read(path, &format));
    fileFormat = format;
    showFile(path);
}

void TfrmFree::SpeedButton4Click() {
    frmWBfind->ShowModal();
}

void TfrmFree::SpeedButton5Click() {
    Memo1->clear();
    StatusPanel1->clear();
    Label1->clear();
}

void TfrmFree::showFile(const QString& path) {
    StatusPanel1->setText(kFilePrefix + path);
    Label1->setText(path);
}
