#pragma once
// Message boxes on QMessageBox. inform() opens a box and returns at once; the box deletes
// itself when it is closed. askYesNo() waits for the answer.
#include "platform/MessageBoxes.h"

#include <QList>
#include <QPointer>

class QMessageBox;
class QWidget;

namespace platform {

class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr);
    ~QtMessageBoxes() override;

    void inform(MsgIcon icon, const QString& text, const QString& title = QString()) override;
    bool askYesNo(MsgIcon icon, const QString& text, const QString& title = QString()) override;

    // Boxes opened by inform() that are still on screen.
    int openCount() const;

private:
    QPointer<QWidget> m_parent;
    QList<QPointer<QMessageBox>> m_open;
};

} // namespace platform
