#include "platform/QtUserDialogs.h"

#include "platform/Controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace platform {

std::optional<QString> QtUserDialogs::inputBox(const QString& prompt, const QString& title,
                                               const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtUserDialogs::saveFileName(const QString& title, const QString& folder,
                                    const QString& fileName, const QString& filter,
                                    const QString& defaultSuffix) {
    // The dialog asks before an existing file is replaced.
    QFileDialog dialog(m_parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString QtUserDialogs::openFileName(const QString& title, const QString& folder,
                                    const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, title, folder, filter);
}

SaveChoice QtUserDialogs::askSaveDiscardCancel(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Warning, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Save);
    // Each answer has its key.
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Save"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

void QtBusyPointer::begin() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtBusyPointer::end() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::restoreOverrideCursor();
}

std::optional<Colour> QtUserDialogs::chooseColour(Colour current, const QString& title) {
    const QColor chosen = QColorDialog::getColor(ToQColor(current), m_parent, title);
    if (!chosen.isValid()) return std::nullopt;
    return FromQColor(chosen);
}

bool QtUserDialogs::openInEditor(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace platform
