#pragma once
// The modal questions the tool asks: choosing a file to open or save, a
// Yes/No question and a message with OK. Windows ask them through Prompts(),
// so a test can install scripted answers instead of the desktop's dialogs.

#include <QStringList>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace platform {

struct FileDialogOptions {
  // A name to preselect; a pattern such as "*.txt" preselects nothing.
  std::string initialName;
  // Pairs of description and pattern, '|'-separated and ended by "||":
  // "Txt files(*.txt)|*.txt|All Files(*.*)|*.*||".
  std::string filter;
  // Added to a typed name that has no extension when saving.
  std::string defaultExtension;
};

class CPrompts {
 public:
  virtual ~CPrompts() = default;
  // The chosen file's full path; nothing when the dialog was cancelled.
  virtual std::optional<std::string> OpenFileName(QWidget* parent, const FileDialogOptions& options) = 0;
  // As OpenFileName; an existing file is returned without asking about it.
  virtual std::optional<std::string> SaveFileName(QWidget* parent, const FileDialogOptions& options) = 0;
  // True for Yes.
  virtual bool AskYesNo(QWidget* parent, std::string_view text) = 0;
  virtual void ShowMessage(QWidget* parent, std::string_view text) = 0;
};

// The prompts in force; the desktop's unless a test installed others.
CPrompts& Prompts();
// Installs `prompts` (not owned; null restores the desktop's) and returns the
// ones it replaces.
CPrompts* SetPrompts(CPrompts* prompts);

// File choice as the tool's windows use it: on OK the current directory
// becomes the folder of the chosen file.
std::optional<std::string> ChooseFileToOpen(QWidget* parent, const FileDialogOptions& options);
std::optional<std::string> ChooseFileToSave(QWidget* parent, const FileDialogOptions& options);

// The filter pairs as the desktop's file dialog takes them: "Txt files
// (*.txt)", "All Files (*)". Patterns separated by ';' stay together; "*.*"
// means every file.
QStringList NameFilters(std::string_view filter);

// The desktop's dialogs; titled with the application's name.
class CQtPrompts final : public CPrompts {
 public:
  std::optional<std::string> OpenFileName(QWidget* parent, const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(QWidget* parent, const FileDialogOptions& options) override;
  bool AskYesNo(QWidget* parent, std::string_view text) override;
  void ShowMessage(QWidget* parent, std::string_view text) override;
};

// Answers from a script, in order; records every prompt. When the script
// has run out, file dialogs are cancelled and questions answered No.
class CScriptedPrompts final : public CPrompts {
 public:
  enum class Kind { OpenFile, SaveFile, YesNo, Message };
  struct Asked {
    Kind kind;
    std::string text;  // question or message; empty for file dialogs
    FileDialogOptions options;
  };

  std::deque<std::optional<std::string>> fileAnswers;
  std::deque<bool> yesNoAnswers;
  std::vector<Asked> asked;

  std::optional<std::string> OpenFileName(QWidget* parent, const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(QWidget* parent, const FileDialogOptions& options) override;
  bool AskYesNo(QWidget* parent, std::string_view text) override;
  void ShowMessage(QWidget* parent, std::string_view text) override;

 private:
  std::optional<std::string> NextFile();
};

// Installs prompts for the lifetime of this object.
class CPromptsOverride {
 public:
  explicit CPromptsOverride(CPrompts& prompts) : previous_(SetPrompts(&prompts)) {}
  ~CPromptsOverride() { SetPrompts(previous_); }
  CPromptsOverride(const CPromptsOverride&) = delete;
  CPromptsOverride& operator=(const CPromptsOverride&) = delete;

 private:
  CPrompts* previous_;
};

}  // namespace platform
