// The free-typing editor on a pupil's desktop: under Xvfb with openbox and fcitx5 running its Wubi
// table, Wubi codes typed as X key strokes land in the text as Chinese, Shift+Enter breaks the
// line and is saved as CR LF, and Esc first cancels a code being composed, then closes.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/gbk.h"
#include "support/appfixture.h"
#include "support/fcitxservice.h"
#include "support/fixturecourse.h"
#include "support/modalrun.h"
#include "tools/Cfree.h"
#include "tools/filedialogs.h"

namespace {
FcitxService* service = nullptr;

QString rowColumn(int row, int column) {
    return QStringLiteral("行：%1   列：%2").arg(row).arg(column);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class FreeEditorX11Test : public QObject {
    Q_OBJECT

    FixtureCourse* course = nullptr;
    AppFixture* app = nullptr;
    QTemporaryDir files;

    // fcitx5 loads the Wubi table on first use, and keys typed meanwhile are lost: type a code
    // until it gives its character, then start from an empty box.
    static void warmUp() {
        QTRY_VERIFY_WITH_TIMEOUT(FcitxService::wubiActive(), 10000);
        QPlainTextEdit* memo = frmFree->Memo1;
        for (int attempt = 0; attempt < 40 && !memo->toPlainText().contains(u'地'); ++attempt) {
            Fcitx::strokes({"f", "space"});
            QTest::qWait(500);
        }
        QVERIFY2(memo->toPlainText().contains(u'地'),
                 qPrintable("Wubi gave no characters: " + memo->toPlainText() + "\nfcitx5 log:\n" +
                            service->log()));
        memo->clear();
    }

  private slots:
    void initTestCase() {
        QVERIFY2(service->failure.isEmpty(), qPrintable(service->failure));
        QVERIFY2(QGuiApplication::platformName() == "xcb", "runs on X11 only");
        course = new FixtureCourse;
        course->writeAll();
        app = new AppFixture;
        QVERIFY2(app->errors.isEmpty(), qPrintable(app->errors.join('\n')));
    }
    void cleanupTestCase() {
        FileDialogs::setSaveChooser({});
        delete app;
        delete course;
    }

    void wubiTextWithShiftEnterIsSavedWithCrLf() {
        const QString file = QDir(files.path()).filePath("diary.TXT");
        FileDialogs::setSaveChooser([file](QWidget*, const FileDialogs::Request&) { return file; });
        const QByteArray saved = Gbk::encode(u"中国") + "\r\n" + Gbk::encode(u"人");
        bool closedByEsc = false;
        const bool ran = runWhileModal(
            [] { return frmFree->ShowModal(); }, frmFree,
            [&] {
                QVERIFY(QTest::qWaitForWindowActive(frmFree));
                QTRY_VERIFY(frmFree->Memo1->hasFocus());
                warmUp();
                QPlainTextEdit* memo = frmFree->Memo1;

                Fcitx::strokes({"k", "space", "l", "space"});
                QTRY_COMPARE(memo->toPlainText(), QStringLiteral("中国"));
                QTRY_COMPARE(frmFree->StatusPanel0->text(), rowColumn(1, 5));

                Fcitx::strokes({"shift+Return"});
                QTRY_VERIFY(memo->document()->toRawText().contains(QChar::LineSeparator));
                QTRY_COMPARE(frmFree->StatusPanel0->text(), rowColumn(2, 1));
                Fcitx::strokes({"w", "space"});
                QTRY_COMPARE(memo->toPlainText(), QStringLiteral("中国\n人"));
                QTRY_COMPARE(frmFree->StatusPanel0->text(), rowColumn(2, 3));

                QTest::mouseClick(frmFree->SpeedButton2, Qt::LeftButton);
                QCOMPARE(bytesOf(file), saved);
                QVERIFY(memo->hasFocus());

                // A code being composed takes the first Esc; the editor stays with its text.
                Fcitx::strokes({"k"});
                QTest::qWait(500);
                Fcitx::strokes({"Escape"});
                QTest::qWait(800);
                QVERIFY(frmFree->isVisible());
                QCOMPARE(memo->toPlainText(), QStringLiteral("中国\n人"));
                Fcitx::strokes({"Escape"});
                QTRY_VERIFY(!frmFree->isVisible());
                closedByEsc = true;
            });
        if (QTest::currentTestFailed())
            qWarning().noquote() << "fcitx5 log:\n" << service->log();
        QVERIFY(ran && closedByEsc);
        QVERIFY2(app->errors.isEmpty(), qPrintable(app->errors.join('\n')));
        QCOMPARE(frmFree->Memo1->toPlainText(), QString());
        QCOMPARE(bytesOf(file), saved);
    }
};

int main(int argc, char** argv) {
    FcitxService im;
    service = &im;
    if (im.start())
        qputenv("QT_IM_MODULE", "fcitx");
    int result = 1;
    {
        QApplication app(argc, argv);
        FreeEditorX11Test test;
        result = QTest::qExec(&test, argc, argv);
    }
    im.stop();
    return result;
}

#include "x11_freeeditor.moc"
