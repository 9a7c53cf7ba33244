#include "drills/CwbTest1.h"

#include "platform/hotkeys.h"
#include "platform/keysynth.h"

TfrmwbTest1* frmwbTest1 = nullptr;

namespace {
constexpr int kChartHotKey = 112;

QLabel* hiddenLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->hide();
    return label;
}
}  // namespace

TfrmwbTest1::TfrmwbTest1(QWidget* parent) : TForm(parent) {
    setObjectName("frmwbTest1");
    setWindowTitle(QStringLiteral("笔划规律与键名字根的测试"));
    JB1 = hiddenLabel(this, "JB1");
    JB2 = hiddenLabel(this, "JB2");
    Button4 = new QPushButton(this);
    Button4->setObjectName("Button4");
    Button4->setFocusPolicy(Qt::NoFocus);
    Button4->move(-1000, 0);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmwbTest1::FormCreate() {
    placeStandard();
    Session1.setOnPassword(Password);
    Table1.Open(QStringLiteral("\\mavro"), QStringLiteral("wb1.db"));
    HotKeys::registerHotKey(this, kChartHotKey, 0, KeySynth::VK_F1);
}

void TfrmwbTest1::FormDestroy() {
    HotKeys::unregisterHotKey(this, kChartHotKey);
}
