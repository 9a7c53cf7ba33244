#include "drills/ctest.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include "app/cmavro.h"
#include "drills/Ctime.h"
#include "drills/linecheck.h"
#include "drills/pagetiming.h"
#include "platform/errors.h"
#include "platform/firstframe.h"
#include "platform/gbk.h"
#include "platform/hotkeys.h"
#include "platform/inputmethod.h"
#include "platform/keysynth.h"
#include "platform/tickcount.h"
#include "progress/recorder.h"
#include "progress/strokelog.h"
#include "tools/CImSetup.h"

TfrmTest* frmTest = nullptr;

namespace {
constexpr int kHintHotKey = 113;
constexpr int kPageLines = 8;
const QString kNoRecord = QStringLiteral("6000000");

QFont songti(int pixels) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    return font;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, const QRect& place,
              const QFont& font, const QColor& colour) {
    auto* result = new QLabel(caption, parent);
    result->setObjectName(name);
    setTextColour(result, colour);
    // A label given no size takes the size of its text, which is known once it has its font.
    if (place.size().isEmpty()) {
        result->move(place.topLeft());
        FirstFrame::setFont(result, font, FirstFrame::Fit::ToText);
    } else {
        result->setGeometry(place);
        FirstFrame::setFont(result, font);
    }
    return result;
}

// Lesson ranges are written by the menu as plain decimal text.
int rangeValue(const QLabel* holder) {
    bool ok = false;
    const int value = holder->text().toInt(&ok);
    if (!ok)
        throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(holder->text()));
    return value;
}
}  // namespace

TfrmTest::TfrmTest(QWidget* parent) : TForm(parent) {
    setObjectName("frmTest");
    setWindowTitle(QStringLiteral("Tarvelle--->五笔字型速成练习") + QString(37, QLatin1Char(' ')) +
                   QStringLiteral("F2:关闭/打开提示"));
    setFrame(Frame::Single, Frame::SystemMenu);
    QPalette background = palette();
    background.setColor(QPalette::Window, background.color(QPalette::HighlightedText));
    setPalette(background);
    setAutoFillBackground(true);

    buildHintArea();
    buildRecords();
    buildLines();

    B1 = new QPushButton(QStringLiteral("B1"), this);
    B1->setObjectName("B1");
    B1->setAutoDefault(false);
    B1->hide();
    connect(B1, &QPushButton::clicked, this, Errors::handler(this, &TfrmTest::B1Click));

    Button1 = new QPushButton(QStringLiteral("关闭"), this);
    Button1->setObjectName("Button1");
    Button1->setFocusPolicy(Qt::NoFocus);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmTest::buildHintArea() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(32, 24, 161, 33);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    QPalette green = Panel1->palette();
    green.setColor(QPalette::Window, QColor(0, 128, 0));
    Panel1->setPalette(green);
    Panel1->setAutoFillBackground(true);

    Label9 = label(Panel1, "Label9", QStringLiteral("【提示】"), QRect(8, 10, 0, 0), songti(14),
                   Qt::red);
    QFont mincho(QStringLiteral("MS Mincho"));
    mincho.setPixelSize(20);
    // The hint text's line is taller than the 22 pixels drawn for it: the Chinese character comes
    // from a CJK font with a tall line, and the Latin descenders of its code ("王:ggg") hang below
    // that. It takes the panel's inner height and width from its left edge on, centred as before.
    Label10 =
        label(Panel1, "Label10", QStringLiteral(" "), QRect(64, 1, 96, 31), mincho, Qt::yellow);

    for (int i = 0; i < 4; ++i) {
        images[i] = new QLabel(this);
        images[i]->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        images[i]->setGeometry(196 + 78 * i, 2, kImageSide, kImageSide);
        images[i]->setScaledContents(true);
    }
    Image5 = new QLabel(this);
    Image5->setObjectName("Image5");
    Image5->setGeometry(0, 0, 41, 25);
    Image5->hide();
}

