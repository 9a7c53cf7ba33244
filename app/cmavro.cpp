#include "app/cmavro.h"

#include <QAction>
#include <QKeyEvent>
#include <QShowEvent>

#include "app/form.h"
#include "app/menukeys.h"
#include "drills/CTT.h"
#include "drills/CwbTest1.h"
#include "drills/ctest.h"
#include "media/CSound.h"
#include "media/CWeb.h"
#include "media/playlist.h"
#include "platform/errors.h"
#include "platform/keysynth.h"
#include "platform/screen.h"
#include "progress/CRecord.h"
#include "resources/pictures.h"
#include "tools/CWBFind.h"
#include "tools/Cfree.h"

Tfrmmavro* frmmavro = nullptr;

namespace {

QLabel* hiddenLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->hide();
    return label;
}

const QString kCredit = QStringLiteral("     qorvex 五笔练习 · 电话：010-0000-0000");

}  // namespace

Tfrmmavro::Tfrmmavro(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmmavro");
    setWindowTitle(QStringLiteral("Tarvelle----->五笔速成练习") + kCredit);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    Image1 = new QLabel(client);
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setFixedSize(473, 369);
    Image1->setPixmap(Pictures::titlePicture());  // 483 x 374, cut off by the frame

    Label1 = hiddenLabel(client, "Label1", QStringLiteral("1"));
    Label2 = hiddenLabel(client, "Label2", QStringLiteral("8"));
    Label3 = hiddenLabel(client, "Label3", QString());
    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer1->setObjectName("MediaPlayer1");
    MediaPlayer1->OnNotify = [this] { MediaPlayer1Notify(); };

    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    buildMenu();
}

void Tfrmmavro::create() {
    Errors::guard([this] { FormCreate(); });
}

void Tfrmmavro::buildMenu() {
    for (const Catalogue::Menu& menu : Catalogue::menus()) {
        QMenu* popup = MainMenu1->addMenu(menu.caption);
        popup->setObjectName(menu.name);
        popup->menuAction()->setObjectName(menu.name);
        for (const Catalogue::Entry& entry : menu.entries) {
            if (entry.separator) {
                popup->addSeparator();
                continue;
            }
            QAction* action = popup->addAction(entry.command.caption);
            action->setObjectName(entry.command.name);
            if (!entry.command.shortcut.isEmpty()) {
                action->setShortcut(QKeySequence(entry.command.shortcut));
                // Only while the main window is enabled, that is while no modal window is open.
                action->setShortcutContext(Qt::WindowShortcut);
            }
            const QString name = entry.command.name;
            connect(action, &QAction::triggered, this, [this, name] { runCommand(name); });
        }
    }
}

void Tfrmmavro::FormCreate() {
    const QSize screen = Screen::size();
    outer = QRect(Screen::centred(screen.width(), 800), Screen::centred(screen.height(), 600), 800,
                  575);
    setOuterGeometry(this, outer);
    // Placed by the outer size of the window, as the title picture always was.
    Image1->move(Screen::centred(outer.width(), Image1->width()),
                 Screen::centred(outer.height(), Image1->height(), 3));
}

void Tfrmmavro::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!outer.isNull())
        setOuterGeometry(this, outer);
}

void Tfrmmavro::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void Tfrmmavro::FormActivate() {
    show();
    raise();
}

// The menu bar's keyboard mode, kept here because Qt's menu bar on Linux does not enter it on
// Alt alone: Alt highlights the first menu, Right moves the highlight, Down opens the highlighted
// menu at its first command. Inside an open menu Qt's own Down and Right do the rest.
void Tfrmmavro::keyPressEvent(QKeyEvent* event) {
    const int menus = int(MainMenu1->actions().size());
    if (event->key() == Qt::Key_Alt) {
        keyboardMenu = 0;
        return;
    }
    if (keyboardMenu >= 0 && event->key() == Qt::Key_Right) {
        keyboardMenu = (keyboardMenu + 1) % menus;
        return;
    }
    if (keyboardMenu >= 0 && event->key() == Qt::Key_Down) {
        openMenuAtFirstCommand(keyboardMenu);
        keyboardMenu = -1;
        return;
    }
    keyboardMenu = -1;
    if (!event->text().isEmpty() && event->text()[0].isPrint()) {
        FormKeyPress(event->text());
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Tfrmmavro::openMenuAtFirstCommand(int index) {
    QAction* menuAction = MainMenu1->actions().value(index);
    if (!menuAction || !menuAction->menu())
        return;
    MainMenu1->setActiveAction(menuAction);
    for (QAction* command : menuAction->menu()->actions()) {
        if (!command->isSeparator()) {
            menuAction->menu()->setActiveAction(command);
            break;
        }
    }
}

void Tfrmmavro::FormKeyPress(const QString&) {
    KeySynth::press(KeySynth::VK_MENU);
    KeySynth::press(KeySynth::VK_DOWN);
}

void Tfrmmavro::runCommand(const QString& name) {
    int menu = 0, index = 0;
    const Catalogue::Command* command = Catalogue::find(name, &menu, &index);
    if (!command)
        return;
    if (!Catalogue::sendsReturnKeys(command->kind)) {
        showTool(command->kind);
        return;
    }
    showLesson(*command);
    KeySynth::pressAll(MenuKeys::sequence(menu, index));
}

void Tfrmmavro::showLesson(const Catalogue::Command& command) {
    switch (command.kind) {
        case Catalogue::Kind::TextLesson:
            Label1->setText(QString::number(command.first));
            Label2->setText(QString::number(command.second));
            frmTest->ShowModal();
            break;
        case Catalogue::Kind::RootLesson:
            frmwbTest1->JB1->setText(QString::number(command.first));
            frmwbTest1->JB2->setText(QString::number(command.second));
            frmwbTest1->ShowModal();
            break;
        case Catalogue::Kind::FingerLesson:
            frmTT->Table1.First();
            Label1->setText(QString::number(command.first));
            frmTT->Table1.MoveBy(command.first);
            frmTT->ShowModal();
            break;
        default:
            break;
    }
}

void Tfrmmavro::showTool(Catalogue::Kind kind) {
    switch (kind) {
        case Catalogue::Kind::FreeTyping:
            frmFree->ShowModal();
            break;
        case Catalogue::Kind::Music:
            frmSound->ShowModal();
            break;
        case Catalogue::Kind::CodeLookup:
            frmWBfind->ShowModal();
            break;
        case Catalogue::Kind::LessonPages:
            frmWeb->ShowModal();
            break;
        case Catalogue::Kind::Records:
            TfrmRecord::showRecord();
            break;
        default:
            break;
    }
}

// A notification that does not mean the end of a tune finds the player playing again (a newer
// play or load superseded it) or the notify flag off (the stop button aborted it).
void Tfrmmavro::MediaPlayer1Notify() {
    TMediaPlayer& player = *MediaPlayer1;
    if (player.Notify && player.mode() == TMediaPlayer::Mode::Stopped) {
        if (Label3->text() == QLatin1String("PLAY_R")) {
            player.rewind();
            player.start();
        } else {
            if (const int k = Tunes::numberOf(player.FileName)) {
                player.FileName = Tunes::path(Tunes::next(k));
                frmSound->selectTune(Tunes::next(k));
            }
            player.load();
            player.start();
            player.Notify = true;
        }
    }
    player.Notify = true;
}
