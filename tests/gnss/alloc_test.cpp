// The model's Feed path allocates nothing: counted with a replaced global
// operator new (for this test program only).

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "gnss/gnss_model.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t n) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(Allocation, FeedingTheRecordingsAllocatesNothing) {
  std::vector<std::string> lines;
  for (const char* name : {"gpsd-neo-m8n", "gpsd-telit-he910", "gpsd-gp-320fw-2019-04-07-coldboot"}) {
    std::ifstream in(std::string(GPSDESK_TEST_DATA) + "/nmea/" + name + ".nmea", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
  }
  auto model = std::make_unique<gnss::GnssModel>();
  const long before = allocations.load();
  for (int round = 0; round < 3; ++round)
    for (const std::string& s : lines) model->Feed(s);
  model->Flush();
  EXPECT_EQ(allocations.load() - before, 0);
  EXPECT_GT(model->LastEpoch().index, 100u);
}

}  // namespace
