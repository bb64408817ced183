#include "app/about_dlg.h"

#include "resources/dialog_template.h"

namespace app {

CAboutDlg::CAboutDlg(QWidget* parent) : platform::CDialog(tmpl::AboutTemplate(), parent) {}

CAboutDlg::~CAboutDlg() = default;

}  // namespace app
