// The chart view in a real GL context: its font lists and printing, and the
// pixels of drawn frames.
#include <QImage>

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "GLSupport.h"
#include "chart/ChartGeometry.h"

namespace lociview::qt::test {
namespace {

class ChartviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString problem = Chartview::openGLProblem();
        if (!problem.isEmpty()) GTEST_SKIP() << problem.toStdString();
        view = std::make_unique<Chartview>(model, log, output);
        view->setCriticalAlert([this](const std::string&, const std::string& message) { alerts.push_back(message); });
        view->resize(800, 600);
        view->show();
        frame = view->grabFramebuffer();  // initialises the view and draws one frame
    }
    void TearDown() override { view.reset(); }

    AllelePtr add(double size, int32_t height, int32_t score) {
        auto a = std::make_shared<Allele>(size, height, 10, 1);
        a->changeScore(score);
        model.addAllele(a);
        return a;
    }

    // Grey level of the frame at drawing-area coordinates (origin bottom left).
    int level(int x, int y) const { return qGray(frame.pixel(x, frame.height() - 1 - y)); }
    // The darkest pixel within a small box around a point.
    int darkest(int x, int y, int radius) const {
        int least = 255;
        for (int dx = -radius; dx <= radius; ++dx)
            for (int dy = -radius; dy <= radius; ++dy) least = std::min(least, level(x + dx, y + dy));
        return least;
    }

    // How much darker than the background a column is around y (a line
    // one unit wide adds up to the background level for black).
    int ink(int x, int y) const {
        int sum = 0;
        for (int dy = -2; dy <= 2; ++dy) sum += 191 - level(x, y + dy);
        return sum;
    }

    // Polygons the print sends down the pipeline, caught in feedback mode.
    int polygonsPrinted(const char* text) {
        std::vector<GLfloat> buffer(1 << 20);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(10, 300, 0);
        view->glPrint(10, 100, 0.01f, "%s", text);
        glPopMatrix();
        const GLint n = glRenderMode(GL_RENDER);
        int polygons = 0;
        for (GLint i = 0; i < n;) {
            const auto token = static_cast<GLint>(buffer[static_cast<size_t>(i)]);
            if (token == GL_POLYGON_TOKEN) {
                ++polygons;
                i += 2 + 2 * static_cast<GLint>(buffer[static_cast<size_t>(i) + 1]);
            } else {
                i += token == GL_PASS_THROUGH_TOKEN ? 2 : 1;
            }
        }
        return polygons;
    }

    RecordingLog log;
    RecordingOutput output;
    ChartModel model{log};
    std::vector<std::string> alerts;
    std::unique_ptr<Chartview> view;
    QImage frame;
};

TEST_F(ChartviewTest, SetUpLoadsTheFontAndBuildsItsLists) {
    ASSERT_TRUE(view->problem().isEmpty());
    EXPECT_TRUE(alerts.empty());
    EXPECT_TRUE(output.written.empty());
    EXPECT_TRUE(log.has("Mip mapped"));
    view->makeCurrent();
    const GLTexture* font = view->fontTexture();
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font->name(), 0u);
    EXPECT_EQ(font->target(), static_cast<uint32_t>(GL_TEXTURE_2D));
    EXPECT_EQ(font->format(), static_cast<uint32_t>(GL_RGBA));
    EXPECT_TRUE(GLTexture::sizeIsPowerOfTwo(font->size().width, font->size().height));
    EXPECT_GT(font->size().width, 16.0f);

    const uint32_t base = view->fontBase();
    ASSERT_NE(base, 0u);
    for (uint32_t g = 0; g < 256; ++g) EXPECT_TRUE(glIsList(base + g)) << g;
    view->doneCurrent();
}

TEST_F(ChartviewTest, GlyphListsAdvanceThePen) {
    struct Case {
        const char* text;
        float size;
        float advance;
    };
    const Case cases[] = {{"150", 1.5f, 67.5f}, {"-2", 1.0f, 30.0f}, {"7", 2.0f, 30.0f}, {"", 1.5f, 0.0f}};
    view->makeCurrent();
    glMatrixMode(GL_MODELVIEW);
    for (const auto& c : cases) {
        glPushMatrix();
        glLoadIdentity();
        glListBase(view->fontBase() + 96);
        glScalef(c.size, c.size, 1.0f);
        glCallLists(static_cast<GLsizei>(std::strlen(c.text)), GL_UNSIGNED_BYTE, c.text);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glPopMatrix();
        EXPECT_FLOAT_EQ(m[12], c.advance) << c.text;
        EXPECT_FLOAT_EQ(m[13], 0.0f) << c.text;
    }
    view->doneCurrent();
}

TEST_F(ChartviewTest, PrintLeavesTheMatrixAndTexturingAsTheyWere) {
    view->makeCurrent();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(100, 20, 0);
    glRotatef(90, 0, 0, 1);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    for (const char* text : {"150", ""}) {
        view->glPrint(10, 100, 1.5f, "%s", text);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        EXPECT_TRUE(std::equal(before, before + 16, after)) << text;
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << text;
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<uint32_t>(bound), view->fontTexture()->name()) << text;
    }
    glLoadIdentity();
    view->doneCurrent();
}

