#include "drills/CTT.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "app/cmavro.h"
#include "drills/Ctime.h"
#include "drills/fingerline.h"
#include "drills/pagetiming.h"
#include "platform/errors.h"
#include "platform/firstframe.h"
#include "platform/tickcount.h"
#include "progress/recorder.h"
#include "progress/strokelog.h"
#include "resources/pictures.h"

TfrmTT* frmTT = nullptr;

namespace {

const QString kNoBest = QStringLiteral("6000000");
const QString kTextField = QStringLiteral("文字");

QFont songFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
    auto* result = new QLabel(caption, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setGeometry(geometry);
    return result;
}

QLabel* recordLabel(QWidget* parent, const char* name, const QString& caption, int left, int top) {
    QLabel* result = label(parent, name, caption, QRect(left, top, 169, 15));
    FirstFrame::setFont(result, songFont(15, false));
    QPalette palette = result->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    result->setPalette(palette);
    return result;
}

QPushButton* hiddenButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->hide();
    return button;
}

}  // namespace

TFingerEdit::TFingerEdit(QWidget* parent) : KeyLetterBox(LetterCase::AsTyped, parent) {}

void TFingerEdit::focusInEvent(QFocusEvent* event) {
    const int caret = cursorPosition();
    const bool hadSelection = hasSelectedText();
    KeyLetterBox::focusInEvent(event);
    if (!hadSelection && hasSelectedText()) {
        deselect();
        setCursorPosition(caret);
    }
    // Coming back to the window (after the result dialog) is not entering the box.
    if (OnEnter && event->reason() != Qt::ActiveWindowFocusReason &&
        event->reason() != Qt::PopupFocusReason)
        OnEnter();
}

void TFingerEdit::focusOutEvent(QFocusEvent* event) {
    // A wrong character stays selected while the pupil is in another box, so that coming back
    // still replaces it.
    const int start = selectionStart();
    const int length = int(selectedText().size());
    KeyLetterBox::focusOutEvent(event);
    if (length > 0 && !hasSelectedText())
        setSelection(start, length);
}

void TFingerEdit::keyPressEvent(QKeyEvent* event) {
    if (OnKeyDown)
        OnKeyDown(event);
    KeyLetterBox::keyPressEvent(event);
}

TfrmTT::TfrmTT(QWidget* parent) : TForm(parent) {
    setObjectName("frmTT");
    setWindowTitle(QStringLiteral("Tarvelle--->指法练习"));
    resize(777, 546);
    setFrame(Frame::Single, Frame::SystemMenu);

    const char* lineNames[] = {"Label1", "Label2", "Label3", "Label4"};
    const char* boxNames[] = {"Edit1", "Edit2", "Edit3", "Edit4"};
    for (int n = 0; n < 4; ++n) {
        // Two pixels more above and below than the 19 drawn, centred on the same place: the bold
        // line's descenders (j, p, y, g) hang below 19 pixels.
        QLabel* line = label(this, lineNames[n], QString(), QRect(64, 25 + 56 * n, 689, 23));
        FirstFrame::setFont(line, songFont(19, true));
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, Qt::white);
        line->setPalette(palette);
        lines[n] = line;

        auto* box = new TFingerEdit(this);
        box->setObjectName(QString::fromLatin1(boxNames[n]));
        box->setGeometry(64, 48 + 56 * n, 689, 21);
        box->setFrame(false);
        FirstFrame::setFont(box, songFont(19, true));
        palette = box->palette();
        palette.setColor(QPalette::Base, Qt::cyan);
        box->setPalette(palette);
        connect(box, &QLineEdit::textChanged, this,
                Errors::handler(this, [this, n] { EditChange(n); }));
        if (n > 0) {
            box->OnEnter = Errors::handler(this, [this, n] { EditEnter(n); });
            box->OnKeyDown =
                Errors::handler(this, [this, n](QKeyEvent* event) { EditKeyDown(n, event); });
        }
        boxes[n] = box;
    }
    Label1 = lines[0], Label2 = lines[1], Label3 = lines[2], Label4 = lines[3];
    Edit1 = boxes[0], Edit2 = boxes[1], Edit3 = boxes[2], Edit4 = boxes[3];
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);

    Image1 = label(this, "Image1", QString(), QRect(64, 256, 689, 217));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Drawn once the main window is up; the shapes, created after the picture's label, lie over it.
    FirstFrame::after(
        [this] { Image1->setPixmap(FingerKeyboard::picture(Pictures::screenRatio())); });
    for (const FingerKeyboard::Key& key : FingerKeyboard::keys)
        shapes << new FingerKeyboard::KeyShape(key, this);

    Label5 = recordLabel(this, "Label5", QStringLiteral("最高记录："), 64, 488);
    H1 = recordLabel(this, "H1", QString(), 152, 488);
    H2 = recordLabel(this, "H2", QString(), 152, 512);
    Label6 = recordLabel(this, "Label6", QStringLiteral("本次记录："), 368, 488);
    BC1 = recordLabel(this, "BC1", QString(), 456, 488);
    BC2 = recordLabel(this, "BC2", QString(), 456, 512);
    Label5->resize(88, 15);
    Label6->resize(88, 15);
    NumH1 = label(this, "NumH1", kNoBest, QRect(0, 0, 60, 15));
    NumH1->hide();

    Button1 = hiddenButton(this, "Button1", QStringLiteral("不可视"));
    Button3 = hiddenButton(this, "Button3", QStringLiteral("帮助键"));
    connect(Button1, &QPushButton::clicked, this, Errors::handler(this, &TfrmTT::Button1Click));
    connect(Button3, &QPushButton::clicked, this, Errors::handler(this, &TfrmTT::Button3Click));

    Button2 = new QPushButton(QStringLiteral("关闭"), this);
    Button2->setObjectName("Button2");
    Button2->setFocusPolicy(Qt::NoFocus);
    Button2->setAutoDefault(false);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmTT::FormCreate() {
    placeStandard();
    Button2->move(-1000, Button2->y());
    Session1.setOnPassword(Password);
    Table1.Open(QStringLiteral("\\mavro"), QStringLiteral("111.DB"));
}

