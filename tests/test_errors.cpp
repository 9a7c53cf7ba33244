// An error raised in any handler is shown with its text; the handler stops and the program goes
// on. A failing creation handler leaves a window that exists. Handlers catch their errors at
// their own boundary, and an error that comes back at every key is shown once per showing.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/cmavro.h"
#include "app/form.h"
#include "drills/CTT.h"
#include "platform/errors.h"
#include "support/appfixture.h"
#include "support/fixturecourse.h"
#include "support/menustate.h"

namespace {

class FailingForm : public TForm {
  public:
    QStringList steps;

  protected:
    void FormCreate() override {
        steps << "placed";
        throw AppError("表打不开");
        steps << "opened";
    }
    void FormActivate() override { steps << "shown"; }
};

// A window whose table is broken: showing it and every key typed raise the same error, and its
// button raises an error of the pupil's own action.
class BrokenTableForm : public TForm {
  public:
    QLineEdit* box = new QLineEdit(this);
    QPushButton* save = new QPushButton("save", this);

    BrokenTableForm() {
        save->move(0, 40);
        connect(box, &QLineEdit::textChanged, this, Errors::handler(this, &BrokenTableForm::read));
        connect(save, &QPushButton::clicked, this,
                Errors::handler(this, [] { throw AppError("磁盘已满"); }));
    }
    void read() { throw AppError::lasting("数据表 kzWb.DB 已损坏"); }

  protected:
    void FormActivate() override { read(); }
};

}  // namespace

class ErrorsTest : public QObject {
    Q_OBJECT

    QStringList reported;

    // Shows the window modally, runs the pupil's part, closes it; returns what was reported.
    QStringList showing(TForm& form, const std::function<void()>& pupil) {
        reported.clear();
        QTimer::singleShot(0, &form, [&] {
            pupil();
            form.reject();
        });
        form.ShowModal();
        return reported;
    }

  private slots:
    void init() {
        reported.clear();
        Errors::setSink([this](const QString& m) { reported << m; });
    }
    void cleanup() { Errors::setSink({}); }

    void errorThatReachesTheLastNetIsReportedAndTheProgramGoesOn() {
        // An event handler of its own, so the error unwinds no frame of a Qt widget (those are
        // not built for it and would leak the event they were handling).
        struct Thrower : QObject {
            int events = 0;
            bool event(QEvent* event) override {
                if (event->type() != QEvent::User)
                    return QObject::event(event);
                ++events;
                throw AppError(QStringLiteral("第%1次出错").arg(events));
            }
        } thrower;
        const int net = Errors::netCatches();
        for (int i = 0; i < 2; ++i) {
            QEvent user(QEvent::User);
            QCoreApplication::sendEvent(&thrower, &user);
        }
        QCOMPARE(reported, (QStringList{"第1次出错", "第2次出错"}));
        QCOMPARE(Errors::netCatches(), net + 2);
    }

    void failingCreationHandlerStopsPartWayAndTheWindowLives() {
        FailingForm form;
        form.create();
        QCOMPARE(reported, QStringList{"表打不开"});
        QCOMPARE(form.steps, QStringList{"placed"});
        QTimer::singleShot(50, &form, [&] { form.reject(); });
        form.ShowModal();
        QCOMPARE(form.steps, (QStringList{"placed", "shown"}));
    }

    void aLastingErrorIsShownOncePerShowing() {
        BrokenTableForm form;
        const auto typeAndSaveTwice = [&] {
            QTest::keyClicks(form.box, "abc");
            QTest::mouseClick(form.save, Qt::LeftButton);
            QTest::mouseClick(form.save, Qt::LeftButton);
        };
        const QStringList once{"数据表 kzWb.DB 已损坏", "磁盘已满", "磁盘已满"};
        QCOMPARE(showing(form, typeAndSaveTwice), once);
        QCOMPARE(showing(form, typeAndSaveTwice), once);  // the next showing tells it again
        // Outside a showing (a window never shown modally) every error is told.
        reported.clear();
        QTest::keyClicks(form.box, "de");
        QCOMPARE(reported.size(), 2);
    }

    void handlerReturningAValueGivesItsDefaultOnError() {
        QObject owner;
        auto keyFilter = Errors::handler(&owner, [](int key) -> bool {
            if (key == 0)
                throw AppError("坏键");
            return true;
        });
        QVERIFY(keyFilter(1));
        QVERIFY(!keyFilter(0));
        QCOMPARE(reported, QStringList{"坏键"});
    }

    // A message names the pupil's files and folders: a folder named like markup is shown as
    // its name, not drawn as markup. An error has the error icon, a notice the information icon.
    void messageBoxShowsNamesAsTheyAre() {
        Errors::setSink({});
        const QString message =
            QStringLiteral("无法打开文件 /home/pupil/<font color=red size=7>/a.txt");
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QList<QMessageBox::Icon> icons;
        const auto answer = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            shown = label->text();
            format = label->textFormat();
            icons << box->icon();
            QTest::keyClick(box, Qt::Key_Return);
        };
        QTimer::singleShot(0, answer);
        Errors::report(message);
        QCOMPARE(shown, message);
        QCOMPARE(format, Qt::PlainText);
        QTimer::singleShot(0, answer);
        Errors::inform(QStringLiteral("文件较长，只练习它的前 3000 个字符。"));
        QTimer::singleShot(0, answer);
        Errors::guard([] { throw AppError::notice(QStringLiteral("还没有足够的练习记录。")); });
        QCOMPARE(icons, (QList{QMessageBox::Critical, QMessageBox::Information,
                               QMessageBox::Information}));
    }

    // The finger lessons read 111.DB in the menu command itself, before the drill shows.
    void menuCommandChosenByKeyboardReportsInsideItsHandler() {
        FixtureCourse course;
        course.writeCodeTable(FixtureCourse::defaultCodes());
        course.writeRootTable(FixtureCourse::defaultRoots());
        AppFixture app;
        QVERIFY(MenuState::showMainWindow());
        app.errors.clear();
        const int net = Errors::netCatches();

        QTest::keyClick(frmmavro, Qt::Key_J);
        QTRY_VERIFY(MenuState::openMenu() && MenuState::openMenu()->activeAction());
        QCOMPARE(MenuState::openMenu()->activeAction()->objectName(), QStringLiteral("N27"));
        QTest::keyClick(MenuState::openMenu(), Qt::Key_Return);

        QTRY_COMPARE(app.errors.size(), 1);
        QVERIFY2(app.errors[0].contains("111.DB"), qPrintable(app.errors[0]));
        QCOMPARE(Errors::netCatches(), net);
        QVERIFY(!frmTT->isVisible());
        QTest::qWait(50);
        QCOMPARE(app.errors.size(), 1);
        MenuState::closeMenus();
    }
};

int main(int argc, char** argv) {
    Application app(argc, argv);
    ErrorsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_errors.moc"
