#include "media/CWeb.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QUrl>

#include "platform/errors.h"
#include "platform/firstframe.h"
#include "platform/gbk.h"
#include "platform/pathrule.h"
#include "resources/mediapictures.h"

TfrmWeb* frmWeb = nullptr;

namespace {

const QString kStartPage = QStringLiteral("\\mavro\\main.htm");

QFont songti(int pixels) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    return font;
}

// Pages written for a GBK desktop declare their code page; Qt decodes only the Unicode ones.
class LessonBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant data = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource || data.userType() != QMetaType::QByteArray)
            return data;
        const QByteArray bytes = data.toByteArray();
        static const QRegularExpression gbkCharset(
            QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?\\s*(gb2312|gbk|gb18030)"),
            QRegularExpression::CaseInsensitiveOption);
        if (gbkCharset.match(QString::fromLatin1(bytes.left(1024))).hasMatch())
            return Gbk::decode(bytes);
        return data;
    }
};

QToolButton* speedButton(QWidget* parent, const char* name, const QString& caption,
                         const QPixmap& picture, QRect place) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setIcon(picture);
    button->setIconSize(picture.deviceIndependentSize().toSize());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    FirstFrame::setFont(button, songti(12));
    button->setGeometry(place);
    return button;
}

}  // namespace

TfrmWeb::TfrmWeb(QWidget* parent) : TForm(parent) {
    setObjectName("frmWeb");
    setWindowTitle(QStringLiteral("Tarvelle---->课堂学习"));
    setFrame(Frame::Sizeable, Frame::SystemMenu);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setGeometry(0, 0, 800, 49);

    Label1 = new QLabel(QStringLiteral("Keyvane6.0"), Panel1);
    Label1->setObjectName("Label1");
    Label1->move(136, 16);
    // The panel lies on a window whose background is the button face, where a label would take
    // the button text colour.
    Label1->setForegroundRole(QPalette::WindowText);
    QPalette blue = Label1->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label1->setPalette(blue);
    FirstFrame::setFont(Label1, songti(14), FirstFrame::Fit::ToText);

    SpeedButton1 = speedButton(Panel1, "SpeedButton1", QStringLiteral("返回主题"),
                               MediaPictures::home(), QRect(372, 5, 145, 41));
    SpeedButton2 = speedButton(Panel1, "SpeedButton2", QStringLiteral("关闭[&C]"),
                               MediaPictures::close(), QRect(575, 5, 105, 41));
    connect(SpeedButton1, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmWeb::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this,
            Errors::handler(this, &TfrmWeb::SpeedButton2Click));

    Button1 = new QPushButton(QStringLiteral("Button1"), Panel1);
    Button1->setObjectName("Button1");
    Button1->setFocusPolicy(Qt::NoFocus);
    connect(Button1, &QPushButton::clicked, this, Errors::handler(this, &TfrmWeb::Button1Click));

    WebBrowser1 = new LessonBrowser(this);
    WebBrowser1->setObjectName("WebBrowser1");
    WebBrowser1->setGeometry(0, 48, 797, 505);
}

void TfrmWeb::FormCreate() {
    Button1->move(-10000, Button1->y());
    placeStandard();
    // A missing start page is told when the window is shown, where the pupil meets it. The page
    // is laid out once the main window is up, or when the window shows, whichever comes first.
    if (QFileInfo::exists(PathRule::resolve(kStartPage)))
        FirstFrame::after([this] { Errors::guard(this, [this] { navigate(kStartPage); }); });
}

// The browser shows a blank page for a file it cannot read; the pupil is told which file instead.
void TfrmWeb::navigate(const QString& drivePath) {
    QFile page(PathRule::resolve(drivePath));
    if (!page.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("无法打开课程页面 %1：%2。")
                           .arg(page.fileName(), Errors::fileProblem(page, false)));
    WebBrowser1->setSource(QUrl::fromLocalFile(page.fileName()));
}

// A start page missing at start-up is looked for again, so an empty window says why.
void TfrmWeb::FormActivate() {
    if (WebBrowser1->source().isEmpty())
        navigate(kStartPage);
}

void TfrmWeb::SpeedButton1Click() {
    navigate(kStartPage);
}

void TfrmWeb::SpeedButton2Click() {
    done(QDialog::Rejected);
}

void TfrmWeb::Button1Click() {
    done(QDialog::Rejected);
}

// Esc reaches the window's cancel button whichever control has the focus.
void TfrmWeb::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button1->click();
        return;
    }
    TForm::keyPressEvent(event);
}
