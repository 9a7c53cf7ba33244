#include "drills/CwbTest1.h"

#include <QDateTime>
#include <QGuiApplication>

#include "drills/Ctime.h"
#include "drills/pagetiming.h"
#include "drills/rootchart.h"
#include "drills/rootlessons.h"
#include "platform/errors.h"
#include "platform/firstframe.h"
#include "platform/hotkeys.h"
#include "platform/keysynth.h"
#include "platform/tickcount.h"
#include "progress/recorder.h"
#include "progress/strokelog.h"
#include "resources/pictures.h"

TfrmwbTest1* frmwbTest1 = nullptr;

namespace {
constexpr int kChartHotKey = 112;
constexpr int kItems = RootLessons::kItems;
const QColor kRed(255, 0, 0);

QLabel* hiddenLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->move(-1000, 0);
    label->hide();
    return label;
}

// The key chart, drawn from the root table the first time it is asked for.
void drawChartOnce(QLabel* image, TTable& roots) {
    if (image->pixmap().isNull())
        image->setPixmap(QPixmap::fromImage(
            RootChart::draw(RootChart::readRoots(roots), Pictures::screenRatio())));
}

QFont pixelFont(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

QLabel* textLabel(QWidget* parent, const QString& name, const QString& text, const QRect& place,
                  const QColor& colour, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    FirstFrame::setFont(label, font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QPushButton* hiddenButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->hide();
    return button;
}

QColor normalText() {
    return QGuiApplication::palette().color(QPalette::Text);
}

int integerOf(const QLabel* label) {
    bool ok = false;
    const int value = label->text().toInt(&ok);
    if (!ok)
        throw AppError(QStringLiteral("'%1' is not a valid integer value").arg(label->text()));
    return value;
}
}  // namespace

TfrmwbTest1::TfrmwbTest1(QWidget* parent) : TForm(parent) {
    setObjectName("frmwbTest1");
    setWindowTitle(QStringLiteral("笔划规律与键名字根的测试"));
    resize(746, 554);
    setFrame(Frame::Single, Frame::SystemMenu);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 128, 128));
    setPalette(palette);
    setAutoFillBackground(true);

    JB1 = hiddenLabel(this, "JB1");
    JB2 = hiddenLabel(this, "JB2");
    Button4 = new QPushButton(this);
    Button4->setObjectName("Button4");
    Button4->setFocusPolicy(Qt::NoFocus);
    Button4->setAutoDefault(false);
    Button4->move(-1000, 0);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
    Button5 = hiddenButton(this, "Button5", QStringLiteral("不可视"));
    connect(Button5, &QPushButton::clicked, this,
            Errors::handler(this, &TfrmwbTest1::Button5Click));
    Button6 = hiddenButton(this, "Button6", QStringLiteral("第一框提示"));
    connect(Button6, &QPushButton::clicked, this,
            Errors::handler(this, &TfrmwbTest1::Button6Click));

    buildItems();
    buildChart();
    buildLabels();
}

