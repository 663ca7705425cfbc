#include "qt/export/ReportDocument.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <memory>
#include <vector>

#include "base/Version.h"
#include "qt/export/SaveFile.h"

namespace lociview::qt {

namespace {

const QColor kGrey{0x55, 0x55, 0x55};
const QColor kRule{0x99, 0x99, 0x99};
const QColor kTitleRow{0xe8, 0xe8, 0xe8};

struct Fonts {
    QFont title, subtitle, heading, body, table, tableTitle, fixed, footer;
};

Fonts reportFonts() {
    const auto sized = [](QFont font, double points, bool bold = false) {
        font.setPointSizeF(points);
        font.setBold(bold);
        return font;
    };
    const QFont plain;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return {sized(plain, 16, true), sized(plain, 8.5), sized(plain, 12, true), sized(plain, 9),
            sized(plain, 7.5),      sized(plain, 7.5, true), sized(fixed, 7.5), sized(plain, 7)};
}

// Text set in lines of width, wrapped at word boundaries, or anywhere in a
// word too long for a line (a checksum); height is what it takes.
struct Block {
    std::unique_ptr<QTextLayout> layout;
    double height = 0;
};

Block block(const QString& s, const QFont& font, QPaintDevice* device, double width,
            Qt::Alignment alignment = Qt::AlignLeft) {
    Block b{std::make_unique<QTextLayout>(s, font, device), 0};
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    b.layout->setTextOption(option);
    b.layout->beginLayout();
    for (QTextLine line = b.layout->createLine(); line.isValid(); line = b.layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, b.height));
        b.height += line.height();
    }
    b.layout->endLayout();
    return b;
}

bool looksNumeric(const QString& s) {
    bool number = false;
    s.toDouble(&number);
    return number;
}

// The widths that fit columns of these natural widths into width: a column
// narrower than an even share keeps its width, the others share the rest.
std::vector<double> fitColumns(const std::vector<double>& natural, double width) {
    std::vector<double> widths = natural;
    double total = 0;
    for (const double w : natural) total += w;
    if (total <= width) return widths;
    std::vector<bool> kept(natural.size(), false);
    double remaining = width;
    size_t shared = natural.size();
    for (bool changed = true; changed && shared > 0;) {
        changed = false;
        const double share = remaining / static_cast<double>(shared);
        for (size_t i = 0; i < natural.size(); ++i) {
            if (kept[i] || natural[i] > share) continue;
            kept[i] = true;
            remaining -= natural[i];
            --shared;
            changed = true;
        }
    }
    for (size_t i = 0; i < natural.size(); ++i)
        if (!kept[i]) widths[i] = remaining / static_cast<double>(std::max<size_t>(shared, 1));
    return widths;
}

// One pass over the report: measuring only (no painter), which counts the
// pages, or painting, which also prints "page N of M" at each foot.
class Pages {
public:
    Pages(QPagedPaintDevice& device, QPainter* painter, const Report& report, int total)
        : device(device), painter(painter), fonts(reportFonts()), footer(QString::fromStdString(report.title)), total(total) {
        pt = device.logicalDpiY() / 72.0;
        width = device.width();
        bottom = device.height() - 14 * pt;  // the foot's line below
    }

    QPaintDevice* measure() { return &device; }
    double points(double p) const { return p * pt; }

    // A new page unless height fits below what is there (or nothing is).
    void room(double height) {
        if (y > 0 && y + height > bottom) newPage();
    }
    bool fits(double height) const { return y + height <= bottom; }
    void space(double height) {
        if (y > 0) y += height;
    }

    void newPage() {
        drawFooter();
        if (painter) device.newPage();
        ++page;
        y = 0;
    }

    void finish() { drawFooter(); }
    int pages() const { return page; }

    // A block at x, y moved down past it.
    void draw(const Block& b, double x, const QColor& colour = Qt::black) {
        if (painter) {
            painter->setPen(colour);
            b.layout->draw(painter, QPointF(x, y));
        }
        y += b.height;
    }

    void fill(const QRectF& area, const QColor& colour) {
        if (painter) painter->fillRect(area, colour);
    }
    void frame(const QRectF& area) {
        if (!painter) return;
        painter->setPen(QPen(kRule, points(0.5)));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(area);
    }
    void cell(const QRectF& area, const QString& s, const QFont& font, Qt::Alignment alignment) {
        if (!painter) return;
        painter->setPen(Qt::black);
        painter->setFont(font);
        painter->drawText(area, static_cast<int>(alignment | Qt::AlignTop), s);
    }
    void image(const QRectF& area, const QImage& picture) {
        if (painter) painter->drawImage(area, picture);
    }