TEST_F(ChartviewTest, PrintDrawsOneQuadPerCharacter) {
    view->makeCurrent();
    const int one = polygonsPrinted("a");
    ASSERT_GT(one, 0);
    EXPECT_EQ(polygonsPrinted("-152"), 4 * one);
    EXPECT_EQ(polygonsPrinted(""), 0);
    EXPECT_EQ(polygonsPrinted("\xa0\xff"), 0);  // no glyph lists for codes from 160
    EXPECT_EQ(polygonsPrinted(std::string(600, 'x').c_str()), 511 * one);  // cut at the 512-byte buffer
    view->doneCurrent();
}

TEST_F(ChartviewTest, EmptyChartIsPlainLightGrey) {
    ASSERT_EQ(frame.width(), 800);
    ASSERT_EQ(frame.height(), 600);
    int least = 255, most = 0;
    for (int y = 0; y < 600; y += 3)
        for (int x = 0; x < 800; x += 3) {
            least = std::min(least, level(x, y));
            most = std::max(most, level(x, y));
        }
    EXPECT_EQ(least, 191);  // 0.75 grey: no labels, no axis
    EXPECT_EQ(most, 191);
}

TEST_F(ChartviewTest, FrameShowsPeaksLabelsAndAxis) {
    struct Case {
        const char* name;
        bool scoredLast;
        bool axisBlack;
    };
    const Case cases[] = {{"discarded peak last: grey axis", false, false}, {"scored peak last: black axis", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        model.clearGraph();
        model.setRange(150, 170);
        if (c.scoredLast) {
            add(160, 1000, DISCARDED);
            add(152, 1000, SCORED);
        } else {
            add(152, 1000, SCORED);
            add(160, 1000, DISCARDED);
        }
        frame = view->grabFramebuffer();
        const ChartFrame geometry = ChartGeometry::frame(model);
        const double p = geometry.pitch;
        const int top = static_cast<int>(30 + 50 + 1000 / 2.5066282746310002);  // about 478.9

        EXPECT_EQ(level(700, 300), 191);                                   // background
        EXPECT_LT(darkest(static_cast<int>(2 * p - 12 + 0.5), top, 3), 60);  // the scored peak, black
        const int grey = darkest(static_cast<int>(6 * p - 12 + 0.5), top, 3);
        EXPECT_GE(grey, 90);
        EXPECT_LE(grey, 150);
        // The axis at y = 80 straddles two pixel rows: add up its ink.
        const int axis = ink(700, 80);
        if (c.axisBlack) {
            EXPECT_GT(axis, 150);
        } else {
            EXPECT_GT(axis, 60);
            EXPECT_LT(axis, 120);
        }
        // The first label's text lies left of its anchor, running upward from y = 10.
        int dark = 0;
        for (int x = static_cast<int>(p) - 24; x < static_cast<int>(p); ++x)
            for (int y = 12; y < 75; ++y) dark += level(x, y) < 100 ? 1 : 0;
        EXPECT_GT(dark, 20);
        // No label ink right of the first one's anchor, before the second's text.
        EXPECT_EQ(darkest(static_cast<int>(p + 10), 40, 2), 191);
    }
}

TEST(ChartviewFormatTest, OnlyCompatibleContextsDrawTheChart) {
    struct Case {
        QSurfaceFormat::RenderableType type;
        int major, minor;
        QSurfaceFormat::OpenGLContextProfile profile;
        bool usable;
    };
    const Case cases[] = {
        {QSurfaceFormat::OpenGL, 2, 1, QSurfaceFormat::NoProfile, true},
        {QSurfaceFormat::OpenGL, 4, 5, QSurfaceFormat::CompatibilityProfile, true},
        {QSurfaceFormat::OpenGL, 4, 5, QSurfaceFormat::CoreProfile, false},
        {QSurfaceFormat::OpenGL, 3, 1, QSurfaceFormat::CoreProfile, true},  // no profiles before 3.2
        {QSurfaceFormat::OpenGLES, 3, 0, QSurfaceFormat::NoProfile, false},
    };
    for (const auto& c : cases) {
        QSurfaceFormat f;
        f.setRenderableType(c.type);
        f.setVersion(c.major, c.minor);
        f.setProfile(c.profile);
        EXPECT_EQ(Chartview::formatProblem(f).isEmpty(), c.usable) << c.major << "." << c.minor;
    }
    const QSurfaceFormat wanted = Chartview::surfaceFormat();
    EXPECT_EQ(wanted.profile(), QSurfaceFormat::CompatibilityProfile);
    EXPECT_EQ(wanted.swapInterval(), 1);
    EXPECT_TRUE(Chartview::formatProblem(wanted).isEmpty());
}

}  // namespace
}  // namespace lociview::qt::test
