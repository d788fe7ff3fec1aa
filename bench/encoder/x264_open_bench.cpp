// What pass 2 spends before its first frame to learn the settings a pass 1 would have noted: one
// more libx264 encoder, opened on one thread and closed again (see Pass::CheckFirstPass).

#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include "encoder/options.h"
#include "encoder/x264_encoder.h"
#include "encoder/x264_params.h"

namespace korvu::enc {
namespace {

char stats_name[] = "bench.stats";

void BM_OpenFirstPassSettings(benchmark::State& state) {
  const std::vector<std::string_view> args = {"-npass", "1", "-br", "1200", "-i", "in.avi"};
  const PictureFormat picture{
      static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), {1, 1}, false};
  x264_param_t param =
      BuildParams(ParseCommandLine(args), ApplyContext{{25, 1}, stats_name}, picture);
  param.rc.b_stat_write = 0;
  param.i_threads = 1;
  for (auto _ : state) {
    X264Encoder probe(param, "in.avi", stats_name, nullptr);
    benchmark::DoNotOptimize(probe.Parameters().i_keyint_max);
  }
}

BENCHMARK(BM_OpenFirstPassSettings)
    ->Args({640, 360})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvu::enc
