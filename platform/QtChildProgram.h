#pragma once
#include "platform/ChildProgram.h"

#include <QProcess>

namespace platform {

class QtChildProgram : public ChildProgram {
public:
    ~QtChildProgram() override { stop(); }
    QString startAndReadLine(const QString& program, const QStringList& arguments, int timeoutMs,
                             QString* error) override;
    void stop() override;

private:
    QProcess m_process;
};

} // namespace platform
