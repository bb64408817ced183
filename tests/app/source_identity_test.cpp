// Which source was opened last, and the texts kept per interpreter.

#include "app/source_identity.h"

#include <gtest/gtest.h>

#include "app/display_texts.h"
#include "nmea/interpreter.h"
#include "resources/main_ids.h"

namespace {

TEST(SourceIdentity, OnlyAnotherSourceCounts) {
  app::LastSource last;
  EXPECT_FALSE(last.Opened(app::FileSourceIdentity("/tmp/a.nmea")));         // nothing was open before
  EXPECT_FALSE(last.Opened(app::FileSourceIdentity("/tmp/./b/../a.nmea")));  // the same file
  EXPECT_TRUE(last.Opened(app::FileSourceIdentity("/tmp/b.nmea")));
  EXPECT_TRUE(last.Opened(app::PortSourceIdentity("COM1", "/dev/ttyUSB0")));
  EXPECT_FALSE(last.Opened(app::PortSourceIdentity("COM1", "/dev/ttyUSB0")));
  EXPECT_TRUE(last.Opened(app::PortSourceIdentity("COM1", "/dev/ttyUSB1")));  // the name leads elsewhere now
  EXPECT_TRUE(last.Opened(app::PortSourceIdentity("COM2", "/dev/ttyUSB1")));
  EXPECT_TRUE(last.Opened(app::FileSourceIdentity("/dev/ttyUSB1")));  // a file is no port
}

TEST(DisplayTexts, StartValuesAndTheLastTextOfEachControl) {
  app::DisplayTexts texts;
  EXPECT_EQ(texts.TextOf(ids::kSpeed), "0 Km/h");
  EXPECT_EQ(texts.TextOf(ids::kVersion), "Version unknown");
  EXPECT_EQ(texts.TextOf(ids::kStatus), "");  // not an interpreter's
  nmea::ReceiverState state;
  texts.Apply(nmea::Interpret("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", state));
  texts.Apply(nmea::Interpret("$GPRMC,123519,A,4807.038,N,01131.000,E,010.0,,230394,003.1,W", state));
  EXPECT_EQ(texts.TextOf(ids::kSpeed), "18 km/h");
  EXPECT_EQ(texts.TextOf(ids::kCourse), "0");
  texts.Reset();
  EXPECT_EQ(texts.TextOf(ids::kSpeed), "0 Km/h");
}

}  // namespace
