#include "progress/CRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include "data/history.h"
#include "drills/fingerkeyboard.h"
#include "platform/errors.h"
#include "platform/gbk.h"
#include "progress/adaptivepractice.h"
#include "progress/article.h"
#include "progress/confusionlist.h"
#include "progress/speedchart.h"
#include "progress/textfeed.h"
#include "tools/filedialogs.h"

TfrmRecord* frmRecord = nullptr;

namespace {

const QString kDrillNames[][2] = {{History::kText, QStringLiteral("文字练习")},
                                  {History::kFinger, QStringLiteral("指法练习")},
                                  {History::kRoot, QStringLiteral("字根练习")}};

QString drillName(const QString& drill) {
    for (const auto& pair : kDrillNames)
        if (pair[0] == drill)
            return pair[1];
    return drill;
}

// Light for a rate of 0, full red from kFullRate on.
constexpr double kFullRate = 0.25;
QColor heat(double rate) {
    const double t = qBound(0.0, rate / kFullRate, 1.0);
    return QColor(255, int(255 * (1 - t)), int(255 * (1 - t)), 190);
}

QPixmap rootStrip(const std::array<QPixmap, 4>& pictures) {
    constexpr int side = 30;
    QPixmap strip(4 * side, side);
    strip.fill(Qt::white);
    QPainter p(&strip);
    for (int i = 0; i < 4; ++i)
        if (!pictures[i].isNull())
            p.drawPixmap(QRect(i * side, 0, side, side), pictures[i]);
    return strip;
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

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    page->addWidget(ComboBox1);
    QString error;
    Chart1 = SpeedChart::create(this, &error);
    if (!Chart1)
        Chart1 = new QLabel(QStringLiteral("速度图无法显示：%1").arg(error), this);
    Chart1->setMinimumHeight(200);
    page->addWidget(Chart1, 1);

    auto* lower = new QHBoxLayout;
    page->addLayout(lower, 1);
    Grid1 = new QTableWidget(0, 6, this);
    Grid1->setObjectName("Grid1");
    Grid1->setHorizontalHeaderLabels({QStringLiteral("字"), QStringLiteral("全码"),
                                      QStringLiteral("简码"), QStringLiteral("字根"),
                                      QStringLiteral("错"), QStringLiteral("用时")});
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->verticalHeader()->hide();
    Grid1->setIconSize(QSize(120, 30));
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
    for (QPushButton* b : {Button1, Button2, adaptive}) {
        b->setAutoDefault(false);
        right->addWidget(b);
    }
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
            ComboBox1->addItem(drillName(drill) + QStringLiteral(" · ") + lesson,
                               QStringList{drill, lesson});
        const int again = ComboBox1->findData(chosen);
        ComboBox1->setCurrentIndex(again >= 0 ? again : 0);
    }
    ComboBox1Change();

    weakest = Ranking::weakestIn(store);
    keys = Ranking::keysIn(store);
    fillGrid();
    drawHeatMap();
    confusions->fill(store, [this](const QString& c) { return fullCode(c); });
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
    QList<SpeedChart::Point> points;
    if (chosen.size() == 2)
        for (const auto& [at, speed] : History::Store::instance().speeds(chosen[0], chosen[1]))
            points.append({at, speed});
    SpeedChart::setPoints(Chart1, ComboBox1->currentText(), points);
}

void TfrmRecord::fillGrid() {
    Grid1->setRowCount(int(weakest.size()));
    if (!weakest.isEmpty())
        Table2.SetIndexName(QStringLiteral("WZindex"));
    for (int row = 0; row < weakest.size(); ++row) {
        const Ranking::CharacterScore& score = weakest[row];
        const QByteArray key = Gbk::encode(score.character);
        QString full;
        if (Table2.FindKey(key))
            full = Table2.FieldAsString(QStringLiteral("全码")).toLower();
        const HintLookup::Hint* hint = hints.find(key);
        Grid1->setItem(row, 0, new QTableWidgetItem(score.character));
        Grid1->setItem(row, 1, new QTableWidgetItem(full));
        Grid1->setItem(row, 2, new QTableWidgetItem(hint ? hint->shortCode.toLower() : QString()));
        auto* roots = new QTableWidgetItem;
        if (hint)
            roots->setData(Qt::DecorationRole, rootStrip(hint->pictures));
        Grid1->setItem(row, 3, roots);
        Grid1->setItem(row, 4, new QTableWidgetItem(QString::number(score.wrong)));
        Grid1->setItem(row, 5, new QTableWidgetItem(QStringLiteral("%1 毫秒").arg(score.medianMs)));
        Grid1->setRowHeight(row, 32);
    }
    Grid1->setColumnWidth(3, 124);
}

// The finger drill's own keyboard picture, each key shaded by its error rate.
void TfrmRecord::drawHeatMap() {
    QPixmap picture = FingerKeyboard::picture();
    QPainter p(&picture);
    for (const Ranking::KeyScore& score : keys)
        if (const FingerKeyboard::Key* key = FingerKeyboard::find(score.key))
            p.fillRect(key->rect().translated(-FingerKeyboard::pictureOrigin), heat(score.rate()));
    p.end();
    Image1->setPixmap(picture.scaledToWidth(380, Qt::SmoothTransformation));

    QPixmap legend(380, 34);
    legend.fill(Qt::transparent);
    QPainter l(&legend);
    QLinearGradient ramp(0, 0, 300, 0);
    ramp.setColorAt(0, heat(0));
    ramp.setColorAt(1, heat(kFullRate));
    l.fillRect(QRect(40, 2, 300, 12), ramp);
    l.setPen(Qt::black);
    l.drawText(QRect(0, 16, 80, 16), Qt::AlignLeft, QStringLiteral("错误率 0%"));
    l.drawText(QRect(260, 16, 120, 16), Qt::AlignRight,
               QStringLiteral("%1% 以上").arg(int(kFullRate * 100)));
    l.end();
    Label1->setPixmap(legend);
}

bool TfrmRecord::hasCode(const QString& character) {
    return Gbk::canEncode(character) && hints.find(Gbk::encode(character)) != nullptr;
}

void TfrmRecord::Button1Click() {
    QStringList characters;
    for (const Ranking::CharacterScore& score : weakest) characters << score.character;
    if (characters.isEmpty())
        throw AppError(
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("无法打开文件 %1：%2。").arg(path, Errors::fileProblem(file, false)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(
            QStringLiteral("无法读取文件 %1：%2。").arg(path, Errors::fileProblem(file, false)));
    const Article::Kept kept =
        Article::keepCoded(Article::decode(bytes), [this](const QString& c) { return hasCode(c); });
    if (kept.text.isEmpty())
        throw AppError(QStringLiteral("文件 %1 中没有可以用五笔输入的字。").arg(path));
    if (!kept.leftOut.isEmpty())
        Errors::report(QStringLiteral("以下字符没有五笔编码，练习中已略去：%1").arg(kept.leftOut));
    TextFeed::show(QStringLiteral("自选文章 ") + QFileInfo(path).fileName(),
                   TextFeed::paginate(kept.text));
    refresh();
}
