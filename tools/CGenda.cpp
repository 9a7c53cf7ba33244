#include "tools/CGenda.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "drills/typingbox.h"
#include "platform/errors.h"
#include "platform/gbk.h"
#include "platform/inputmethod.h"
#include "platform/tickcount.h"
#include "progress/article.h"
#include "progress/phrasepages.h"
#include "tools/filedialogs.h"
#include "tools/modeltext.h"
#include "tools/typealongtext.h"

TfrmGenda* frmGenda = nullptr;

namespace {

const QString kReady = QStringLiteral("Esc 暂停　Enter 继续　F3 重打　Ctrl+V 载入剪贴板中的文字");

}  // namespace

TfrmGenda* TfrmGenda::window() {
    if (!frmGenda) {
        frmGenda = new TfrmGenda;
        frmGenda->create();
    }
    return frmGenda;
}

void TfrmGenda::showGenda() {
    window()->ShowModal();
}

void TfrmGenda::showFile(const QString& path) {
    TfrmGenda* w = window();
    w->loadFile(path);
    w->ShowModal();
}

TfrmGenda::TfrmGenda(QWidget* parent) : TForm(parent), counter(&WordTable::shared()) {
    setObjectName("frmGenda");
    setWindowTitle(QStringLiteral("Tarvelle---->跟打练习"));
    auto* page = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    page->addLayout(bar);
    const auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);  // Enter belongs to the typing box
        bar->addWidget(b);
        return b;
    };
    Button1 = button("Button1", QStringLiteral("载文[&V]"));
    Button2 = button("Button2", QStringLiteral("打开文章[&O]"));
    CheckBox1 = new QCheckBox(QStringLiteral("去除空白[&B]"), this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setChecked(true);
    bar->addWidget(CheckBox1);
    auto* length = new QLabel(QStringLiteral("每段字数"), this);
    bar->addWidget(length);
    SpinBox1 = new QSpinBox(this);
    SpinBox1->setObjectName("SpinBox1");
    SpinBox1->setRange(10, Article::kMaxCharacters);
    SpinBox1->setSingleStep(50);
    SpinBox1->setValue(200);
    length->setBuddy(SpinBox1);
    bar->addWidget(SpinBox1);
    CheckBox2 = new QCheckBox(QStringLiteral("乱序[&L]"), this);
    CheckBox2->setObjectName("CheckBox2");
    bar->addWidget(CheckBox2);
    CheckBox3 = new QCheckBox(QStringLiteral("词语提示[&W]"), this);
    CheckBox3->setObjectName("CheckBox3");
    bar->addWidget(CheckBox3);
    // Switched with their keys or the mouse while the pupil types on: the box keeps the focus.
    for (QCheckBox* option : {CheckBox1, CheckBox2, CheckBox3}) option->setFocusPolicy(Qt::NoFocus);
    bar->addStretch(1);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    page->addWidget(Label1);

    Model = new ModelText(this);
    Model->setObjectName("Model");
    page->addWidget(Model, 1);
    Edit1 = new TypingBox(this);
    Edit1->setObjectName("Edit1");
    QFont typing = Edit1->font();
    typing.setPixelSize(20);
    Edit1->setFont(typing);
    page->addWidget(Edit1);
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->setTextFormat(Qt::PlainText);
    page->addWidget(Label2);
    Label3 = new QLabel(kReady, this);
    Label3->setObjectName("Label3");
    Label3->setTextFormat(Qt::PlainText);
    Label3->setTextInteractionFlags(Qt::TextSelectableByMouse);
    page->addWidget(Label3);
    placeStandard();
    setFrame(Frame::Single, Frame::SystemMenu | Frame::Minimize);

    Edit1->installEventFilter(this);
    connect(Edit1, &TypingBox::changed, this,
            [this] { Errors::guard(this, [this] { Edit1Change(); }); });
    connect(Button1, &QPushButton::clicked, this,
            [this] { Errors::guard(this, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this,
            [this] { Errors::guard(this, [this] { Button2Click(); }); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { rebuildSections(); });
    connect(SpinBox1, &QSpinBox::valueChanged, this, [this] { rebuildSections(); });
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { rebuildSections(); });
    connect(CheckBox3, &QCheckBox::toggled, Model, &ModelText::setHints);
    connect(this, &QDialog::finished, this, [] { History::Store::instance().idle(); });
}

void TfrmGenda::showPhrases() {
    QStringList pages, rules;
    for (const PhrasePages::Page& page : PhrasePages::make(WordTable::shared())) {
        pages << page.words.join(QString());
        rules << page.rule;
    }
    if (pages.isEmpty())
        throw AppError(QStringLiteral("课程目录中没有词库 words.txt，无法练习词组。"));
    TfrmGenda* w = window();
    w->loadPages(pages, rules, QStringLiteral("词组练习"));
    w->CheckBox3->setChecked(true);
    w->ShowModal();
}

void TfrmGenda::FormActivate() {
    Edit1->setFocus(Qt::OtherFocusReason);
    if (model.isEmpty())
        Label3->setText(QStringLiteral("先载文：复制一段文字后按 Ctrl+V，或打开一个文本文件。"));
}

void TfrmGenda::loadText(const QString& text, const QString& name) {
    if (TypeAlongText::prepare(text, true).isEmpty())
        throw AppError(QStringLiteral("没有可以跟打的文字：剪贴板或文件中只有空白。"));
    loaded = text.left(4 * Article::kMaxCharacters);
    caption = name;
    fixedSections.clear();
    rules.clear();
    rebuildSections();
}

void TfrmGenda::loadFile(const QString& path) {
    const Article::Start start = Article::read(path);
    loadText(start.text, QStringLiteral("跟打 ") + QFileInfo(path).fileName());
}

void TfrmGenda::loadPages(const QStringList& pages, const QStringList& pageRules,
                          const QString& name) {
    fixedSections = pages;
    rules = pageRules;
    caption = name;
    rebuildSections();
}

void TfrmGenda::Button1Click() {
    loadText(QGuiApplication::clipboard()->text(), QStringLiteral("跟打练习"));
}

void TfrmGenda::Button2Click() {
    const QString path = FileDialogs::chooseOpen(
        this,
        {QStringLiteral("打开文章"), QString(), QStringLiteral("文本文件|*.TXT|所有文件|*.*")});
    if (!path.isEmpty())
        loadFile(path);
}

void TfrmGenda::rebuildSections() {
    sections = !fixedSections.isEmpty()
                   ? fixedSections
                   : TypeAlongText::sections(TypeAlongText::prepare(loaded, CheckBox1->isChecked()),
                                             SpinBox1->value(), CheckBox2->isChecked());
    showSection(0);
}

void TfrmGenda::showSection(int index) {
    current = qBound(0, index, qMax(0, int(sections.size()) - 1));
    model = sections.value(current);
    cheapest = WordTable::shared().ideal(model);
    Model->setText(model, cheapest);
    Label1->setText(
        sections.isEmpty()
            ? QString()
            : QStringLiteral("第 %1 段 / 共 %2 段").arg(current + 1).arg(sections.size()) +
                  (rules.isEmpty() ? QString() : QStringLiteral("　") + rules.value(current)));
    retype();
}

void TfrmGenda::retype() {
    counter.reset();
    places.assign(model.size(), {});
    started = isPaused = finished = false;
    runBefore = 0;
    Edit1->setReadOnly(false);
    Edit1->clear();
    Model->setTyped({});
    Label2->setText(TypingMeasures().liveLine());
    Label3->setText(kReady);
    Edit1->setFocus(Qt::OtherFocusReason);
}

void TfrmGenda::startClock() {
    if (started || finished || model.isEmpty())
        return;
    started = true;
    clockStart = TickCount::now();
}

void TfrmGenda::pause() {
    if (!started || isPaused || finished)
        return;
    runBefore = elapsedAt(TickCount::now());
    isPaused = true;
    Edit1->setReadOnly(true);
    Label3->setText(QStringLiteral("已暂停：按 Enter 继续。"));
}

void TfrmGenda::resume() {
    if (!isPaused)
        return;
    isPaused = false;
    clockStart = TickCount::now();
    Edit1->setReadOnly(false);
    Edit1->setFocus(Qt::OtherFocusReason);
    Label3->setText(kReady);
}

qint64 TfrmGenda::elapsedAt(uint32_t now) const {
    if (!started)
        return 0;
    return runBefore + (isPaused || finished ? 0 : qint64(uint32_t(now - clockStart)));
}

TypingMeasures TfrmGenda::measuresAt(uint32_t now) const {
    TypingMeasures m;
    counter.fill(m);
    m.ms = elapsedAt(now);
    m.characters = TypeAlongText::characterCount(QStringView(Edit1->text()).left(model.size()));
    m.idealKeys = WordTable::shared().isEmpty() ? 0 : cheapest.keys;
    for (const Place& place : places) m.wrong += place.wrongs.isEmpty() ? 0 : 1;
    return m;
}

bool TfrmGenda::handleKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        Errors::guard(this, [this] { Button1Click(); });
        return true;
    }
    switch (event->key()) {
        case Qt::Key_Escape:
            if (!started || isPaused || finished)
                return false;  // the dialog closes
            pause();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (finished)
                showSection(current + 1 < sections.size() ? current + 1 : 0);
            else
                resume();
            return true;
        case Qt::Key_F3:
            retype();
            return true;
        default:
            break;
    }
    return false;
}