    QPagedPaintDevice& device;
    QPainter* painter;
    Fonts fonts;
    double pt = 1;
    double width = 0;
    double bottom = 0;
    double y = 0;

private:
    void drawFooter() {
        if (!painter) return;
        painter->setFont(fonts.footer);
        painter->setPen(kGrey);
        const QRectF foot(0, bottom, width, device.height() - bottom);
        const QString number = QStringLiteral("page %1 of %2").arg(page).arg(total);
        painter->drawText(foot, Qt::AlignRight | Qt::AlignBottom, number);
        const QFontMetricsF metrics(fonts.footer, &device);
        painter->drawText(foot.adjusted(0, 0, -metrics.horizontalAdvance(number) - points(12), 0),
                          Qt::AlignLeft | Qt::AlignBottom, metrics.elidedText(footer, Qt::ElideRight, width / 2));
    }

    QString footer;
    int total;
    int page = 1;
};

void paragraph(Pages& p, const QString& s, const QFont& font, const QColor& colour = Qt::black) {
    const Block b = block(s, font, p.measure(), p.width);
    p.room(b.height);
    p.draw(b, 0, colour);
    p.y += p.points(3);
}

void facts(Pages& p, const std::vector<std::pair<std::string, std::string>>& list) {
    const QFontMetricsF metrics(p.fonts.body, p.measure());
    double nameWidth = 0;
    for (const auto& fact : list) nameWidth = std::max(nameWidth, metrics.horizontalAdvance(QString::fromStdString(fact.first)));
    nameWidth = std::min(nameWidth + p.points(12), p.width * 0.35);
    for (const auto& [name, value] : list) {
        const Block n = block(QString::fromStdString(name), p.fonts.body, p.measure(), nameWidth - p.points(6));
        const Block v = block(value.empty() ? QStringLiteral("—") : QString::fromStdString(value), p.fonts.body, p.measure(),
                              p.width - nameWidth);
        const double height = std::max(n.height, v.height);
        p.room(height);
        const double top = p.y;
        p.draw(n, 0, kGrey);
        p.y = top;
        p.draw(v, nameWidth);
        p.y = top + height;
    }
    p.y += p.points(4);
}

void table(Pages& p, const TextTable& t) {
    const size_t columns = t.columns.size();
    if (columns == 0) return;
    const QFont& font = p.fonts.table;
    const QFont& bold = p.fonts.tableTitle;
    const QFontMetricsF metrics(font, p.measure());
    const QFontMetricsF boldMetrics(bold, p.measure());
    const double pad = p.points(2.5);
    const double vpad = p.points(1.2);
    const double line = metrics.height();

    // Every cell once as text, and each column's natural width.
    std::vector<QString> titles;
    std::vector<double> natural(columns);
    for (size_t c = 0; c < columns; ++c) {
        titles.push_back(QString::fromStdString(t.columns[c]));
        natural[c] = boldMetrics.horizontalAdvance(titles[c]) + 2 * pad;
    }
    std::vector<std::vector<QString>> rows;
    rows.reserve(t.rows.size());
    for (const auto& row : t.rows) {
        std::vector<QString> cells(columns);
        for (size_t c = 0; c < columns && c < row.size(); ++c) {
            cells[c] = QString::fromStdString(row[c]);
            natural[c] = std::max(natural[c], metrics.horizontalAdvance(cells[c]) + 2 * pad);
        }
        rows.push_back(std::move(cells));
    }
    const std::vector<double> widths = fitColumns(natural, p.width);

    // A row's cells: one line where they fit, wrapped blocks where not.
    const auto drawRow = [&](const std::vector<QString>& cells, bool title) {
        const QFont& f = title ? bold : font;
        const QFontMetricsF& m = title ? boldMetrics : metrics;
        std::vector<std::optional<Block>> wrapped(columns);
        double height = line;
        for (size_t c = 0; c < columns; ++c) {
            const double inner = widths[c] - 2 * pad;
            if (m.horizontalAdvance(cells[c]) <= inner) continue;
            wrapped[c] = block(cells[c], f, p.measure(), inner);
            height = std::max(height, wrapped[c]->height);
        }
        height += 2 * vpad;
        return std::pair{std::move(wrapped), height};
    };
    const auto paintRow = [&](const std::vector<QString>& cells, bool title,
                              const std::vector<std::optional<Block>>& wrapped, double height) {
        double x = 0;
        const double top = p.y;
        for (size_t c = 0; c < columns; ++c) {
            const QRectF area(x, top, widths[c], height);
            if (title) p.fill(area, kTitleRow);
            p.frame(area);
            if (wrapped[c]) {
                p.y = top + vpad;
                p.draw(*wrapped[c], x + pad);
            } else {
                const Qt::Alignment alignment = !title && looksNumeric(cells[c]) ? Qt::AlignRight : Qt::AlignLeft;
                p.cell(area.adjusted(pad, vpad, -pad, -vpad), cells[c], title ? bold : font, alignment);
            }
            x += widths[c];
        }
        p.y = top + height;
    };

    auto [titleBlocks, titleHeight] = drawRow(titles, true);
    const double firstRow = rows.empty() ? 0 : drawRow(rows.front(), false).second;
    p.room(titleHeight + firstRow);
    paintRow(titles, true, titleBlocks, titleHeight);
    for (const auto& cells : rows) {
        auto [blocks, height] = drawRow(cells, false);
        if (!p.fits(height)) {
            // The table goes on at the top of the next page under its titles.
            p.newPage();
            paintRow(titles, true, titleBlocks, titleHeight);
        }
        paintRow(cells, false, blocks, height);
    }
    p.y += p.points(8);
}

