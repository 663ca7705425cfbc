// Draws the chart's font image: a 16 x 16 grid of glyph cells, white, with
// the glyph shapes in the alpha channel. Character code ch sits in cell
// ch + 96 (row 0 at the top), so the printable ASCII codes fill rows 8 to
// 15. Run by hand when the artwork changes; the image is kept in resources/.
//
//   lociview-fontgen <DejaVuSansMono.ttf> <output Font.png>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int cellPixels = 32;
constexpr int gridCells = 16;
constexpr int firstCode = 32;
constexpr int lastCode = 126;  // 127 to 159 are control codes: their cells stay empty
constexpr int cellOffset = 96;

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: lociview-fontgen <font.ttf> <Font.png>\n");
        return 2;
    }
    const int id = QFontDatabase::addApplicationFont(args[1]);
    if (id < 0) {
        std::fprintf(stderr, "cannot load font %s\n", qPrintable(args[1]));
        return 1;
    }
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0));
    font.setPixelSize(30);
    font.setStretch(140);  // glyphs advance 15 of 16 units: fill the cell's width
    font.setHintingPreference(QFont::PreferFullHinting);
    const QFontMetrics metrics(font);

    const int side = cellPixels * gridCells;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::white);
        for (int code = firstCode; code <= lastCode; ++code) {
            const int cell = code + cellOffset;
            const int x = (cell % gridCells) * cellPixels;
            const int y = (cell / gridCells) * cellPixels;
            const QString glyph(QChar::fromLatin1(static_cast<char>(code)));
            const int left = x + (cellPixels - metrics.horizontalAdvance(glyph)) / 2;
            // Baseline so that the glyph box (ascent + descent) is centred in the cell.
            const int baseline = y + (cellPixels - (metrics.ascent() + metrics.descent())) / 2 + metrics.ascent();
            painter.drawText(left, baseline, glyph);
        }
    }

    // White everywhere, so filtering never blends in a dark fringe; the
    // shapes are the alpha alone.
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < out.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(row));
        for (int col = 0; col < out.width(); ++col) line[col] = qRgba(255, 255, 255, qAlpha(line[col]));
    }
    if (!out.save(args[2], "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
