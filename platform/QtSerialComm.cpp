#include "platform/QtSerialComm.h"
#include "platform/SystemSerial.h"

#include <QSerialPortInfo>

#include <QFileInfo>
#include <QMetaObject>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

namespace platform {

namespace {

#ifdef Q_OS_UNIX
QString devicePath(const QString& name) {
    return name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
}

// The termios speed code of a standard rate; 0 when the rate has none.
speed_t speedCode(int baud) {
    switch (baud) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return 0;
    }
}
#endif

// Unix98 pseudo-terminal slaves have the character-device majors 136..143 on Linux; the
// resolved path under /dev/pts/ covers links to them and other Unix systems.
bool isPseudoTerminal([[maybe_unused]] const QSerialPort& port,
                      [[maybe_unused]] const QString& name) {
#ifdef Q_OS_LINUX
    struct stat st;
    if (port.handle() >= 0 && ::fstat(port.handle(), &st) == 0 && S_ISCHR(st.st_mode)) {
        const unsigned int devMajor = major(st.st_rdev);
        if (devMajor >= 136 && devMajor <= 143) return true;
    }
#endif
#ifdef Q_OS_UNIX
    const QString resolved = QFileInfo(devicePath(name)).canonicalFilePath();
    if (resolved.startsWith(QLatin1String("/dev/pts/"))) return true;
#endif
    return false;
}

QSerialPort::DataBits dataBitsOf(int bits) {
    switch (bits) {
    case 5: return QSerialPort::Data5;
    case 6: return QSerialPort::Data6;
    case 7: return QSerialPort::Data7;
    default: return QSerialPort::Data8;
    }
}

QSerialPort::Parity parityOf(char letter) {
    switch (letter) {
    case 'o': return QSerialPort::OddParity;
    case 'e': return QSerialPort::EvenParity;
    case 'm': return QSerialPort::MarkParity;
    case 's': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

void setReason(QString* out, const QString& text) {
    if (out) *out = text;
}

} // namespace

QtSerialComm::QtSerialComm(PortTable& ports, QObject* parent) : QObject(parent), m_ports(ports) {
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        // The port read by itself while batching: its characters follow the batch.
        if (m_batching) endBatching();
        arrived();
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialComm::onPortError);
    connect(&m_batchTimer, &QTimer::timeout, this, [this] { readBatch(); });
}

QtSerialComm::~QtSerialComm() {
    closeNow();
}

bool QtSerialComm::setSettings(const QString& settings) {
    LineSettings line;
    if (!LineSettings::parse(settings, &line)) {
        m_lastError = tr("\"%1\" is not a valid port setting.").arg(settings);
        return false;
    }
    if (m_port.isOpen() && !m_lost) {
        QString why;
        if (!applyLine(line, &why)) {
            // Put back what the port had before.
            LineSettings previous;
            if (LineSettings::parse(this->settings(), &previous)) applyLine(previous, nullptr);
            m_lastError = tr("The port refused the settings %1: %2").arg(settings, why);
            return false;
        }
    }
    storeSettings(settings);
    m_lastError.clear();
    return true;
}

bool QtSerialComm::portOpen() const {
    return m_port.isOpen() && !m_lost;
}

bool QtSerialComm::setPortOpen(bool open, QString* error) {
    m_lost = false;
    closeNow();
    if (!open) return true;
    return openNow(error);
}

void QtSerialComm::output(const QByteArray& data) {
    if (m_lost) tryReopen();
    if (!portOpen()) return;
    m_port.write(data);
    // Hands as much as the driver takes to it now, without waiting.
    m_port.flush();
}

qint64 QtSerialComm::bufferedCount() const {
    const qint64 port = m_port.isOpen() && !m_batching ? m_port.bytesAvailable() : 0;
    return m_batched.size() + port;
}

// The batch first: it came before anything the port holds.
QByteArray QtSerialComm::takeBuffered(qint64 maxCount) {
    QByteArray data = m_batched.left(maxCount);
    m_batched.remove(0, data.size());
    if (data.size() < maxCount && m_port.isOpen() && !m_batching)
        data += m_port.read(maxCount - data.size());
    return data;
}

// ---- reading in batches ---------------------------------------------------------------------

QSocketNotifier* QtSerialComm::readNotifier() const {
    for (QSocketNotifier* n : m_port.findChildren<QSocketNotifier*>())
        if (n->type() == QSocketNotifier::Read && n->socket() == m_port.handle()) return n;
    return nullptr;
}

void QtSerialComm::setReadBatchMs(int ms) {
#ifdef Q_OS_UNIX
    if (ms <= 0) {
        endBatching();
        return;
    }
    if (m_batching) {
        m_batchTimer.setInterval(ms);
        return;
    }
    QSocketNotifier* notifier = portOpen() ? readNotifier() : nullptr;
    if (!notifier) return;
    m_batched += m_port.readAll(); // what the port holds comes first
    notifier->setEnabled(false);
    m_batching = true;
    m_batchTimer.start(ms);
#else
    static_cast<void>(ms);
#endif
}

void QtSerialComm::takeWaiting() {
    if (!m_port.isOpen()) return;
    if (m_batching)
        readBatch();
    else
        m_port.waitForReadyRead(0);
}

void QtSerialComm::readBatch() {
#ifdef Q_OS_UNIX
    const int fd = int(m_port.handle());
    const qsizetype before = m_batched.size();
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n > 0) {
            m_batched.append(chunk, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // Nothing more now (a terminal read without a minimum count ends at once). A device
        // that hung up or failed is left to the port's own reading, which tells.
        if ((n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) || deviceHungUp()) endBatching();
        break;
    }
    if (m_batched.size() != before) arrived();
#endif
}

// The port reads by itself again, after what was batched.
void QtSerialComm::endBatching() {
    if (!m_batching) return;
    m_batchTimer.stop();
    m_batching = false;
    m_batched += m_port.readAll(); // this also has the port watch the device again
    if (QSocketNotifier* notifier = readNotifier()) notifier->setEnabled(true);
    if (!m_batched.isEmpty()) arrived();
}

// Characters arriving are already outside any handler's call chain: a notification they
// complete is raised here, without another round through the event loop.
void QtSerialComm::arrived() {
    m_arriving = true;
    charactersArrived();
    m_arriving = false;
}

void QtSerialComm::scheduleNotification() {
    if (m_arriving) {
        m_arriving = false; // a handler still running reschedules through the event loop
        deliverNotification();
        return;
    }
    if (m_notifyQueued) return;
    m_notifyQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_notifyQueued = false;
            deliverNotification();
        },
        Qt::QueuedConnection);
}

