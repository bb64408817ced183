// The widget tests need one application object for the whole run, and
// remembered settings of their own: the user's are neither read nor changed.

#include <gtest/gtest.h>

#include <QApplication>

#include "app/settings_store.h"
#include "platform/dialog_look.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  platform::InitDialogLook();
  app::CMemorySettingsStore settings;
  app::CSettingsStoreOverride useSettings(settings);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
