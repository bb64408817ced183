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

#include "../ui/pty_receiver.h"
#include "app/main_dlg.h"
#include "dialogs/config_dlg.h"
#include "nmea/sentence.h"
#include "resources/main_ids.h"

namespace dlgtest {

using uitest::Receiver;

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
