#include "platform/System.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QPointer>
#include <cstdio>

#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#include <io.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>
#else
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif
#endif

namespace platform {

namespace {
QPointer<StopRequests> g_stopRequests;
} // namespace

#ifdef Q_OS_WIN

bool SyncToDisk(QFileDevice& file) {
    const int fd = file.handle();
    if (fd < 0) return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool StderrIsTerminal() {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (err == INVALID_HANDLE_VALUE || !GetConsoleMode(err, &mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool EndWithParent() {
    // Windows keeps no parent link: the starter is found in the process list and watched.
    const DWORD self = GetCurrentProcessId();
    DWORD parentId = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self) {
            parentId = entry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    const HANDLE parent = parentId ? OpenProcess(SYNCHRONIZE, FALSE, parentId) : nullptr;
    if (!parent) return false;
    if (WaitForSingleObject(parent, 0) == WAIT_OBJECT_0) {
        CloseHandle(parent);
        return false;
    }
    auto* notifier = new QWinEventNotifier(parent, QCoreApplication::instance());
    QObject::connect(notifier, &QWinEventNotifier::activated, [] { QCoreApplication::exit(1); });
    return true;
}

namespace {
BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        if (StopRequests* s = g_stopRequests.data())
            QMetaObject::invokeMethod(s, "arrived", Qt::QueuedConnection);
        return TRUE;
    default: return FALSE;
    }
}
} // namespace

StopRequests::StopRequests(std::function<void()> onStop, QObject* parent)
    : QObject(parent), m_onStop(std::move(onStop)) {
    if (g_stopRequests) return;
    g_stopRequests = this;
    m_listening = SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
}

StopRequests::~StopRequests() {
    if (m_listening) SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

#else

bool SyncToDisk(QFileDevice& file) {
    const int fd = file.handle();
#ifdef Q_OS_LINUX
    return fd >= 0 && ::fdatasync(fd) == 0;
#else
    return fd >= 0 && ::fsync(fd) == 0;
#endif
}

bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

bool EndWithParent() {
#ifdef Q_OS_LINUX
    const pid_t parent = ::getppid();
    return ::prctl(PR_SET_PDEATHSIG, SIGTERM) == 0 && ::getppid() == parent;
#else
    return false;
#endif
}

// A signal handler may only write: it writes a byte into a socket pair that the event loop
// watches.
struct StopRequests::Unix {
    static inline int pair[2] = {-1, -1};
    static void onSignal(int) {
        const char c = 1;
        [[maybe_unused]] const auto n = ::write(pair[0], &c, 1);
    }
};

StopRequests::StopRequests(std::function<void()> onStop, QObject* parent)
    : QObject(parent), m_onStop(std::move(onStop)) {
    if (g_stopRequests) return;
    if (Unix::pair[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, Unix::pair) != 0) return;
    g_stopRequests = this;
    auto* notifier = new QSocketNotifier(Unix::pair[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char c;
        [[maybe_unused]] const auto n = ::read(Unix::pair[1], &c, 1);
        arrived();
    });
    struct sigaction action = {};
    action.sa_handler = Unix::onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_listening =
        ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

StopRequests::~StopRequests() {
    if (!m_listening) return;
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
}

#endif

void StopRequests::arrived() {
    if (m_onStop) m_onStop();
}

} // namespace platform