void TfrmTest::buildRecords() {
    const QFont font = songti(15);
    Label11 =
        label(this, "Label11", QStringLiteral("最高记录："), QRect(520, 11, 0, 0), font, Qt::blue);
    H1 = label(this, "H1", QString(), QRect(606, 3, 169, 15), font, Qt::blue);
    H2 = label(this, "H2", QString(), QRect(606, 24, 169, 15), font, Qt::blue);
    Label12 =
        label(this, "Label12", QStringLiteral("本次记录："), QRect(521, 49, 0, 0), font, Qt::blue);
    BC1 = label(this, "BC1", QString(), QRect(606, 42, 169, 15), font, Qt::blue);
    BC2 = label(this, "BC2", QString(), QRect(606, 62, 169, 15), font, Qt::blue);
    NumH1 = label(this, "NumH1", kNoRecord, QRect(), font, Qt::blue);
    NumH1->hide();
    Label13 =
        label(this, "Label13", QString(), QRect(32, 80, 689, 19), songti(16), QColor(0, 0, 160));
    Label13->hide();
}

void TfrmTest::buildLines() {
    const QFont font = songti(19);
    for (int i = 0; i < kPageLines; ++i) {
        lines[i] =
            label(this, QStringLiteral("Label%1").arg(i + 1), QString(), QRect(), font, Qt::black);
        TypingBox* box = new TypingBox(this);
        boxes[i] = box;
        box->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        box->setFrame(false);
        FirstFrame::setFont(box, font);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, QColor(0, 128, 128));
        box->setPalette(palette);
        const int n = i + 1;
        box->onEnter = Errors::handler(this, [this, n] { EditEnter(n); });
        connect(box, &TypingBox::changed, this,
                Errors::handler(this, [this, n] { EditChange(n); }));
        connect(box, &TypingBox::gaveUp, this,
                Errors::handler(this, [this, n](const QString& code) { EditGiveUp(n, code); }));
        box->installEventFilter(this);
        if (i > 0)
            setTabOrder(boxes[i - 1], box);
    }
    placeLines(0);
}

// Line n sits in slot n - 1 + firstSlot, 56 pixels apart from the top of the first; a heading
// takes the first slot of a page of fewer than eight lines.
void TfrmTest::placeLines(int firstSlot) {
    for (int i = 0; i < kPageLines; ++i) {
        const int top = 80 + 56 * (i + firstSlot);
        lines[i]->setGeometry(32, top, 689, 19);
        boxes[i]->setGeometry(32, top + 24, 689, 27);
    }
}

void TfrmTest::FormCreate() {
    placeStandard();
    Session1.setOnPassword(Password);
    Table1.Open(QStringLiteral("\\mavro"), QStringLiteral("111.DB"));
    Session1.setOnPassword(Password);
    Table2.Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.db"));
    Button1->move(-1000, Button1->y());
    HotKeys::registerHotKey(this, kHintHotKey, 0, KeySynth::VK_F2);
}

void TfrmTest::FormDestroy() {
    HotKeys::unregisterHotKey(this, kHintHotKey);
}

void TfrmTest::FormActivate() {
    boxes[0]->setFocus();
    boxes[0]->setCursorPosition(0);
    B1Click();
    for (int i = 0; i < kPageLines; ++i) {
        lines[i]->show();
        boxes[i]->show();
    }
    if (fed.lines.isEmpty()) {
        placeLines(0);
        Label13->hide();
        loadPage(rangeValue(frmmavro->Label1), rangeValue(frmmavro->Label2));
    } else {
        loadFed();
    }
    pageClock.pageShown(TickCount::now());
    showHint(1);
    TfrmImSetup::showWhenWubiIsOff(this);
    QTimer::singleShot(0, this, [] { Progress::prepareTextPages(); });
}

void TfrmTest::loadPage(int firstRow, int lineCount) {
    Table1.First();
    Table1.MoveBy(firstRow - 1);
    const int hideFrom = lineCount >= 5 && lineCount <= 7 ? lineCount : kPageLines;
    for (int i = hideFrom; i < kPageLines; ++i) {
        lines[i]->hide();
        boxes[i]->hide();
    }
    for (QLabel* line : lines) line->clear();
    // All eight rows are read, hidden lines too.
    lines[0]->setText(Table1.FieldAsString(QStringLiteral("文字")));
    for (int i = 1; i < kPageLines; ++i) {
        Table1.MoveBy(1);
        lines[i]->setText(Table1.FieldAsString(QStringLiteral("文字")));
    }
}

