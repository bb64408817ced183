// The console (control 1024) and the log file.

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <cerrno>
#include <cstring>

#include "app/main_dlg.h"
#include "platform/prompts.h"
#include "resources/main_ids.h"

namespace app {
namespace {

constexpr int kConsoleMaxLines = 200;
constexpr int kConsoleTrimLines = 20;
// Input that never ends a line is never trimmed by line count; past this
// many characters the oldest half of the console goes.
constexpr int kConsoleMaxChars = 1024 * 1024;

const platform::FileDialogOptions kLogDialog{"*.txt", "Txt files(*.txt)|*.txt|All Files(*.*)|*.*||", "txt"};

// 8-bit console text for the screen: CR LF ends a line; control bytes other
// than TAB show as their visible control pictures (a received zero byte as
// U+2400), so nothing that arrived disappears; 0x80-0xFF as Latin-1.
QString ConsoleDisplayText(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += QChar(u'\n');
      ++i;
    } else if (c == '\n' || c == '\r') {
      out += QChar(u'\n');
    } else if (c < 0x20 && c != '\t') {
      out += QChar(static_cast<char16_t>(0x2400 + c));
    } else if (c == 0x7F) {
      out += QChar(u'\u2421');
    } else {
      out += QChar(static_cast<char16_t>(c));
    }
  }
  return out;
}

}  // namespace

void CMainDlg::AppendConsole(std::string_view text) {
  auto* console = ControlAs<QPlainTextEdit>(ids::kConsole);
  if (!console) return;
  QTextDocument* doc = console->document();
  // A text ending in a line end counts the empty line after it, as blocks do.
  if (doc->blockCount() > kConsoleMaxLines) {
    QTextCursor trim(doc);
    trim.setPosition(0);
    trim.setPosition(doc->findBlockByNumber(kConsoleTrimLines).position(), QTextCursor::KeepAnchor);
    trim.removeSelectedText();
  } else if (doc->characterCount() > kConsoleMaxChars) {
    QTextCursor trim(doc);
    trim.setPosition(0);
    trim.setPosition(doc->characterCount() / 2, QTextCursor::KeepAnchor);
    trim.removeSelectedText();
  }
  QTextCursor end(doc);
  end.movePosition(QTextCursor::End);
  end.insertText(ConsoleDisplayText(text));
  console->setTextCursor(end);
  console->ensureCursorVisible();
}

void CMainDlg::AppendLog(std::string_view text) {
  if (!logFile) return;
  // Every byte as it came, zero bytes included, with nothing held back.
  const bool written = std::fwrite(text.data(), 1, text.size(), logFile.get()) == text.size();
  if (written && std::fflush(logFile.get()) == 0) return;
  // The disk is full or gone: stop logging and say so, rather than keep
  // showing "Stop Log" over a file that no longer receives anything.
  const std::string reason = std::strerror(errno);
  logFile.reset();
  logging = 0;
  SetItemText(ids::kStartStopLog, "Start Log");
  std::string message = logPath + "\nLog write failed: " + reason + "\nLogging stopped.";
  // Inside a port notification or a replay tick the message waits until it
  // is done: its event loop must not start another one half-way through.
  if (receiveGuard_.Busy()) {
    receiveGuard_.DeferMessage(std::move(message));
  } else {
    platform::Prompts().ShowMessage(this, message);
  }
}

void CMainDlg::OnStartStopLog() {
  if (logging == 1) {
    logFile.reset();
    logging = 0;
    SetItemText(ids::kStartStopLog, "Start Log");
    return;
  }
  const std::optional<std::string> path = platform::ChooseFileToSave(this, kLogDialog);
  if (!path) return;
  if (std::FILE* existing = std::fopen(path->c_str(), "rb")) {
    std::fclose(existing);
    if (!platform::Prompts().AskYesNo(this, *path + "\nFile exist! Overwrite?!")) return;
  }
  File created(std::fopen(path->c_str(), "wb"));
  if (!created) {
    platform::Prompts().ShowMessage(this, *path + "\nFile open fial!");
    return;
  }
  logFile = std::move(created);
  logPath = *path;
  logging = 1;
  SetItemText(ids::kStartStopLog, "Stop Log");
}

}  // namespace app
