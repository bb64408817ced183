// Placing and removing this process's lock file among other programs' locks,
// on made-up folders.

#include "ports/lock_file.h"

#include <gtest/gtest.h>

#include "fake_facts.h"

namespace {

using namespace ports;
using namespace ports_test;

class OwnLock : public ::testing::Test {
 protected:
  void SetUp() override {
    facts.folders = {"/run/lock", "/var/spool/locks"};
    facts.links["/var/lock"] = "/run/lock";
  }
  LockReading Place() {
    return PlaceOwnLock(facts, LockFolders(facts, {"/var/lock", "/run/lock", "/var/spool/locks"}),
                        "/dev/ttyUSB0", lockPath);
  }
  std::string ours() const { return LockFileContent(facts.ownPid); }

  FakeFacts facts;
  std::string lockPath;
  const std::string lock = "/run/lock/LCK..ttyUSB0";
};

TEST_F(OwnLock, FoldersCountOnceAndOnlyWhenTheyExist) {
  EXPECT_EQ(LockFolders(facts, {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks"}),
            (std::vector<std::string>{"/run/lock", "/var/spool/locks"}));
  EXPECT_EQ(LockFolders(facts, {"/etc/locks"}), std::vector<std::string>{});
}

TEST_F(OwnLock, PlacedInTheFirstFolderAndRemovedAgain) {
  EXPECT_EQ(Place().state, LockState::Free);
  EXPECT_EQ(lockPath, lock);
  EXPECT_EQ(facts.files, (std::map<std::string, std::string>{{lock, ours()}}));
  EXPECT_EQ(ReadLock(facts, lock).state, LockState::Ours);
  RemoveOwnLock(facts, lockPath);
  EXPECT_TRUE(facts.files.empty());
}

TEST_F(OwnLock, AStaleLockIsReplacedAndOursIsAdopted) {
  facts.files[lock] = LockFileContent(4712);
  EXPECT_EQ(ReadLock(facts, lock).state, LockState::Stale);
  EXPECT_EQ(Place().state, LockState::Free);
  EXPECT_EQ(lockPath, lock);
  EXPECT_EQ(facts.files[lock], ours());

  lockPath.clear();
  EXPECT_EQ(Place().state, LockState::Free);
  EXPECT_EQ(lockPath, lock);
  EXPECT_EQ(facts.files.size(), 1u);
}

TEST_F(OwnLock, ALockOfARunningProgramIsNeverTouched) {
  facts.Add(4711, "minicom");
  facts.files[lock] = LockFileContent(4711);
  const LockReading there = Place();
  EXPECT_EQ(there.state, LockState::Taken);
  EXPECT_EQ(there.pid, 4711);
  EXPECT_TRUE(lockPath.empty());
  EXPECT_EQ(facts.files, (std::map<std::string, std::string>{{lock, LockFileContent(4711)}}));

  // Ours once, but another program's by now: closing leaves it alone.
  RemoveOwnLock(facts, lock);
  EXPECT_EQ(facts.files[lock], LockFileContent(4711));
}

TEST_F(OwnLock, WithoutAWritableFolderThePortGoesWithoutALock) {
  facts.readOnlyFolders = {"/run/lock"};
  EXPECT_EQ(Place().state, LockState::Free);
  EXPECT_EQ(lockPath, "/var/spool/locks/LCK..ttyUSB0");

  facts.files.clear();
  lockPath.clear();
  facts.readOnlyFolders = {"/run/lock", "/var/spool/locks"};
  EXPECT_EQ(Place().state, LockState::Free);
  EXPECT_TRUE(lockPath.empty());
  EXPECT_TRUE(facts.files.empty());

  // A stale lock that may not be removed is left where it is.
  facts.readOnlyFolders = {"/run/lock"};
  facts.folders = {"/run/lock"};
  facts.files[lock] = LockFileContent(4712);
  EXPECT_EQ(Place().state, LockState::Free);
  EXPECT_TRUE(lockPath.empty());
  EXPECT_EQ(facts.files[lock], LockFileContent(4712));
}

TEST_F(OwnLock, AnUnknownLockIsLeftAlone) {
  facts.folders = {"/run/lock"};
  facts.files[lock] = "not a pid\n";
  EXPECT_EQ(ReadLock(facts, lock).state, LockState::Unknown);
  EXPECT_EQ(Place().state, LockState::Free);
  EXPECT_TRUE(lockPath.empty());
  RemoveOwnLock(facts, lock);
  EXPECT_EQ(facts.files[lock], "not a pid\n");
}

}  // namespace
