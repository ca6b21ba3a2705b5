#pragma once
// The About box: program version, and the connected probe's model; for the models that report
// them, its software revision, calibration date and serial number.
#include <QDialog>

class QLabel;

namespace app {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    struct ProbeInfo {
        QString model, softRev, calDate, serialNo;
    };
    frmAbout(const QString& title, const ProbeInfo& info, QWidget* parent = nullptr);
    // Models whose identity (revision, date, serial number) the About box shows.
    static bool ShowsIdentity(const QString& model);
};

} // namespace app
