#include "window/Recorder.h"

namespace window {

Recorder::Recorder(const RecordControls& controls, measure::RecordTable& records)
    : m_ui(controls), m_records(records) {}

void Recorder::TakeReading(const measure::Reading& reading) {
    if (m_records.Recording() != measure::RecordTable::Logging || !reading.completesSample) return;
    if (m_records.Append(reading)) StopRecording();
}

void Recorder::StopRecording() {
    m_ui.mnuProbeRecordPause->setEnabled(false);
    m_ui.mnuProbeRecordPause->setChecked(false);
    m_records.SetRecording(measure::RecordTable::Idle);
    m_ui.mnuProbeRecord->setChecked(false);
    RecordIndicator(Indicator::Stop);
}

void Recorder::RecordIndicator(Indicator shown) {
    struct Look {
        const char* caption;
        platform::Colour captionColour, fill;
    };
    static const Look looks[] = {
        {"Log", 0xFFFFFF, 255},      // Log: white on red
        {" Pause", 0, 65535},        // Pause: black on yellow
        {"Log", 0xFFFFFF, 0x808080}, // Stop: white on grey
        {"Play", 0, 0xFFFF00},       // Play: black on cyan
    };
    const Look& look = looks[int(shown)];
    m_ui.LabRecord->setText(QString::fromLatin1(look.caption));
    platform::SetForeColor(m_ui.LabRecord, look.captionColour);
    m_ui.ShapeRecordInd->setFillColor(look.fill);
}

void Recorder::ShowRecordCount() {
    m_ui.LabRecordCnt->setText(QString::number(m_records.RecordCount()));
}

} // namespace window
