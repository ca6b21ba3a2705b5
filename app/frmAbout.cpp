#include "app/frmAbout.h"

#include "app/frmSplash.h"
#include "platform/Controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

namespace {

// Room the title label keeps at its right for the mark, which starts there.
constexpr double MarkOffsetTwips = 475;

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLabel* valueLabel(const char* name, const QString& text, QWidget* parent) {
    QLabel* label = namedLabel(name, text, parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

bool frmAbout::ShowsIdentity(const QString& model) {
    static const QStringList models = {QStringLiteral("PX-9120"), QStringLiteral("PX-9130"),
                                       QStringLiteral("E310"), QStringLiteral("H420"),
                                       QStringLiteral("PX-9100")};
    return models.contains(model);
}

frmAbout::frmAbout(const QString& title, const ProbeInfo& info, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + title);

    // The title with its mark, placed by hand: the mark sits at the title's left edge plus its
    // width less MarkOffsetTwips.
    auto* titleRow = new QWidget(this);
    QLabel* lblTitle = namedLabel("lblTitle", title, titleRow);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.4);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblTitle->setStyleSheet(QStringLiteral("color: #0c244a;"));
    const int markRoom = platform::ToPixels(lblTitle, MarkOffsetTwips);
    lblTitle->setGeometry(0, 0, lblTitle->sizeHint().width() + markRoom,
                          lblTitle->sizeHint().height());
    QLabel* Label5 = namedLabel("Label5", QStringLiteral("\u2122"), titleRow);
    QFont markFont = Label5->font();
    markFont.setPointSizeF(markFont.pointSizeF() * 1.1);
    Label5->setFont(markFont);
    Label5->adjustSize();
    Label5->move(lblTitle->x() + lblTitle->width() - markRoom,
                 lblTitle->y() + lblTitle->height() / 6);
    titleRow->setFixedSize(std::max(lblTitle->geometry().right(), Label5->geometry().right()) + 1,
                           lblTitle->height());

    QLabel* lblVersion =
        namedLabel("lblVersion", QStringLiteral("Version ") + ProgramVersion(), this);
    QLabel* tagline = new QLabel(QStringLiteral("Field-strength probe monitor"), this);
    QFont taglineFont = tagline->font();
    taglineFont.setItalic(true);
    tagline->setFont(taglineFont);

    auto* Frame1 = new QGroupBox(QStringLiteral("Connected probe"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    const bool identity = ShowsIdentity(info.model);
    auto* grid = new QGridLayout(Frame1);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(16);
    const auto addRow = [&](int row, const char* captionName, const QString& caption,
                            const char* valueName, const QString& value) {
        grid->addWidget(namedLabel(captionName, caption, Frame1), row, 0);
        grid->addWidget(valueLabel(valueName, value, Frame1), row, 1);
    };
    addRow(0, "Label4", QStringLiteral("Model:"), "LabModel", info.model);
    addRow(1, "Label1", QStringLiteral("Software revision:"), "LabProbeSoftRev",
           identity ? info.softRev : QString());
    addRow(2, "Label2", QStringLiteral("Calibration date:"), "LabProbeCalDate",
           identity ? info.calDate : QString());
    addRow(3, "Label3", QStringLiteral("Serial number:"), "LabProbeSerialNo",
           identity ? info.serialNo : QString());
    if (!identity) {
        // Other models report no identity: only the model line stays, and the frame closes up.
        for (const char* name : {"Label1", "Label2", "Label3", "LabProbeSoftRev", "LabProbeCalDate",
                                 "LabProbeSerialNo"})
            Frame1->findChild<QLabel*>(QLatin1String(name))->hide();
    }

    QLabel* Label6 = namedLabel(
        "Label6",
        QStringLiteral("Reads isotropic field-strength probes over a serial or fibre-optic "
                       "link and shows, averages and logs their readings."),
        this);
    Label6->setWordWrap(true);
    Label6->setStyleSheet(QStringLiteral("color: #5f6b7a;"));

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(titleRow);
    layout->addWidget(tagline);
    layout->addWidget(lblVersion);
    layout->addSpacing(10);
    layout->addWidget(Frame1);
    layout->addWidget(Label6);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    Frame1->setMinimumWidth(360);
    Label6->setFixedWidth(360);
}

} // namespace app
