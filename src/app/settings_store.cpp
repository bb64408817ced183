#include "app/settings_store.h"

#include <QSettings>
#include <memory>

namespace app {
namespace {

std::unique_ptr<QSettings> Open(const QString& file) {
  if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("gpsdesk"),
                                     QStringLiteral("gpsdesk"));
}

CSettingsStore* installed = nullptr;

}  // namespace

bool CQSettingsStore::ReadBool(const std::string& key, bool fallback) {
  return Open(file_)->value(QString::fromStdString(key), fallback).toBool();
}

void CQSettingsStore::WriteBool(const std::string& key, bool value) {
  const auto settings = Open(file_);
  settings->setValue(QString::fromStdString(key), value);
  settings->sync();
}

bool CMemorySettingsStore::ReadBool(const std::string& key, bool fallback) {
  const auto it = values_.find(key);
  return it == values_.end() ? fallback : it->second;
}

CSettingsStore& SettingsStore() {
  static CQSettingsStore user;
  return installed ? *installed : user;
}

CSettingsStore* SetSettingsStore(CSettingsStore* store) {
  CSettingsStore* previous = installed;
  installed = store;
  return previous;
}

}  // namespace app
