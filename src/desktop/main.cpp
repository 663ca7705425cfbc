// The desktop application: a Qt window for the controller.
#include "desktop/DesktopApp.h"

int main(int argc, char* argv[]) { return lociview::qt::runDesktop(argc, argv); }
