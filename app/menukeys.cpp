#include "app/menukeys.h"

#include "platform/keysynth.h"

namespace MenuKeys {

QList<int> sequence(int menu, int command) {
    using namespace KeySynth;
    QList<int> keys{VK_MENU};
    if (menu == 0) {
        keys.append(QList<int>(command + 1, VK_DOWN));
    } else if (menu == 1) {
        keys.append(VK_RIGHT);
        keys.append(QList<int>(command + 1, VK_DOWN));
    } else {
        for (int step = 0; step < menu - 1; ++step) keys << VK_RIGHT << VK_DOWN;
        keys.append(VK_RIGHT);
        keys.append(QList<int>(command, VK_DOWN));
    }
    return keys;
}

}  // namespace MenuKeys
