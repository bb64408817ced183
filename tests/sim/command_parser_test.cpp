// What each line from the tool asks of the receiver, with the sentences
// built by the tool's own dialog builders wherever the tool sends them.

#include "sim/command_parser.h"

#include <gtest/gtest.h>

#include <ostream>

#include "dialogs/sentences.h"
#include "sim_test_support.h"

namespace sim {
namespace {

// A line as the receiver gets it: without CR LF.
std::string Sent(std::string body) {
  std::string line = sim_test::Command(std::move(body));
  line.resize(line.size() - 2);
  return line;
}

dialogs::ResetSettings Keyword(int index) { return {0, index, false}; }
dialogs::ResetSettings Bits(int flags) { return {flags, 0, true}; }
dialogs::EcefInitSettings Ecef(int resetIndex, int channelIndex = 4) {
  dialogs::EcefInitSettings s;
  s.resetIndex = resetIndex;
  s.channelIndex = channelIndex;
  return s;
}

struct RestartCase {
  const char* legend;
  std::string line;
  RestartKind kind;
  bool reload;
};
void PrintTo(const RestartCase& c, std::ostream* os) { *os << c.legend; }

class Restarts : public testing::TestWithParam<RestartCase> {};

TEST_P(Restarts, AmountToTheirKind) {
  const Command c = ParseCommand(GetParam().line);
  ASSERT_EQ(c.kind, CommandKind::Restart) << c.problem;
  EXPECT_EQ(c.restart, GetParam().kind);
  EXPECT_EQ(c.reloadSettings, GetParam().reload);
}

INSTANTIATE_TEST_SUITE_P(
    FromTheTool, Restarts,
    testing::Values(
        RestartCase{"factory", dialogs::BuildResetSentence(Keyword(0)), RestartKind::Factory, false},
        RestartCase{"hot", dialogs::BuildResetSentence(Keyword(1)), RestartKind::Hot, false},
        RestartCase{"warm", dialogs::BuildResetSentence(Keyword(2)), RestartKind::Warm, false},
        RestartCase{"cold", dialogs::BuildResetSentence(Keyword(3)), RestartKind::Cold, false},
        RestartCase{"lower_case_keyword", Sent("$PVLRX111,cold"), RestartKind::Cold, false},
        RestartCase{"bits_none", dialogs::BuildResetSentence(Bits(0)), RestartKind::Hot, false},
        RestartCase{"bits_reload_only", dialogs::BuildResetSentence(Bits(1)), RestartKind::Hot, true},
        RestartCase{"bits_almanac", dialogs::BuildResetSentence(Bits(2)), RestartKind::Factory, false},
        RestartCase{"bits_ephemeris", dialogs::BuildResetSentence(Bits(4)), RestartKind::Warm, false},
        RestartCase{"bits_ephemeris_position", dialogs::BuildResetSentence(Bits(4 | 16)), RestartKind::Cold,
                    false},
        RestartCase{"bits_position_only", dialogs::BuildResetSentence(Bits(16)), RestartKind::Warm, false},
        RestartCase{"bits_all", dialogs::BuildResetSentence(Bits(255)), RestartKind::Factory, true},
        RestartCase{"ecef_hot", dialogs::BuildEcefInitSentence(Ecef(0)), RestartKind::Hot, false},
        RestartCase{"ecef_warm_init", dialogs::BuildEcefInitSentence(Ecef(2)), RestartKind::Warm, false},
        RestartCase{"ecef_factory", dialogs::BuildEcefInitSentence(Ecef(4)), RestartKind::Factory, false}),
    [](const auto& info) { return std::string(info.param.legend); });

TEST(Commands, EcefInitCarriesChannelsAndOtherNumbersAreTaken) {
  EXPECT_EQ(ParseCommand(dialogs::BuildEcefInitSentence(Ecef(0, 0))).channels, 8);
  EXPECT_EQ(ParseCommand(dialogs::BuildEcefInitSentence(Ecef(0, 8))).channels, 16);
  const Command datum = ParseCommand(dialogs::BuildDatumSentence(0, {}));
  EXPECT_EQ(datum.kind, CommandKind::Accepted);
  EXPECT_EQ(datum.number, 106);
}

struct IgnoredCase {
  const char* legend;
  std::string line;
  CommandKind kind;
};
void PrintTo(const IgnoredCase& c, std::ostream* os) { *os << c.legend; }

class Ignored : public testing::TestWithParam<IgnoredCase> {};

TEST_P(Ignored, LeaveTheReceiverAsItWas) { EXPECT_EQ(ParseCommand(GetParam().line).kind, GetParam().kind); }

INSTANTIATE_TEST_SUITE_P(
    Lines, Ignored,
    testing::Values(IgnoredCase{"wrong_checksum", "$PVLRX111,HOT*00", CommandKind::BadChecksum},
                    IgnoredCase{"no_checksum", "$PVLRX111,HOT", CommandKind::BadChecksum},
                    IgnoredCase{"one_checksum_digit", "$PVLRX600*7", CommandKind::BadChecksum},
                    IgnoredCase{"checksum_then_more", "$PVLRX600*76x", CommandKind::BadChecksum},
                    IgnoredCase{"standard_sentence", Sent("$GPGGA,1"), CommandKind::NotOurs},
                    IgnoredCase{"two_digit_number", Sent("$PVLRX60"), CommandKind::NotOurs},
                    IgnoredCase{"four_digit_number", Sent("$PVLRX6000"), CommandKind::NotOurs},
                    IgnoredCase{"isp_bytes", "VLRN", CommandKind::NotOurs},
                    IgnoredCase{"unknown_message", Sent("$PVLRX108,GGA,XYZ"), CommandKind::Rejected},
                    IgnoredCase{"rate_too_high", Sent("$PVLRX103,GGA,11"), CommandKind::Rejected},
                    IgnoredCase{"rate_missing", Sent("$PVLRX103,GGA"), CommandKind::Rejected},
                    IgnoredCase{"odd_baud", Sent("$PVLRX100,0,1000,0"), CommandKind::Rejected},
                    IgnoredCase{"unknown_start_mode", Sent("$PVLRX111,LUKEWARM"), CommandKind::Rejected},
                    IgnoredCase{"bits_out_of_range", Sent("$PVLRX111,256"), CommandKind::Rejected},
                    IgnoredCase{"ecef_code_5", Sent("$PVLRX101,0,0,0,0,0,0,12,5,"), CommandKind::Rejected},
                    IgnoredCase{"ecef_7_channels", Sent("$PVLRX101,0,0,0,0,0,0,7,1,"),
                                CommandKind::Rejected}),
    [](const auto& info) { return std::string(info.param.legend); });

TEST(Commands, ChecksumDigitsMayBeLowerCase) {
  EXPECT_EQ(ParseCommand("$PVLRX111,HOT*0e").kind, CommandKind::Restart);
  EXPECT_EQ(ParseCommand("$PVLRX111,HOT*0E").kind, CommandKind::Restart);
}

}  // namespace
}  // namespace sim
