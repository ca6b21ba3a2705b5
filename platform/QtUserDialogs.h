#pragma once
// The user dialogs on QInputDialog, QFileDialog, QColorDialog and QMessageBox, the editor through
// the desktop's handler of text files, and the busy pointer as the application's override cursor.
#include "platform/UserDialogs.h"

#include <QPointer>

class QWidget;

namespace platform {

class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString saveFileName(const QString& title, const QString& folder, const QString& fileName,
                         const QString& filter, const QString& defaultSuffix) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    SaveChoice askSaveDiscardCancel(const QString& text, const QString& title) override;
    std::optional<Colour> chooseColour(Colour current, const QString& title) override;
    bool openInEditor(const QString& path) override;

private:
    QPointer<QWidget> m_parent;
};

class QtBusyPointer : public BusyPointer {
public:
    void begin() override;
    void end() override;
};

} // namespace platform
