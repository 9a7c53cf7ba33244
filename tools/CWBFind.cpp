#include "tools/CWBFind.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "platform/errors.h"
#include "platform/firstframe.h"
#include "platform/gbk.h"
#include "platform/keyletterbox.h"
#include "resources/pictures.h"
#include "resources/toolpictures.h"
#include "tools/codepattern.h"

TfrmWBfind* frmWBfind = nullptr;

namespace {

const QString kCodeTable = QStringLiteral("\\mavro\\kzWb.DB");
// The pupil's pattern is bound, never pasted into the statement, so no character typed can end
// the LIKE pattern early; "%" and "_" typed still act as wildcards. The rows come in the table's
// own order; the code index makes a prefix a range and a list of every code a walk through the
// index alone, never through the rows with their pictures.
const QString kLookupQuery = QStringLiteral(
    "SELECT 文字, 简码, 全码 FROM %1 Kzwb INDEXED BY QMindex WHERE 全码 LIKE ? "
    "ORDER BY Kzwb.rowid");

QFont songFont(int pixelSize) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    return font;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* result = new QLabel(text, parent);
    result->setObjectName(name);
    result->setGeometry(geometry);
    return result;
}

QToolButton* closeButton(QWidget* parent, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(QStringLiteral("关闭[&C]"));
    button->setIcon(ToolPictures::closePicture());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(240, 286, 100, 32);
    return button;
}

}  // namespace

TfrmWBfind::TfrmWBfind(QWidget* parent) : TForm(parent) {
    setObjectName("frmWBfind");
    setWindowTitle(QStringLiteral("Tarvelle---->五笔查询"));
    FirstFrame::setFont(this, songFont(12));
    resize(363, 357);
    setFrame(Frame::Single, Frame::SystemMenu);
    Query1 = new TQuery(Session1, QStringLiteral("Query1"), this);
    Button1 = new QPushButton(this);
    Button1->setObjectName("Button1");
    Button1->setFocusPolicy(Qt::NoFocus);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(0, 0, 363, 357);
    buildCodeTab();
    buildCharacterTab();
}

void TfrmWBfind::buildCodeTab() {
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");
    PageControl1->addTab(TabSheet2, QStringLiteral("根据编码查汉字"));

    GroupBox1 = new QGroupBox(TabSheet2);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(8, 4, 340, 64);
    Label3 = label(GroupBox1, "Label3", QStringLiteral("输入编码，不知道的编码可用“Z”代替"),
                   QRect(10, 12, 320, 18));
    // Code letters, typed or pasted, arrive in lower case.
    Edit2 = new KeyLetterBox(KeyLetterBox::LetterCase::Lower, GroupBox1);
    Edit2->setObjectName("Edit2");
    Edit2->setGeometry(10, 32, 120, 26);
    Edit2->setMaxLength(4);
    FirstFrame::setFont(Edit2, songFont(16));
    FirstFrame::setStyleSheet(Edit2, QStringLiteral("color: red;"));
    Edit2->installEventFilter(this);
    connect(Edit2, &QLineEdit::textChanged, this, Errors::handler(this, &TfrmWBfind::Edit2Change));

    GroupBox3 = new QGroupBox(TabSheet2);
    GroupBox3->setObjectName("GroupBox3");
    GroupBox3->setGeometry(8, 72, 340, 208);
    DBGrid1 = new QTableView(GroupBox3);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setGeometry(6, 10, 328, 192);
    DBGrid1->setModel(Query1);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FirstFrame::setFont(DBGrid1, songFont(16));
    FirstFrame::setFont(DBGrid1->horizontalHeader(), songFont(12));
    FirstFrame::setFont(DBGrid1->verticalHeader(), songFont(12));
    FirstFrame::setStyleSheet(
        DBGrid1, QStringLiteral("QTableView { color: teal; } QHeaderView { color: navy; }"));
    connect(Query1, &QAbstractItemModel::modelReset, this,
            Errors::handler(this, &TfrmWBfind::sizeGridColumns));

    SpeedButton2 = closeButton(TabSheet2, "SpeedButton2");
    connect(SpeedButton2, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmWBfind::SpeedButton1Click));
}