void TfrmTT::FormActivate() {
    Edit1->setFocus();
    emptyBoxes();
    loadPage();  // the main window has put the table on the lesson's first row
    setNextKey(0);
    PageNo = 1;
}

void TfrmTT::FormClose() {
    Progress::idle();
    NumH1->setText(kNoBest);
    H1->clear();
    H2->clear();
    BC1->clear();
    BC2->clear();
}

void TfrmTT::loadPage() {
    Label1->setText(Table1.FieldAsString(kTextField));
    for (int n = 1; n < 4; ++n) {
        Table1.Next();
        lines[n]->setText(Table1.FieldAsString(kTextField));
    }
    pageClock.pageShown(TickCount::now());
}

void TfrmTT::nextPage() {
    if (PageNo < 3) {
        ++PageNo;
        Table1.Next();
    } else {
        PageNo = 1;
        Table1.First();
        Table1.MoveBy(frmmavro->Label1->text().toInt());
    }
    loadPage();
}

void TfrmTT::emptyBoxes() {
    for (TFingerEdit* box : boxes) box->clear();
}

void TfrmTT::setNextKey(int box) {
    QLineEdit* edit = boxes[box];
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    NextKey = FingerLine::nextKey(lines[box]->text(), start);
    Button3Click();
}

void TfrmTT::Button1Click() {
    for (FingerKeyboard::KeyShape* shape : shapes) shape->hide();
}

void TfrmTT::Button3Click() {
    const FingerKeyboard::Key* key = FingerKeyboard::find(NextKey);
    if (!key)
        return;  // no shape for this character: the previous mark stays
    Button1Click();
    shapes[int(key - FingerKeyboard::keys.data())]->show();
}

void TfrmTT::EditChange(int box) {
    QLineEdit* edit = boxes[box];
    const QString text = edit->text();
    const QString line = lines[box]->text();
    const uint32_t now = TickCount::now();
    pageClock.boxChanged(box + 1, text.size(), now);
    const bool right = FingerLine::lastCharMatches(text, line);
    Progress::fingerLog().changed(box + 1, text, right, now);
    if (!right) {
        if (!text.isEmpty())
            edit->setSelection(int(text.size()) - 1, 1);
        setNextKey(box);
        return;
    }
    if (text.size() < line.size()) {
        setNextKey(box);
        return;
    }
    if (box < 3) {
        boxes[box + 1]->setFocus(Qt::OtherFocusReason);
        setNextKey(box);
        return;
    }
    finishPage();
}

void TfrmTT::finishPage() {
    EndTime = TickCount::now();
    const qint64 elapsed = pageClock.elapsed(EndTime);
    const PageRecordLabels records{NumH1, H1, H2, BC1, BC2};
    const bool newBest = records.keepIfBest(elapsed);
    CharCount = 0;
    for (TFingerEdit* box : boxes) CharCount += int(box->text().size());

    frmTime->Label1->setText(PageTiming::timeText(elapsed));
    frmTime->Label2->setText(PageTiming::speedText(CharCount, elapsed));
    History::Page page;
    page.drill = History::kFinger;
    page.pageNo = PageNo;
    page.rangeFirst = frmmavro->Label1->text().toInt();
    page.rangeSecond = 12;  // rows of a finger lesson
    page.ms = elapsed;
    page.amount = CharCount;
    page.speedText = frmTime->Label2->text();
    page.strokes = Progress::fingerLog().take();
    Progress::record(page);
    frmTime->ShowModal();
    Progress::idle();
    // The pupil goes straight on typing; not every window system gives the keyboard back.
    activateWindow();
    records.show(newBest, frmTime->Label1->text(), frmTime->Label2->text());

    Edit1->setFocus();
    emptyBoxes();
    nextPage();
    setNextKey(0);
}

void TfrmTT::EditEnter(int box) {
    setNextKey(box);
}

void TfrmTT::EditKeyDown(int box, QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace && boxes[box]->text().isEmpty())
        boxes[box - 1]->setFocus(Qt::OtherFocusReason);
}
