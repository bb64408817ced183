#pragma once
// The About box (template 100): icon, product and version, and OK.

#include "platform/dialog.h"

namespace app {

class CAboutDlg : public platform::CDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
  ~CAboutDlg() override;
};

}  // namespace app
