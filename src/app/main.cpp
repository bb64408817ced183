#include "app/control_app.h"

int main(int argc, char** argv) {
  app::CControlApp application(argc, argv);
  application.InitInstance();
  return 0;
}
