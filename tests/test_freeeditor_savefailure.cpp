// A save that fails part-way (the disk full) leaves the old file as it was and is reported.
#include <sys/resource.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "platform/gbk.h"
#include "support/appfixture.h"
#include "support/fixturecourse.h"
#include "support/modalrun.h"
#include "tools/Cfree.h"
#include "tools/filedialogs.h"

class SaveFailureTest : public QObject {
    Q_OBJECT

    // Files may grow to no more than limit bytes while it lives, as on a nearly full disk.
    struct FileSizeLimit {
        rlimit previous{};
        explicit FileSizeLimit(rlim_t limit) {
            getrlimit(RLIMIT_FSIZE, &previous);
            rlimit small = previous;
            small.rlim_cur = limit;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous); }
    };

  private slots:
    void failedSaveLeavesTheOldFileIntact() {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending us
        FixtureCourse course;
        course.writeAll();
        AppFixture app;
        QTemporaryDir dir;
        const QString file = QDir(dir.path()).filePath("diary.TXT");
        const QByteArray old = Gbk::encode(u"旧的日记\r\n第二行");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        FileDialogs::setOpenChooser([&](QWidget*, const FileDialogs::Request&) { return file; });
        bool ran = runWhileModal(
            [] { return frmFree->ShowModal(); }, frmFree,
            [&] {
                QTest::mouseClick(frmFree->SpeedButton3, Qt::LeftButton);
                QCOMPARE(frmFree->Label1->text(), file);
                QInputMethodEvent event;
                event.setCommitString(QString(40000, QChar(0x4E2D)));  // 80000 bytes of 中
                QApplication::sendEvent(frmFree->Memo1, &event);
                FileSizeLimit limit(16 * 1024);
                QTest::mouseClick(frmFree->SpeedButton2, Qt::LeftButton);
            });
        FileDialogs::setOpenChooser({});
        QVERIFY(ran);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), old);
        QCOMPARE(app.errors.size(), 1);
        QVERIFY2(app.errors[0].contains(file), qPrintable(app.errors[0]));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"diary.TXT"});
    }
};

QTEST_MAIN(SaveFailureTest)
#include "test_freeeditor_savefailure.moc"
