// The console (control 1024) and the log file.

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/console_trim.h"
#include "app/main_dlg.h"
#include "platform/prompts.h"
#include "resources/main_ids.h"

namespace app {
namespace {

const platform::FileDialogOptions kLogDialog{"*.txt", "Txt files(*.txt)|*.txt|All Files(*.*)|*.*||", "txt"};

// Console text for the screen, its line ends already made '\n': control bytes
// other than TAB show as their visible control pictures (a received zero
// byte as U+2400), so nothing that arrived disappears; 0x80-0xFF as Latin-1.
// One character per byte, so positions agree with the trimming plan.
QString ConsoleDisplayText(std::string_view text) {
  QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* to = out.data();
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    if (c == '\n' || c == '\t' || (c >= 0x20 && c != 0x7F)) {
      *to++ = QChar(static_cast<char16_t>(c));
    } else if (c == 0x7F) {
      *to++ = QChar(u'\u2421');
    } else {
      *to++ = QChar(static_cast<char16_t>(0x2400 + c));
    }
  }
  return out;
}

// The console's document as the trimming plan sees it.
class DocumentShape final : public ConsoleShape {
 public:
  explicit DocumentShape(const QTextDocument& doc) : doc_(doc) {}
  int Lines() const override { return doc_.blockCount(); }
  // Without the paragraph end the document keeps after its last line.
  std::size_t Length() const override { return static_cast<std::size_t>(doc_.characterCount() - 1); }
  std::size_t LineStart(int line) const override {
    return static_cast<std::size_t>(doc_.findBlockByNumber(line).position());
  }
  int LineAt(std::size_t position) const override {
    return doc_.findBlock(static_cast<int>(position)).blockNumber();
  }

 private:
  const QTextDocument& doc_;
};

}  // namespace

void CMainDlg::AppendConsole(std::string_view text) {
  auto* console = ControlAs<QPlainTextEdit>(ids::kConsole);
  if (!console) return;
  QTextDocument* doc = console->document();
  const std::string lines = ConsoleLineEnds(text);
  const DocumentShape shape(*doc);
  const std::size_t length = shape.Length();
  // What has to go is removed in one piece: old lines from the console, and
  // the front of a large addition before it is ever inserted.
  const std::size_t cut = PlanConsoleCut(shape, lines);
  if (cut > 0) {
    QTextCursor trim(doc);
    trim.setPosition(0);
    trim.setPosition(static_cast<int>(std::min(cut, length)), QTextCursor::KeepAnchor);
    trim.removeSelectedText();
  }
  QTextCursor end(doc);
  end.movePosition(QTextCursor::End);
  end.insertText(ConsoleDisplayText(std::string_view(lines).substr(cut > length ? cut - length : 0)));
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