int TfrmTest::ShowFed(const QString& caption, const FedPage& first, NextPage next) {
    fedCaption = caption;
    fed = first;
    nextFed = std::move(next);
    const int result = ShowModal();
    fedCaption.clear();
    fed = {};
    nextFed = {};
    return result;
}

void TfrmTest::loadFed() {
    const bool heading = !fed.heading.isEmpty() && fed.lines.size() < kPageLines;
    Label13->setText(fed.heading);
    Label13->setVisible(heading);
    placeLines(heading ? 1 : 0);
    for (int i = 0; i < kPageLines; ++i) {
        lines[i]->setText(fed.lines.value(i));
        lines[i]->setVisible(i < fed.lines.size());
        boxes[i]->setVisible(i < fed.lines.size());
    }
}

void TfrmTest::FormClose() {
    visitPages = 0;
    Progress::idle();
    NumH1->setText(kNoRecord);
    H1->clear();
    H2->clear();
    BC1->clear();
    BC2->clear();
}

void TfrmTest::B1Click() {
    for (TypingBox* box : boxes) box->clear();
}

void TfrmTest::showHint(int n) {
    const QByteArray line = Gbk::encode(lines[n - 1]->text());
    const QByteArray key = LineCheck::hintKey(line, boxes[n - 1]->caretBytePosition());
    const HintLookup::Hint* hint = hints.find(key);
    if (!hint) {
        Label10->clear();
        return;
    }
    images[0]->setPixmap(hint->pictures[0]);
    for (int i = 1; i < 4; ++i) {
        images[i]->setPixmap(Image5->pixmap());
        images[i]->setPixmap(hint->pictures[i]);
    }
    Label10->setText(Gbk::decode(key) + QLatin1Char(':') + hint->code);
}

// Three states, told apart only by the hidden flags of Image1 and Label10, so F2 works the same
// while the window itself is hidden.
void TfrmTest::hotKeyPressed(int id) {
    if (id != kHintHotKey)
        return;
    if (!images[0]->isHidden()) {
        for (QLabel* image : images) image->hide();
    } else if (!Label10->isHidden()) {
        Label10->hide();
    } else {
        for (QLabel* image : images) image->show();
        Label10->show();
    }
}

void TfrmTest::EditEnter(int n) {
    Panel1->show();
    for (QLabel* image : images) image->show();
    showHint(n);
}

void TfrmTest::EditChange(int n) {
    TypingBox* box = boxes[n - 1];
    const QString text = box->text();
    const TypingBox::Added added = box->added();
    const LineCheck::Judgement judgement =
        LineCheck::judge(text, added.from, added.to, Gbk::encode(lines[n - 1]->text()));
    // The pupil asked for the wanted character; the rest of a phrase the input method has learnt
    // for its code goes, and the box's change without it is judged and recorded instead.
    if (judgement.overrun && added.byInputMethod) {
        box->drop(judgement.wrongStart, added.to);
        return;
    }
    const uint32_t now = TickCount::now();
    pageClock.boxChanged(n, Gbk::byteLength(text), now);
    Progress::textLog().composed(box->committedCode(), !Label10->isHidden());
    Progress::textLog().changed(n, text, judgement.verdict != LineCheck::Verdict::Wrong, now,
                                pageClock.startTime());
    showHint(n);
    switch (judgement.verdict) {
        case LineCheck::Verdict::Wrong:
            box->setSelection(judgement.wrongStart, int(text.size()) - judgement.wrongStart);
            showHint(n);
            break;
        case LineCheck::Verdict::Going:
            break;
        case LineCheck::Verdict::LineDone:
            if (shown(n + 1))
                boxes[n]->takeOverTyping();
            else
                finishPage();
            break;
    }
}

