// Cost of drawing the two satellite views at the main window's sizes: the
// pictures alone, and the window's direct drawings that show them at once.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <vector>

#include "app/main_dlg.h"
#include "app/settings_store.h"
#include "platform/dialog_look.h"
#include "views/chart_painter.h"
#include "views/geometry.h"
#include "views/sky_painter.h"

namespace {

// Twelve satellites in view, eight of them used, as a receiver reports them
// under open sky.
nmea::ReceiverState OpenSky() {
  struct Sat {
    int prn, elevation, azimuth, snr, used;
  };
  const Sat sats[] = {{2, 14, 123, 25, 1},  {5, 45, 347, 44, 1}, {6, 58, 197, 39, 0},  {7, 45, 212, 38, 1},
                      {10, 43, 132, 35, 1}, {12, 39, 2, 43, 1},  {18, 14, 332, 30, 0}, {21, 34, 265, 38, 1},
                      {24, 58, 219, 40, 1}, {26, 17, 54, 38, 0}, {29, 20, 63, 38, 0},  {30, 59, 312, 44, 1}};
  nmea::ReceiverState st;
  st.svInView = 12;
  for (std::size_t i = 0; i < std::size(sats); ++i) {
    st.channelPrn[i] = sats[i].prn;
    st.sats[static_cast<std::size_t>(sats[i].prn - 1)] = {sats[i].snr, sats[i].elevation, sats[i].azimuth,
                                                          sats[i].used};
  }
  return st;
}

void BM_ComposeSkyAndChart(benchmark::State& state) {
  const nmea::ReceiverState st = OpenSky();
  const QPalette palette = QGuiApplication::palette();
  const QColor background = palette.color(QPalette::Window);
  const views::EtchColours etch = views::EtchColoursOf(palette);
  const int textHeight = views::SkyTextHeight(252);
  const views::SkyLook sky{background, etch, platform::CreateFont("System", textHeight, (2 * textHeight) / 3),
                           textHeight, views::MarkerRadius(textHeight)};
  const views::ChartLook chart{background, etch, views::TextCells::Opaque};
  for (auto _ : state) {
    int maxSnr = 20;
    QImage chartImage = views::ComposeChart(273, 102, chart, st, maxSnr);
    QImage skyImage = views::ComposeSky(273, 252, sky, st);
    benchmark::DoNotOptimize(chartImage.constBits());
    benchmark::DoNotOptimize(skyImage.constBits());
  }
}
BENCHMARK(BM_ComposeSkyAndChart)->Unit(benchmark::kMicrosecond);

// The same in the "All constellations" mode: 23 satellites of GPS and
// GLONASS in view, 13 used, 16 bars.
void BM_ComposeSkyAndChartAll(benchmark::State& state) {
  std::vector<gnss::SkySat> sky;
  for (int i = 0; i < 23; ++i) {
    gnss::SkySat s;
    s.key = {i < 13 ? gnss::Constellation::GPS : gnss::Constellation::GLONASS, 1 + (i % 13) * 2};
    s.label = gnss::MakeLabel(s.key);
    s.azimuth = static_cast<std::int16_t>((i * 47) % 360);
    s.elevation = static_cast<std::int16_t>(5 + (i * 13) % 80);
    s.cno = static_cast<std::int16_t>(15 + (i * 7) % 35);
    s.has = gnss::Observation::kHasAzimuth | gnss::Observation::kHasElevation | gnss::Observation::kHasCno;
    s.used = i % 7 < 4;
    sky.push_back(s);
  }
  std::vector<gnss::ChartBar> bars;
  for (std::size_t i = 0; i < 16; ++i)
    bars.push_back({sky[i].key, sky[i].label, sky[i].cno, true, sky[i].used});
  const QPalette palette = QGuiApplication::palette();
  const QColor background = palette.color(QPalette::Window);
  const views::EtchColours etch = views::EtchColoursOf(palette);
  const int textHeight = views::SkyTextHeight(252);
  const views::SkyLook look{background, etch,
                            platform::CreateFont("System", textHeight, (2 * textHeight) / 3), textHeight,
                            views::MarkerRadius(textHeight)};
  const views::ChartLook chart{background, etch, views::TextCells::Opaque};
  for (auto _ : state) {
    int maxSnr = 20;
    QImage chartImage = views::ComposeChartAll(273, 102, chart, bars, maxSnr);
    QImage skyImage = views::ComposeSkyAll(273, 252, look, sky);
    benchmark::DoNotOptimize(chartImage.constBits());
    benchmark::DoNotOptimize(skyImage.constBits());
  }
}
BENCHMARK(BM_ComposeSkyAndChartAll)->Unit(benchmark::kMicrosecond);

// What the interpreter triggers after a complete satellite set: both
// drawings, each shown in the window by a synchronous repaint.
void BM_WindowDrawsBothViews(benchmark::State& state) {
  app::CMainDlg window;
  window.show();
  QApplication::processEvents();
  window.receiver = OpenSky();
  for (auto _ : state) {
    window.DrawSignalChart();
    window.DrawSkyPlot();
  }
}
BENCHMARK(BM_WindowDrawsBothViews)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  platform::InitDialogLook();
  app::CMemorySettingsStore settings;  // the user's remembered mode plays no part
  app::CSettingsStoreOverride useSettings(settings);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
