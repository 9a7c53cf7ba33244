#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;

// The desktop's input method as the program meets it: which frontend Qt loads, fcitx5 switched
// on where the pupil types Chinese, and what the input method set-up page reports and changes.
namespace InputMethod {

// What start-up knows of the desktop before Qt exists.
struct Desktop {
    QByteArray module;  // QT_IM_MODULE, empty when unset
    bool fcitxOnBus = false;
    bool ibusOnBus = false;
};
// The frontend Qt is to load, or empty to leave QT_IM_MODULE alone: a set value is the pupil's
// or the desktop's choice. Many Wayland sessions set none, and Qt then types raw letters.
QByteArray frontendFor(const Desktop& desktop);
// Before the QApplication: sets QT_IM_MODULE as frontendFor says, asking the session bus.
void chooseFrontend();
// QT_IM_MODULE as Qt found it, and whether the program chose it.
QString frontend();
bool frontendChosenHere();

// fcitx5 keeps the input method off in each new window by default (its input state is not
// shared), so a box the pupil types Chinese into asks fcitx5 to switch it on for its window.
// Nothing waits for fcitx5's answers; nothing happens with another input method.
void switchOnFor(QWidget* box);

enum class Running { None, Fcitx5, Ibus };

// What the set-up page shows.
struct Survey {
    Running running = Running::None;
    bool wubiInstalled = false;  // fcitx5's wbx table, or ibus-table's wubi-jidian86
    bool wubiInGroup = false;    // among the input methods the pupil switches between
    QString orderPolicy;         // fcitx5's wbx: "No", "Freq" or "First"; empty otherwise
    QString wbxConfigPath;       // fcitx5: the pupil's own settings of the wbx table
};
Survey survey();
// Something a pupil needs for the text drills is missing or in the way.
bool needsAttention(const Survey& state);

// Makes fcitx5's wbx table list a code's single character before its phrases (its own order
// instead of frequencies), in the pupil's settings file, and has fcitx5 read it again. Empty on
// success, else what went wrong.
QString putSingleCharactersFirst();
// The settings text with key set to value in [section], every other line as it was.
QString withIniValue(const QString& text, const QString& section, const QString& key,
                     const QString& value);

}  // namespace InputMethod
