#pragma once

#include <QString>

// Each benchmark prints its results as rows of the results table (see report.h).

// The whole query (listing and five single queries) after Enter AT Mode, against the wire
// time of the query's bytes in both directions.
void benchQuery(int rate, int runs);

// A firmware upgrade of `bytes` through the upgrade dialog, from the first UPDATE_START byte
// to the success box, against the wire time of every request and acknowledgement; with the
// process's peak memory before and after.
void benchUpgrade(int rate, int bytes, int runs);

// Process start to the main window's first paint, against a bare QMainWindow program.
void benchStartup(int runs);

// A modem that never stops talking, for `seconds`: the window alternately idle and waiting
// for a reply; the process's memory growth and CPU share over the run.
void benchSoak(int rate, int seconds);

// dr58ctl's (the executable `tool`) upgrade of `bytes` of 0xFF through ser2net over RFC 2217,
// against the same upgrade on the local pseudo-terminal ser2net serves, as dr58ctl times the
// transfer; with ser2net's defaults, without its character delay, and as the README recommends.
void benchServedUpgrade(int rate, int bytes, int runs, const QString &tool);

// "dr58ctl apply" (the executable `tool`) of a one-register profile on `count` simulated modems
// at once, against the same on one modem: medians of `runs` runs each, taken alternately.
void benchProvision(int rate, int count, int runs, const QString &tool);

// "dr58ctl net audit" (the executable `tool`) of a sound network of `count` simulated modems at
// once, against the same on one modem: medians of `runs` runs each, taken alternately.
void benchAudit(int rate, int count, int runs, const QString &tool);
