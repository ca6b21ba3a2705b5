#include "platform/PtyProbeLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

int BaudOf(speed_t speed) {
    switch (speed) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

} // namespace

PtyProbeLine::PtyProbeLine(const QString& linkPath)
    : m_linkPath(
          linkPath.isEmpty()
              ? QDir::temp().filePath(
                    QStringLiteral("varnex-probe-%1").arg(QCoreApplication::applicationPid()))
              : linkPath) {}

PtyProbeLine::~PtyProbeLine() {
    close();
}

bool PtyProbeLine::open(QString* error) {
    if (isOpen()) return true;
    const auto fail = [&](const QString& why) {
        if (error) *error = why;
        closeTerminal();
        return false;
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return fail(QStringLiteral("cannot create a pseudo-terminal: %1")
                        .arg(QString::fromLocal8Bit(strerror(errno))));
    const char* name = ptsname(m_master);
    if (!name) return fail(QStringLiteral("the pseudo-terminal has no name"));
    m_deviceName = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slave < 0) return fail(QStringLiteral("cannot open %1").arg(m_deviceName));
    termios t{};
    if (tcgetattr(m_slave, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        tcsetattr(m_slave, TCSANOW, &t);
    }
    QFile::remove(m_linkPath);
    if (!QFile::link(m_deviceName, m_linkPath))
        return fail(QStringLiteral("cannot create the link %1").arg(m_linkPath));
    m_readNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    QObject::connect(m_readNotifier.get(), &QSocketNotifier::activated, [this] { readable(); });
    m_writeNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    QObject::connect(m_writeNotifier.get(), &QSocketNotifier::activated, [this] { writable(); });
    return true;
}

void PtyProbeLine::closeTerminal() {
    m_readNotifier.reset();
    m_writeNotifier.reset();
    if (m_master >= 0) ::close(m_master);
    if (m_slave >= 0) ::close(m_slave);
    m_master = m_slave = -1;
}

void PtyProbeLine::close() {
    const bool wasOpen = isOpen();
    closeTerminal();
    if (wasOpen) QFile::remove(m_linkPath);
}

QByteArray PtyProbeLine::readAll() {
    QByteArray input;
    char buffer[512];
    for (;;) {
        const ssize_t n = m_master >= 0 ? ::read(m_master, buffer, sizeof buffer) : -1;
        if (n <= 0) break;
        input.append(buffer, n);
    }
    return input;
}

qint64 PtyProbeLine::write(const QByteArray& data) {
    qint64 done = 0;
    while (m_master >= 0 && done < data.size()) {
        const ssize_t n = ::write(m_master, data.constData() + done, size_t(data.size() - done));
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int PtyProbeLine::hostBaud() const {
    termios t{};
    if (m_slave < 0 || tcgetattr(m_slave, &t) != 0) return 0;
    return BaudOf(cfgetospeed(&t));
}

qint64 PtyProbeLine::unreadByHost() const {
    int onLine = 0;
    if (m_slave >= 0 && ::ioctl(m_slave, FIONREAD, &onLine) == 0) return onLine;
    return 0;
}

void PtyProbeLine::watchWritable(bool watch) {
    if (m_writeNotifier) m_writeNotifier->setEnabled(watch);
}

} // namespace platform
