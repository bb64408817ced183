// The real main window under a receiver's full load: a pseudo-terminal feeds
// 115200 bit/s of recorded NMEA (11 520 bytes a second) into CMainDlg, and
// this program reports
//   - the CPU time the window's process spends per second of data (the
//     feeding thread's own time is not counted), and
//   - the delay from a GGA line's CR leaving the feeder to the window's UTC
//     text showing that line's time.
// Usage: bench_gui_load [SECONDS [--all [RECORDING]]]   (runs offscreen;
// default 10 s of load from gpsd-haicom-305N; --all turns the "All
// constellations" mode on; RECORDING names another file of tests/data/nmea)

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/constellation_mode.h"
#include "app/main_dlg.h"
#include "app/settings_store.h"
#include "platform/dialog_look.h"
#include "resources/main_ids.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

std::string Recording(const std::string& name) {
  std::ifstream in(std::string(GPSDESK_TEST_DATA) + "/nmea/" + name + ".nmea", std::ios::binary);
  std::string line, out;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] != '#') out += line + "\r\n";
  }
  return out;
}

bool WriteAll(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = write(fd, p, n);
    if (w < 0) return false;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

// Writes `data` over and over at 11 520 bytes a second in 64-byte pieces.
void Feed(int fd, const std::string& data, double seconds, std::atomic<double>& feederCpu) {
  constexpr std::size_t kPiece = 64;
  const auto period = std::chrono::nanoseconds(1'000'000'000LL * kPiece / 11520);
  const auto start = Clock::now();
  std::size_t at = 0;
  for (auto next = start; Clock::now() - start < std::chrono::duration<double>(seconds); next += period) {
    std::this_thread::sleep_until(next);
    const std::size_t n = std::min(kPiece, data.size() - at);
    if (!WriteAll(fd, data.data() + at, n)) break;
    at = (at + n) % data.size();
  }
  feederCpu = CpuSeconds(RUSAGE_THREAD);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  platform::InitDialogLook();
  app::CMemorySettingsStore settings;  // the user's remembered mode plays no part
  app::CSettingsStoreOverride useSettings(settings);
  const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;
  const bool all = argc > 2 && std::string(argv[2]) == "--all";
  const std::string recording = argc > 3 ? argv[3] : "gpsd-haicom-305N";

  int master = -1, slave = -1;
  char name[128] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return 1;
  app::CMainDlg window;
  window.show();
  window.Constellations().SetOn(all);
  window.portName = name;
  window.baudRate = 115200;
  window.ControlAs<QAbstractButton>(ids::kOpenClose)->click();
  if (window.activeSource != app::SourceSerial) return 1;

  // Load: CPU per second of data.
  const std::string data = Recording(recording);
  if (data.empty()) return 1;
  std::atomic<double> feederCpu{0};
  const double cpuBefore = CpuSeconds(RUSAGE_SELF);
  const auto wallBefore = Clock::now();
  std::thread feeder(Feed, master, std::cref(data), seconds, std::ref(feederCpu));
  QTimer::singleShot(static_cast<int>(seconds * 1000) + 300, &application, &QCoreApplication::quit);
  QApplication::exec();
  feeder.join();
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  const double cpu = CpuSeconds(RUSAGE_SELF) - cpuBefore - feederCpu;
  std::printf("load: %.0f s of 115200 bit/s NMEA; window process CPU %.2f%% of one core\n", wall,
              100.0 * cpu / wall);

  // Latency: one GGA with a new time every 50 ms; the window is watched
  // between events for the text that line sets.
  std::vector<double> delays;
  for (int i = 0; i < 100; ++i) {
    char utc[16];
    std::snprintf(utc, sizeof utc, "%02d%02d%02d", 10 + i / 3600, (i / 60) % 60, i % 60);
    const std::string line =
        std::string("$GPGGA,") + utc + ".00,4916.45,N,12311.12,W,1,08,0.9,545.4,M,46.9,M,,\r\n";
    const std::string expected = std::string("UTC = ") + std::string(utc, 2) + ":" + std::string(utc + 2, 2) +
                                 ":" + std::string(utc + 4, 2);
    Clock::time_point sent{};
    std::thread writer([&] {
      WriteAll(master, line.data(), line.size());
      sent = Clock::now();
    });
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (window.ItemText(ids::kUtc) != expected && Clock::now() < deadline) {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    const auto shown = Clock::now();
    writer.join();
    delays.push_back(std::chrono::duration<double, std::milli>(shown - sent).count());
    const auto pause = Clock::now() + std::chrono::milliseconds(50);
    while (Clock::now() < pause) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  std::sort(delays.begin(), delays.end());
  std::printf("delay from CR to display text: median %.2f ms, 95th percentile %.2f ms, max %.2f ms\n",
              delays[delays.size() / 2], delays[delays.size() * 95 / 100], delays.back());
  close(master);
  close(slave);
  return 0;
}
