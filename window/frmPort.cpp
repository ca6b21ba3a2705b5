#include "window/frmPort.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace window {

frmPort::frmPort(platform::PortTable& ports, int portNo, std::function<void(int)> onChoose,
                 QWidget* parent)
    : QDialog(parent), m_ports(ports), m_onChoose(std::move(onChoose)) {
    setObjectName(QStringLiteral("frmPort"));
    setWindowTitle(QStringLiteral("Select a Comm Port"));

    auto* intro = new QLabel(
        QStringLiteral("Choose the port the probe is connected to. Beside each number is the "
                       "system port it stands for; pick another from the list or type its name."),
        this);
    intro->setWordWrap(true);

    auto* frame = new QGroupBox(QStringLiteral("Port Number"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(12);

    const QStringList available = platform::PortTable::availablePorts();
    for (int n = 1; n <= platform::PortTable::PortCount; ++n) {
        auto* option = new QRadioButton(QStringLiteral("Comm%1").arg(n), frame);
        option->setObjectName(QStringLiteral("optPort%1").arg(n));
        option->setChecked(n == portNo);
        connect(option, &QRadioButton::clicked, this, [this, n] {
            if (m_onChoose) m_onChoose(n);
        });

        auto* name = new QComboBox(frame);
        name->setObjectName(QStringLiteral("cmbPortName%1").arg(n));
        name->setEditable(true);
        name->setInsertPolicy(QComboBox::NoInsert);
        name->setMinimumContentsLength(16);
        name->addItems(available);
        name->setCurrentText(m_ports.portName(n));
        if (m_ports.hasRunOverride(n)) {
            // Named on the command line: the stored name comes back with the next run.
            name->setEnabled(false);
            name->setToolTip(QStringLiteral("Given on the command line for this run"));
        } else {
            name->setToolTip(QStringLiteral("The system port behind Comm%1").arg(n));
        }
        connect(name, &QComboBox::currentTextChanged, this, [this, n](const QString& text) {
            const QString trimmed = text.trimmed();
            if (!trimmed.isEmpty() && !m_ports.hasRunOverride(n) && trimmed != m_ports.portName(n))
                m_ports.setPortName(n, trimmed);
        });

        grid->addWidget(option, n - 1, 0);
        grid->addWidget(name, n - 1, 1);
        m_options[n] = option;
        m_names[n] = name;
    }

    m_continue = new QPushButton(QStringLiteral("Continue"), this);
    m_continue->setObjectName(QStringLiteral("cmdContinue"));
    m_continue->setDefault(true);
    connect(m_continue, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_continue);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    adjustSize();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect placed = frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
}

QRadioButton* frmPort::option(int portNo) const {
    return portNo >= 1 && portNo <= platform::PortTable::PortCount ? m_options[portNo] : nullptr;
}

QComboBox* frmPort::portNameBox(int portNo) const {
    return portNo >= 1 && portNo <= platform::PortTable::PortCount ? m_names[portNo] : nullptr;
}

} // namespace window
