#include "platform/QtMessageBoxes.h"

#include <QMessageBox>

namespace platform {

namespace {

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString titleOr(const QString& title) {
    return title.isEmpty() ? QStringLiteral("Varnex") : title;
}

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget* parent) : m_parent(parent) {}

QtMessageBoxes::~QtMessageBoxes() = default;

void QtMessageBoxes::inform(MsgIcon icon, const QString& text, const QString& title) {
    // A box that was closed is on its way to deletion: it no longer counts as on screen.
    m_open.removeIf([](const QPointer<QMessageBox>& box) { return !box || !box->isVisible(); });
    for (const QPointer<QMessageBox>& box : std::as_const(m_open)) {
        if (box->text() == text) return;
    }
    auto* box = new QMessageBox(iconOf(icon), titleOr(title), text, QMessageBox::Ok, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_open.append(box);
    box->open();
}

bool QtMessageBoxes::askYesNo(MsgIcon icon, const QString& text, const QString& title) {
    QMessageBox box(iconOf(icon), titleOr(title), text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

int QtMessageBoxes::openCount() const {
    int n = 0;
    for (const QPointer<QMessageBox>& box : m_open) {
        if (box && box->isVisible()) ++n;
    }
    return n;
}

} // namespace platform
