#include "progress/CRecord.h"

#include <QDynamicPropertyChangeEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QVBoxLayout>

#include "data/history.h"
#include "platform/errors.h"
#include "platform/gbk.h"
#include "progress/adaptivelesson.h"
#include "progress/adaptivepractice.h"
#include "progress/article.h"
#include "progress/confusionlist.h"
#include "progress/dailygoal.h"
#include "progress/historyexport.h"
#include "progress/masterymap.h"
#include "progress/measureschart.h"
#include "progress/recordpictures.h"
#include "progress/speedchart.h"
#include "progress/textfeed.h"
#include "tools/CGenda.h"
#include "tools/filedialogs.h"

TfrmRecord* frmRecord = nullptr;

namespace {

// The target speed box: its minimum means the pupil's own speed.
constexpr int kAutomaticTarget = AdaptiveLesson::kLowestTargetCpm - 5;
constexpr int kHighestTarget = 300;

const QString kNoPages = QStringLiteral("还没有练习记录。练完一页后，这里会显示速度和错误。");

const QString kDrillNames[][2] = {{History::kText, QStringLiteral("文字练习")},
                                  {History::kFinger, QStringLiteral("指法练习")},
                                  {History::kRoot, QStringLiteral("字根练习")}};

QString drillName(const QString& drill) {
    for (const auto& pair : kDrillNames)
        if (pair[0] == drill)
            return pair[1];
    return drill;
}

// A lesson caption as the pupil reads it: the menu's accelerator markup ("基准键[&A]") is for the
// menu alone, but a digit tells lessons of one name apart ("课程练习[&2]" is 课程练习2).
QString plainCaption(QString caption) {
    static const QRegularExpression letter(QStringLiteral("[\\[(]&[^0-9][\\])]$"));
    static const QRegularExpression digit(QStringLiteral("[\\[(]&([0-9])[\\])]$"));
    caption.remove(letter);
    caption.replace(digit, QStringLiteral("\\1"));
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption.trimmed();
}

QString pageText(const History::Store::PageMark& page) {
    return QStringLiteral("%1 的一页（每分钟 %2 个）")
        .arg(QDateTime::fromMSecsSinceEpoch(page.at).toLocalTime().toString(
            QStringLiteral("yyyy-MM-dd hh:mm")))
        .arg(page.speed);
}

bool askToRemove(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("删除学习记录"), question,
                    QMessageBox::NoButton, parent);
    box.setObjectName("AskRemove");
    box.setTextFormat(Qt::PlainText);
    QPushButton* remove = box.addButton(QStringLiteral("删除"), QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == remove;
}

}  // namespace

int TfrmRecord::showRecord() {
    if (!frmRecord) {
        frmRecord = new TfrmRecord;
        frmRecord->create();
    }
    return frmRecord->ShowModal();
}

