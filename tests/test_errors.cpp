// An error raised in any handler is shown with its text; the handler stops and the program goes
// on. A failing creation handler leaves a window that exists.
#include <QPushButton>
#include <QtTest>

#include "app/form.h"
#include "platform/errors.h"

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

}  // namespace

class ErrorsTest : public QObject {
    Q_OBJECT

    QStringList reported;

  private slots:
    void init() {
        reported.clear();
        Errors::setSink([this](const QString& m) { reported << m; });
    }
    void cleanup() { Errors::setSink({}); }

    void errorInAClickHandlerIsReportedAndTheProgramGoesOn() {
        QPushButton button("go");
        int clicks = 0;
        QObject::connect(&button, &QPushButton::clicked, [&] {
            ++clicks;
            throw AppError(QStringLiteral("第%1次出错").arg(clicks));
        });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(reported, (QStringList{"第1次出错", "第2次出错"}));
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
};

int main(int argc, char** argv) {
    Application app(argc, argv);
    ErrorsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_errors.moc"
