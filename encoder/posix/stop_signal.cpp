#include "encoder/stop_signal.h"

#include <csignal>
#include <cstring>

namespace korvu::enc {
namespace {

volatile std::sig_atomic_t stop_signal = 0;

void OnStopSignal(int signal) {
  stop_signal = signal;
}

}  // namespace

void CatchStopSignals() {
  for (int signal : {SIGINT, SIGHUP, SIGTERM}) std::signal(signal, OnStopSignal);
  std::signal(SIGXFSZ, SIG_IGN);
}

std::string StopReason() {
  if (stop_signal == 0) return {};
  return std::string("signal ") + strsignal(stop_signal);
}

}  // namespace korvu::enc
