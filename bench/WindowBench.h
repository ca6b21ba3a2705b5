#pragma once
// What the window benches share: the virtual probe in a process of its own, the window with
// the services the program gives it (the real serial port, clock and timers; dialogs answered
// by doubles, no other programs), and the event loop run until something comes true.
#include "app/frmMain.h"
#include "files/ConfigFile.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtSerialComm.h"
#include "platform/fake/CountingBeeper.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedDialogs.h"
#include "platform/fake/ScriptedModalRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace bench {

// Processor time of this program (user and system) in seconds.
inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The most memory this program has held so far, in MB.
inline double PeakMemoryMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Runs the event loop until done() or the time is up; between events the program sleeps, so
// that the waiting costs no processor time of its own.
inline bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// varnex-probesim beside the bench; the name of its line is its first line of output.
class ProbeProcess {
public:
    bool start(const QStringList& arguments) {
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/varnex-probesim"),
                        arguments);
        if (!m_process.waitForStarted(5000) ||
            !WaitFor([&] { return m_process.canReadLine(); }, 5000)) {
            fprintf(stderr, "the virtual probe did not start\n");
            return false;
        }
        m_line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return true;
    }
    QString line() const { return m_line; }

    // Ends it as Ctrl+C does; the event loop runs meanwhile, so that the window reads what the
    // probe still has on the line. Gives the records it reports having streamed (-1: none
    // reported).
    qint64 stop() {
        m_process.terminate();
        WaitFor([&] { return m_process.state() == QProcess::NotRunning; }, 5000);
        m_stderr = QString::fromLocal8Bit(m_process.readAllStandardError());
        const auto match =
            QRegularExpression(QStringLiteral("streamed (\\d+) records(.*)")).match(m_stderr);
        if (!match.hasMatch()) return -1;
        if (!match.captured(2).trimmed().isEmpty())
            fprintf(stderr, "the virtual probe: %s\n", qPrintable(match.captured(0)));
        return match.captured(1).toLongLong();
    }

    ~ProbeProcess() {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) m_process.kill();
    }

private:
    QProcess m_process;
    QString m_line;
    QString m_stderr;
};

// The window on a line at a sample rate ("Max" or a number), loaded and shown.
class WindowRun {
public:
    WindowRun(const QString& line, const QString& sampleRate) {
        files::Config config(m_dir.path());
        config.SampleRate = sampleRate;
        files::SaveCfg(m_dir.filePath(QStringLiteral("Varnex.cfg")), config);
        m_window = std::make_unique<app::frmMain>(m_services);
        m_window->SetRunPort(line);
        m_window->Form_Load();
        while (!m_window->Started())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        m_window->show();
    }
    ~WindowRun() { m_window->close(); }

    app::frmMain& window() { return *m_window; }
    platform::QtSerialComm& port() { return m_port; }
    const platform::RecordingMessageBoxes& boxes() const { return m_boxes; }
    platform::ScriptedDialogs& dialogs() { return m_dialogs; }
    // The settings and the log's journal are kept here.
    QString folder() const { return m_dir.path(); }

private:
    class NoChild : public platform::ChildProgram {
    public:
        QString startAndReadLine(const QString&, const QStringList&, int, QString*) override {
            return {};
        }
        void stop() override {}
    };

    QTemporaryDir m_dir;
    platform::MemorySettingsStore m_settings;
    platform::PortTable m_ports{m_settings};
    platform::QtSerialComm m_port{m_ports};
    platform::QtClock m_clock;
    platform::RecordingMessageBoxes m_boxes;
    platform::ScriptedModalRunner m_modal;
    NoChild m_child;
    platform::ScriptedDialogs m_dialogs;
    platform::CountingBusyPointer m_busy;
    platform::CountingBeeper m_beeper;
    platform::Services m_services{
        m_port,       m_clock,   m_boxes, m_settings,
        m_ports,      m_modal,   m_child, [] { return std::make_unique<platform::QtHiResTimer>(); },
        m_dir.path(), m_dialogs, m_busy,  m_dir.path(),
        m_beeper};
    std::unique_ptr<app::frmMain> m_window; // goes before the services it was given
};

} // namespace bench
