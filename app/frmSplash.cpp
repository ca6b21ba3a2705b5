#include "app/frmSplash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStringList>

namespace app {

namespace {

const QString Title = QStringLiteral("Varnex");
const QString Tagline = QStringLiteral("Field-strength probe monitor");
constexpr QSize SplashSize(420, 240);

} // namespace

QString ProgramVersion() {
    // The build gives "major.minor[.patch[.tweak]]"; always show three numbers.
    QStringList parts = QStringLiteral(VARNEX_VERSION).split(u'.');
    while (parts.size() < 3)
        parts << QStringLiteral("0");
    return parts.mid(0, 3).join(u'.');
}

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(Title);
    setFixedSize(SplashSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::WaitCursor);

    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (where) move(where->availableGeometry().center() - rect().center());
}

QString frmSplash::VersionLine() {
    return QStringLiteral("Rev ") + ProgramVersion();
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF area = rect();

    QLinearGradient back(area.topLeft(), area.bottomRight());
    back.setColorAt(0.0, QColor(12, 36, 74));
    back.setColorAt(1.0, QColor(18, 96, 128));
    p.fillRect(area, back);

    // Field lines radiating from the lower right corner.
    p.setPen(QPen(QColor(255, 255, 255, 28), 2));
    const QPointF source = area.bottomRight() + QPointF(-40, -30);
    for (int r = 40; r <= 360; r += 40)
        p.drawEllipse(source, r, r);

    // A thin accent line under the title.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 184, 28));
    p.drawRect(QRectF(32, 122, 96, 3));

    QFont titleFont(QStringLiteral("Sans Serif"));
    titleFont.setPixelSize(64);
    titleFont.setBold(true);
    titleFont.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(titleFont);
    const QRectF titleBox(30, 36, area.width() - 60, 80);
    const int flags = Qt::AlignLeft | Qt::AlignBottom;
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(titleBox.translated(4, 4), flags, Title);
    p.setPen(Qt::white);
    p.drawText(titleBox, flags, Title);

    QFont small(QStringLiteral("Sans Serif"));
    small.setPixelSize(15);
    p.setFont(small);
    p.setPen(QColor(220, 232, 245));
    p.drawText(QRectF(32, 134, area.width() - 64, 24), Qt::AlignLeft | Qt::AlignVCenter, Tagline);

    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(QColor(180, 200, 222));
    p.drawText(QRectF(32, area.height() - 44, area.width() - 64, 24),
               Qt::AlignLeft | Qt::AlignVCenter, VersionLine());

    p.setPen(QColor(255, 255, 255, 60));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace app
