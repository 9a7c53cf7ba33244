// Qt's own dialogs speak Chinese whatever the pupil's locale, and the file dialogs start where the
// pupil may write: never in the installed course, and then in the folder last used.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/pathrule.h"
#include "platform/qttranslations.h"
#include "support/appfixture.h"
#include "tools/filedialogs.h"

namespace {

// The pupil's desktop runs in the plain C locale; set before Qt reads it.
const bool cLocale = [] {
    qputenv("LC_ALL", "C");
    qputenv("LANG", "C");
    qunsetenv("LANGUAGE");
    return true;
}();

const QString kFilter = QStringLiteral("文本文件|*.TXT|所有文件|*.*");

// What the pupil saw in a file dialog before acting on it.
struct Seen {
    QString folder;
    QString cancel;
};

QPushButton* cancelOf(QFileDialog* dialog) {
    return dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
}

// Runs act on the next file dialog once it is shown, noting where it started and its Cancel.
void onFileDialog(Seen& seen, std::function<void(QFileDialog*)> act) {
    whenModal([&seen, act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QApplication::activeModalWidget()->close();
            return;
        }
        seen.folder = dialog->directory().absolutePath();
        seen.cancel = cancelOf(dialog)->text();
        act(dialog);
    });
}

}  // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(cLocale);
        QVERIFY2(QtTranslations::install(), "qtbase_zh_CN.qm (qt6-translations-l10n) is missing");
    }

    void dialogsAreChineseAndStartWhereThePupilMayWrite() {
        // The course as the package installs it: in a shared data folder, which root could write
        // but the program never does.
        QTemporaryDir root;
        const QString shared = root.filePath("share");
        const QString home = root.filePath("home");
        for (const QString& folder :
             {shared + "/qorvex/mavro", home + "/Documents", home + "/texts"})
            QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile(shared + "/qorvex/mavro/111.DB").open(QIODevice::WriteOnly));
        qunsetenv("QORVEX_DRIVE");
        qputenv("XDG_DATA_DIRS", QFile::encodeName(shared));
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath("config")));
        QVERIFY(PathRule::courseIsInstalled());

        // The editor's first 保存文本 asks for the course folder; the pupil names his own file.
        Seen save;
        const QString typed = home + "/texts/diary.TXT";
        onFileDialog(save, [&](QFileDialog* dialog) {
            dialog->selectFile(typed);
            QTest::mouseClick(
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                Qt::LeftButton);
        });
        const QString chosen =
            FileDialogs::chooseSave(nullptr, {QString(), PathRule::resolve("\\mavro"), kFilter});
        QCOMPARE(save.folder, home + "/Documents");
        QCOMPARE(save.cancel, QStringLiteral("取消"));
        QCOMPARE(chosen, typed);

        // 自选文章 asks for no folder: it starts where the last file was chosen; Cancel gives none.
        Seen open;
        onFileDialog(
            open, [](QFileDialog* dialog) { QTest::mouseClick(cancelOf(dialog), Qt::LeftButton); });
        QCOMPARE(FileDialogs::chooseOpen(nullptr, {QStringLiteral("自选文章"), QString(), kFilter}),
                 QString());
        QCOMPARE(open.folder, home + "/texts");

        // The record's export: the pupil picks the CSV type and types a bare name.
        Seen exported;
        onFileDialog(exported, [&](QFileDialog* dialog) {
            dialog->selectNameFilter(QStringLiteral("CSV 表格 (*.csv)"));
            dialog->selectFile(home + "/texts/rec");
            QTest::mouseClick(
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                Qt::LeftButton);
        });
        QCOMPARE(FileDialogs::chooseSave(nullptr,
                                         {QString(), QString(),
                                          QStringLiteral("JSON 文件|*.json|CSV 表格|*.csv"), true}),
                 home + "/texts/rec.csv");
    }
};

QTEST_MAIN(FileDialogsTest)
#include "test_filedialogs.moc"
