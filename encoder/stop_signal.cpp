#include "encoder/stop_signal.h"

#include <csignal>
#include <initializer_list>

namespace korvu::enc {
namespace {

volatile std::sig_atomic_t stop_signal = 0;

void OnStopSignal(int signal) {
  stop_signal = signal;
}

}  // namespace

void CatchStopSignals() {
  for (int signal : {SIGINT, SIGHUP, SIGTERM}) std::signal(signal, OnStopSignal);
}

int StopSignal() {
  return stop_signal;
}

}  // namespace korvu::enc
