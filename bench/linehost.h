#pragma once

// The modem's end of the benchmarks, run as a process of its own so that its memory and
// threads stay out of the tool's figures: a simulated modem paced at the rate, behind a line
// that paces the tool's bytes too. Prints "port <path>" for the tool, then answers on stdout
// the commands read from stdin, one per line:
//   reset   forget the bytes so far                      -> "ok"
//   babble  answer the next command with endless text    -> "ok"
//   counts  bytes since reset, both ways, and the update -> "counts <received> <sent>
//           frames' share of them, with the monotonic       <frames received> <frames sent>
//           time the first UPDATE_START left the tool       <start ns>"
// End of input stops it.
int runLineHost(int rate);
