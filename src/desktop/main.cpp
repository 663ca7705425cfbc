// The desktop application: a Qt window for the controller.
#include <QApplication>
#include <QSurfaceFormat>

#include "app/GeneController.h"
#include "qt/LociviewWindow.h"

int main(int argc, char* argv[]) {
    // The chart draws with the fixed-function pipeline: ask for a
    // compatibility context before any window or context exists.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lociview"));
    QApplication::setDesktopFileName(QStringLiteral("lociview"));

    lociview::qt::LociviewWindow window;
    lociview::GeneController controller(window.outlets());
    lociview::qt::ControllerLink link(window, controller);
    window.show();
    return app.exec();
}
