// The udev rule the package installs: udevadm verify accepts it where the
// installed udev has that command (Debian 12's does not), and in any case a
// syntax check of our own does; it lists exactly the receivers the port
// checks know, each with uaccess and ModemManager's ignore flag, and none of
// the generic USB-serial bridges.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ports/usb_ids.h"

namespace {

using ::testing::IsEmpty;

struct Pair {
  std::string key;  // "ATTRS{idVendor}"
  std::string op;
  std::string value;
};

bool MatchKey(const std::string& name) {
  static const std::set<std::string> keys{"ACTION", "DEVPATH", "KERNEL", "KERNELS", "SUBSYSTEM", "SUBSYSTEMS",
                                          "DRIVER", "DRIVERS", "ATTR",   "ATTRS",   "SYSCTL",    "ENV",
                                          "CONST",  "TAG",     "TAGS",   "TEST",    "PROGRAM",   "RESULT",
                                          "NAME",   "SYMLINK", "GROUP",  "OWNER",   "MODE"};
  return keys.count(name) != 0;
}

bool AssignKey(const std::string& name) {
  static const std::set<std::string> keys{"NAME",     "SYMLINK", "OWNER",  "GROUP",  "MODE",
                                          "SECLABEL", "ATTR",    "SYSCTL", "ENV",    "TAG",
                                          "RUN",      "LABEL",   "GOTO",   "IMPORT", "OPTIONS"};
  return keys.count(name) != 0;
}

bool NeedsAttribute(const std::string& name) {
  return name == "ATTR" || name == "ATTRS" || name == "SYSCTL" || name == "ENV" || name == "CONST" ||
         name == "SECLABEL" || name == "IMPORT";
}

// Splits `line` into KEY op "value" pairs; false with `error` set when it is
// not made of them.
bool ParseRule(const std::string& line, std::vector<Pair>& pairs, std::string& error) {
  pairs.clear();
  std::size_t at = 0;
  const auto skipBlanks = [&] {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  };
  while (true) {
    skipBlanks();
    Pair pair;
    const std::size_t keyStart = at;
    while (at < line.size() && (std::isupper(static_cast<unsigned char>(line[at])) || line[at] == '_')) ++at;
    const std::string name = line.substr(keyStart, at - keyStart);
    if (name.empty()) return (error = "a key is expected at column " + std::to_string(at)), false;
    pair.key = name;
    if (at < line.size() && line[at] == '{') {
      const std::size_t close = line.find('}', at);
      if (close == std::string::npos || close == at + 1)
        return (error = "unclosed or empty {} after " + name), false;
      pair.key = line.substr(keyStart, close + 1 - keyStart);
      at = close + 1;
    } else if (NeedsAttribute(name)) {
      return (error = name + " needs {attribute}"), false;
    }
    skipBlanks();
    for (const char* op : {"==", "!=", "+=", "-=", ":=", "="}) {
      if (line.compare(at, std::string(op).size(), op) == 0) {
        pair.op = op;
        break;
      }
    }
    if (pair.op.empty()) return (error = "an operator is expected after " + pair.key), false;
    at += pair.op.size();
    const bool match = pair.op == "==" || pair.op == "!=";
    if (match && !MatchKey(name)) return (error = name + " cannot be compared"), false;
    if (!match && !AssignKey(name)) return (error = name + " cannot be assigned"), false;
    if ((name == "GOTO" || name == "LABEL") && pair.op != "=") return (error = name + " takes ="), false;
    skipBlanks();
    if (at >= line.size() || line[at] != '"')
      return (error = "a quoted value is expected after " + pair.key), false;
    const std::size_t close = line.find('"', at + 1);
    if (close == std::string::npos) return (error = "unclosed quote after " + pair.key), false;
    pair.value = line.substr(at + 1, close - at - 1);
    at = close + 1;
    pairs.push_back(pair);
    skipBlanks();
    if (at == line.size()) return true;
    if (line[at] != ',') return (error = "',' or the end is expected at column " + std::to_string(at)), false;
    ++at;
  }
}

// Every problem found in a rule file's text.
std::vector<std::string> CheckRules(const std::string& text) {
  std::vector<std::string> errors;
  std::set<std::string> labels, jumps;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string where = "line " + std::to_string(number) + ": ";
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    if (line.back() == '\\') {
      errors.push_back(where + "continued lines are not used here");
      continue;
    }
    std::vector<Pair> pairs;
    std::string error;
    if (!ParseRule(line, pairs, error)) {
      errors.push_back(where + error);
      continue;
    }
    for (const Pair& pair : pairs) {
      if (pair.key == "LABEL") labels.insert(pair.value);
      if (pair.key == "GOTO") {
        if (labels.count(pair.value)) errors.push_back(where + "GOTO jumps back to " + pair.value);
        jumps.insert(pair.value);
      }
    }
  }
  for (const std::string& jump : jumps) {
    if (!labels.count(jump)) errors.push_back("GOTO to a missing LABEL " + jump);
  }
  return errors;
}

