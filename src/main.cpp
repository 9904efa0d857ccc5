#include "app/bar_app.h"

int main(int argc, char** argv) {
  lumarine::BarApp app;
  return app.Run(argc, argv);
}
