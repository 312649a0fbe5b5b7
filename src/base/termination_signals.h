// termination_signals.h: SIGINT, SIGTERM and SIGHUP (a closed terminal) as
// a request to end the run, which the program answers by writing what it
// promised and stopping, instead of dying with its outputs unwritten.
#pragma once

namespace vel {

// Installs the handlers, which only count the signals. They are installed
// without SA_RESTART, so a call blocked on a file (the open of a FIFO that
// has no reader) returns EINTR and its caller can give up.
void catch_termination_signals();

// How many termination signals have arrived since the handlers went in: a
// process-wide count, as the signals themselves are.
int termination_signal_count();

}  // namespace vel