void preformatted(Pages& p, const std::string& s) {
    for (const QString& line : QString::fromStdString(s).split(QLatin1Char('\n'))) {
        const Block b = block(line.isEmpty() ? QStringLiteral(" ") : line, p.fonts.fixed, p.measure(), p.width);
        p.room(b.height);
        p.draw(b, 0);
    }
    p.y += p.points(4);
}

const QImage& pictureOf(const ReportPictures& pictures, ReportPicture picture) {
    static const QImage none;
    switch (picture) {
        case ReportPicture::Chart: return pictures.chart;
        case ReportPicture::RunSpectrum: return pictures.runSpectrum;
        case ReportPicture::AccumulatedSpectrum: return pictures.accumulatedSpectrum;
        case ReportPicture::FlaggedLanes: return pictures.flaggedLanes;
        case ReportPicture::None: break;
    }
    return none;
}

// The picture's place: the page's width for the chart, less for a
// spectrum, never taller than a page.
QSizeF pictureSize(const Pages& p, ReportPicture picture, const QImage& image) {
    if (image.isNull() || image.width() == 0) return {};
    QSizeF size(p.width * (picture == ReportPicture::Chart ? 1.0 : 0.75), 0);
    size.setHeight(size.width() * image.height() / image.width());
    return size.boundedTo(QSizeF(p.width, p.bottom * 0.9));
}

// What must stand on the page below a heading for it to stay there.
double leadHeight(Pages& p, const ReportSection& s, const ReportPictures& pictures) {
    const double line = QFontMetricsF(p.fonts.body, p.measure()).height();
    if (!s.facts.empty()) return 3 * line;
    double lead = 0;
    for (const std::string& paragraph : s.paragraphs)
        lead += block(QString::fromStdString(paragraph), p.fonts.body, p.measure(), p.width).height + p.points(3);
    if (s.picture != ReportPicture::None) return lead + pictureSize(p, s.picture, pictureOf(pictures, s.picture)).height();
    return lead + 3 * line;
}

void section(Pages& p, const ReportSection& s, const ReportPictures& pictures) {
    const Block heading = block(QString::fromStdString(s.heading), p.fonts.heading, p.measure(), p.width);
    p.space(p.points(8));
    p.room(heading.height + p.points(4) + leadHeight(p, s, pictures));
    p.draw(heading, 0);
    p.y += p.points(4);
    if (!s.facts.empty()) facts(p, s.facts);
    for (const std::string& paragraph : s.paragraphs) lociview::qt::paragraph(p, QString::fromStdString(paragraph), p.fonts.body);
    if (s.picture != ReportPicture::None) {
        const QImage& image = pictureOf(pictures, s.picture);
        const QSizeF size = pictureSize(p, s.picture, image);
        if (size.isEmpty()) {
            paragraph(p, QStringLiteral("Nothing to draw."), p.fonts.body, kGrey);
        } else {
            p.room(size.height());
            p.image(QRectF(QPointF(0, p.y), size), image);
            p.y += size.height() + p.points(6);
        }
    }
    for (const TextTable& t : s.tables) table(p, t);
    if (!s.preformatted.empty()) preformatted(p, s.preformatted);
}

int layOut(QPagedPaintDevice& device, QPainter* painter, const Report& report, const ReportPictures& pictures,
           int total) {
    Pages p(device, painter, report, total);
    paragraph(p, QString::fromStdString(report.title), p.fonts.title);
    paragraph(p, QString::fromStdString(report.subtitle), p.fonts.subtitle, kGrey);
    for (const ReportSection& s : report.sections) section(p, s, pictures);
    p.finish();
    return p.pages();
}

}  // namespace

QPageLayout reportPageLayout() {
    const QPageSize size(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                             : QPageSize::A4);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

int paintReport(QPagedPaintDevice& device, const Report& report, const ReportPictures& pictures) {
    // Measured once to know the number of pages each foot names.
    const int pages = layOut(device, nullptr, report, pictures, 0);
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    layOut(device, &painter, report, pictures, pages);
    return painter.end() ? pages : 0;
}

QString writeReportPdf(const QString& path, const Report& report, const ReportPictures& pictures) {
    // The writer finishes the document when it goes, before its bytes are saved.
    return saveFile(path, [&](QIODevice& file) {
        QPdfWriter writer(&file);
        writer.setPageLayout(reportPageLayout());
        writer.setResolution(600);
        writer.setTitle(QString::fromStdString(report.title));
        writer.setCreator(QStringLiteral("Lociview %1").arg(QLatin1String(kVersion)));
        return paintReport(writer, report, pictures) != 0;
    });
}

}  // namespace lociview::qt
