#pragma once
// What the tool remembers between runs, kept by the desktop's settings
// (QSettings, ~/.config/gpsdesk/gpsdesk.conf on Linux). Windows read and write
// it through SettingsStore(); tests install a store of their own so that
// they neither see nor change the user's settings.

#include <QString>
#include <map>
#include <string>

namespace app {

class CSettingsStore {
 public:
  virtual ~CSettingsStore() = default;
  virtual bool ReadBool(const std::string& key, bool fallback) = 0;
  virtual void WriteBool(const std::string& key, bool value) = 0;
};

// The user's settings, or a file of settings when `file` is given.
class CQSettingsStore final : public CSettingsStore {
 public:
  CQSettingsStore() = default;
  explicit CQSettingsStore(QString file) : file_(std::move(file)) {}
  bool ReadBool(const std::string& key, bool fallback) override;
  void WriteBool(const std::string& key, bool value) override;

 private:
  QString file_;
};

// Settings that live as long as the object.
class CMemorySettingsStore final : public CSettingsStore {
 public:
  bool ReadBool(const std::string& key, bool fallback) override;
  void WriteBool(const std::string& key, bool value) override { values_[key] = value; }

 private:
  std::map<std::string, bool> values_;
};

// The store in use: the user's settings unless one is installed.
CSettingsStore& SettingsStore();
// Installs `store` (not owned; null restores the user's) and returns the one
// it replaces.
CSettingsStore* SetSettingsStore(CSettingsStore* store);

class CSettingsStoreOverride {
 public:
  explicit CSettingsStoreOverride(CSettingsStore& store) : previous_(SetSettingsStore(&store)) {}
  ~CSettingsStoreOverride() { SetSettingsStore(previous_); }
  CSettingsStoreOverride(const CSettingsStoreOverride&) = delete;
  CSettingsStoreOverride& operator=(const CSettingsStoreOverride&) = delete;

 private:
  CSettingsStore* previous_;
};

}  // namespace app
