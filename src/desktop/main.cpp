// The desktop application: a Qt window for the controller.
#include "qt/DesktopApp.h"

int main(int argc, char* argv[]) { return lociview::qt::runDesktop(argc, argv); }
