// One application object for the run, a private folder of published
// COM-name links so the simulators of these tests never meet a user's, and
// remembered settings of the run's own.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QTemporaryDir>

#include "app/settings_store.h"
#include "platform/dialog_look.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir runtime;
  if (!runtime.isValid()) return 1;
  setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
  QApplication application(argc, argv);
  platform::InitDialogLook();
  app::CMemorySettingsStore settings;
  app::CSettingsStoreOverride useSettings(settings);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
