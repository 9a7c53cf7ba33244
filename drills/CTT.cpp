#include "drills/CTT.h"

TfrmTT* frmTT = nullptr;

TfrmTT::TfrmTT(QWidget* parent) : TForm(parent) {
    setObjectName("frmTT");
    setWindowTitle(QStringLiteral("Tarvelle--->指法练习"));
    Button2 = new QPushButton(QStringLiteral("关闭"), this);
    Button2->setObjectName("Button2");
    Button2->setFocusPolicy(Qt::NoFocus);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmTT::FormCreate() {
    placeStandard();
    Button2->move(-1000, Button2->y());
    Session1.setOnPassword(Password);
    Table1.Open(QStringLiteral("\\mavro"), QStringLiteral("111.DB"));
}
