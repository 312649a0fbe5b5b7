// termination_signals.cpp: the handlers and their count. The count is the
// one thing a signal handler may safely touch, so it lives here, at file
// scope, and is read through termination_signal_count() alone.
#include "base/termination_signals.h"

#include <csignal>
#include <initializer_list>

namespace vel {

namespace {

volatile std::sig_atomic_t signals_seen = 0;

extern "C" void count_termination_signal(int /*signal*/) {
  signals_seen = signals_seen + 1;
}

}  // namespace

void catch_termination_signals() {
  struct sigaction action {};
  action.sa_handler = count_termination_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocked open or write is interrupted
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int termination_signal_count() {
  return signals_seen;
}

}  // namespace vel
