#include "tools/probesim/InProcessProbe.h"
#include "tools/probesim/ProbeOptions.h"

namespace probesim {

std::unique_ptr<InProcessProbe> InProcessProbe::Start(const QStringList& probeArguments,
                                                      QString* error) {
    ProbeSetup setup;
    if (!ProbeOptions().read(probeArguments, &setup, error)) return nullptr;
    auto probe = CreateProbe(setup.model, setup.plan);
    if (!probe) {
        *error = QStringLiteral("unknown model \"%1\"").arg(setup.model);
        return nullptr;
    }
    std::unique_ptr<InProcessProbe> p(
        new InProcessProbe(QStringLiteral("Virtual %1").arg(probe->model())));
    p->m_server = std::make_unique<LineServer>(std::move(probe), setup.faults);
    p->m_server->setStreamSpeedup(setup.streamSpeedup);
    if (!setup.logFile.isEmpty() && !p->m_server->setLog(setup.logFile, error)) return nullptr;
    if (!p->m_server->start(p->m_link.takeProbeLine(), error)) return nullptr;
    return p;
}

} // namespace probesim
