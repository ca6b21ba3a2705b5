#pragma once
// A probe line on a Unix pseudo-terminal, reached through a stable name (a symbolic link to the
// terminal), so that a probe that was unplugged comes back under the same name. The terminal's
// own end is held open, so that the line keeps its settings between the host's opens.
#include "platform/ProbeLine.h"

#include <QSocketNotifier>
#include <memory>

namespace platform {

class PtyProbeLine : public ProbeLine {
public:
    // linkPath empty: a name of its own in the temporary folder.
    explicit PtyProbeLine(const QString& linkPath);
    ~PtyProbeLine() override;

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override { return m_master >= 0; }
    QString name() const override { return m_linkPath; }
    QString deviceName() const override { return m_deviceName; }
    QByteArray readAll() override;
    qint64 write(const QByteArray& data) override;
    int hostBaud() const override;
    qint64 unreadByHost() const override;
    void watchWritable(bool watch) override;

private:
    void closeTerminal();

    QString m_linkPath;
    QString m_deviceName;
    int m_master = -1;
    int m_slave = -1;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
};

} // namespace platform
