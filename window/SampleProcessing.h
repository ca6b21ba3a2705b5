#pragma once
// Every complete reply ends here: ProcessData dispatches it by protocol state, the Sigma and
// Kappa replies go through the session's parser (ProcessSigmaFormat) and the readouts, graphs,
// sample count and log table follow (UpdateVMSigma). Zeta replies are read here and their
// samples turned into field strength by measure::ClsZeta (ProcessZetaFormat, UpdateVM; in
// SampleProcessingZeta.cpp). ClearDisplay blanks the window when the probe is lost;
// UpDateAxis colours the axis switches.
#include "platform/DrawSurface.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace app {
class frmMain;
}

namespace window {

class SampleProcessing {
public:
    explicit SampleProcessing(app::frmMain& main);

    void ProcessData();
    void ProcessSigmaFormat();
    void UpdateVMSigma();
    void ProcessZetaFormat();
    void UpdateVM();
    void UpDateAxis();
    void ClearDisplay();
    // Shows (true) or hides the per-axis readouts; returns what it applied ("True"/"False").
    QString AllAxisDisplayed();
    void ChanColorIndicator();

    // Battery percent of a field-reporting probe from its reported volts (clamped to 0..100).
    static int BatteryPercentOf(float volts, int protocolState, const QString& model);
    // The temperature readout: the value, a blank, the degree sign and C or F.
    static QString TemperatureText(float value, bool celsius);
    static QString TemperatureText(const QString& value, bool celsius);

    QString AxisStatus;
    platform::Colour AxisOnColor = 0xFFFF00;
    int ZetaFamily = 0;
    int BatteryPercent = 0; // last Zeta battery reading
    // Zeta samples shorter than a whole sample: counted, never read as a reading.
    int ShortSamples = 0;
    int LayoutPending = 0;

    // Colour of a disabled axis switch (light grey of the 16-colour palette).
    static constexpr platform::Colour AxisOffColor = 0xC0C0C0;

private:
    void unitsChanged();
    void rangeReported(const QByteArray& reply);
    void batteryReported();
    void uncheckRanges();
    void zetaIdentified(const QByteArray& reply);
    void storeRecord(float total, float x, float y, float z, const std::array<float, 4>& holds);
    app::frmMain& m_main;
};

} // namespace window
