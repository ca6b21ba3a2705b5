#include "platform/Beeper.h"

#include <QApplication>

namespace platform {

void QtBeeper::Beep() {
    QApplication::beep();
}

} // namespace platform