void TfrmGenda::countKey(QKeyEvent* event) {
    if (isPaused || finished)
        return;  // read-only then: nothing reaches the text
    if (event->key() == Qt::Key_Backspace && !counter.composing()) {
        const int erased = Edit1->hasSelectedText() ? int(Edit1->selectedText().size())
                                                    : (Edit1->cursorPosition() > 0 ? 1 : 0);
        counter.backspace(erased);
    } else if (!event->text().isEmpty() && event->text()[0].isPrint() &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        startClock();
        counter.typed(event->text());
    }
}

bool TfrmGenda::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Edit1)
        return TForm::eventFilter(watched, event);
    // fcitx5 keeps Wubi off in a window new to it, and a message box over this one takes the
    // focus away: the box asks again each time it gets the focus back.
    if (event->type() == QEvent::FocusIn)
        InputMethod::switchOnFor(Edit1);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (handleKey(key))
            return true;
        countKey(key);
        return false;
    }
    if (event->type() == QEvent::InputMethod && !isPaused && !finished) {
        const auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty() || !im->preeditString().isEmpty())
            startClock();
        if (started)
            counter.inputMethod(im->commitString(), im->preeditString());
    }
    return TForm::eventFilter(watched, event);
}

void TfrmGenda::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event))
        TForm::keyPressEvent(event);
}