TfrmRecord::TfrmRecord(QWidget* parent) : TForm(parent) {
    setObjectName("frmRecord");
    setWindowTitle(QStringLiteral("Tarvelle---->学习记录"));
    // A chart and lists that gain from room: resizable like the lesson browser, close box only.
    setFrame(Frame::Sizeable, Frame::SystemMenu);
    auto* page = new QVBoxLayout(this);

    auto* lesson = new QHBoxLayout;
    page->addLayout(lesson);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    lesson->addWidget(ComboBox1, 1);
    Label2 = new QLabel(QStringLiteral("点速度图上的一页可以选中它"), this);
    Label2->setObjectName("Label2");
    lesson->addWidget(Label2, 1);
    Button4 = new QPushButton(QStringLiteral("删除这一页[&D]"), this);
    Button4->setObjectName("Button4");
    Button5 = new QPushButton(QStringLiteral("删除本课记录[&L]"), this);
    Button5->setObjectName("Button5");
    for (QPushButton* b : {Button4, Button5}) {
        b->setAutoDefault(false);
        lesson->addWidget(b);
    }
    Panel1 = new QStackedWidget(this);
    Panel1->setObjectName("Panel1");
    page->addWidget(Panel1, 1);
    Label3 = new QLabel(kNoPages, Panel1);
    Label3->setObjectName("Label3");
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setWordWrap(true);
    Panel1->addWidget(Label3);
    PageControl1 = new QTabWidget(Panel1);
    PageControl1->setObjectName("PageControl1");
    Panel1->addWidget(PageControl1);
    QString error;
    Chart1 = SpeedChart::create(PageControl1, &error);
    if (!Chart1)
        Chart1 = new QLabel(QStringLiteral("速度图无法显示：%1").arg(error), PageControl1);
    // Below this the chart elides its axis labels (on Wayland already at 200).
    Chart1->setMinimumHeight(220);
    Chart1->installEventFilter(this);
    PageControl1->addTab(Chart1, QStringLiteral("速度"));
    Image2 = new MasteryMap(PageControl1);
    PageControl1->addTab(Image2, QStringLiteral("字根掌握"));
    PageControl1->addTab(new MeasuresChart(PageControl1), QStringLiteral("速度·击键·码长"));

    auto* goal = new QHBoxLayout;
    page->addLayout(goal);
    auto* goalCaption = new QLabel(QStringLiteral("每天练习目标[&G]"), this);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit1->setRange(1, DailyGoal::kMaxMinutes);
    SpinEdit1->setSuffix(QStringLiteral(" 分钟"));
    goalCaption->setBuddy(SpinEdit1);
    Label4 = new QLabel(this);
    Label4->setObjectName("Label4");
    Label5 = new QLabel(this);
    Label5->setObjectName("Label5");
    Label6 = new QLabel(this);
    Label6->setObjectName("Label6");
    goal->addWidget(goalCaption);
    goal->addWidget(SpinEdit1);
    for (QLabel* label : {Label4, Label5, Label6}) goal->addWidget(label);
    goal->addStretch();

    auto* adaptiveRow = new QHBoxLayout;
    page->addLayout(adaptiveRow);
    auto* targetCaption = new QLabel(QStringLiteral("智能练习目标速度[&T]"), this);
    SpinEdit2 = new QSpinBox(this);
    SpinEdit2->setObjectName("SpinEdit2");
    SpinEdit2->setRange(kAutomaticTarget, kHighestTarget);
    SpinEdit2->setSingleStep(5);
    SpinEdit2->setSuffix(QStringLiteral(" 字/分钟"));
    // Its size is worked out before the automatic target's text is known, which then was cut.
    SpinEdit2->setMinimumWidth(
        SpinEdit2->fontMetrics().horizontalAdvance(QStringLiteral("自动 100 字/分钟")) + 40);
    targetCaption->setBuddy(SpinEdit2);
    auto* keysCaption = new QLabel(QStringLiteral("练习键数[&K]"), this);
    SpinEdit3 = new QSpinBox(this);
    SpinEdit3->setObjectName("SpinEdit3");
    keysCaption->setBuddy(SpinEdit3);
    Label7 = new QLabel(this);
    Label7->setObjectName("Label7");
    for (QWidget* w :
         std::initializer_list<QWidget*>{targetCaption, SpinEdit2, keysCaption, SpinEdit3, Label7})
        adaptiveRow->addWidget(w);
    adaptiveRow->addStretch();

    auto* lower = new QHBoxLayout;
    page->addLayout(lower, 1);
    Grid1 = new QTableWidget(0, 6, this);
    Grid1->setObjectName("Grid1");
    Grid1->setHorizontalHeaderLabels({QStringLiteral("字"), QStringLiteral("全码"),
                                      QStringLiteral("简码"), QStringLiteral("字根"),
                                      QStringLiteral("错"), QStringLiteral("用时")});
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->verticalHeader()->hide();
    Grid1->setIconSize(RecordPictures::kRootStrip);
    Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView* header = Grid1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(3, QHeaderView::Fixed);
    header->setStretchLastSection(true);
    header->setMinimumSectionSize(24);
    Grid1->setColumnWidth(3, RecordPictures::kRootStrip.width() + 6);
    Grid1->verticalHeader()->setDefaultSectionSize(RecordPictures::kRootStrip.height() + 6);
    lower->addWidget(Grid1, 1);

    auto* right = new QVBoxLayout;
    lower->addLayout(right);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    right->addWidget(Image1);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    right->addWidget(Label1);
    confusions = new ConfusionList(this);
    confusions->setMaximumHeight(120);
    right->addWidget(confusions);
    Button1 = new QPushButton(QStringLiteral("练习薄弱字[&W]"), this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton(QStringLiteral("自选文章[&O]"), this);
    Button2->setObjectName("Button2");
    auto* adaptive = new QPushButton(AdaptivePractice::kCaption + QStringLiteral("[&I]"), this);
    adaptive->setObjectName("ButtonAdaptive");
    connect(adaptive, &QPushButton::clicked, this, Errors::handler(this, [this] {
                AdaptivePractice::show();
                refresh();
            }));
    Button6 = new QPushButton(QStringLiteral("导出记录[&E]"), this);
    Button6->setObjectName("Button6");
    // Three a row, so that the window fits a screen 768 pixels high.
    auto* buttons = new QGridLayout;
    right->addLayout(buttons);
    int place = 0;
    for (QPushButton* b : {Button1, Button2, adaptive, Button6}) {
        b->setAutoDefault(false);
        buttons->addWidget(b, place / 3, place % 3);
        ++place;
    }
    // 自选文章 typed in the 跟打 window, measured as typists measure.
    auto* typeAlong = new QPushButton(QStringLiteral("跟打自选文章[&T]"), this);
    typeAlong->setObjectName("ButtonTypeAlong");
    typeAlong->setAutoDefault(false);
    buttons->addWidget(typeAlong, place / 3, place % 3);
    connect(typeAlong, &QPushButton::clicked, this, Errors::handler(this, [this] {
                const QString path =
                    FileDialogs::chooseOpen(this, {QStringLiteral("自选文章"), QString(),
                                                   QStringLiteral("文本文件|*.TXT|所有文件|*.*")});
                if (!path.isEmpty())
                    TfrmGenda::showFile(path);
                refresh();
            }));
    right->addStretch();
    Button3 = new QPushButton(QStringLiteral("关闭"), this);
    Button3->setObjectName("Button3");
    Button3->setFocusPolicy(Qt::NoFocus);
    Button3->setAutoDefault(false);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this,
            Errors::handler(this, [this] { ComboBox1Change(); }));
    connect(Button1, &QPushButton::clicked, this, Errors::handler(this, &TfrmRecord::Button1Click));
    connect(Button2, &QPushButton::clicked, this, Errors::handler(this, &TfrmRecord::Button2Click));
    connect(Button4, &QPushButton::clicked, this, Errors::handler(this, &TfrmRecord::Button4Click));
    connect(Button5, &QPushButton::clicked, this, Errors::handler(this, &TfrmRecord::Button5Click));
    connect(Button6, &QPushButton::clicked, this, Errors::handler(this, &TfrmRecord::Button6Click));
    connect(PageControl1, &QTabWidget::currentChanged, this, Errors::handler(this, [this] {
                if (PageControl1->currentWidget() == Image2)
                    fillMasteryMap();
            }));
    connect(SpinEdit1, &QSpinBox::valueChanged, this,
            Errors::handler(this, [this] { SpinEdit1Change(); }));
    connect(SpinEdit2, &QSpinBox::valueChanged, this,
            Errors::handler(this, [this] { SpinEdit2Change(); }));
    connect(SpinEdit3, &QSpinBox::valueChanged, this,
            Errors::handler(this, [this] { SpinEdit3Change(); }));
}

