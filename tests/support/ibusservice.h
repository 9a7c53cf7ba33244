#pragma once

#include <QString>
#include <functional>

#include "support/imdaemon.h"

// An ibus-daemon of our own, on an address of its own, with ibus-table's Wubi
// (table:wubi-jidian86) as the engine of every input context. Settings live in memory, so the
// table starts from what it ships with. Start it before QApplication exists and set
// QT_IM_MODULE=ibus.
class IbusService : public ImDaemon {
  public:
    IbusService() : ImDaemon("ibus-daemon") {}

    bool start();
    void stop() override;
    // True once ibus reports Wubi as the engine.
    static bool wubiActive();
};

namespace Ibus {
// The keys that type text through the table, a code and Space for each character: for every
// character the shortest code whose first candidate it is, read from the table's own database.
// Characters the table cannot give first stay as they are (punctuation, digits).
QString keysFor(const QString& text);

// The main of an X11 test with ibus Wubi on: starts the service, then the application, then runs
// the test object that makeTest creates.
int exec(int argc, char** argv, const std::function<QObject*()>& makeTest);
using ImTest::logIfFailed;

// The table engine starts on first use and may lose keys typed meanwhile: types into a plain
// line edit of our own until a code gives its character. Empty when Wubi is ready, else what
// went wrong.
QString warmUp();
}  // namespace Ibus