void TfrmwbTest1::buildItems() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(56, 272, 681, 169);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);
    Panel1->setAutoFillBackground(true);
    auto* frame = new ItemFrame(Panel1);
    frame->setObjectName("Shape1");
    frame->setGeometry(16, 8, 649, 153);

    static const int pictureTops[] = {18, 58, 96, 132};
    static const int bracketTops[] = {16, 56, 94, 130};
    static const int firstLefts[] = {88, 88, 87, 88};
    const QFont bracketFont = pixelFont(QStringLiteral("Book Antiqua"), 16);
    const QFont boxFont = pixelFont(QStringLiteral("Arial Narrow"), 16);
    p = {nullptr};
    E = {nullptr};
    L = {nullptr};
    LL = {nullptr};
    for (int i = 1; i <= kItems; ++i) {
        const int row = (i - 1) / 7, x = firstLefts[row] + 70 * ((i - 1) % 7);
        const int top = pictureTops[row];

        auto* picture = new QLabel(Panel1);
        picture->setObjectName(QStringLiteral("p%1").arg(i));
        picture->setGeometry(x, top, 18, 18);
        picture->setAlignment(Qt::AlignCenter);
        p << picture;

        for (const auto& [text, dx] : {std::pair{"(", 25}, std::pair{")", 55}}) {
            auto* bracket = new QLabel(QString::fromLatin1(text), Panel1);
            bracket->move(x + dx, bracketTops[row]);
            FirstFrame::setFont(bracket, bracketFont, FirstFrame::Fit::ToText);
        }

        auto* box = new AnswerBox(Panel1);
        box->setObjectName(QStringLiteral("E%1").arg(i));
        box->setGeometry(x + 37, top, 17, 18);
        FirstFrame::setFont(box, boxFont);
        box->setTextColour(normalText());
        box->onKeyDown = Errors::handler(this, [this, i](int key) { return boxKeyDown(i, key); });
        box->onKeyPress = Errors::handler(this, [this, i](QChar c) { boxKeyPress(i, c); });
        box->onEnter = Errors::handler(this, [this, i] { boxEnter(i); });
        box->onClick = Errors::handler(this, [this, i] { boxClick(i); });
        if (i == kItems)
            connect(box, &QLineEdit::textChanged, this,
                    Errors::handler(this, &TfrmwbTest1::E28Change));
        else
            connect(box, &QLineEdit::textChanged, this,
                    Errors::handler(this, [this, i] { boxChange(i); }));
        E << box;

        L << hiddenLabel(this, QStringLiteral("L%1").arg(i));
        LL << hiddenLabel(this, QStringLiteral("LL%1").arg(i));
    }
    for (int i = 1; i < kItems; ++i) setTabOrder(E[i], E[i + 1]);
}

void TfrmwbTest1::buildChart() {
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(RootChart::kOrigin.x(), RootChart::kOrigin.y(), 681, 217);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (const QChar letter : RootChart::letters()) {
        auto* frame = new KeyFrame(this);
        frame->setObjectName(QString(letter));
        frame->setGeometry(RootChart::frameRect(QString(letter)));
        frame->hide();
        keyFrames << frame;
    }
}

void TfrmwbTest1::buildLabels() {
    const QFont song16 = pixelFont(QStringLiteral("宋体"), 16);
    const QFont song15 = pixelFont(QStringLiteral("宋体"), 15);
    TT =
        textLabel(this, "TT", QStringLiteral("题示:"), QRect(56, 240, 530, 20), Qt::yellow, song16);
    textLabel(this, "Label1", QStringLiteral("F1:关闭/打开提示"), QRect(592, 240, 145, 18),
              Qt::cyan, pixelFont(QStringLiteral("宋体"), 15));
    textLabel(this, "Label2", QStringLiteral("最高记录："), QRect(64, 472, 88, 16), Qt::yellow,
              song15);
    H1 = textLabel(this, "H1", QString(), QRect(152, 472, 169, 16), Qt::yellow, song15);
    H2 = textLabel(this, "H2", QString(), QRect(152, 496, 169, 16), Qt::yellow, song15);
    textLabel(this, "Label3", QStringLiteral("本次记录："), QRect(368, 472, 88, 16), Qt::yellow,
              song15);
    BC1 = textLabel(this, "BC1", QString(), QRect(456, 472, 169, 16), Qt::yellow, song15);
    BC2 = textLabel(this, "BC2", QString(), QRect(456, 496, 169, 16), Qt::yellow, song15);
    NumH1 = hiddenLabel(this, "NumH1");
    NumH1->setText(QStringLiteral("600000"));
    DBImage1 = hiddenLabel(this, "DBImage1");
}

void TfrmwbTest1::setSeedSource(std::function<quint32()> source) {
    seedSource = std::move(source);
}

void TfrmwbTest1::FormCreate() {
    placeStandard();
    Session1.setOnPassword(Password);
    Table1.Open(QStringLiteral("\\mavro"), QStringLiteral("wb1.db"));
    HotKeys::registerHotKey(this, kChartHotKey, 0, KeySynth::VK_F1);
    moveTo(0);
    // Painting 256 roots would hold up the main window, and at the drill's first showing the
    // pupil: the chart is drawn just after the main window's first frame.
    FirstFrame::after([this] { drawChartOnce(Image1, Table1); });
}

