#include "tools/CImSetup.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include "data/historyfiles.h"
#include "drills/hintcode.h"
#include "platform/errors.h"

TfrmImSetup* frmImSetup = nullptr;

namespace {

using InputMethod::Running;

QString runningLine(const InputMethod::Survey& found) {
    switch (found.running) {
        case Running::Fcitx5:
            return QStringLiteral("正在运行的输入法：fcitx5");
        case Running::Ibus:
            return QStringLiteral("正在运行的输入法：ibus");
        case Running::None:
            break;
    }
    return QStringLiteral(
        "正在运行的输入法：没有找到。请安装并启动 fcitx5（软件包 "
        "fcitx5-chinese-addons）或 ibus（软件包 ibus-table-wubi）。");
}

QString frontendLine() {
    const QString module = InputMethod::frontend();
    if (module.isEmpty())
        return QStringLiteral("程序使用的输入法接口（QT_IM_MODULE）：未设置");
    return QStringLiteral("程序使用的输入法接口（QT_IM_MODULE）：%1（%2）")
        .arg(module, InputMethod::frontendChosenHere()
                         ? QStringLiteral("本程序按正在运行的输入法选择")
                         : QStringLiteral("由桌面设置"));
}

QString wubiLine(const InputMethod::Survey& found) {
    if (found.running == Running::None)
        return {};
    const bool fcitx = found.running == Running::Fcitx5;
    if (!found.wubiInstalled)
        return fcitx
                   ? QStringLiteral("五笔 86 码表：没有安装。请安装软件包 fcitx5-chinese-addons。")
                   : QStringLiteral("五笔 86 码表：没有安装。请安装软件包 ibus-table-wubi。");
    if (!found.wubiInGroup)
        return fcitx ? QStringLiteral(
                           "五笔 86 码表：已安装，但不在当前输入法分组里。请在 fcitx5 "
                           "的配置里把“五笔字型”添加到当前分组。")
                     : QStringLiteral(
                           "五笔 86 码表：已安装，但没有添加到 ibus 的输入法里，"
                           "文字练习里打的字母会消失，打不出汉字。请在 ibus 的设置"
                           "（ibus-setup）的“输入法”里添加“汉语 - 极点五笔 86"
                           "（极爽词库 6.0）”。");
    return fcitx ? QStringLiteral("五笔 86 码表：已安装，在当前输入法分组里（五笔字型）。")
                 : QStringLiteral(
                       "五笔 86 码表：已安装，在输入法列表里（极点五笔 86（极爽词库 6.0））。"
                       "四码的编码也要按空格键上屏。");
}

QString orderLine(const InputMethod::Survey& found) {
    if (found.running == Running::Ibus)
        return QStringLiteral("候选字顺序：由 ibus 的码表设置决定，本程序不作更改。");
    if (found.running != Running::Fcitx5 || !found.wubiInstalled)
        return {};
    if (found.orderPolicy == QLatin1String("No"))
        return QStringLiteral(
            "候选字顺序：按码表顺序，单字在词组前面（ssss 的第一个候选是“木”）。");
    if (found.orderPolicy == QLatin1String("Freq"))
        return QStringLiteral(
            "候选字顺序：按词频，词组可能排在单字前面（ssss 的第一个候选是"
            "“森林”，不是提示里的“木”）。");
    return QStringLiteral("候选字顺序：按最近用过的调整（%1），第一个候选会随输入变化。")
        .arg(found.orderPolicy);
}

// The engine ibus gives every window, as `ibus engine` names it; empty when ibus does not answer
// (a loaded machine may take seconds to start the command).
QString ibusEngine() {
    QProcess ibus;
    ibus.start(QStringLiteral("ibus"), {QStringLiteral("engine")});
    if (!ibus.waitForFinished(5000) || ibus.exitCode() != 0) {
        ibus.kill();
        ibus.waitForFinished();
        return {};
    }
    return QString::fromUtf8(ibus.readAllStandardOutput()).trimmed();
}

QString firstStartMark() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qorvex/imsetup-shown");
}

}  // namespace

