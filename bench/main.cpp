// dr58bench: measures the tool against the simulated modem paced at the line rate.
//   dr58bench query <rate> <runs>
//   dr58bench upgrade <rate> <bytes> <runs>
//   dr58bench startup <runs>
//   dr58bench soak <rate> <seconds>
//   dr58bench served <rate> <bytes> <runs> [dr58ctl]   (through ser2net against a local port)
//   dr58bench provision <rate> <modems> <runs> [dr58ctl]   (default: the one built here)
//   dr58bench audit <rate> <modems> <runs> [dr58ctl]   (net audit, as provision)
//   dr58bench header          (the results table's header)
//   dr58bench line <rate>     (the modem's end; started by the others)
#include "benches.h"
#include "linehost.h"
#include "report.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: dr58bench query RATE RUNS | upgrade RATE BYTES RUNS | "
                 "startup RUNS | soak RATE SECONDS | served RATE BYTES RUNS [DR58CTL] | "
                 "provision RATE MODEMS RUNS [DR58CTL] | audit RATE MODEMS RUNS [DR58CTL] | "
                 "header\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    const auto argument = [&](int index) { return index < argc ? std::atoi(argv[index]) : 0; };
    const auto tool = [&](int index) {
        return index < argc ? QString::fromLocal8Bit(argv[index]) : QStringLiteral(DR58CTL_PATH);
    };
    const char *mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "line") == 0)
        return argument(2) > 0 ? runLineHost(argument(2)) : usage();
    if (std::strcmp(mode, "header") == 0) {
        Report::header();
        return 0;
    }
    QApplication app(argc, argv);
    if (std::strcmp(mode, "query") == 0 && argument(2) > 0 && argument(3) > 0)
        benchQuery(argument(2), argument(3));
    else if (std::strcmp(mode, "upgrade") == 0 && argument(2) > 0 && argument(4) > 0)
        benchUpgrade(argument(2), argument(3), argument(4));
    else if (std::strcmp(mode, "startup") == 0 && argument(2) > 0)
        benchStartup(argument(2));
    else if (std::strcmp(mode, "served") == 0 && argument(2) > 0 && argument(4) > 0)
        benchServedUpgrade(argument(2), argument(3), argument(4), tool(5));
    else if (std::strcmp(mode, "soak") == 0 && argument(2) > 0 && argument(3) > 0)
        benchSoak(argument(2), argument(3));
    else if ((std::strcmp(mode, "provision") == 0 || std::strcmp(mode, "audit") == 0) &&
             argument(2) > 0 && argument(3) > 0 && argument(4) > 0)
        (std::strcmp(mode, "audit") == 0 ? benchAudit : benchProvision)(argument(2), argument(3),
                                                                        argument(4), tool(5));
    else
        return usage();
    return 0;
}
