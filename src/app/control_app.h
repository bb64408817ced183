#pragma once
// The application object: runs the main window modally and ends the program
// when it closes. Command-line arguments are left to the toolkit.

#include <QApplication>

namespace app {

class CControlApp : public QApplication {
  Q_OBJECT

 public:
  CControlApp(int& argc, char** argv);
  ~CControlApp() override;

  // The start-up sequence. Returns false: once the main window has closed
  // the application does not go on.
  bool InitInstance();
};

}  // namespace app
