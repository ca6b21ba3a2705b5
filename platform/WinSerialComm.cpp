#include "platform/WinSerialComm.h"
#include "platform/SystemSerial.h"

#include <QMetaObject>
#include <algorithm>

#include <windows.h>

namespace platform {

namespace {

QString SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = n ? QString::fromWCharArray(text, int(n)).trimmed()
                        : QStringLiteral("system error %1").arg(code);
    if (text) LocalFree(text);
    return message;
}

// COM10 and above are reached only through the device namespace; it serves every name.
std::wstring DevicePath(const QString& name) {
    const QString path =
        name.startsWith(QLatin1String("\\\\")) ? name : QLatin1String("\\\\.\\") + name;
    return path.toStdWString();
}

BYTE ParityCode(char parity) {
    switch (parity) {
    case 'o': return ODDPARITY;
    case 'e': return EVENPARITY;
    case 'm': return MARKPARITY;
    case 's': return SPACEPARITY;
    default: return NOPARITY;
    }
}

} // namespace

struct WinSerialComm::Device {
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED readOv{};
    OVERLAPPED writeOv{};
    QByteArray writing; // held until its overlapped write completes
    bool writePending = false;

    Device() {
        readOv.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        writeOv.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~Device() {
        close();
        CloseHandle(readOv.hEvent);
        CloseHandle(writeOv.hEvent);
    }
    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }
    void close() {
        if (!isOpen()) return;
        CancelIo(handle);
        if (writePending) {
            DWORD n = 0;
            GetOverlappedResult(handle, &writeOv, &n, TRUE);
            writePending = false;
        }
        CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        writing.clear();
    }
};

WinSerialComm::WinSerialComm(PortTable& ports, QObject* parent)
    : QObject(parent), m_ports(ports), m_device(std::make_unique<Device>()) {
    m_pollTimer.setTimerType(Qt::PreciseTimer);
    m_pollTimer.setInterval(PollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { poll(); });
}

WinSerialComm::~WinSerialComm() {
    closeNow();
}

bool WinSerialComm::setSettings(const QString& settings) {
    LineSettings line;
    if (!LineSettings::parse(settings, &line)) return false;
    if (m_device->isOpen() && !m_lost) {
        QString why;
        if (!applyLine(line, &why)) {
            m_lastError = why;
            return false;
        }
    }
    storeSettings(settings);
    return true;
}

bool WinSerialComm::portOpen() const {
    return m_device->isOpen() && !m_lost;
}

bool WinSerialComm::setPortOpen(bool open, QString* error) {
    closeNow();
    m_lost = false;
    if (!open) return true;
    return openNow(error);
}

void WinSerialComm::output(const QByteArray& data) {
    if (m_lost) tryReopen();
    if (!portOpen()) return;
    m_toWrite += data;
    startWrite();
}

void WinSerialComm::setReadBatchMs(int ms) {
    m_pollTimer.setInterval(std::max(PollMs, ms));
}

QByteArray WinSerialComm::takeBuffered(qint64 maxCount) {
    QByteArray data = m_buffer.left(maxCount);
    m_buffer.remove(0, data.size());
    return data;
}

void WinSerialComm::scheduleNotification() {
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

bool WinSerialComm::openNow(QString* error) {
    const QString name = m_ports.portName(commPort());
    const auto fail = [&](const QString& why) {
        m_lastError = why;
        if (error) *error = why;
        m_device->close();
        return false;
    };
    if (name.isEmpty()) return fail(QStringLiteral("no port %1").arg(commPort()));
    m_device->handle = CreateFileW(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (!m_device->isOpen()) return fail(SystemMessage(GetLastError()));
    LineSettings line;
    LineSettings::parse(settings(), &line);
    QString why;
    if (!applyLine(line, &why)) return fail(why);
    // Reads return at once with what has arrived; writes take as long as the line needs.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(m_device->handle, &timeouts) ||
        !PurgeComm(m_device->handle, PURGE_RXCLEAR | PURGE_TXCLEAR))
        return fail(SystemMessage(GetLastError()));
    m_lastError.clear();
    m_buffer.clear();
    m_pollTimer.start();
    return true;
}

void WinSerialComm::closeNow() {
    m_pollTimer.stop();
    m_device->close();
    m_toWrite.clear();
    m_buffer.clear();
    resetNotification();
}

bool WinSerialComm::applyLine(const LineSettings& line, QString* why) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(m_device->handle, &dcb)) {
        *why = SystemMessage(GetLastError());
        return false;
    }
    dcb.BaudRate = DWORD(line.baud);
    dcb.ByteSize = BYTE(line.dataBits);
    dcb.Parity = ParityCode(line.parity);
    dcb.StopBits = line.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = line.parity != 'n';
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(m_device->handle, &dcb)) {
        *why = QStringLiteral("the port refuses %1 baud, %2 data bits, parity %3: %4")
                   .arg(line.baud)
                   .arg(line.dataBits)
                   .arg(QString(QLatin1Char(line.parity)), SystemMessage(GetLastError()));
        return false;
    }
    return true;
}

