#include "media/CSound.h"

#include <QApplication>
#include <QKeyEvent>

#include "app/cmavro.h"
#include "media/playlist.h"
#include "platform/errors.h"
#include "platform/firstframe.h"
#include "platform/screen.h"
#include "resources/mediapictures.h"

TfrmSound* frmSound = nullptr;

namespace {

QFont songti12() {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}

QToolButton* speedButton(QWidget* parent, const char* name, const QString& caption,
                         QPixmap (*picture)(), QRect place) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);  // the letter after "&" is the button's accelerator
    // Painted once the main window is up: the "1" of one picture is the first text drawn.
    FirstFrame::after([button, picture] {
        const QPixmap image = picture();
        button->setIcon(image);
        button->setIconSize(image.deviceIndependentSize().toSize());
    });
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    FirstFrame::setFont(button, songti12());
    button->setGeometry(place);
    return button;
}

void setCaptionColour(QToolButton* button, const QColor& colour) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::WindowText, colour);
    button->setPalette(palette);
}

TMediaPlayer& player() {
    return *frmmavro->MediaPlayer1;
}

}  // namespace

TfrmSound::TfrmSound(QWidget* parent) : TForm(parent) {
    setObjectName("frmSound");
    setWindowTitle(QStringLiteral("Tarvelle---->背景音乐设置"));
    resize(499, 290);
    setFrame(Frame::Sizeable, Frame::SystemMenu);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    GroupBox1 = new QGroupBox(QStringLiteral("选曲"), this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(8, 8, 289, 241);
    FirstFrame::setFont(GroupBox1, songti12());
    for (int k = 1; k <= Tunes::kCount; ++k) {
        auto* radio = new QRadioButton(Tunes::caption(k), GroupBox1);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(k));
        radio->setGeometry(k <= 5 ? 24 : 168, 40 * ((k - 1) % 5 + 1), 113, k == 7 ? 16 : 17);
        RadioButtons << radio;
    }
    RadioButtons[0]->setChecked(true);
    for (int k = 1; k <= Tunes::kCount; ++k)
        // Only a change of selection runs the handler; clicking the selected button does nothing.
        connect(RadioButtons[k - 1], &QRadioButton::toggled, this,
                Errors::handler(this, [this, k](bool on) {
                    if (on)
                        RadioButtonClick(k);
                }));

    SpeedButton1 = speedButton(this, "SpeedButton1", QStringLiteral("循环播放[&P]"),
                               &MediaPictures::cycle, QRect(320, 16, 153, 33));
    SpeedButton2 = speedButton(this, "SpeedButton2", QStringLiteral("单曲播放[&R]"),
                               &MediaPictures::repeatOne, QRect(320, 56, 153, 33));
    SpeedButton3 = speedButton(this, "SpeedButton3", QStringLiteral("停止播放[&T]"),
                               &MediaPictures::stop, QRect(320, 96, 153, 33));
    SpeedButton4 = speedButton(this, "SpeedButton4", QStringLiteral("关闭[&C]"),
                               &MediaPictures::close, QRect(318, 208, 151, 33));
    const std::pair<QToolButton*, void (TfrmSound::*)()> handlers[] = {
        {SpeedButton1, &TfrmSound::SpeedButton1Click},
        {SpeedButton2, &TfrmSound::SpeedButton2Click},
        {SpeedButton3, &TfrmSound::SpeedButton3Click},
        {SpeedButton4, &TfrmSound::SpeedButton4Click}};
    for (auto [button, handler] : handlers)
        connect(button, &QToolButton::clicked, this, Errors::handler(this, handler));
}

void TfrmSound::FormCreate() {
    const QSize screen = Screen::size();
    setOuterGeometry(Screen::centred(screen.width(), 499), Screen::centred(screen.height(), 290),
                     499, 290);
}

void TfrmSound::RadioButtonClick(int k) {
    TMediaPlayer& mp = player();
    mp.FileName = Tunes::path(k);
    mp.load();
    mp.start();
    mp.Notify = true;
    Tunes::writeSettings(QStringLiteral("%1P").arg(k));
    colourModeButtons(SpeedButton1);
    if (mp.withoutSoundCard() && !toldNoSoundCard) {
        toldNoSoundCard = true;
        Errors::inform(
            QStringLiteral("没有找到可用的声音设备，背景音乐播放不出声音。"
                           "请接上耳机或音箱、检查声音设置后再选一首乐曲。"));
    }
}

void TfrmSound::SpeedButton1Click() {
    playOn(QStringLiteral("PLAY_P"), QLatin1Char('P'), SpeedButton1);
}

void TfrmSound::SpeedButton2Click() {
    playOn(QStringLiteral("PLAY_R"), QLatin1Char('R'), SpeedButton2);
}

void TfrmSound::playOn(const QString& mode, QChar code, QToolButton* button) {
    TMediaPlayer& mp = player();
    if (mp.FileName.isEmpty())
        return;
    mp.Notify = true;
    mp.start();
    frmmavro->Label3->setText(mode);
    colourModeButtons(button);
    Tunes::writeSettings(QString::number(selectedTune()) + code);
}

void TfrmSound::SpeedButton3Click() {
    TMediaPlayer& mp = player();
    if (mp.FileName.isEmpty())
        return;
    mp.Notify = false;
    mp.halt();
    colourModeButtons(SpeedButton3);
    Tunes::writeSettings(QString::number(selectedTune()) + QLatin1Char('T'));
}

void TfrmSound::SpeedButton4Click() {
    done(QDialog::Rejected);
}

void TfrmSound::selectTune(int k) {
    QRadioButton* radio = RadioButtons[k - 1];
    if (radio->isChecked())
        return;
    {
        const QSignalBlocker quiet(radio);
        radio->setChecked(true);
    }
    RadioButtonClick(k);
}

int TfrmSound::selectedTune() const {
    for (int k = 1; k <= RadioButtons.size(); ++k)
        if (RadioButtons[k - 1]->isChecked())
            return k;
    return 1;
}

void TfrmSound::colourModeButtons(QToolButton* red) {
    const QColor windowText = QApplication::palette().color(QPalette::WindowText);
    for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton3})
        setCaptionColour(button, button == red ? QColor(Qt::red) : windowText);
}

// The accelerator letters work without Alt too, as no control of this window takes letters.
// The window has no cancel button, so Esc does not close it.
void TfrmSound::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        QToolButton* target = nullptr;
        switch (event->key()) {
            case Qt::Key_P:
                target = SpeedButton1;
                break;
            case Qt::Key_R:
                target = SpeedButton2;
                break;
            case Qt::Key_T:
                target = SpeedButton3;
                break;
            case Qt::Key_C:
                target = SpeedButton4;
                break;
            case Qt::Key_Escape:
                return;
            default:
                break;
        }
        if (target) {
            target->click();
            return;
        }
    }
    TForm::keyPressEvent(event);
}
