#include "support/modalrun.h"

#include <QPointer>

#include "support/appfixture.h"

bool runWhileModal(const std::function<int()>& show, QWidget* window,
                   const std::function<void()>& body) {
    bool ran = false;
    QPointer<QWidget> shown(window);
    whenModal([&] {
        body();
        ran = true;
        if (shown && shown->isVisible())
            shown->close();
    });
    show();
    return ran;
}