std::string RuleText() {
  std::ifstream file(GPSDESK_UDEV_RULE);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(UdevRule, OurCheckCatchesBrokenRules) {
  EXPECT_THAT(CheckRules("# a comment\n\nKERNEL==\"ttyACM[0-9]*\", TAG+=\"uaccess\"\n"), IsEmpty());
  EXPECT_EQ(CheckRules("ATTRS{idVendor}=\"1546\", TAG+=\"uaccess\"\n").size(), 1u) << "= for ==";
  EXPECT_EQ(CheckRules("ATTRS{idVendor}==\"1546\" TAG+=\"uaccess\"\n").size(), 1u) << "a missing comma";
  EXPECT_EQ(CheckRules("ATTRS{idVendor}==\"1546, TAG+=\"uaccess\"\n").size(), 1u) << "a stray quote";
  EXPECT_EQ(CheckRules("ATTRS==\"1546\"\n").size(), 1u) << "no attribute";
  EXPECT_EQ(CheckRules("TAGG+=\"uaccess\"\n").size(), 1u) << "an unknown key";
  EXPECT_EQ(CheckRules("TAG~=\"uaccess\"\n").size(), 1u) << "an unknown operator";
  EXPECT_EQ(CheckRules("GOTO=\"end\"\nLABEL=\"ende\"\n").size(), 1u) << "a jump to nowhere";
  EXPECT_EQ(CheckRules("LABEL=\"end\"\nGOTO=\"end\"\n").size(), 1u) << "udev jumps forward only";
}

TEST(UdevRule, PassesTheSyntaxCheck) {
  const std::string text = RuleText();
  ASSERT_FALSE(text.empty()) << GPSDESK_UDEV_RULE;
  EXPECT_THAT(CheckRules(text), IsEmpty());
}

TEST(UdevRule, PassesUdevadmVerifyWhereThereIsOne) {
  if (std::system("udevadm verify --help >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "this udev has no 'udevadm verify' (it came with systemd 253)";
  const std::string command = std::string("udevadm verify '") + GPSDESK_UDEV_RULE + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(UdevRule, ListsTheKnownReceiversOnlyEachWithAccessAndWithoutModemManager) {
  std::set<std::pair<int, int>> expected;
  for (const ports::UsbIdRange& range : ports::kReceiverUsbIds) {
    for (int product = range.firstProductId; product <= range.lastProductId; ++product)
      expected.emplace(range.vendorId, product);
  }
  std::set<std::pair<int, int>> listed;
  std::istringstream lines(RuleText());
  std::string line, comment;
  while (std::getline(lines, line)) {
    if (line.rfind('#', 0) == 0) {
      comment = line;
      continue;
    }
    std::vector<Pair> pairs;
    std::string error;
    if (line.empty() || !ParseRule(line, pairs, error)) continue;
    int vendor = -1, product = -1;
    bool uaccess = false, ignored = false;
    for (const Pair& pair : pairs) {
      if (pair.key == "ATTRS{idVendor}") vendor = std::stoi(pair.value, nullptr, 16);
      if (pair.key == "ATTRS{idProduct}") product = std::stoi(pair.value, nullptr, 16);
      uaccess |= pair.key == "TAG" && pair.op == "+=" && pair.value == "uaccess";
      ignored |= pair.key == "ENV{ID_MM_DEVICE_IGNORE}" && pair.value == "1";
    }
    if (vendor < 0) continue;
    EXPECT_TRUE(uaccess && ignored) << line;
    char id[32];
    std::snprintf(id, sizeof id, "# %04x:%04x ", vendor, product);
    EXPECT_EQ(comment.rfind(id, 0), 0u) << "the line before names the id and its source: " << line;
    EXPECT_NE(comment.find('('), std::string::npos) << comment;
    listed.emplace(vendor, product);
    EXPECT_FALSE(ports::FindUsbId(ports::kBrailleClaimedBridgeIds, vendor, product)) << line;
  }
  EXPECT_EQ(listed, expected);
  for (const std::pair<int, int>& bridge : {std::pair{0x067b, 0x2303},
                                            {0x10c4, 0xea60},
                                            {0x10c4, 0xea71},
                                            {0x0403, 0x6001},
                                            {0x1a86, 0x7523},
                                            {0x0557, 0x2008}})
    EXPECT_EQ(listed.count(bridge), 0u) << "a generic bridge";
}

}  // namespace
