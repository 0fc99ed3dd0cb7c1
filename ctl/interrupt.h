#pragma once

// SIGINT, SIGTERM and SIGHUP during a run. The first one only marks the run as interrupted: the
// port jobs send no new command, return their modems to data mode and report what they did; the
// run then exits with 128 + the signal. A second signal of the same kind ends dr58ctl at once.
namespace Interrupt {

void install();
int signal(); // the first signal caught, 0 while none was
bool requested();
int exitCode(); // 128 + signal()

} // namespace Interrupt