void TfrmRecord::FormCreate() {
    placeStandard();
    Button3->setGeometry(-1000, 0, 60, 20);
    Session1.setOnPassword(Password);
    Table2.Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.db"));
}

void TfrmRecord::FormActivate() {
    refresh();
}

void TfrmRecord::refresh() {
    History::Store& store = History::Store::instance();
    const QVariant chosen = ComboBox1->currentData();
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->clear();
        for (const auto& [drill, lesson] : store.lessons())
            ComboBox1->addItem(drillName(drill) + QStringLiteral(" · ") + plainCaption(lesson),
                               QStringList{drill, lesson});
        const int again = ComboBox1->findData(chosen);
        ComboBox1->setCurrentIndex(again >= 0 ? again : 0);
        ComboBox1->setPlaceholderText(store.statusText());  // why, when nothing is kept
    }
    ComboBox1Change();
    Panel1->setCurrentWidget(ComboBox1->count() > 0 ? static_cast<QWidget*>(PageControl1) : Label3);

    weakest = Ranking::weakestIn(store);
    keys = Ranking::keysIn(store);
    fillGrid();
    drawHeatMap();
    confusions->fill(
        store, [this](const QString& c) { return fullCode(c); }, &Wubi::CodeBook::shared());
    if (PageControl1->currentWidget() == Image2)
        fillMasteryMap();
    showGoal();
    showAdaptive();
}