void TfrmwbTest1::FormActivate() {
    drawChartOnce(Image1, Table1);  // in case the root table could not be read before
    focusBox(1);
    readRange();
    TT->show();
    const QString caption = RootLessons::shownCaption(rangeSize, rangeStart);
    if (!caption.isNull())
        setWindowTitle(caption);
    setAllNormal();
    seedRandom();
    loadPage(0);
    Button6Click();
}

void TfrmwbTest1::FormClose() {
    visitPages = 0;
    Progress::idle();
    NumH1->setText(QStringLiteral("600000"));
    for (QLabel* record : {H1, H2, BC1, BC2}) record->clear();
}

void TfrmwbTest1::FormDestroy() {
    HotKeys::unregisterHotKey(this, kChartHotKey);
}

// F1 cycles: chart off, then hint off, then both on. The state is read from the widgets
// themselves, so the cycle holds while the window is not shown.
void TfrmwbTest1::hotKeyPressed(int id) {
    if (id != kChartHotKey)
        return;
    if (!Image1->isHidden()) {
        Image1->hide();
        Button5Click();
    } else if (!TT->isHidden()) {
        TT->hide();
    } else {
        Image1->show();
        TT->show();
    }
}

void TfrmwbTest1::readRange() {
    rangeSize = integerOf(JB1);
    rangeStart = integerOf(JB2);
}

void TfrmwbTest1::seedRandom() {
    random.seed(seedSource ? seedSource() : quint32(QDateTime::currentMSecsSinceEpoch()));
}

void TfrmwbTest1::moveTo(int position) {
    Table1.First();
    Table1.MoveBy(qMax(0, position));
    DBImage1->setPixmap(Table1.FieldAsPicture(QStringLiteral("Pic")));
}

void TfrmwbTest1::loadPage(int strokeStart) {
    E[1]->clear();
    const QList<int> positions = RootLessons::pagePositions(
        rangeSize, rangeStart, strokeStart, [this](int n) { return int(random.bounded(n)); });
    for (int i = 1; i <= kItems; ++i) {
        moveTo(positions[i - 1]);
        if (i > 1)
            E[i]->clear();
        p[i]->setPixmap(Pictures::fitted(DBImage1->pixmap(), p[i]->size()));
        L[i]->setText(Table1.FieldAsString(QStringLiteral("Key")));
        LL[i]->setText(Table1.FieldAsString(QStringLiteral("Mem")));
        if (i == 1)
            TT->setText(QStringLiteral("题示:") + LL[1]->text());
    }
    pageClock.pageShown(TickCount::now());
    Progress::rootLog().pageShown(positions, TickCount::now());
}

void TfrmwbTest1::setAllNormal() {
    for (int i = 1; i <= kItems; ++i) E[i]->setTextColour(normalText());
}

// Moving the focus by program enters the box as the keyboard would, also while the window is
// not active (behind the result dialog), when no focus event arrives.
void TfrmwbTest1::focusBox(int i) {
    AnswerBox* box = E[i];
    if (box->hasFocus())
        return;
    box->setFocus(Qt::OtherFocusReason);
    if (!box->hasFocus()) {
        box->selectAll();
        boxEnter(i);
    }
}

KeyFrame* TfrmwbTest1::frameFor(const QString& letter) const {
    const qsizetype index = letter.size() == 1 ? RootChart::letters().indexOf(letter) : -1;
    return index >= 0 ? keyFrames[index] : nullptr;
}

bool TfrmwbTest1::keyMatches(int i) const {
    return E[i]->text().toUpper().trimmed() == L[i]->text().trimmed();
}

bool TfrmwbTest1::boxKeyDown(int i, int key) {
    switch (key) {
        case Qt::Key_Up:
            focusBox(i == 1 ? kItems : i - 1);
            return true;
        case Qt::Key_Down:
            focusBox(i == kItems ? 1 : i + 1);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            return true;
        default:
            return false;
    }
}

