#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private D-Bus session and an fcitx5 of our own running its Wubi table, with a configuration
// made for the run (learning off, the input state shared by every window, so that Wubi stays on
// as the focus moves). Start it before QApplication exists and set QT_IM_MODULE=fcitx.
class FcitxService {
  public:
    QString failure;

    bool start();
    void stop();
    QString log() const;

    struct Reply {
        int exitCode = -1;
        QString output;
    };
    static Reply remote(const QStringList& arguments);
    // True once the focused input context has Wubi on.
    static bool wubiActive();

  private:
    bool fail(const QString& why);
    QString dir(const QString& name) const;
    QString logPath() const;
    void writeConfiguration() const;
    bool startBus();

    QTemporaryDir home;
    QProcess fcitx;
    qint64 busPid = 0;
};

namespace Fcitx {
// Real key strokes on the X server, as the pupil's keyboard makes them (xdotool key names).
void strokes(const QStringList& keys);
}  // namespace Fcitx