void TfrmGenda::Edit1Change() {
    if (finished || model.isEmpty())
        return;
    const QString typed = Edit1->text();
    const uint32_t now = TickCount::now();
    const TypingBox::Added added = Edit1->added();
    const QString code = Edit1->committedCode();
    for (int i = added.from; i < added.to && i < model.size(); ++i) {
        Place& place = places[i];
        if (typed[i] == model[i]) {
            if (place.rightAt < 0)
                place.rightAt = elapsedAt(now);
            if (i == added.from && place.code.isEmpty())
                place.code = code;
        } else {
            place.wrongs << QString(typed[i]);
        }
    }
    Model->setTyped(typed);
    const TypingMeasures m = measuresAt(now);
    Label2->setText(m.liveLine());
    if (typed == model)
        finishSection();
}

QList<History::Stroke> TfrmGenda::strokes() const {
    QList<History::Stroke> list;
    qint64 last = 0;
    for (int i = 0; i < model.size(); ++i) {
        if (model[i].isLowSurrogate())
            continue;
        const Place& place = places[i];
        const qint64 at = qMax(place.rightAt, last);
        History::Stroke stroke{model.mid(i, model[i].isHighSurrogate() ? 2 : 1), quint32(at - last),
                               quint32(place.wrongs.size()), place.code, place.wrongs};
        list.append(stroke);
        last = at;
    }
    return list;
}

void TfrmGenda::finishSection() {
    const uint32_t now = TickCount::now();
    runBefore = elapsedAt(now);
    finished = true;
    Edit1->setReadOnly(true);
    const TypingMeasures m = measuresAt(now);
    const QString frontend = InputMethod::frontend();
    const QString line = m.resultLine(
        current + 1, QStringLiteral("五笔86") + (frontend.isEmpty() ? QString() : "/" + frontend));
    QGuiApplication::clipboard()->setText(line);
    Label2->setText(m.liveLine() + QStringLiteral("　") + m.detailLine());
    Label3->setText(line);

    History::Page page;
    page.at = QDateTime::currentDateTimeUtc();
    page.drill = History::kText;
    page.lesson = caption;
    page.rangeFirst = current + 1;
    page.rangeSecond = int(sections.size());
    page.pageNo = ++visitPages;
    page.ms = m.ms;
    page.amount = int(Gbk::encode(model).size());
    page.speedText =
        QStringLiteral("每分钟%1个").arg(m.ms > 0 ? qint64(page.amount) * 60000 / m.ms : 0);
    page.strokes = strokes();
    page.measures = m;
    History::Store::instance().record(page);
}
