#include "drills/ctest.h"

#include "platform/hotkeys.h"
#include "platform/keysynth.h"

TfrmTest* frmTest = nullptr;

namespace {
constexpr int kHintHotKey = 113;
}

TfrmTest::TfrmTest(QWidget* parent) : TForm(parent) {
    setObjectName("frmTest");
    setWindowTitle(QStringLiteral("Tarvelle--->五笔字型速成练习") + QString(37, QLatin1Char(' ')) +
                   QStringLiteral("F2:关闭/打开提示"));
    Button1 = new QPushButton(QStringLiteral("关闭"), this);
    Button1->setObjectName("Button1");
    Button1->setFocusPolicy(Qt::NoFocus);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
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
