#include "netcommands.h"

#include "console.h"
#include "exitcode.h"
#include "networkgraph.h"
#include "networkrules.h"
#include "outputfile.h"
#include "profilediff.h"
#include "profilewriter.h"
#include "runlog.h"
#include "runprinter.h"
#include "siteplan.h"

#include <QMutex>
#include <memory>

namespace NetCommands {

namespace {

const QString SerialName = QStringLiteral("I4");

// The radios read from every port, in port order.
struct Network
{
    QVector<PortResult> results;
    QVector<NetworkRadio> radios; // named by serial number, or by port when it has none
    QStringList serials;
    QStringList ports;
    int code = ExitCode::Ok;
};

Network readNetwork(const QStringList &ports, int baud, const Outputs &outputs)
{
    auto readings = std::make_shared<QMap<QString, Reading>>();
    auto lock = std::make_shared<QMutex>();
    const PortJob job =
        ConfigJobs::withReading([readings, lock](const PortContext &context, const Reading &read) {
            if (!read.unreadable.isEmpty())
                return JobResult::failure(ExitCode::NoAnswer,
                                          QStringLiteral("unreadable values of %1")
                                              .arg(read.unreadable.join(QStringLiteral(", "))));
            QMutexLocker locker(lock.get());
            readings->insert(context.port, read);
            return JobResult::done(JobResult::Result::Read,
                                   QStringLiteral("%1 values").arg(read.values.size()));
        });
    Network network;
    network.results = RunPrinter::run(ports, baud, job, outputs.stop, outputs.log);
    network.code = RunPrinter::report(network.results);
    for (const QString &port : ports) {
        if (!readings->contains(port))
            continue;
        const QMap<QString, QString> values = readings->value(port).values;
        const QString serial = values.value(SerialName);
        network.radios.append({serial.isEmpty() ? port : serial, values});
        network.serials.append(serial);
        network.ports.append(port);
    }
    return network;
}

std::optional<SitePlan> loadPlan(const QString &path)
{
    QStringList problems;
    const auto plan = SitePlan::load(path, &problems);
    for (const QString &problem : problems)
        Console::err(QStringLiteral("dr58ctl: %1\n").arg(problem));
    return plan;
}

// Writes the graph when asked; false, its problem printed, when it cannot.
bool writeGraph(const QString &path, const Stop &stop, const QVector<NetworkRadio> &radios,
                const QVector<Breach> &breaches)
{
    if (path.isEmpty())
        return true;
    const QString error = OutputFile::save(path, NetworkGraph::dot(radios, breaches), stop.asked());
    if (!error.isEmpty())
        Console::err(QStringLiteral("dr58ctl: cannot write %1: %2\n").arg(path, error));
    return error.isEmpty();
}

ConfigJobs::ProfileChoice planChoice(const SitePlan &plan)
{
    return [plan](const Reading &reading) {
        const QString serial = reading.values.value(SerialName);
        if (const PlanRadio *radio = plan.radio(serial))
            return ConfigJobs::Choice{plan.profileFor(*radio), {}, SitePlan::sectionName(serial)};
        const QString why =
            serial.isEmpty()
                ? QStringLiteral("the modem reports no serial number (I4)")
                : QStringLiteral("the modem's serial number %1 is not in the plan").arg(serial);
        return ConfigJobs::Choice{
            std::nullopt,
            JobResult::refused(ExitCode::NotInPlan, why + QStringLiteral("; nothing written")),
            {}};
    };
}

// The differences between each radio and its section; the radio's problems gain its own.
QStringList planDifferences(const SitePlan &plan, const Network &network,
                            QMap<QString, QStringList> &problems)
{
    QStringList lines;
    for (int i = 0; i < network.radios.size(); ++i) {
        const NetworkRadio &radio = network.radios.at(i);
        const PlanRadio *planned = plan.radio(network.serials.at(i));
        QStringList own;
        if (!planned)
            own.append(
                QStringLiteral("%1 on %2 is not in the plan").arg(radio.name, network.ports.at(i)));
        for (const Difference &difference :
             planned ? ProfileDiff::differences(plan.profileFor(*planned), radio.values)
                     : QVector<Difference>())
            own.append(radio.name + QStringLiteral(": ") +
                       ProfileDiff::describe(difference, QStringLiteral("plan")));
        problems[radio.name] += own;
        lines += own;
    }
    for (const PlanRadio &planned : plan.radios()) {
        if (!network.serials.contains(planned.serial))
            lines.append(QStringLiteral("[%1] of the plan is on none of the ports given")
                             .arg(SitePlan::sectionName(planned.serial)));
    }
    return lines;
}

// What an audit found: the broken rules, and each problem (a broken rule, a difference from the
// plan) as a line and by radio.
struct Findings
{
    QVector<Breach> breaches;
    QStringList lines;
    QMap<QString, QStringList> problems;
};

Findings judged(const Network &network, const std::optional<SitePlan> &plan)
{
    Findings found;
    found.breaches = NetworkRules::check(network.radios);
    for (const Breach &breach : found.breaches) {
        found.lines.append(breach.text);
        for (const QString &radio : breach.radios)
            found.problems[radio].append(breach.text);
    }
    if (plan)
        found.lines += planDifferences(*plan, network, found.problems);
    return found;
}

// Each port's record, with the problems seen on its radio when the network was judged.
void recorded(Network &network, const QMap<QString, QStringList> &problems, RunLog *report)
{
    for (PortResult &result : network.results) {
        const int index = network.ports.indexOf(result.port);
        if (network.code == ExitCode::Ok && index >= 0)
            result.job.problems = problems.value(network.radios.at(index).name);
        if (report)
            report->record(result);
    }
}

} // namespace

std::optional<ConfigJobs::ProfileChoice> settings(const QString &path)
{
    QStringList problems;
    if (!SitePlan::isPlanFile(path)) {
        const auto profile = Profile::load(path, &problems);
        for (const QString &problem : problems)
            Console::err(QStringLiteral("dr58ctl: %1\n").arg(problem));
        return profile ? std::optional(ConfigJobs::everyModem(*profile)) : std::nullopt;
    }
    const auto plan = loadPlan(path);
    if (!plan)
        return std::nullopt;
    const QVector<Breach> breaches = NetworkRules::check(plan->networkRadios());
    for (const Breach &breach : breaches)
        Console::err(QStringLiteral("dr58ctl: %1: the plan breaks a network rule: %2\n")
                         .arg(path, breach.text));
    return breaches.isEmpty() ? std::optional(planChoice(*plan)) : std::nullopt;
}

int check(const QString &planPath, const QString &graph)
{
    const auto plan = loadPlan(planPath);
    if (!plan)
        return ExitCode::BadFile;
    const QVector<NetworkRadio> radios = plan->networkRadios();
    const QVector<Breach> breaches = NetworkRules::check(radios);
    const Stop none; // nothing to stop: no signal is caught
    if (!writeGraph(graph, none, radios, breaches))
        return ExitCode::WriteFailed;
    for (const Breach &breach : breaches)
        Console::out(breach.text + QLatin1Char('\n'));
    if (breaches.isEmpty())
        Console::out(QStringLiteral("%1 radios: every network rule holds\n").arg(radios.size()));
    return breaches.isEmpty() ? ExitCode::Ok : ExitCode::BadFile;
}

int audit(const QString &planPath, const QStringList &ports, int baud, const Outputs &outputs)
{
    const std::optional<SitePlan> plan = planPath.isEmpty() ? std::nullopt : loadPlan(planPath);
    if (!planPath.isEmpty() && !plan)
        return ExitCode::BadFile;
    Network network = readNetwork(ports, baud, outputs);
    const Findings found = network.code == ExitCode::Ok ? judged(network, plan) : Findings();
    recorded(network, found.problems, outputs.report);
    if (network.code != ExitCode::Ok)
        return network.code;
    if (!writeGraph(outputs.graph, outputs.stop, network.radios, found.breaches))
        return ExitCode::WriteFailed;
    for (const QString &line : found.lines)
        Console::out(line + QLatin1Char('\n'));
    if (found.lines.isEmpty())
        Console::out(QStringLiteral("%1 radios: every network rule holds%2\n")
                         .arg(network.radios.size())
                         .arg(plan ? QStringLiteral(", each as planned") : QString()));
    return found.lines.isEmpty() ? ExitCode::Ok : ExitCode::Different;
}

int plan(const QString &output, const QStringList &ports, int baud, const Outputs &outputs)
{
    const Network network = readNetwork(ports, baud, outputs);
    if (network.code != ExitCode::Ok)
        return network.code;
    for (int i = 0; i < network.radios.size(); ++i) {
        const int first = network.serials.indexOf(network.serials.at(i));
        QString problem;
        if (network.serials.at(i).isEmpty())
            problem = QStringLiteral("the modem reports no serial number (I4)");
        else if (first < i)
            problem = QStringLiteral("the modem reports the serial number %1, as %2 does")
                          .arg(network.serials.at(i), network.ports.at(first));
        if (!problem.isEmpty()) {
            Console::err(QStringLiteral("dr58ctl: %1: %2; no plan written\n")
                             .arg(network.ports.at(i), problem));
            return ExitCode::NoAnswer;
        }
    }
    const SitePlan plan = SitePlan::fromRadios(network.radios);
    const bool json = output.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
    const QString error =
        OutputFile::save(output, json ? plan.json() : plan.ini(), outputs.stop.asked());
    if (!error.isEmpty()) {
        Console::err(QStringLiteral("dr58ctl: cannot write %1: %2\n").arg(output, error));
        return ExitCode::WriteFailed;
    }
    const QVector<Breach> breaches = NetworkRules::check(network.radios);
    if (!writeGraph(outputs.graph, outputs.stop, network.radios, breaches))
        return ExitCode::WriteFailed;
    Console::out(
        QStringLiteral("site plan of %1 radios in %2\n").arg(network.radios.size()).arg(output));
    for (const Breach &breach : breaches)
        Console::out(breach.text + QLatin1Char('\n'));
    return breaches.isEmpty() ? ExitCode::Ok : ExitCode::Different;
}

} // namespace NetCommands