void TfrmWBfind::buildCharacterTab() {
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    PageControl1->addTab(TabSheet1, QStringLiteral("根据汉字查编码"));

    GroupBox2 = new QGroupBox(TabSheet1);
    GroupBox2->setObjectName("GroupBox2");
    GroupBox2->setGeometry(8, 4, 340, 144);
    Pan = label(GroupBox2, "Pan", QString(), QRect(19, 14, 302, 33));
    Pan->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Pan->setAlignment(Qt::AlignCenter);
    FirstFrame::setFont(Pan, songFont(14));
    FirstFrame::setStyleSheet(Pan, QStringLiteral("color: navy;"));
    for (int i = 0; i < 4; ++i) {
        QLabel* image = label(GroupBox2, "", QString(), QRect(19 + i * 76, 56, 75, 75));
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setScaledContents(true);
        (i == 0 ? Image1 : i == 1 ? Image2 : i == 2 ? Image3 : Image4) = image;
    }
    Image5 = label(GroupBox2, "Image5", QString(), QRect(0, 0, 75, 75));
    Image5->setPixmap(QPixmap());
    Image5->hide();

    Label2 = label(TabSheet1, "Label2", QStringLiteral("输入要查找的汉字（可连续输入或复制）"),
                   QRect(10, 158, 330, 18));
    Edit1 = new QLineEdit(TabSheet1);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(10, 178, 336, 26);
    FirstFrame::setFont(Edit1, songFont(14));
    FirstFrame::setStyleSheet(Edit1, QStringLiteral("color: red;"));
    Edit1->installEventFilter(this);
    // An input-method commit or a paste brings no key release to the box; look up after it too.
    connect(Edit1, &QLineEdit::textEdited, this,
            Errors::handler(this, &TfrmWBfind::lookUpCharacter));
    Label1 = label(TabSheet1, "Label1", QStringLiteral("（技巧：移动光标可查看每个字的编码）"),
                   QRect(10, 210, 330, 18));
    FirstFrame::setStyleSheet(Label1, QStringLiteral("color: navy;"));

    SpeedButton1 = closeButton(TabSheet1, "SpeedButton1");
    connect(SpeedButton1, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmWBfind::SpeedButton1Click));
}

void TfrmWBfind::FormCreate() {
    centreOnOwnSize();
    Session1.setOnPassword(Password);
    Table1.Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.DB"));
    Button1->move(-10000, Button1->y());
}

void TfrmWBfind::FormActivate() {
    // No Wubi code is made of digits: the grid starts empty.
    openQuery(QStringLiteral("1234"));
    PageControl1->setCurrentWidget(TabSheet2);
    Edit2->setFocus();
}

bool TfrmWBfind::FormCloseQuery() {
    Edit1->clear();
    Edit2->clear();
    return true;
}

bool TfrmWBfind::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit2 && event->type() == QEvent::KeyPress)
        return Errors::handler(this, &TfrmWBfind::Edit2KeyPress)(static_cast<QKeyEvent*>(event));
    // The release of the Esc that closed the window must not look up in the emptied box.
    if (watched == Edit1 && event->type() == QEvent::KeyRelease && Edit1->isVisible())
        Errors::guard(this, [this] { Edit1KeyUp(); });
    if (watched == Edit1 && event->type() == QEvent::MouseButtonRelease)
        Errors::guard(this, [this] { Edit1Click(); });
    return TForm::eventFilter(watched, event);
}

void TfrmWBfind::Edit2Change() {
    const QString code = Edit2->text();
    if (!CodePattern::queries(code))
        return;
    openQuery(CodePattern::pattern(code));
}

bool TfrmWBfind::Edit2KeyPress(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space)
        return false;
    // The next code typed replaces the whole code.
    Edit2->setSelection(0, 32766);
    return true;
}

void TfrmWBfind::Edit1KeyUp() {
    lookUpCharacter();
}

void TfrmWBfind::Edit1Click() {
    lookUpCharacter();
}

void TfrmWBfind::SpeedButton1Click() {
    close();
}

void TfrmWBfind::openQuery(const QString& pattern) {
    Query1->Close();
    Query1->Open(kCodeTable, kLookupQuery, {pattern});
}

void TfrmWBfind::sizeGridColumns() {
    // Widths of 7, 7 and 8 characters of the grid's text.
    const int digit = DBGrid1->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int widths[] = {7, 7, 8};
    for (int column = 0; column < Query1->columnCount() && column < 3; ++column)
        DBGrid1->setColumnWidth(column, widths[column] * digit + 8);
}

QLabel* TfrmWBfind::picture(int number) const {
    return number == 1 ? Image1 : number == 2 ? Image2 : number == 3 ? Image3 : Image4;
}

void TfrmWBfind::lookUpCharacter() {
    Table1.SetIndexName(QStringLiteral("WZindex"));
    const QString text = Edit1->text();
    const int caret = Edit1->hasSelectedText() ? Edit1->selectionStart() : Edit1->cursorPosition();
    const QByteArray key =
        CodePattern::keyBeforeCaret(Gbk::encode(text), Gbk::bytePosition(text, caret));
    if (key.isEmpty() || !Table1.FindKey(key)) {
        Pan->clear();
        for (int i = 1; i <= 4; ++i) picture(i)->setPixmap(Image5->pixmap());
        return;
    }
    const QString character = Table1.FieldAsString(QStringLiteral("文字"));
    const QString fullCode = Table1.FieldAsString(QStringLiteral("全码"));
    // The short code as the text drill's hint shows it: one that gives the character.
    Pan->setText(character + QStringLiteral(":") +
                 hints.hintCode(character, Table1.FieldAsString(QStringLiteral("简码")), fullCode) +
                 QStringLiteral(" 、") + fullCode);
    for (int i = 1; i <= 4; ++i) {
        picture(i)->setPixmap(Image5->pixmap());
        picture(i)->setPixmap(Pictures::fitted(
            Table1.FieldAsPicture(QStringLiteral("Pic%1").arg(i)), picture(i)->size()));
    }
}