// Filled when it is looked at: the first look at a long history works out every root's score
// from all its pages, which would make every opening of the window slow.
void TfrmRecord::fillMasteryMap() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    History::Store& store = History::Store::instance();
    const Wubi::CodeBook& book = Wubi::CodeBook::shared();
    const Mastery::Tracker tracker = Mastery::current(store, book);
    const AdaptiveLesson::Rule rule = AdaptiveLesson::ruleOf(store);
    QList<MasteryMap::Root> roots = MasteryMap::rootsOf(
        book, tracker, AdaptiveLesson::keysInPlay(book, tracker, rule), rule.targetMs);
    if (drawnRoots.isEmpty())
        drawnRoots = readDrawnRoots();
    for (MasteryMap::Root& root : roots) root.picture = drawnRoots.value(root.name);
    Image2->setRoots(roots);
}

// The shapes without a glyph, as the code table draws them in the first common character that
// has each among its coded roots.
QHash<QString, QPixmap> TfrmRecord::readDrawnRoots() {
    const Wubi::CodeBook& book = Wubi::CodeBook::shared();
    QSet<QString> wanted;
    for (QChar key : book.keyOrder())
        for (const QString& root : book.rootsOn(key))
            if (root.startsWith(QLatin1Char('@')))
                wanted.insert(root);
    QHash<QString, QPixmap> pictures;
    Table2.SetIndexName(QStringLiteral("WZindex"));
    for (const QString& character : book.byRank()) {
        const QStringList& roots = book.find(character)->roots;
        for (int p = 0; p < roots.size() && p < 4 && !wanted.isEmpty(); ++p) {
            if (!wanted.contains(roots[p]))
                continue;
            const HintLookup::Hint* hint = hints.find(Gbk::encode(character));
            if (hint && !hint->pictures[p].isNull()) {
                pictures.insert(roots[p], hint->pictures[p]);
                wanted.remove(roots[p]);
            }
        }
        if (wanted.isEmpty())
            break;
    }
    return pictures;
}

void TfrmRecord::showGoal() {
    History::Store& store = History::Store::instance();
    const DailyGoal::Status status =
        DailyGoal::status(store, AdaptiveLesson::targetCpm(store), QDateTime::currentDateTime());
    {
        const QSignalBlocker quiet(SpinEdit1);
        SpinEdit1->setValue(status.goalMinutes);
    }
    Label4->setText(DailyGoal::todayText(status));
    Label5->setText(DailyGoal::streakText(status));
    Label6->setText(DailyGoal::estimateText(status));
    Label6->setVisible(!Label6->text().isEmpty());
}

void TfrmRecord::SpinEdit1Change() {
    DailyGoal::setMinutes(History::Store::instance(), SpinEdit1->value());
    showGoal();
}

// The target and the keys 智能练习 works with. The keys the pupil's progress brought in stay;
// the pupil may add more.
void TfrmRecord::showAdaptive() {
    History::Store& store = History::Store::instance();
    const QSignalBlocker quietTarget(SpinEdit2), quietKeys(SpinEdit3);
    const int chosen = AdaptiveLesson::chosenTargetCpm(store);
    if (chosen == 0)  // the pupil's own speed, shown at the spin box's minimum
        SpinEdit2->setSpecialValueText(
            QStringLiteral("自动 %1 字/分钟").arg(AdaptiveLesson::targetCpm(store)));
    SpinEdit2->setValue(chosen > 0 ? chosen : kAutomaticTarget);
    const QString& order = Wubi::CodeBook::shared().keyOrder();
    const int unlocked = qMax(AdaptiveLesson::minimumKeys(Wubi::CodeBook::shared()),
                              AdaptiveLesson::keysUnlocked(store));
    SpinEdit3->setRange(qMin(unlocked, int(order.size())), int(order.size()));
    SpinEdit3->setValue(qMax(unlocked, AdaptiveLesson::keysWanted(store)));
    // Zone by zone, as the root lessons bring them in.
    QString keys;
    for (int i = 0; i < SpinEdit3->value(); ++i)
        keys += (i > 0 && i % 5 == 0 ? QStringLiteral(" ") : QString()) + order[i].toUpper();
    Label7->setText(keys);
}

