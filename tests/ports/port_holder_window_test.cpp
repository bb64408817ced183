// The main window when another program holds its port: "open ERR!", and the
// status line's tooltip names that program.

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QAbstractButton>

#include "app/main_dlg.h"
#include "other_process.h"
#include "resources/main_ids.h"

namespace {

TEST(PortHolderInWindow, TheTooltipNamesTheProgramThatHoldsThePort) {
  ports_test::ScopedLockFolder locks;
  int master = -1, slave = -1;
  char name[128] = {};
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  close(slave);
  ports_test::OtherProcess cat(ports_test::OtherProcess::Slave, name);
  ASSERT_TRUE(cat.Ok());

  app::CMainDlg dlg;
  dlg.show();
  dlg.portName = name;
  auto* openClose = dlg.ControlAs<QAbstractButton>(ids::kOpenClose);
  openClose->click();
  EXPECT_EQ(dlg.ItemText(ids::kStatus), std::string(name) + " open ERR!");
  EXPECT_EQ(dlg.Control(ids::kStatus)->toolTip().toStdString(),
            std::string(name) + " is held by minicom, pid " + std::to_string(cat.Pid()) +
                "\nRight-click the window and choose Why? for the fix.");

  cat.End();
  openClose->click();
  EXPECT_EQ(dlg.ItemText(ids::kStatus).rfind(std::string(name) + " open OK!", 0), 0u);
  EXPECT_TRUE(dlg.Control(ids::kStatus)->toolTip().isEmpty());
  openClose->click();
  close(master);
}

}  // namespace
