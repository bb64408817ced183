#include "nmea/numbers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

namespace {

using nmea::AtoF;
using nmea::AtoI;
using nmea::TruncToInt;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

extern "C" char** environ;

bool DecimalComma() { return std::strcmp(std::localeconv()->decimal_point, ",") == 0; }

// Makes the process's numeric locale one that writes "1,5": the system's
// German or French one when installed, else German built with localedef into
// a folder of its own and found through LOCPATH, which needs no root. Puts
// the "C" locale back when it goes.
class CommaLocale {
 public:
  CommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
      if (std::setlocale(LC_NUMERIC, name) != nullptr && DecimalComma()) {
        active_ = true;
        return;
      }
    }
    char folder[] = "/tmp/gpsdesk-locale-XXXXXX";
    if (mkdtemp(folder) == nullptr) return;
    folder_ = folder;
    const std::string target = folder_ + "/de_DE";
    const char* argv[] = {"localedef", "--no-archive", "-i",           "de_DE",
                          "-f",        "ISO-8859-1",   target.c_str(), nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    const bool ran =
        posix_spawnp(&pid, "localedef", &quiet, nullptr, const_cast<char**>(argv), environ) == 0 &&
        waitpid(pid, &status, 0) == pid;
    posix_spawn_file_actions_destroy(&quiet);
    if (!ran) return;  // what it built is judged by loading it
    if (const char* before = std::getenv("LOCPATH")) oldLocPath_ = before;
    setenv("LOCPATH", folder_.c_str(), 1);
    active_ = std::setlocale(LC_NUMERIC, "de_DE") != nullptr && DecimalComma();
  }
  ~CommaLocale() {
    std::setlocale(LC_NUMERIC, "C");
    if (oldLocPath_) {
      setenv("LOCPATH", oldLocPath_->c_str(), 1);
    } else {
      unsetenv("LOCPATH");
    }
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;
  bool Active() const { return active_; }

 private:
  bool active_ = false;
  std::string folder_;
  std::optional<std::string> oldLocPath_;
};

TEST(AtoI, ReadsLikeTheCLibrary) {
  EXPECT_EQ(AtoI("42"), 42);
  EXPECT_EQ(AtoI("  \t-17xyz"), -17);
  EXPECT_EQ(AtoI("+08"), 8);
  EXPECT_EQ(AtoI("3.9"), 3);
  EXPECT_EQ(AtoI(""), 0);
  EXPECT_EQ(AtoI("abc"), 0);
  EXPECT_EQ(AtoI("- 5"), 0);
  EXPECT_EQ(AtoI("\x80"
                 "5"),
            0);
}

TEST(AtoI, SaturatesOutOfRange) {
  EXPECT_EQ(AtoI("2147483647"), kMax);
  EXPECT_EQ(AtoI("-2147483648"), kMin);
  EXPECT_EQ(AtoI("2147483648"), kMax);
  EXPECT_EQ(AtoI("-2147483649"), kMin);
  EXPECT_EQ(AtoI(std::string(5000, '9')), kMax);
  EXPECT_EQ(AtoI("-" + std::string(5000, '9')), kMin);
}

TEST(AtoF, ReadsLikeTheCLibraryInAnyLocale) {
  EXPECT_DOUBLE_EQ(AtoF("022.4"), 22.4);
  EXPECT_DOUBLE_EQ(AtoF(" -1.5e2m"), -150.0);
  EXPECT_DOUBLE_EQ(AtoF(""), 0.0);
  EXPECT_DOUBLE_EQ(AtoF("x1"), 0.0);
  EXPECT_DOUBLE_EQ(AtoF("0x10"), 16.0);
  EXPECT_TRUE(std::isinf(AtoF("inf")));
  EXPECT_TRUE(std::isnan(AtoF("nan")));
  EXPECT_TRUE(std::isinf(AtoF("1e999")));
  // A field longer than the small buffer still reads completely.
  EXPECT_DOUBLE_EQ(AtoF(std::string(300, '0') + "1.25"), 1.25);
}

TEST(AtoF, DecimalPointStaysAPointWhenTheLocaleSaysComma) {
  const CommaLocale comma;
  if (!comma.Active()) {
    // scripts/deps.sh installs what localedef needs; where it ran (CI, and
    // scripts/test.sh says so) the test must run.
    for (const char* must : {"GPSDESK_REQUIRE_LOCALE", "CI"}) {
      const char* value = std::getenv(must);
      if (value != nullptr && *value != '\0') FAIL() << "no locale with a decimal comma could be made";
    }
    GTEST_SKIP() << "no locale with a decimal comma (localedef and the locale sources are missing)";
  }
  ASSERT_EQ(std::strtod("1,5", nullptr), 1.5);  // the C library now reads ","
  EXPECT_DOUBLE_EQ(AtoF("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(AtoF("4916.45"), 4916.45);
  EXPECT_DOUBLE_EQ(AtoF("1,5"), 1.0);
  EXPECT_DOUBLE_EQ(AtoF("-0.117e1"), -1.17);
}

TEST(TruncToInt, DefinedForEveryDouble) {
  EXPECT_EQ(TruncToInt(41.99), 41);
  EXPECT_EQ(TruncToInt(-41.99), -41);
  EXPECT_EQ(TruncToInt(std::nan("")), 0);
  EXPECT_EQ(TruncToInt(INFINITY), kMax);
  EXPECT_EQ(TruncToInt(-INFINITY), kMin);
  EXPECT_EQ(TruncToInt(1e300), kMax);
  EXPECT_EQ(TruncToInt(-1e300), kMin);
  EXPECT_EQ(TruncToInt(2147483646.9), 2147483646);
}

}  // namespace
