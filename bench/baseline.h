#pragma once
// Measuring a baseline inside a benchmark run, so that speeds can be reported as ratios that
// do not depend on the machine.
#include <chrono>

namespace gv::bench {

class Stopwatch {
 public:
  double seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Runs `work` repeatedly for at least `seconds` and returns how many times per second it ran.
template <typename Work>
double runsPerSecond(Work&& work, double seconds = 0.3) {
  using Clock = std::chrono::steady_clock;
  auto start = Clock::now();
  long runs = 0;
  double elapsed = 0;
  do {
    work();
    ++runs;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < seconds);
  return runs / elapsed;
}

}  // namespace gv::bench
