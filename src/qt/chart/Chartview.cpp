#include "qt/chart/Chartview.h"

#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "chart/ChartGeometry.h"

namespace lociview::qt {

QString chartNotice(const QString& problem) {
    return QStringLiteral("The chart is empty: %1").arg(problem);
}

Chartview::Chartview(ChartModel& model, LogSink& log, OutputSink& standardOutput, QWidget* parent)
    : QOpenGLWidget(parent), chart(model), services{log, standardOutput, {}} {
    setFormat(surfaceFormat());
    setCriticalAlert([this](const std::string& title, const std::string& message) {
        QMessageBox::critical(this, QString::fromStdString(title), QString::fromStdString(message));
    });
    redrawTimer.setInterval(100);
    connect(&redrawTimer, &QTimer::timeout, this, &Chartview::redrawIfChanged);
}

Chartview::~Chartview() {
    releaseGL();
    // QOpenGLWidget's own destructor destroys the context after this body;
    // its last signal must not call back into a view that is gone.
    if (QOpenGLContext* own = context()) disconnect(own, nullptr, this, nullptr);
}

void Chartview::releaseGL() {
    if (!ready || !context() || !context()->isValid()) return;
    makeCurrent();
    if (base != 0) glDeleteLists(base, 256);
    base = 0;
    fonty.reset();
    doneCurrent();
    ready = false;
}

void Chartview::setCriticalAlert(std::function<void(const std::string&, const std::string&)> alert) {
    services.criticalAlert = std::move(alert);
}

QSurfaceFormat Chartview::surfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSwapInterval(1);
    return format;
}

QString Chartview::formatProblem(const QSurfaceFormat& format) {
    if (format.renderableType() == QSurfaceFormat::OpenGLES) {
        return QStringLiteral("the OpenGL context is OpenGL ES, which lacks the OpenGL 1.x drawing calls the chart uses.");
    }
    const bool profiled = format.version() >= qMakePair(3, 2);
    if (profiled && format.profile() == QSurfaceFormat::CoreProfile) {
        return QStringLiteral("the OpenGL %1.%2 context is a core profile, not a compatibility profile, so the "
                              "OpenGL 1.x drawing calls the chart uses are missing.")
            .arg(format.majorVersion())
            .arg(format.minorVersion());
    }
    return {};
}

QString Chartview::openGLProblem() {
    static const QString problem = [] {
        QOpenGLContext context;
        context.setFormat(QSurfaceFormat::defaultFormat());
        if (!context.create()) return QStringLiteral("OpenGL is not available (no OpenGL context could be created).");
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        if (!surface.isValid() || !context.makeCurrent(&surface)) {
            return QStringLiteral("OpenGL is not available (the OpenGL context could not be used).");
        }
        const QString found = formatProblem(context.format());
        context.doneCurrent();
        return found;
    }();
    return problem;
}

void Chartview::initializeGL() {
    unusable = formatProblem(context()->format());
    if (!unusable.isEmpty()) {
        logf(services.log, "%s", chartNotice(unusable).toStdString().c_str());
        return;
    }
    // The swap interval of 1 is part of the surface format set at construction.
    redrawTimer.start();
    // Moving the view to another window replaces its context: the font's
    // texture and lists go with the old one and are made again here.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &Chartview::releaseGL, Qt::UniqueConnection);

    GLTexture::enableMipMapping();
    fonty = GLTexture::initWithResource("Font.png", services);
    buildFont();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, ChartGeometry::areaWidth, 0, ChartGeometry::areaHeight, -200, 200);
    glMatrixMode(GL_MODELVIEW);

    glClearColor(0.75f, 0.75f, 0.75f, 1.0f);
    glEnable(GL_BLEND);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ready = true;
    update();
}

void Chartview::buildFont() {
    base = glGenLists(256);
    if (fonty) fonty->bind();
    constexpr float cell = 0.0625f;
    for (uint32_t g = 0; g < 256; ++g) {
        const float u = static_cast<float>(g % 16) * cell;
        const float v = 1.0f - static_cast<float>(g / 16) * cell;  // top edge of the cell
        glNewList(base + g, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(u, v - cell);
        glVertex2i(0, 0);
        glTexCoord2f(u + cell, v - cell);
        glVertex2i(16, 0);
        glTexCoord2f(u + cell, v);
        glVertex2i(16, 16);
        glTexCoord2f(u, v);
        glVertex2i(0, 16);
        glEnd();
        glTranslated(15, 0, 0);  // the pen advance
        glEndList();
    }
}

void Chartview::glPrint(int x, int y, float size, const char* fmt, ...) {
    (void)x;
    (void)y;
    if (!fmt) return;
    char text[512];
    va_list args;
    va_start(args, fmt);
    const int n = std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    if (n < 0) return;

    // Codes from 160 name no glyph list; calling whatever list happens to
    // carry that number would draw something foreign, so they are dropped.
    size_t kept = 0;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if (static_cast<unsigned char>(text[i]) < 160) text[kept++] = text[i];
    }

    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    if (fonty) fonty->bind();
    glListBase(base + 96);
    glScalef(size, size, 1.0f);
    glCallLists(static_cast<GLsizei>(kept), GL_UNSIGNED_BYTE, text);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void Chartview::redrawIfChanged() {
    if (shown && *shown == ChartGeometry::inputs(chart)) return;
    update();
}

void Chartview::paintGL() {
    if (!ready) {
        paintNotice();
        return;
    }
    drawFrame();
}

void Chartview::drawFrame() {
    glLoadIdentity();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Smoothed lines and glyph edges would blend their coverage into the
    // alpha channel too, and the window composes the chart by that alpha:
    // the partly covered pixels of a grey curve came out lighter than the
    // background. The chart is opaque, so its alpha stays as cleared.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);

    shown = ChartGeometry::inputs(chart);
    ++drawnFrames;
    const ChartFrame frame = ChartGeometry::frame(chart);
    if (!frame.empty()) {
        glColor3f(0, 0, 0);
        for (const ChartLabel& label : frame.labels) {
            glPushMatrix();
            glTranslatef(static_cast<float>(label.x), static_cast<float>(ChartGeometry::labelBase), 0);
            glRotatef(90, 0, 0, 1);
            glPrint(ChartGeometry::labelPrintX, ChartGeometry::labelPrintY, ChartGeometry::labelSize, "%s",
                    label.text.c_str());
            glPopMatrix();
        }
        for (const ChartCurve& curve : frame.curves) {
            glPushMatrix();
            glTranslatef(static_cast<float>(curve.x0), static_cast<float>(ChartGeometry::curveBase), 0);
            glBegin(GL_LINE_STRIP);
            const GLubyte level = colourLevel(curve.colour);
            glColor3ub(level, level, level);
            for (const ChartVertex& v : curve.vertices) glVertex2f(static_cast<float>(v.x), static_cast<float>(v.y));
            glEnd();
            glPopMatrix();
        }
        // The axis takes the colour of the last curve, still current.
        glBegin(GL_LINE_STRIP);
        glVertex2f(0, static_cast<float>(ChartGeometry::axisY));
        glVertex2f(static_cast<float>(ChartGeometry::areaWidth), static_cast<float>(ChartGeometry::axisY));
        glEnd();
    }
    glFlush();
}

void Chartview::paintNotice() {
    // QPainter draws through whatever context there is, core or ES alike.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(191, 191, 191));
    painter.setPen(Qt::black);
    painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, chartNotice(unusable));
}

}  // namespace lociview::qt
