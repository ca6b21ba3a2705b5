#pragma once
// The port dialog "Select a Comm Port": five port numbers, each with the system port standing
// behind it, which the user may change; the ports the system has are offered in a list.
// Choosing a number sets the main window's port number at once; "Continue" closes the dialog.
#include "platform/PortTable.h"

#include <QDialog>
#include <array>
#include <functional>

class QRadioButton;
class QComboBox;
class QPushButton;

namespace window {

class frmPort : public QDialog {
    Q_OBJECT
public:
    // portNo is the number in use; onChoose receives every number the user picks.
    frmPort(platform::PortTable& ports, int portNo, std::function<void(int)> onChoose,
            QWidget* parent = nullptr);

    QRadioButton* option(int portNo) const;
    QComboBox* portNameBox(int portNo) const;
    QPushButton* continueButton() const { return m_continue; }

private:
    platform::PortTable& m_ports;
    std::function<void(int)> m_onChoose;
    std::array<QRadioButton*, 6> m_options{};
    std::array<QComboBox*, 6> m_names{};
    QPushButton* m_continue = nullptr;
};

} // namespace window
