// The desktop services the windows rely on: timers by id, prompts with
// scripted answers, the system menu and fonts by face and size.

#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontMetrics>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/dialog_look.h"
#include "platform/prompts.h"
#include "platform/system_menu.h"
#include "platform/window_timers.h"

namespace {

TEST(WindowTimers, SetRestartsAnIdAndKillStopsIt) {
  platform::CWindowTimers timers([](int) {});
  EXPECT_TRUE(timers.SetTimer(4, 100));
  EXPECT_TRUE(timers.SetTimer(4, 16));  // same id: new period, still one timer
  EXPECT_EQ(timers.Period(4), 16);
  EXPECT_FALSE(timers.IsRunning(2));
  EXPECT_TRUE(timers.KillTimer(4));
  EXPECT_FALSE(timers.KillTimer(4));
  EXPECT_EQ(timers.Period(4), 0);
}

TEST(WindowTimers, TicksArriveWithTheWindowsIdsAndStopWhenKilled) {
  std::vector<int> ticks;
  platform::CWindowTimers timers([&](int id) {
    ticks.push_back(id);
    timers.KillTimer(id);  // a handler may stop its own timer
  });
  timers.SetTimer(1, 1);
  timers.SetTimer(3, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 2; }, 10000));
  EXPECT_EQ(ticks.size(), 2u);
  EXPECT_NE(ticks[0], ticks[1]);
  for (int id : ticks) EXPECT_TRUE(id == 1 || id == 3) << id;
  EXPECT_FALSE(timers.IsRunning(1));
  EXPECT_FALSE(timers.IsRunning(3));
}

TEST(Prompts, FilterPairsBecomeNameFilters) {
  EXPECT_EQ(platform::NameFilters("Txt files(*.txt)|*.txt|All Files(*.*)|*.*||"),
            (QStringList{QStringLiteral("Txt files (*.txt)"), QStringLiteral("All Files (*)")}));
  EXPECT_EQ(platform::NameFilters("Logs|*.log;*.txt||"), QStringList{QStringLiteral("Logs (*.log *.txt)")});
  EXPECT_TRUE(platform::NameFilters("").isEmpty());
}

TEST(Prompts, ScriptedAnswersAreUsedInOrderAndRecorded) {
  platform::CScriptedPrompts script;
  script.yesNoAnswers = {true};
  {
    platform::CPromptsOverride use(script);
    EXPECT_EQ(&platform::Prompts(), &script);
    EXPECT_TRUE(platform::Prompts().AskYesNo(nullptr, "log.txt\nFile exist! Overwrite?!"));
    EXPECT_FALSE(platform::Prompts().AskYesNo(nullptr, "again"));  // script used up: No
    platform::Prompts().ShowMessage(nullptr, "log.txt\nFile open fial!");
  }
  EXPECT_NE(&platform::Prompts(), &script);
  ASSERT_EQ(script.asked.size(), 3u);
  EXPECT_EQ(script.asked[0].kind, platform::CScriptedPrompts::Kind::YesNo);
  EXPECT_EQ(script.asked[0].text, "log.txt\nFile exist! Overwrite?!");
  EXPECT_EQ(script.asked[2].kind, platform::CScriptedPrompts::Kind::Message);
}

TEST(Prompts, ChosenFileMakesItsFolderCurrent) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString before = QDir::currentPath();
  const std::string path = QDir(folder.path()).filePath(QStringLiteral("track.txt")).toStdString();

  platform::CScriptedPrompts script;
  script.fileAnswers = {std::nullopt, path};
  platform::CPromptsOverride use(script);
  const platform::FileDialogOptions options{"*.txt", "Txt files(*.txt)|*.txt|All Files(*.*)|*.*||", "txt"};

  EXPECT_FALSE(platform::ChooseFileToOpen(nullptr, options).has_value());  // cancelled
  EXPECT_EQ(QDir::currentPath(), before);
  EXPECT_EQ(platform::ChooseFileToSave(nullptr, options), path);
  EXPECT_EQ(QDir::currentPath(), QDir(folder.path()).canonicalPath());
  QDir::setCurrent(before);

  ASSERT_EQ(script.asked.size(), 2u);
  EXPECT_EQ(script.asked[1].kind, platform::CScriptedPrompts::Kind::SaveFile);
  EXPECT_EQ(script.asked[1].options.defaultExtension, "txt");
}

TEST(SystemMenu, RightClickOpensItAndEntriesReportTheirCommand) {
  QWidget window;
  window.resize(200, 100);
  window.show();
  std::vector<unsigned> commands;
  auto* menu = new platform::CSystemMenu(&window, [&](unsigned command) { commands.push_back(command); });
  menu->AppendSeparator();
  menu->AppendCommand(16, QStringLiteral("About"));

  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10), window.mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(&window, &click);
  EXPECT_TRUE(menu->Menu()->isVisible());
  menu->Menu()->hide();

  ASSERT_NE(menu->Entry(16), nullptr);
  ASSERT_NE(menu->Entry(platform::kScClose), nullptr);
  EXPECT_EQ(menu->Entry(17), nullptr);
  menu->Entry(16)->trigger();
  menu->Entry(platform::kScClose)->trigger();
  EXPECT_EQ(commands, (std::vector<unsigned>{16, platform::kScClose}));
}

// The height a drawing asks for is the whole text cell, ascent plus descent,
// as the views lay out their labels by it.
TEST(Fonts, CellHeightAndAverageWidthAreHonoured) {
  // "System" does not exist here; a sans-serif face stands in for it.
  struct Asked {
    int height, width;
  };
  for (const Asked a : {Asked{10, 6}, Asked{15, 10}, Asked{24, 16}}) {
    const QFontMetrics metrics(platform::CreateFont("System", a.height, a.width));
    EXPECT_EQ(metrics.ascent() + metrics.descent(), a.height) << a.height;
    EXPECT_EQ(metrics.height(), a.height) << a.height;
    EXPECT_EQ(metrics.averageCharWidth(), a.width) << a.height;
  }
  const QFont narrow = platform::CreateFont("System", 10, 6);
  const QFont wide = platform::CreateFont("System", 10, 12);
  EXPECT_EQ(QFontMetrics(wide).averageCharWidth(), 12);
  EXPECT_EQ(QFontMetrics(wide).height(), 10);
  // Asked again, the same font.
  EXPECT_EQ(platform::CreateFont("System", 10, 6), narrow);
}

TEST(Fonts, AHeightNoSizeReachesGivesTheLargestCellBelowIt) {
  QFont base(QStringLiteral("System"));
  base.setStyleHint(QFont::SansSerif);
  for (int height = 5; height <= 40; ++height) {
    const QFont font = platform::FitFontToCell(base, height, 0);
    EXPECT_LE(QFontMetrics(font).height(), height) << height;
    QFont larger = font;
    larger.setPixelSize(font.pixelSize() + 1);
    EXPECT_GT(QFontMetrics(larger).height(), height) << height;
  }
  // Nothing to fit: the smallest size rather than an invalid font.
  for (int height : {0, -4}) EXPECT_EQ(platform::CreateFont("System", height, 0).pixelSize(), 1) << height;
}

}  // namespace
