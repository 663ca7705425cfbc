#pragma once
// The chart view: an OpenGL widget that draws the frame ChartGeometry
// computes from a ChartModel (the controller's Chart), looked at ten times
// a second and redrawn when it changed, with axis labels in a bitmap font.
#include <cstdint>
#include <memory>
#include <optional>

#include <QOpenGLWidget>
#include <QString>
#include <QSurfaceFormat>
#include <QTimer>

#include "qt/chart/GLTexture.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartModel.h"

namespace lociview::qt {

class Chartview : public QOpenGLWidget {
    Q_OBJECT

public:
    Chartview(ChartModel& model, LogSink& log, OutputSink& standardOutput, QWidget* parent = nullptr);
    ~Chartview() override;

    // The compatibility-profile format the chart needs (OpenGL 1.x immediate
    // mode, depth buffer, double buffering, swaps on vertical retrace). Set
    // it as the default once, before the application object exists.
    static QSurfaceFormat surfaceFormat();

    // Why no chart can be drawn on this machine ("" when it can): tries a
    // context with the default format once and remembers the answer. Call it
    // after the application object exists.
    static QString openGLProblem();

    // Why a context's format cannot draw the chart ("" when it can).
    static QString formatProblem(const QSurfaceFormat& format);

    ChartModel& model() { return chart; }

    // Where texture loads report alerts (a critical message box by default).
    void setCriticalAlert(std::function<void(const std::string&, const std::string&)> alert);

    // Prints one line of text at the current model-view origin, scaled by
    // size. x and y do not move the text; the caller places it with the matrix.
    [[gnu::format(printf, 5, 6)]] void glPrint(int x, int y, float size, const char* fmt, ...);
    void buildFont();

    // For tests and diagnostics.
    uint32_t fontBase() const { return base; }
    const GLTexture* fontTexture() const { return fonty.get(); }
    const QString& problem() const { return unusable; }
    // Frames drawn so far.
    int64_t framesDrawn() const { return drawnFrames; }

    // The timer's tick: asks for a frame when the next would differ from
    // the one shown; an unchanged chart costs nothing at rest.
    void redrawIfChanged();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    void drawFrame();
    void paintNotice();
    void releaseGL();

    ChartModel& chart;
    TextureServices services;
    QTimer redrawTimer;
    std::unique_ptr<GLTexture> fonty;
    uint32_t base = 0;
    QString unusable;
    bool ready = false;
    std::optional<ChartInputs> shown;  // of the frame drawn last
    int64_t drawnFrames = 0;
};

// The explanation shown in place of the chart when it cannot be drawn.
QString chartNotice(const QString& problem);

}  // namespace lociview::qt
