#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "support/imdaemon.h"

// A private D-Bus session and an fcitx5 of our own running its Wubi table, with a configuration
// made for the run (learning off, the input state shared by every window, so that Wubi stays on
// as the focus moves), or as a pupil has it after adding Wubi and nothing else. Start it before
// QApplication exists and set QT_IM_MODULE=fcitx.
class FcitxService : public ImDaemon {
  public:
    enum class Profile {
        Tuned,    // Wubi stays on from window to window and keeps the table's own order
        AsAdded,  // fcitx5's defaults with Wubi added to the group: off in each new window,
                  // candidates by frequency, learning on
    };
    FcitxService() : ImDaemon("fcitx5") {}

    bool start(Profile profile = Profile::Tuned);
    void stop() override;

    struct Reply {
        int exitCode = -1;
        QString output;
    };
    static Reply remote(const QStringList& arguments);
    // True once the focused input context has Wubi on.
    static bool wubiActive();

  private:
    void writeConfiguration(Profile profile) const;
    bool startBus();

    qint64 busPid = 0;
};

namespace Fcitx {
using ImTest::strokes;

// The main of an X11 test with Wubi on: starts the service, then the application, then runs the
// test object that makeTest creates. The run fails when fcitx5 saved learned choices as it
// stopped: its Wubi table is set to learn nothing.
int exec(int argc, char** argv, const std::function<QObject*()>& makeTest,
         FcitxService::Profile profile = FcitxService::Profile::Tuned);
// After a test that failed, the end of fcitx5's log: what it made of the keys.
using ImTest::logIfFailed;

// fcitx5 loads the Wubi table on first use and loses keys typed meanwhile: types into a plain
// line edit of our own until a code gives its character, and checks that such a box gets no
// letter while Wubi is on. Empty when Wubi is ready, else what went wrong.
QString warmUp();

// fcitx5 gives a window an input context of its own a moment after the window first takes the
// keyboard; keys typed before that pass the input method by. A pupil never types that soon, so a
// test waits for it: a watch made before the window first takes the keyboard notes the contexts
// fcitx5 holds, and await() returns once it holds another.
class ContextWatch {
  public:
    ContextWatch();
    [[nodiscard]] bool await() const;

  private:
    QStringList known;
};
}  // namespace Fcitx
