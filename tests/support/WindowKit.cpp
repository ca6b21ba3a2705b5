#include "tests/support/WindowKit.h"

#include "platform/Controls.h"

#include <QAction>
#include <QCoreApplication>

namespace kit {

WindowRig::WindowRig()
    : services{port, clock,      boxes,   settings, ports,      modal, child,
               {},   dir.path(), dialogs, busy,     dir.path(), beeper},
      config(dir.path()) {
    services.makeTimer = [this] {
        return std::unique_ptr<platform::HiResTimer>(clock.createTimer());
    };
}

probesim::FieldPlan ProbeLine::DefaultPlan() {
    probesim::FieldPlan plan;
    plan.axes[0].level = 5;
    plan.axes[1].level = 8;
    plan.axes[2].level = 11;
    return plan;
}

void ProbeLine::useProbe(const QString& model, const probesim::FieldPlan& plan) {
    probe = probesim::CreateProbe(model, plan);
    port.setResponder([this](const QByteArray& command) -> QByteArray {
        QByteArray plain = command;
        while (plain.endsWith('\r'))
            plain.chop(1);
        sentAt.append({plain, clock.monotonicMs()});
        if (!probe || silent || (ignores && ignores(plain))) return {};
        return probe->answer(plain, (clock.monotonicMs() - startMs) / 1000.0);
    });
}

app::frmMain& WindowRig::start() {
    if (writeConfig) files::SaveCfg(dir.filePath(QStringLiteral("Varnex.cfg")), config);
    main = std::make_unique<app::frmMain>(services);
    main->Form_Load();
    // The splash stands for its time on the clock; the start-up goes on from it.
    for (int waited = 0; !main->Started() && waited < 5000; waited += 5)
        run(5);
    main->show();
    QCoreApplication::processEvents();
    return *main;
}

app::frmMain& WindowRig::startOn(const QString& model, double settleMs) {
    useProbe(model);
    start();
    taken.readings.clear();
    main->readings().Add(taken);
    if (runUntil([&] { return main->probe().GetModel() == model && !taken.readings.isEmpty(); },
                 30000))
        run(settleMs);
    return *main;
}

app::frmMain& WindowRig::build() {
    main = std::make_unique<app::frmMain>(services);
    return *main;
}

void WindowRig::close() {
    if (!main) return;
    main->close();
    main.reset();
}

void ProbeLine::run(double ms, double step) {
    double left = ms;
    while (left > 0) {
        const double now = std::min(step, left);
        clock.advance(now);
        port.deliverNotifications();
        QCoreApplication::processEvents();
        left -= now;
    }
}

bool ProbeLine::runUntil(const std::function<bool()>& done, double maxMs) {
    for (double waited = 0; waited < maxMs; waited += 10) {
        if (done()) return true;
        run(10);
    }
    return done();
}

QStringList ProbeLine::sentSince(qsizetype from) const {
    QStringList sent;
    for (const QByteArray& c : port.written().mid(from))
        sent << QString::fromLatin1(c).trimmed();
    return sent;
}

void Use(QObject& window, const QString& name) {
    if (auto* label = window.findChild<platform::ClickLabel*>(name))
        Q_EMIT label->clicked();
    else
        window.findChild<QAction*>(name)->trigger();
}

QStringList Texts(const QList<const QLabel*>& labels) {
    QStringList texts;
    for (const QLabel* label : labels)
        texts << label->text();
    return texts;
}

QString Bits(std::initializer_list<bool> bits) {
    QString text;
    for (bool bit : bits)
        text += bit ? u'1' : u'0';
    return text;
}

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace kit