// Letters (and the few signs between Z and a) are checked as they are typed; the box still
// takes the character afterwards, so a wrong one stays visible.
void TfrmwbTest1::boxKeyPress(int i, QChar c) {
    if (c.unicode() < 0x41 || c.unicode() > 0x7A) {
        if (c.isPrint())  // a digit or sign the box takes, not Enter or Backspace
            pageClock.input(i, TickCount::now());
        return;
    }
    const bool right = QString(c).toUpper().trimmed() == L[i]->text().trimmed();
    Progress::rootLog().answered(i, c, right, TickCount::now());
    if (!right) {
        E[i]->setTextColour(kRed);
    } else {
        E[i]->setTextColour(normalText());
        if (i < kItems)
            focusBox(i + 1);
    }
    if (i == 1)
        pageClock.firstBoxMoment(TickCount::now());
    else
        pageClock.input(i, TickCount::now());
}

// A wrong or unchecked character is selected, so the next one typed replaces it.
void TfrmwbTest1::boxChange(int i) {
    if (!keyMatches(i))
        E[i]->setSelection(0, 32766);
}

void TfrmwbTest1::boxClick(int i) {
    E[i]->setSelection(0, 32766);
}

void TfrmwbTest1::boxEnter(int i) {
    TT->setText(QStringLiteral("题示:") + LL[i]->text());
    Button5Click();
    if (!Image1->isHidden())
        if (KeyFrame* frame = frameFor(L[i]->text().toUpper()))
            frame->show();
}

void TfrmwbTest1::E28Change() {
    if (!E[kItems]->text().isEmpty() && keyMatches(kItems))
        finishPage();
    else
        boxChange(kItems);
}

void TfrmwbTest1::finishPage() {
    const qint64 elapsed = pageClock.elapsed(TickCount::now());
    const PageRecordLabels records{NumH1, H1, H2, BC1, BC2};
    const bool newBest = records.keepIfBest(elapsed);
    const QString time = PageTiming::rootTimeText(elapsed);
    const QString speed = PageTiming::rootSpeedText(elapsed);
    frmTime->Label1->setText(time);
    frmTime->Label2->setText(speed);
    records.show(newBest, time, speed);

    setAllNormal();
    int errors = 0;
    for (int i = 1; i <= kItems; ++i) {
        if (E[i]->text().trimmed() != L[i]->text().trimmed()) {
            E[i]->setTextColour(kRed);
            ++errors;
        }
    }
    frmTime->Label3->hide();
    if (errors > 0) {
        frmTime->Label3->setText(QStringLiteral("错误个数为：%1个").arg(errors));
        frmTime->Label3->show();
    }
    History::Page page;
    page.drill = History::kRoot;
    page.pageNo = ++visitPages;
    page.rangeFirst = JB1->text().toInt();
    page.rangeSecond = JB2->text().toInt();
    page.ms = elapsed;
    page.amount = kItems;
    page.speedText = speed;
    page.errors = errors;
    page.strokes = Progress::rootLog().take();
    Progress::record(page);
    frmTime->ShowModal();
    Progress::idle();
    frmTime->Label3->hide();

    readRange();
    const QString caption = RootLessons::pageCaption(rangeSize, rangeStart);
    if (!caption.isNull())
        setWindowTitle(caption);
    setAllNormal();
    seedRandom();
    focusBox(1);
    const bool strokes = RootLessons::isStrokeLesson(rangeSize, rangeStart);
    loadPage(strokes ? RootLessons::nextStrokeStart(alternate) : 0);
    if (!Image1->isHidden())
        Button6Click();
}

void TfrmwbTest1::Button5Click() {
    for (KeyFrame* frame : keyFrames) frame->hide();
}

void TfrmwbTest1::Button6Click() {
    Button5Click();
    if (!Image1->isHidden())
        if (KeyFrame* frame = frameFor(L[1]->text().toUpper()))
            frame->show();
}