void TfrmRecord::SpinEdit2Change() {
    const int value = SpinEdit2->value();
    AdaptiveLesson::setTargetCpm(History::Store::instance(), value == kAutomaticTarget ? 0 : value);
    showAdaptive();
    showGoal();
    if (PageControl1->currentWidget() == Image2)
        fillMasteryMap();
}

void TfrmRecord::SpinEdit3Change() {
    AdaptiveLesson::setKeysWanted(History::Store::instance(), SpinEdit3->value());
    showAdaptive();
    if (PageControl1->currentWidget() == Image2)
        fillMasteryMap();
}

void TfrmRecord::Button6Click() {
    // No folder asked for: the pupil's own history goes with their documents, not the course.
    QString path =
        FileDialogs::chooseSave(this, {QStringLiteral("导出学习记录"), QString(),
                                       QStringLiteral("JSON 文件|*.json|CSV 表格|*.csv"), true});
    if (path.isEmpty())
        return;
    // A name typed without either ending gets the JSON one, which keeps every stroke.
    if (!path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive) &&
        !path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QLatin1String(".json");
    HistoryExport::write(History::Store::instance(), path);
}

QString TfrmRecord::fullCode(const QString& character) {
    if (!Gbk::canEncode(character))
        return {};
    Table2.SetIndexName(QStringLiteral("WZindex"));
    return Table2.FindKey(Gbk::encode(character))
               ? Table2.FieldAsString(QStringLiteral("全码")).toLower()
               : QString();
}

void TfrmRecord::ComboBox1Change() {
    const QStringList chosen = ComboBox1->currentData().toStringList();
    History::Store& store = History::Store::instance();
    shownPages =
        chosen.size() == 2 ? store.marks(chosen[0], chosen[1]) : QList<History::Store::PageMark>();
    QList<SpeedChart::Point> points;
    for (const auto& page : shownPages) points.append({page.at, page.speed});
    SpeedChart::show(Chart1,
                     SpeedChart::plot(ComboBox1->currentText(), points,
                                      SpeedChart::plausible(store.firstRecorded(),
                                                            QDateTime::currentMSecsSinceEpoch())));
    choosePage(-1);
    Button5->setEnabled(!shownPages.isEmpty());
}

void TfrmRecord::choosePage(int index) {
    chosenPage = index >= 0 && index < shownPages.size() ? index : -1;
    Label2->setText(chosenPage < 0 ? QStringLiteral("点速度图上的一页可以选中它")
                                   : QStringLiteral("选中：") + pageText(shownPages[chosenPage]));
    Button4->setEnabled(chosenPage >= 0);
}

bool TfrmRecord::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Chart1 && event->type() == QEvent::DynamicPropertyChange &&
        static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == SpeedChart::kChosen)
        choosePage(Chart1->property(SpeedChart::kChosen).toInt());
    return TForm::eventFilter(watched, event);
}

void TfrmRecord::Button4Click() {
    if (chosenPage < 0)
        return;
    const History::Store::PageMark page = shownPages[chosenPage];
    if (!askToRemove(this, QStringLiteral("从学习记录中删除 %1 %2？删除后不能恢复。")
                               .arg(ComboBox1->currentText(), pageText(page))))
        return;
    if (!History::Store::instance().removePage(page.id))
        throw AppError(QStringLiteral("无法从学习记录文件 %1 中删除这一页。")
                           .arg(History::Store::defaultPath()));
    refresh();
}

void TfrmRecord::Button5Click() {
    const QStringList chosen = ComboBox1->currentData().toStringList();
    if (chosen.size() != 2)
        return;
    if (!askToRemove(this, QStringLiteral("删除“%1”的全部 %2 页学习记录？删除后不能恢复。")
                               .arg(ComboBox1->currentText())
                               .arg(shownPages.size())))
        return;
    if (!History::Store::instance().removeLesson(chosen[0], chosen[1]))
        throw AppError(QStringLiteral("无法从学习记录文件 %1 中删除这一课的记录。")
                           .arg(History::Store::defaultPath()));
    refresh();
}

