#include "drills/Ctime.h"

#include <QKeyEvent>

#include "platform/errors.h"
#include "platform/firstframe.h"
#include "resources/pictures.h"

TfrmTime* frmTime = nullptr;

namespace {
QLabel* resultLabel(QWidget* parent, const char* name, int top, const QColor& colour) {
    auto* label = new QLabel(QString::fromLatin1(name), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(160, top, 193, 17);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(16);
    FirstFrame::setFont(label, font);
    // On the button-face background a label would take the button text colour.
    label->setForegroundRole(QPalette::WindowText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}
}  // namespace

TfrmTime::TfrmTime(QWidget* parent) : TForm(parent) {
    setObjectName("frmTime");
    setWindowTitle(QStringLiteral("您的测试成绩"));
    resize(385, 217);
    setFrame(Frame::Dialog, Frame::SystemMenu);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    Label3 = resultLabel(this, "Label3", 16, QColor(255, 0, 0));
    Label3->hide();
    Label1 = resultLabel(this, "Label1", 72, Qt::blue);
    Label2 = resultLabel(this, "Label2", 128, Qt::blue);

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(8, 40, 137, 161);
    Image1->setScaledContents(true);
    FirstFrame::after([this] { Image1->setPixmap(Pictures::resultPicture(QSize(137, 161))); });

    BitBtn1 = new QPushButton(QStringLiteral("确定[&K]"), this);
    // A Yes button's check mark; the style's own Yes icon is a green ball in some styles.
    FirstFrame::after([this] { BitBtn1->setIcon(Pictures::yesMark()); });
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(160, 176, 121, 25);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, Errors::handler(this, &TfrmTime::BitBtn1Click));
    setTabOrder(BitBtn1, BitBtn1);
}

void TfrmTime::FormCreate() {
    centreOnOwnSize(3);  // one third of the free height above the dialog, not half
}

void TfrmTime::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        return;
    if (event->key() == Qt::Key_K && !(event->modifiers() & ~Qt::ShiftModifier)) {
        BitBtn1->click();
        return;
    }
    TForm::keyPressEvent(event);
}

void TfrmTime::BitBtn1Click() {
    done(QDialog::Accepted);
}
