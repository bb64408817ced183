#pragma once
// The main window as the program runs it (modal, so the configuration
// dialogs find it as their owner) with its port open on a pseudo-terminal
// that stands in for the receiver, and the means to drive one dialog from
// inside its own modal loop.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_dlg.h"
#include "dialogs/config_dlg.h"
#include "nmea/sentence.h"
#include "resources/main_ids.h"

namespace dlgtest {

// The receiver's end of the line.
class Receiver {
 public:
  Receiver() {
    if (openpty(&master_, &slave_, name_, nullptr, nullptr) != 0) master_ = slave_ = -1;
  }
  ~Receiver() {
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
  }
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;

  bool Ok() const { return master_ >= 0; }
  std::string Device() const { return name_; }

  // Reads until `count` bytes came or five seconds passed.
  std::string Receive(std::size_t count) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 50) > 0) {
        char buf[256];
        const ssize_t n = read(master_, buf, std::min(sizeof buf, count - got.size()));
        if (n > 0) got.append(buf, static_cast<std::size_t>(n));
      }
    }
    return got;
  }

 private:
  int master_ = -1, slave_ = -1;
  char name_[128] = {};
};

// `text` with its "*hh".
inline std::string Framed(std::string text) {
  nmea::AppendChecksum(text);
  return text;
}

inline std::string Preview(std::string sentence) { return sentence + "<CR><LF>"; }

inline std::string Wire(std::string_view sentence) { return std::string(sentence) + "\r\n"; }

// The entries of list `id`, in order.
inline std::vector<std::string> Items(const platform::CDialog& dlg, int id) {
  std::vector<std::string> items;
  if (const auto* list = dlg.ControlAs<QComboBox>(id)) {
    for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
  }
  return items;
}

inline int Position(const platform::CDialog& dlg, int id) {
  return dlg.ControlAs<QComboBox>(id)->currentIndex();
}

// What the user does.
inline void Select(platform::CDialog& dlg, int id, int position) {
  dlg.ControlAs<QComboBox>(id)->setCurrentIndex(position);
}
inline void Click(platform::CDialog& dlg, int id) { dlg.ControlAs<QAbstractButton>(id)->click(); }
// Replaces the text of edit `id` the way typing over a selection does,
// through the field's validator.
inline void Type(platform::CDialog& dlg, int id, const QString& text) {
  auto* edit = dlg.ControlAs<QLineEdit>(id);
  edit->selectAll();
  edit->insert(text);
}
inline bool Enabled(const platform::CDialog& dlg, int id) { return dlg.Control(id)->isEnabled(); }

struct Opened {
  bool opened = false;
  std::string className;
  std::string title;
  QWidget* parent = nullptr;
};

class DialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rx.Ok());
    main.setWindowModality(Qt::ApplicationModal);
    main.show();
    main.portName = rx.Device();
    main.ControlAs<QAbstractButton>(ids::kOpenClose)->click();
    ASSERT_EQ(main.activeSource, app::SourceSerial) << main.ItemText(ids::kStatus);
  }

  // Clicks launcher `button` of the main window and runs `script` on the
  // configuration dialog that opens, inside the dialog's modal loop. A
  // dialog the script leaves open is cancelled after it.
  Opened Open(int button, const std::function<void(dialogs::CConfigDlg&)>& script) {
    Opened seen;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
      auto* dlg = qobject_cast<dialogs::CConfigDlg*>(QApplication::activeModalWidget());
      if (dlg == nullptr) return;
      watcher.stop();
      seen = {true, dlg->metaObject()->className(), dlg->windowTitle().toStdString(), dlg->parentWidget()};
      script(*dlg);
      if (dlg->isVisible()) dlg->EndDialog(tmpl::kIdCancel);
    });
    watcher.start();
    main.ControlAs<QAbstractButton>(button)->click();
    return seen;
  }

  // Everything the receiver got since the last look, up to a marker the
  // main window sends now: nothing sent earlier can still be on its way.
  std::string SentSoFar() {
    main.SendSentence("MARK");
    std::string got;
    while (got.size() < 6 || got.compare(got.size() - 6, 6, "MARK\r\n") != 0) {
      const std::string more = rx.Receive(1);
      if (more.empty()) break;
      got += more;
    }
    return got.size() >= 6 ? got.substr(0, got.size() - 6) : got;
  }

  Receiver rx;
  app::CMainDlg main;
};

}  // namespace dlgtest