// A code given up is a slip unless it was on its way to the hinted one (the pupil stopped to
// look, or took back a letter before finishing it).
void TfrmTest::EditGiveUp(int n, const QString& code) {
    const QByteArray line = Gbk::encode(lines[n - 1]->text());
    const HintLookup::Hint* hint =
        hints.find(LineCheck::hintKey(line, boxes[n - 1]->caretBytePosition()));
    if (hint && hint->shortCode.toLower().startsWith(code))
        return;
    Progress::textLog().gaveUp(code);
}

void TfrmTest::finishPage() {
    EndTime = TickCount::now();
    const qint64 elapsed = pageClock.elapsed(EndTime);
    const PageRecordLabels records{NumH1, H1, H2, BC1, BC2};
    const bool newBest = records.keepIfBest(elapsed);
    frmTime->Label1->setText(PageTiming::timeText(elapsed));
    CharCount = 0;
    for (const TypingBox* box : boxes) CharCount += Gbk::byteLength(box->text());
    frmTime->Label2->setText(PageTiming::speedText(CharCount, elapsed));
    Progress::record(finishedPage(elapsed));
    frmTime->ShowModal();
    Progress::idle();
    // The pupil goes on typing here; not every window system hands the keyboard back by itself.
    activateWindow();
    records.show(newBest, frmTime->Label1->text(), frmTime->Label2->text());
    B1Click();
    // The next page of a fed lesson comes only now, after its result was seen over this one.
    if (nextFed) {
        fed = nextFed(fed);
        loadFed();
    }
    pageClock.pageShown(TickCount::now());  // to be typed and timed afresh
    focusBox(1);
    // While the drill is not yet active again the focus only comes with the activation, which
    // does not count as entering the box.
    if (QApplication::focusWidget() != boxes[0])
        EditEnter(1);
}

History::Page TfrmTest::finishedPage(qint64 elapsed) {
    History::Page page;
    page.drill = History::kText;
    page.pageNo = ++visitPages;
    if (fed.lines.isEmpty()) {
        page.rangeFirst = rangeValue(frmmavro->Label1);
        page.rangeSecond = rangeValue(frmmavro->Label2);
    } else {
        page.lesson = fedCaption;
        page.rangeFirst = fed.number;
        page.rangeSecond = fed.count;
    }
    page.ms = elapsed;
    page.amount = CharCount;
    page.speedText = frmTime->Label2->text();
    page.strokes = Progress::textLog().take();
    return page;
}

bool TfrmTest::shown(int n) const {
    return n >= 1 && n <= kPageLines && !boxes[n - 1]->isHidden();
}

void TfrmTest::focusBox(int n) {
    boxes[n - 1]->setFocus(Qt::OtherFocusReason);
}

bool TfrmTest::EditKeyDown(int n, int key) {
    int target = 0;
    if (key == Qt::Key_Up)
        target = n == 1 ? (shown(8) ? 8 : 0) : n - 1;
    else if (key == Qt::Key_Down)
        target = n == kPageLines ? 1 : (shown(n + 1) ? n + 1 : 0);
    if (!target)
        return false;
    focusBox(target);
    return true;
}

bool TfrmTest::EditKeyPress(int n, int key) {
    if (n < 2 || key != Qt::Key_Backspace || !boxes[n - 1]->text().isEmpty())
        return false;
    focusBox(n - 1);
    return true;
}

bool TfrmTest::eventFilter(QObject* watched, QEvent* event) {
    // Only the typing boxes are watched; each asks for Wubi, which fcitx5 keeps off in a new
    // window.
    if (event->type() == QEvent::FocusIn)
        InputMethod::switchOnFor(static_cast<QWidget*>(watched));
    if (event->type() != QEvent::KeyPress)
        return TForm::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    for (int i = 0; i < kPageLines; ++i) {
        if (watched != boxes[i])
            continue;
        bool consumed = false;
        Errors::guard(this, [&] {
            consumed = EditKeyDown(i + 1, key->key()) || EditKeyPress(i + 1, key->key());
        });
        return consumed;
    }
    return TForm::eventFilter(watched, event);
}
