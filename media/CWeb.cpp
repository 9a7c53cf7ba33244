#include "media/CWeb.h"

#include <QUrl>

#include "platform/pathrule.h"

TfrmWeb* frmWeb = nullptr;

TfrmWeb::TfrmWeb(QWidget* parent) : TForm(parent) {
    setObjectName("frmWeb");
    setWindowTitle(QStringLiteral("Tarvelle---->课堂学习"));
    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setObjectName("WebBrowser1");
    WebBrowser1->setGeometry(0, 48, 797, 505);
    Button1 = new QPushButton(QStringLiteral("Button1"), this);
    Button1->setObjectName("Button1");
    Button1->setFocusPolicy(Qt::NoFocus);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmWeb::FormCreate() {
    Button1->move(-10000, Button1->y());
    placeStandard();
    WebBrowser1->setSource(
        QUrl::fromLocalFile(PathRule::resolve(QStringLiteral("\\mavro\\main.htm"))));
}
