#include "tools/CWBFind.h"

#include "platform/screen.h"

TfrmWBfind* frmWBfind = nullptr;

TfrmWBfind::TfrmWBfind(QWidget* parent) : TForm(parent) {
    setObjectName("frmWBfind");
    setWindowTitle(QStringLiteral("Tarvelle---->五笔查询"));
    resize(363, 357);
    Query1 = new TQuery(Session1, QStringLiteral("Query1"), this);
    Button1 = new QPushButton(this);
    Button1->setObjectName("Button1");
    Button1->setFocusPolicy(Qt::NoFocus);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmWBfind::FormCreate() {
    const QSize screen = Screen::size();
    setOuterGeometry(Screen::centred(screen.width(), width()),
                     Screen::centred(screen.height(), height()), width(), height());
    Session1.setOnPassword(Password);
    Table1.Open(QStringLiteral("\\mavro"), QStringLiteral("kzWb.DB"));
    Button1->move(-10000, Button1->y());
}
