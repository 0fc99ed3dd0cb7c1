#pragma once

#include "portjobs.h"

// Jobs made of jobs, on the same port and line.
namespace JobChain {

// `first`, then `second` when `first` succeeded; the result is the second's (the first's when
// it failed), with what the first did in front of its detail and output, and the firmware it
// sent.
PortJob then(const PortJob &first, const PortJob &second);

// `job`, run again while `again` holds for its result, the stop was not requested, the line has
// not failed and `boundMs` milliseconds have not passed since the first run; the last result.
PortJob retried(const PortJob &job, const std::function<bool(const JobResult &)> &again,
                int boundMs);

} // namespace JobChain