void TfrmRecord::fillGrid() {
    const qreal ratio = devicePixelRatioF();
    Grid1->setRowCount(int(weakest.size()));
    if (!weakest.isEmpty())
        Table2.SetIndexName(QStringLiteral("WZindex"));
    QFont large = Grid1->font();
    large.setPixelSize(24);
    for (int row = 0; row < weakest.size(); ++row) {
        const Ranking::CharacterScore& score = weakest[row];
        const QByteArray key = Gbk::encode(score.character);
        QString full;
        if (Table2.FindKey(key))
            full = Table2.FieldAsString(QStringLiteral("全码")).toLower();
        const HintLookup::Hint* hint = hints.find(key);
        auto* character = new QTableWidgetItem(score.character);
        character->setFont(large);
        character->setTextAlignment(Qt::AlignCenter);
        Grid1->setItem(row, 0, character);
        Grid1->setItem(row, 1, new QTableWidgetItem(full));
        Grid1->setItem(row, 2, new QTableWidgetItem(hint ? hint->code : QString()));
        auto* roots = new QTableWidgetItem;
        if (hint)
            roots->setData(Qt::DecorationRole, RecordPictures::rootStrip(hint->pictures, ratio));
        Grid1->setItem(row, 3, roots);
        auto* wrong = new QTableWidgetItem(QString::number(score.wrong));
        wrong->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Grid1->setItem(row, 4, wrong);
        auto* time = new QTableWidgetItem(QStringLiteral("%1 毫秒").arg(score.medianMs));
        time->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Grid1->setItem(row, 5, time);
    }
}

void TfrmRecord::drawHeatMap() {
    const qreal ratio = devicePixelRatioF();
    Image1->setPixmap(RecordPictures::heatMap(keys, ratio));
    Label1->setPixmap(RecordPictures::heatLegend(font(), ratio));
}

void TfrmRecord::Button1Click() {
    QStringList characters;
    for (const Ranking::CharacterScore& score : weakest) characters << score.character;
    if (characters.isEmpty())
        throw AppError::notice(
            QStringLiteral("还没有足够的练习记录：每个字至少要练过 %1 次才能找出薄弱字。")
                .arg(Ranking::kMinimumMet));
    TextFeed::show(QStringLiteral("练习薄弱字"),
                   {Ranking::practicePage(characters, *QRandomGenerator::global())});
    refresh();
}

void TfrmRecord::Button2Click() {
    const QString path = FileDialogs::chooseOpen(
        this,
        {QStringLiteral("自选文章"), QString(), QStringLiteral("文本文件|*.TXT|所有文件|*.*")});
    if (path.isEmpty())
        return;
    const Article::Start start = Article::read(path);
    const QSet<QString> coded = hints.codedTexts(QStringLiteral("\\mavro\\kzWb.db"));
    const Article::Kept kept = Article::keepCoded(
        start.text, [&](const QString& c) { return Gbk::canEncode(c) && coded.contains(c); });
    if (kept.lines.isEmpty())
        throw AppError(QStringLiteral("文件 %1 中没有可以用五笔输入的字。").arg(path));
    QStringList notes;
    if (start.cut)
        notes << QStringLiteral("文件较长，只练习它的前 %1 个字符。").arg(Article::kMaxCharacters);
    if (kept.leftOutCount > 0)
        notes << QStringLiteral("有 %1 种字符没有五笔编码，练习中已略去%2")
                     .arg(kept.leftOutCount)
                     .arg(kept.leftOut.isEmpty()
                              ? QStringLiteral("（都是无法显示的字符）。")
                              : QStringLiteral("：") + kept.leftOut +
                                    (kept.leftOutCount > kept.leftOut.size() ? QStringLiteral("……")
                                                                             : QString()));
    if (!notes.isEmpty())
        Errors::inform(QStringLiteral("自选文章 %1：\n").arg(path) + notes.join('\n'));
    TextFeed::show(QStringLiteral("自选文章 ") + QFileInfo(path).fileName(),
                   TextFeed::paginate(kept.lines));
    refresh();
}
