#include "platform/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QString>
#include <vector>

namespace platform {
namespace {

// Paths, and the texts that show them, are in the system's 8-bit encoding.
QString Local8Bit(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

CQtPrompts& DesktopPrompts() {
  static CQtPrompts prompts;
  return prompts;
}

CPrompts* current = nullptr;

std::vector<std::string_view> SplitBars(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t bar; (bar = text.find('|', start)) != std::string_view::npos; start = bar + 1) {
    parts.push_back(text.substr(start, bar - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogOptions& options, bool save) {
  QFileDialog dialog(parent, QGuiApplication::applicationDisplayName());
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The tool asks about an existing file itself.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters(NameFilters(options.filter));
  dialog.setDirectory(QDir::current());
  if (save && !options.defaultExtension.empty()) dialog.setDefaultSuffix(Latin1(options.defaultExtension));
  const QString initial = Local8Bit(options.initialName);
  if (!initial.isEmpty() && !initial.contains(QLatin1Char('*')) && !initial.contains(QLatin1Char('?'))) {
    dialog.selectFile(initial);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<std::string> EnterFolderOf(std::optional<std::string> path) {
  if (path) QDir::setCurrent(QFileInfo(Local8Bit(*path)).absolutePath());
  return path;
}

}  // namespace

CPrompts& Prompts() { return current != nullptr ? *current : DesktopPrompts(); }

CPrompts* SetPrompts(CPrompts* prompts) {
  CPrompts* previous = current;
  current = prompts;
  return previous;
}

std::optional<std::string> ChooseFileToOpen(QWidget* parent, const FileDialogOptions& options) {
  return EnterFolderOf(Prompts().OpenFileName(parent, options));
}

std::optional<std::string> ChooseFileToSave(QWidget* parent, const FileDialogOptions& options) {
  return EnterFolderOf(Prompts().SaveFileName(parent, options));
}

QStringList NameFilters(std::string_view filter) {
  QStringList filters;
  const std::vector<std::string_view> parts = SplitBars(filter);
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;  // the "||" that ends the list
    QString description = Latin1(parts[i]).trimmed();
    const QString pattern = Latin1(parts[i + 1]);
    // Drop a pattern the description repeats, so it is not shown twice.
    const QString repeated = QLatin1Char('(') + pattern + QLatin1Char(')');
    if (description.endsWith(repeated)) description.chop(repeated.size());
    QStringList patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == QStringLiteral("*.*")) p = QStringLiteral("*");
    }
    filters << description.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

std::optional<std::string> CQtPrompts::OpenFileName(QWidget* parent, const FileDialogOptions& options) {
  return RunFileDialog(parent, options, false);
}

std::optional<std::string> CQtPrompts::SaveFileName(QWidget* parent, const FileDialogOptions& options) {
  return RunFileDialog(parent, options, true);
}

bool CQtPrompts::AskYesNo(QWidget* parent, std::string_view text) {
  return QMessageBox::question(parent, QGuiApplication::applicationDisplayName(), Local8Bit(text),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void CQtPrompts::ShowMessage(QWidget* parent, std::string_view text) {
  QMessageBox::warning(parent, QGuiApplication::applicationDisplayName(), Local8Bit(text), QMessageBox::Ok);
}

std::optional<std::string> CScriptedPrompts::NextFile() {
  if (fileAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(fileAnswers.front());
  fileAnswers.pop_front();
  return answer;
}

std::optional<std::string> CScriptedPrompts::OpenFileName(QWidget*, const FileDialogOptions& options) {
  asked.push_back({Kind::OpenFile, {}, options});
  return NextFile();
}

std::optional<std::string> CScriptedPrompts::SaveFileName(QWidget*, const FileDialogOptions& options) {
  asked.push_back({Kind::SaveFile, {}, options});
  return NextFile();
}

bool CScriptedPrompts::AskYesNo(QWidget*, std::string_view text) {
  asked.push_back({Kind::YesNo, std::string(text), {}});
  if (yesNoAnswers.empty()) return false;
  const bool yes = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return yes;
}

void CScriptedPrompts::ShowMessage(QWidget*, std::string_view text) {
  asked.push_back({Kind::Message, std::string(text), {}});
}

}  // namespace platform
