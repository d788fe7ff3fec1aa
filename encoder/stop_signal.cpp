#include "encoder/stop_signal.h"

#include <csignal>
#include <cstring>
#include <initializer_list>
#include <string>

#include "encoder/error.h"

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

int StopSignal() {
  return stop_signal;
}

void ThrowIfStopped() {
  if (int signal = StopSignal(); signal != 0)
    throw Error("stopped", std::string("signal ") + strsignal(signal) +
                               " came before the end; nothing was kept");
}

void CommitUnlessStopped(const std::function<void()>& commit) {
  ThrowIfStopped();
  commit();
}

}  // namespace korvu::enc