int TfrmImSetup::showSetup() {
    if (!frmImSetup) {
        frmImSetup = new TfrmImSetup;
        frmImSetup->create();
    }
    return frmImSetup->ShowModal();
}

void TfrmImSetup::showOnFirstStart() {
    const QString mark = firstStartMark();
    if (QFile::exists(mark))
        return;
    History::makePrivateFolder(QFileInfo(mark).path());  // the history's folder: 0700
    QFile(mark).open(QIODevice::WriteOnly);
    if (InputMethod::needsAttention(InputMethod::survey()))
        showSetup();
}

void TfrmImSetup::showWhenWubiIsOff(QWidget* drill) {
    static bool told = false;
    if (told || !InputMethod::frontend().startsWith(QLatin1String("ibus")))
        return;
    // After the drill is up, so that the page stands over it.
    QTimer::singleShot(
        0, drill, Errors::handler(drill, [] {
            const InputMethod::Survey found = InputMethod::survey();
            if (found.running != Running::Ibus || (found.wubiInstalled && found.wubiInGroup))
                return;
            // Wubi is off only when ibus says which engine is on and it is
            // another: the list the survey reads may live elsewhere.
            const QString engine = ibusEngine();
            if (found.wubiInstalled &&
                (engine.isEmpty() || engine == QLatin1String("table:wubi-jidian86")))
                return;
            told = true;
            showSetup();
        }));
}

TfrmImSetup::TfrmImSetup(QWidget* parent) : TForm(parent) {
    setObjectName("frmImSetup");
    setWindowTitle(QStringLiteral("Tarvelle---->输入法设置"));
    auto* page = new QVBoxLayout(this);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    page->addWidget(Label1, 1);

    Button1 = new QPushButton(QStringLiteral("改为单字优先"), this);
    Button1->setObjectName("Button1");
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this,
            Errors::handler(this, &TfrmImSetup::Button1Click));
    Button2 = new QPushButton(QStringLiteral("关闭"), this);
    Button2->setObjectName("Button2");
    Button2->setDefault(true);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    page->addLayout(buttons);

    setFixedSize(560, 300);
    setFrame(Frame::Dialog, Frame::SystemMenu);
}

void TfrmImSetup::FormCreate() {
    centreOnOwnSize();
}

void TfrmImSetup::FormActivate() {
    refresh();
}

void TfrmImSetup::refresh() {
    found = InputMethod::survey();
    QStringList lines{runningLine(found), frontendLine(), wubiLine(found), orderLine(found)};
    if (found.running == Running::Fcitx5)
        lines << QStringLiteral(
            "fcitx5 在每个新窗口里先关着输入法；文字练习和自由录入的输入框"
            "得到光标时，本程序会替你打开它。");
    lines.removeAll(QString());
    Label1->setText(lines.join(QStringLiteral("\n\n")));
    const bool canReorder = found.running == Running::Fcitx5 && found.wubiInstalled &&
                            found.orderPolicy != QLatin1String("No");
    Button1->setVisible(canReorder);
}

void TfrmImSetup::Button1Click() {
    const auto answer = QMessageBox::question(
        this, QStringLiteral("输入法设置"),
        QStringLiteral("把 fcitx5 五笔的候选字改为单字优先（按码表顺序）吗？\n\n"
                       "这会修改你的设置文件 %1 里的一项（OrderPolicy=No），并让 fcitx5 "
                       "立即使用它。")
            .arg(found.wbxConfigPath));
    if (answer != QMessageBox::Yes)
        return;
    const QString failure = InputMethod::putSingleCharactersFirst();
    HintCode::forgetInputMethodOrder();
    refresh();
    if (!failure.isEmpty())
        throw AppError(failure);
}
