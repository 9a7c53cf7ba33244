#include "app/cmavro.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QTimer>

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
#include "progress/adaptivepractice.h"
#include "resources/pictures.h"
#include "tools/CGenda.h"
#include "tools/CImSetup.h"
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

// Alt alone puts the bar into keyboard mode whatever the desktop's style says, and the title it
// highlights there is drawn as a hovered or open title is, so the pupil sees where Right, Down
// and Enter will act.
class KeyboardMenuBarStyle : public QProxyStyle {
  public:
    explicit KeyboardMenuBarStyle(QObject* owner) : QProxyStyle(QApplication::style()->name()) {
        setParent(owner);
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && (item->state & State_Selected)) {
            QStyleOptionMenuItem selected = *item;
            selected.state |= State_Sunken;
            QProxyStyle::drawControl(element, &selected, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

const QString kCredit = QStringLiteral("     qorvex 五笔练习 · 电话：010-0000-0000");

}  // namespace

Tfrmmavro::Tfrmmavro(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmmavro");
    setWindowTitle(QStringLiteral("Tarvelle----->五笔速成练习") + kCredit);
    setFrame(this, Frame::Single, Frame::SystemMenu | Frame::Minimize);
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
    MediaPlayer1->OnNotify = Errors::handler(this, &Tfrmmavro::MediaPlayer1Notify);

    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    buildMenu();
}

void Tfrmmavro::create() {
    Errors::guard(this, [this] { FormCreate(); });
}

void Tfrmmavro::buildMenu() {
    MainMenu1->setStyle(new KeyboardMenuBarStyle(MainMenu1));
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
            connect(action, &QAction::triggered, this,
                    Errors::handler(this, [this, name] { runCommand(name); }));
        }
    }
}

void Tfrmmavro::FormCreate() {
    const QSize screen = Screen::size();
    // The form base holds the outer geometry, also once the window manager has framed it.
    setOuterGeometry(this, QRect(Screen::centred(screen.width(), 800),
                                 Screen::centred(screen.height(), 600), 800, 575));
    // Placed by the outer size of the window, as the title picture always was.
    Image1->move(Screen::centred(800, Image1->width()), Screen::centred(575, Image1->height(), 3));
}

void Tfrmmavro::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // Outside the bar's keyboard mode the window holds the keyboard itself, so that a typed
        // character reaches FormKeyPress even after the bar kept the focus while it was away.
        if (focusWidget() == MainMenu1 && !MainMenu1->activeAction())
            setFocus();
        Errors::guard(this, [this] { FormActivate(); });
    }
}

void Tfrmmavro::FormActivate() {
    show();
    raise();
}

// Alt, arrows, Enter, Esc and the title letters are the menu bar's own keyboard mode; what
// reaches the window itself is a character typed outside it. A letter no title carries, passed
// on by the bar in keyboard mode, goes unanswered there.
void Tfrmmavro::keyPressEvent(QKeyEvent* event) {
    if (focusWidget() == MainMenu1 && MainMenu1->activeAction())
        return;
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (plain && !event->text().isEmpty() && event->text()[0].isPrint()) {
        Errors::guard(this, [&] { FormKeyPress(event->text()); });
        return;
    }
    QMainWindow::keyPressEvent(event);
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
    // The closed window hands the keyboard back to this one; the return keys wait for it.
    if (!Catalogue::sendsReturnKeys(command->kind)) {
        showTool(command->kind);
        activateWindow();
        return;
    }
    showLesson(*command);
    activateWindow();
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
        case Catalogue::Kind::AdaptivePractice:
            AdaptivePractice::show();
            break;
        case Catalogue::Kind::InputMethodSetup:
            TfrmImSetup::showSetup();
            break;
        case Catalogue::Kind::TypeAlong:
            TfrmGenda::showGenda();
            break;
        case Catalogue::Kind::PhrasePractice:
            TfrmGenda::showPhrases();
            break;
        default:
            break;
    }
}

void Tfrmmavro::offerInputMethodSetup() {
    QTimer::singleShot(0, this, Errors::handler(this, [] { TfrmImSetup::showOnFirstStart(); }));
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
