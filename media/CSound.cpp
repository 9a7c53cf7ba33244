#include "media/CSound.h"

#include "platform/screen.h"

TfrmSound* frmSound = nullptr;

TfrmSound::TfrmSound(QWidget* parent) : TForm(parent) {
    setObjectName("frmSound");
    setWindowTitle(QStringLiteral("Tarvelle---->背景音乐设置"));
    resize(499, 290);
}

void TfrmSound::FormCreate() {
    const QSize screen = Screen::size();
    setOuterGeometry(Screen::centred(screen.width(), 499), Screen::centred(screen.height(), 290),
                     499, 290);
}