void WinSerialComm::startWrite() {
    Device& d = *m_device;
    if (!d.isOpen() || d.writePending || m_toWrite.isEmpty()) return;
    d.writing.swap(m_toWrite);
    m_toWrite.clear();
    ResetEvent(d.writeOv.hEvent);
    if (WriteFile(d.handle, d.writing.constData(), DWORD(d.writing.size()), nullptr, &d.writeOv)) {
        d.writing.clear();
        return;
    }
    const DWORD code = GetLastError();
    if (code == ERROR_IO_PENDING)
        d.writePending = true;
    else
        markLost(SystemMessage(code));
}

void WinSerialComm::poll() {
    Device& d = *m_device;
    if (!d.isOpen() || m_lost) return;
    if (d.writePending) {
        DWORD n = 0;
        if (GetOverlappedResult(d.handle, &d.writeOv, &n, FALSE)) {
            d.writePending = false;
            d.writing.clear();
            startWrite();
        } else if (GetLastError() != ERROR_IO_INCOMPLETE) {
            d.writePending = false;
            markLost(SystemMessage(GetLastError()));
            return;
        }
    }
    DWORD errors = 0;
    COMSTAT status{};
    // An unplugged adapter fails every call on its handle from then on.
    if (!ClearCommError(d.handle, &errors, &status)) {
        markLost(SystemMessage(GetLastError()));
        return;
    }
    if (status.cbInQue == 0) return;
    QByteArray chunk(qsizetype(status.cbInQue), Qt::Uninitialized);
    DWORD got = 0;
    ResetEvent(d.readOv.hEvent);
    if (!ReadFile(d.handle, chunk.data(), status.cbInQue, &got, &d.readOv)) {
        if (GetLastError() != ERROR_IO_PENDING ||
            !GetOverlappedResult(d.handle, &d.readOv, &got, TRUE)) {
            markLost(SystemMessage(GetLastError()));
            return;
        }
    }
    if (got == 0) return;
    chunk.truncate(qsizetype(got));
    m_buffer += chunk;
    charactersArrived();
}

void WinSerialComm::markLost(const QString& why) {
    if (m_lost) return;
    m_lost = true;
    m_lastError = why;
    setCommEvent(CommEvError);
    m_sinceReopenTry.start();
    // Closed from the event loop: this may run inside the notification of the port's timer.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_lost) closeNow();
        },
        Qt::QueuedConnection);
    Q_EMIT lineLost();
}

void WinSerialComm::tryReopen() {
    if (m_sinceReopenTry.isValid() && m_sinceReopenTry.elapsed() < ReopenIntervalMs) return;
    m_sinceReopenTry.start();
    closeNow();
    if (!openNow(nullptr)) return;
    m_lost = false;
    Q_EMIT lineRestored();
}

std::unique_ptr<SerialComm> CreateSystemSerialComm(PortTable& ports) {
    return std::make_unique<WinSerialComm>(ports);
}

// The ports the system knows now, as Device Manager lists them: COM1, COM3, COM10 ...
QStringList PortTable::availablePorts() {
    QStringList names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t value[256];
        wchar_t data[256];
        DWORD valueLen = 256;
        DWORD dataLen = sizeof data;
        DWORD type = 0;
        const LONG r = RegEnumValueW(key, i, value, &valueLen, nullptr, &type,
                                     reinterpret_cast<BYTE*>(data), &dataLen);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        names << QString::fromWCharArray(data, int(dataLen / sizeof(wchar_t))).remove(QChar(0));
    }
    RegCloseKey(key);
    // In number order: COM2 before COM10.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

} // namespace platform
