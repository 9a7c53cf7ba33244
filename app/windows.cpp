#include "app/windows.h"

#include "app/cmavro.h"
#include "drills/CTT.h"
#include "drills/Ctime.h"
#include "drills/CwbTest1.h"
#include "drills/ctest.h"
#include "media/CSound.h"
#include "media/CWeb.h"
#include "progress/CRecord.h"
#include "tools/CGenda.h"
#include "tools/CWBFind.h"
#include "tools/Cfree.h"

namespace {
QStringList& order() {
    static QStringList names;
    return names;
}

template <class Window>
Window* createForm(Window*& reference) {
    reference = new Window;
    order() << reference->objectName();
    reference->create();
    return reference;
}

template <class Window>
void destroyForm(Window*& reference) {
    if (!reference)
        return;
    reference->destroyForm();
    delete reference;
    reference = nullptr;
}
}  // namespace

void createWindows() {
    order().clear();
    createForm(frmmavro);
    createForm(frmWBfind);
    createForm(frmWeb);
    createForm(frmTime);
    createForm(frmTT);
    createForm(frmwbTest1);
    createForm(frmTest);
    createForm(frmFree);
    createForm(frmSound);
}

void destroyWindows() {
    // The music stops and its rendering thread ends before any window it reports to goes.
    if (frmmavro)
        frmmavro->MediaPlayer1->close();
    destroyForm(frmRecord);  // made only if the pupil opened it
    destroyForm(frmGenda);   // likewise
    destroyForm(frmSound);
    destroyForm(frmFree);
    destroyForm(frmTest);
    destroyForm(frmwbTest1);
    destroyForm(frmTT);
    destroyForm(frmTime);
    destroyForm(frmWeb);
    destroyForm(frmWBfind);
    delete frmmavro;
    frmmavro = nullptr;
}

const QStringList& creationOrder() {
    return order();
}
