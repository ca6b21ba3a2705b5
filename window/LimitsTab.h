#pragma once
// The "Limits" page of the options: the standard and population (or none), the frequency of the
// source or "not known", and the warning and alarm levels with the value each watches, the
// hysteresis and the latch. Numbers typed are checked as the other pages check theirs: one
// that is not understood keeps the value in force and its field says so.
#include "files/LimitSettings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace window {

class LimitsTab : public QWidget {
public:
    explicit LimitsTab(QWidget* parent = nullptr);

    // The fields from the settings in force.
    void Show(const files::LimitSettings& settings);
    // The settings the fields hold, on those in force; a number not understood keeps its value
    // in force (and its field is marked).
    files::LimitSettings Settings(const files::LimitSettings& inForce) const;

    QComboBox* CmbLimitStandard;
    QCheckBox* ChkFrequencyUnknown;
    QLineEdit* TxtFrequency;
    QLineEdit* TxtWarning;
    QComboBox* CmbWarningBasis;
    QLineEdit* TxtAlarm;
    QComboBox* CmbAlarmBasis;
    QLineEdit* TxtHysteresis;
    QCheckBox* ChkLatch;

private:
    void enableFields();
};

} // namespace window
