#include "media/midimodule.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <optional>

#include "media/modulefolders.h"
#include "platform/errors.h"

namespace MidiModule {

namespace {

using VersionEntry = decltype(&qorvexMidiModuleVersion);
using CreateEntry = decltype(&qorvexCreateMidiDevice);

std::optional<QStringList>& chosenLocations() {
    static std::optional<QStringList> folders;
    return folders;
}

// The module's create entry once it is loaded; the library is never unloaded, since the devices
// it made run its code until the program ends.
CreateEntry& loadedCreate() {
    static CreateEntry create = nullptr;
    return create;
}

QString shownList(const QStringList& folders) {
    QStringList shown;
    for (const QString& folder : folders) shown << QDir::toNativeSeparators(folder);
    return shown.join(QStringLiteral(", "));
}

CreateEntry load() {
    const QStringList folders = locations();
    QString path;
    for (const QString& folder : folders) {
        const QString candidate = QDir(folder).filePath(fileName());
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty())
        throw AppError(QStringLiteral("无法播放音乐：找不到音乐模块 %1，这些文件夹中都没有：%2。")
                           .arg(fileName(), shownList(folders)));
    QLibrary library(path);
    library.setLoadHints(QLibrary::PreventUnloadHint);
    const QString shown = QDir::toNativeSeparators(path);
    if (!library.load())
        throw AppError(QStringLiteral("无法播放音乐：音乐模块 %1 无法载入（%2）。")
                           .arg(shown, library.errorString()));
    const auto version = reinterpret_cast<VersionEntry>(library.resolve("qorvexMidiModuleVersion"));
    const auto create = reinterpret_cast<CreateEntry>(library.resolve("qorvexCreateMidiDevice"));
    if (!version || !create || version() != kMidiModuleVersion)
        throw AppError(
            QStringLiteral("无法播放音乐：音乐模块 %1 属于另一个版本的 qorvex，请重新安装本程序。")
                .arg(shown));
    return create;
}

}  // namespace

QString fileName() {
    return QStringLiteral("qorvex-fluidsynth.so");
}

QString defaultSoundFont() {
    return QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2");
}

QStringList locations() {
    if (chosenLocations())
        return *chosenLocations();
    return ModuleFolders::searched();
}

void setLocations(const QStringList& folders) {
    chosenLocations() = folders;
    loadedCreate() = nullptr;
}

std::unique_ptr<MidiDevice> createDevice(Output output, const QString& soundFont) {
    if (!loadedCreate())
        loadedCreate() = load();
    return std::unique_ptr<MidiDevice>(loadedCreate()(output == Output::Silent, soundFont));
}

}  // namespace MidiModule