bool QtSerialComm::openNow(QString* error) {
    const int portNo = commPort();
    const QString name = m_ports.portName(portNo);
    if (name.isEmpty()) {
        m_lastError = tr("There is no port %1; the ports are numbered 1 to %2.")
                          .arg(portNo)
                          .arg(PortTable::PortCount);
        setReason(error, m_lastError);
        return false;
    }
    LineSettings line;
    if (!LineSettings::parse(settings(), &line)) line = LineSettings();

    m_port.setPortName(name);
    m_port.clearError();
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_lastError = tr("Port %1 (%2) cannot be opened: %3")
                          .arg(QString::number(portNo), name, m_port.errorString());
        m_port.clearError();
        setReason(error, m_lastError);
        return false;
    }
    m_pty = isPseudoTerminal(m_port, name);
    QString why;
    if (!applyLine(line, &why)) {
        closeNow();
        m_lastError = tr("Port %1 (%2) refused the settings %3: %4")
                          .arg(QString::number(portNo), name, settings(), why);
        setReason(error, m_lastError);
        return false;
    }
    m_lastError.clear();
    setReason(error, QString());
    return true;
}

void QtSerialComm::closeNow() {
    m_batchTimer.stop();
    m_batching = false;
    m_batched.clear();
    if (m_port.isOpen()) m_port.close();
    m_port.clearError();
    m_pty = false;
    resetNotification();
}

