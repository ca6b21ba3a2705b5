#include "platform/ModalRunner.h"

#include <QDialog>

namespace platform {

int QtModalRunner::run(QDialog& dialog) {
    return dialog.exec();
}

} // namespace platform
