#pragma once
// The virtual probe's options, shared by varnex-probesim and the probe that --simulate serves
// inside the program: the model, the field and how it moves, the battery, the faults, the log of
// the line and the pace of a stream.
#include "tools/probesim/LineServer.h"
#include "tools/probesim/VirtualProbe.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace probesim {

struct ProbeSetup {
    QString model;
    FieldPlan plan;
    Faults faults;
    QString logFile;
    QString link;
    QString port;
    int streamSpeedup = 1;
    bool exitWithParent = false;
    bool listModels = false;
};

struct ProbeOptions {
    ProbeOptions();
    void addTo(QCommandLineParser& parser) const;
    // The setup the parsed options ask for; false with the reason when they make no sense.
    bool read(const QCommandLineParser& parser, ProbeSetup* setup, QString* error) const;
    // The same from an argument list without the program's name ("--model", "PX-5100", ...).
    bool read(const QStringList& arguments, ProbeSetup* setup, QString* error) const;

    QCommandLineOption model;
    QCommandLineOption field;
    QCommandLineOption pattern;
    QCommandLineOption period;
    QCommandLineOption swing;
    QCommandLineOption battery;
    QCommandLineOption fault;
    QCommandLineOption logFile;
    QCommandLineOption link;
    QCommandLineOption port;
    QCommandLineOption speedup;
    QCommandLineOption withParent;
    QCommandLineOption list;
};

} // namespace probesim
