#include "platform/QtChildProgram.h"

#include <QElapsedTimer>

namespace platform {

QString QtChildProgram::startAndReadLine(const QString& program, const QStringList& arguments,
                                         int timeoutMs, QString* error) {
    stop();
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, arguments, QIODevice::ReadOnly);
    if (!m_process.waitForStarted(timeoutMs)) {
        if (error) *error = QStringLiteral("%1: %2").arg(program, m_process.errorString());
        return {};
    }
    QElapsedTimer waited;
    waited.start();
    while (!m_process.canReadLine()) {
        const qint64 left = timeoutMs - waited.elapsed();
        if (left <= 0 || m_process.state() != QProcess::Running) {
            if (error) *error = QStringLiteral("%1 said nothing").arg(program);
            stop();
            return {};
        }
        m_process.waitForReadyRead(int(left));
    }
    return QString::fromLocal8Bit(m_process.readLine()).trimmed();
}

void QtChildProgram::stop() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}

} // namespace platform
