#include "window/LimitsTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace window {

namespace {

const QString NoneText = QStringLiteral("None");

template <typename W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// "ICNIRP 2020, general public" for a key of the list.
QString StandardText(const QString& key) {
    measure::LimitChoice choice;
    measure::SetLimitKey(key, choice);
    choice.mostRestrictive = true;
    return measure::LimitName(choice).section(QStringLiteral(", most restrictive"), 0, 0);
}

void Mark(QLineEdit* field, bool good, const QString& why) {
    field->setStyleSheet(good ? QString() : QStringLiteral("border: 2px solid #e03030;"));
    field->setToolTip(good ? QString() : why);
}

// A share of the limit typed in a field, within lo..hi; otherwise the value in force.
double Percent(QLineEdit* field, double lo, double hi, double inForce) {
    bool ok = false;
    const double v = field->text().trimmed().toDouble(&ok);
    const bool good = ok && v >= lo && v <= hi;
    Mark(field, good,
         QStringLiteral("Not a number from %1 to %2: %3 stays in force.")
             .arg(lo)
             .arg(hi)
             .arg(inForce));
    return good ? v : inForce;
}

QComboBox* BasisList(const char* name) {
    auto* box = Named(new QComboBox, name);
    box->addItems({QStringLiteral("Instantaneous"), QStringLiteral("Averaged")});
    return box;
}

} // namespace

LimitsTab::LimitsTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LimitsTab"));
    auto* grid = new QGridLayout(this);
    CmbLimitStandard = Named(new QComboBox, "CmbLimitStandard");
    CmbLimitStandard->addItem(NoneText, QString());
    for (const QString& key : measure::LimitKeys())
        CmbLimitStandard->addItem(StandardText(key), key);
    grid->addWidget(new QLabel(QStringLiteral("Standard")), 0, 0);
    grid->addWidget(CmbLimitStandard, 0, 1, 1, 2);
    TxtFrequency = Named(new QLineEdit, "TxtFrequency");
    TxtFrequency->setPlaceholderText(QStringLiteral("900 MHz"));
    grid->addWidget(new QLabel(QStringLiteral("Frequency of the source")), 1, 0);
    grid->addWidget(TxtFrequency, 1, 1, 1, 2);
    ChkFrequencyUnknown = Named(
        new QCheckBox(QStringLiteral("Not known: the most restrictive level over 0.1 MHz - 6 GHz")),
        "ChkFrequencyUnknown");
    grid->addWidget(ChkFrequencyUnknown, 2, 0, 1, 3);

    auto* levels = Named(new QGroupBox(QStringLiteral("Levels (% of limit)")), "FraLevels");
    auto* l = new QGridLayout(levels);
    TxtWarning = Named(new QLineEdit, "TxtWarning");
    TxtAlarm = Named(new QLineEdit, "TxtAlarm");
    CmbWarningBasis = BasisList("CmbWarningBasis");
    CmbAlarmBasis = BasisList("CmbAlarmBasis");
    l->addWidget(new QLabel(QStringLiteral("Warning")), 0, 0);
    l->addWidget(TxtWarning, 0, 1);
    l->addWidget(CmbWarningBasis, 0, 2);
    l->addWidget(new QLabel(QStringLiteral("Alarm")), 1, 0);
    l->addWidget(TxtAlarm, 1, 1);
    l->addWidget(CmbAlarmBasis, 1, 2);
    TxtHysteresis = Named(new QLineEdit, "TxtHysteresis");
    l->addWidget(new QLabel(QStringLiteral("Clears below the level less")), 2, 0);
    l->addWidget(TxtHysteresis, 2, 1);
    l->addWidget(new QLabel(QStringLiteral("points")), 2, 2);
    ChkLatch =
        Named(new QCheckBox(QStringLiteral("Keep a level shown until acknowledged")), "ChkLatch");
    l->addWidget(ChkLatch, 3, 0, 1, 3);
    grid->addWidget(levels, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);

    connect(CmbLimitStandard, &QComboBox::currentIndexChanged, this, [this] { enableFields(); });
    connect(ChkFrequencyUnknown, &QCheckBox::toggled, this, [this] { enableFields(); });
}

void LimitsTab::Show(const files::LimitSettings& s) {
    const QString key =
        s.on ? measure::LimitKey(s.choice.standard, s.choice.population) : QString();
    CmbLimitStandard->setCurrentIndex(std::max(0, CmbLimitStandard->findData(key)));
    ChkFrequencyUnknown->setChecked(s.choice.mostRestrictive);
    TxtFrequency->setText(measure::FrequencyText(s.choice.frequencyMHz));
    TxtWarning->setText(QString::number(s.levels.warningPercent));
    TxtAlarm->setText(QString::number(s.levels.alarmPercent));
    TxtHysteresis->setText(QString::number(s.levels.hysteresis));
    CmbWarningBasis->setCurrentIndex(s.levels.warningBasis == measure::LevelBasis::Averaged);
    CmbAlarmBasis->setCurrentIndex(s.levels.alarmBasis == measure::LevelBasis::Averaged);
    ChkLatch->setChecked(s.levels.latch);
    for (QLineEdit* field : {TxtFrequency, TxtWarning, TxtAlarm, TxtHysteresis})
        Mark(field, true, QString());
    enableFields();
}

files::LimitSettings LimitsTab::Settings(const files::LimitSettings& inForce) const {
    files::LimitSettings s = inForce;
    const QString key = CmbLimitStandard->currentData().toString();
    s.on = !key.isEmpty();
    if (s.on) measure::SetLimitKey(key, s.choice);
    s.choice.mostRestrictive = ChkFrequencyUnknown->isChecked();
    if (!s.choice.mostRestrictive) {
        const std::optional<double> mhz = measure::ParseFrequency(TxtFrequency->text());
        const QString kept = inForce.choice.mostRestrictive
                                 ? QStringLiteral("the frequency not known")
                                 : measure::FrequencyText(inForce.choice.frequencyMHz);
        Mark(TxtFrequency, mhz.has_value(),
             QStringLiteral("Not a frequency (\"900 MHz\", \"2.45 GHz\", \"150 kHz\"): %1 stays "
                            "in force.")
                 .arg(kept));
        if (mhz)
            s.choice.frequencyMHz = *mhz;
        else
            s.choice = {s.choice.standard, s.choice.population, inForce.choice.frequencyMHz,
                        inForce.choice.mostRestrictive};
    }
    measure::LevelSettings& l = s.levels;
    l.warningPercent = Percent(TxtWarning, 1, 10000, l.warningPercent);
    l.alarmPercent = Percent(TxtAlarm, 1, 10000, l.alarmPercent);
    l.hysteresis = Percent(TxtHysteresis, 0, 100, l.hysteresis);
    l.warningBasis = CmbWarningBasis->currentIndex() == 1 ? measure::LevelBasis::Averaged
                                                          : measure::LevelBasis::Instantaneous;
    l.alarmBasis = CmbAlarmBasis->currentIndex() == 1 ? measure::LevelBasis::Averaged
                                                      : measure::LevelBasis::Instantaneous;
    l.latch = ChkLatch->isChecked();
    return s;
}

void LimitsTab::enableFields() {
    const bool on = CmbLimitStandard->currentIndex() > 0;
    ChkFrequencyUnknown->setEnabled(on);
    TxtFrequency->setEnabled(on && !ChkFrequencyUnknown->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{TxtWarning, TxtAlarm, TxtHysteresis,
                                                      CmbWarningBasis, CmbAlarmBasis, ChkLatch})
        w->setEnabled(on);
}

} // namespace window