bool QtSerialComm::applyLine(const LineSettings& line, QString* why) {
    // Every setter leaves its error in the port until it is cleared; a refusal that is
    // accepted must not show up as the reason of a later failure.
    m_port.clearError();
    if (!m_port.setBaudRate(line.baud) && !(m_pty && speedInEffect(line.baud))) {
        setReason(why, m_port.errorString());
        return false;
    }
    m_port.clearError();
    // A pseudo-terminal keeps 8 data bits and no parity; the kernel refuses nothing else.
    if (!m_port.setDataBits(dataBitsOf(line.dataBits)) && !m_pty) {
        setReason(why, m_port.errorString());
        return false;
    }
    m_port.clearError();
    if (!m_port.setParity(parityOf(line.parity)) && !m_pty) {
        setReason(why, m_port.errorString());
        return false;
    }
    m_port.clearError();
    const auto stop = line.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop;
    if (!m_port.setStopBits(stop) || !m_port.setFlowControl(QSerialPort::NoFlowControl)) {
        setReason(why, m_port.errorString());
        return false;
    }
    m_port.clearError();
    if (!checkParity() && !m_pty) {
        setReason(why, tr("the driver does not check parity"));
        return false;
    }
    return true;
}

// A character that arrives with a parity or framing error is handed on as the character 0,
// which no reply holds, instead of passing for a good one.
bool QtSerialComm::checkParity() {
#ifdef Q_OS_UNIX
    termios tio;
    if (::tcgetattr(m_port.handle(), &tio) != 0) return false;
    tio.c_iflag |= INPCK;
    tio.c_iflag &= ~tcflag_t(IGNPAR | PARMRK);
    return ::tcsetattr(m_port.handle(), TCSANOW, &tio) == 0;
#else
    return true;
#endif
}

// Whether the device runs at baud now, whatever the setter reported (a pseudo-terminal can
// refuse a request as a whole and still take the speed it carried).
bool QtSerialComm::speedInEffect([[maybe_unused]] int baud) const {
#ifdef Q_OS_UNIX
    const speed_t code = speedCode(baud);
    termios tio;
    if (code == 0 || ::tcgetattr(m_port.handle(), &tio) != 0) return false;
    return cfgetospeed(&tio) == code;
#else
    return false;
#endif
}

// Whether the open device reports a hang-up or an error condition (on systems that cannot
// tell, any read error is taken as one).
bool QtSerialComm::deviceHungUp() const {
#ifdef Q_OS_UNIX
    pollfd pfd{m_port.handle(), POLLIN, 0};
    if (::poll(&pfd, 1, 0) < 0) return false;
    return (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return true;
#endif
}

void QtSerialComm::onPortError(QSerialPort::SerialPortError code) {
    // A refused setting is reported by the setter itself. The device going away shows as a
    // resource error, or (a hung-up terminal, whose reads end at once) as a read error that
    // repeats for as long as the port stays open; a read error on a device that is still
    // there is left to pass.
    if (code != QSerialPort::ResourceError && code != QSerialPort::ReadError) return;
    if (m_lost || !m_port.isOpen()) return;
    if (code == QSerialPort::ReadError && !deviceHungUp()) return;
    m_lost = true;
    setCommEvent(CommEvError);
    m_lastError = m_port.errorString();
    m_sinceReopenTry.start();
    // Closed from the event loop: the port is in the middle of its own notification here.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_lost) closeNow();
        },
        Qt::QueuedConnection);
    Q_EMIT lineLost();
}

void QtSerialComm::tryReopen() {
    if (m_sinceReopenTry.isValid() && m_sinceReopenTry.elapsed() < ReopenIntervalMs) return;
    m_sinceReopenTry.start();
    closeNow();
    if (!openNow(nullptr)) return;
    m_lost = false;
    Q_EMIT lineRestored();
}

std::unique_ptr<SerialComm> CreateSystemSerialComm(PortTable& ports) {
    return std::make_unique<QtSerialComm>(ports);
}

QStringList PortTable::availablePorts() {
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        names << info.systemLocation();
    names.sort();
    return names;
}

} // namespace platform
