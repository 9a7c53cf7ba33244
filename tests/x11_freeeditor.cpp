// The free-typing editor on a pupil's desktop: under Xvfb with openbox and fcitx5 running its Wubi
// table, Wubi codes typed as X key strokes land in the text as Chinese, Shift+Enter breaks the
// line and is saved as CR LF, and Esc first cancels a code being composed, then closes.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/gbk.h"
#include "support/fcitxservice.h"
#include "support/modalrun.h"
#include "support/wubidesktop.h"
#include "tools/Cfree.h"
#include "tools/filedialogs.h"

namespace {

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

    WubiDesktop desktop;
    QTemporaryDir files;

  private slots:
    void initTestCase() { VERIFY_NO_FAULT(desktop.start()); }
    void cleanupTestCase() { FileDialogs::setSaveChooser({}); }
    void cleanup() { Fcitx::logIfFailed(); }

    void wubiTextWithShiftEnterIsSavedWithCrLf() {
        const QString file = QDir(files.path()).filePath("diary.TXT");
        FileDialogs::setSaveChooser([file](QWidget*, const FileDialogs::Request&) { return file; });
        const QByteArray saved = Gbk::encode(u"中国") + "\r\n" + Gbk::encode(u"人");
        bool closedByEsc = false;
        const Fcitx::ContextWatch context;
        const bool ran = runWhileModal(
            [] { return frmFree->ShowModal(); }, frmFree,
            [&] {
                QVERIFY(QTest::qWaitForWindowActive(frmFree));
                QTRY_VERIFY(frmFree->Memo1->hasFocus());
                QVERIFY(context.await());
                QTRY_VERIFY_WITH_TIMEOUT(FcitxService::wubiActive(), 10000);
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
        QVERIFY(ran && closedByEsc);
        VERIFY_NO_FAULT(desktop.program.errorText());
        QCOMPARE(frmFree->Memo1->toPlainText(), QString());
        QCOMPARE(bytesOf(file), saved);
    }
};

int main(int argc, char** argv) {
    return Fcitx::exec(argc, argv, [] { return new FreeEditorX11Test; });
}

#include "x11_freeeditor.moc"
