#include "shell/PassTimes.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

void PassTimes::Histogram::Add(int64_t micros) {
  micros = std::max<int64_t>(micros, 0);
  ++buckets_[std::min<int64_t>(micros / kBucketMicros, kBuckets - 1)];
  ++count_;
  longest_ = std::max(longest_, micros);
}

int64_t PassTimes::Histogram::Percentile(double share) const {
  if (count_ == 0) return 0;
  const auto wanted = static_cast<uint64_t>(std::ceil(share * static_cast<double>(count_)));
  uint64_t seen = 0;
  for (int bucket = 0; bucket < kBuckets - 1; ++bucket) {
    seen += buckets_[bucket];
    if (seen >= std::max<uint64_t>(wanted, 1)) return std::min((bucket + 1) * kBucketMicros, longest_);
  }
  return longest_;
}

namespace {

void Describe(std::ostream& out, const char* name, const PassTimes::Histogram& histogram) {
  out << name << ' ' << histogram.Count() << " p50 " << histogram.Percentile(0.5) << " p99 "
      << histogram.Percentile(0.99) << " max " << histogram.Longest() << '\n';
}

}  // namespace

std::string PassTimes::Summary() const {
  std::ostringstream out;
  Describe(out, "passes", passes_);
  for (int64_t drawn : coinsDrawn_) out << "coin " << drawn << '\n';
  return out.str();
}

bool PassTimes::Write(const std::string& path) const {
  std::ofstream file(path);
  file << Summary();
  return static_cast<bool>(file.flush());
}
