#include "qt/chart/LaneView.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QImage>
#include <QItemSelectionModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QStyle>
#include <QHelpEvent>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <charconv>
#include <unordered_set>

#include "chart/LaneZoom.h"
#include "qt/chart/ChartPicture.h"
#include "qt/chart/StandardView.h"

namespace lociview::qt {

namespace {

QColor colour(Rgb rgb, int alpha = 255) { return QColor(rgb.r, rgb.g, rgb.b, alpha); }
QRectF rect(const PixelRect& r) { return QRectF(r.left, r.top, r.width, r.height); }
QString text(const std::string& s) { return QString::fromStdString(s); }

// A wheel notch zooms by this much.
constexpr double kWheelZoom = 1.25;
// A stacked band on screen is never thinner than this many text lines:
// room for its label and its height scale.
constexpr double kBandLines = 3.0;

double plotHeight(const LaneView& view) { return view.height - view.style.marginTop - view.style.marginBottom; }
// A table peak a few pixels tall shows no bell: it is drawn as a box. A
// thousand lanes of a hundred peaks each are mostly such.
bool boxed(const DrawnPeak& peak) { return peak.outlined && peak.baseY - peak.apex.y < 3.0; }

// Whole pixels without the library's floor and ceil, whose portable code
// costs most of the boxes' loop: it runs once for each peak of a table.
int floorToInt(double v) {
    const int t = static_cast<int>(v);
    return t - (t > v ? 1 : 0);
}
int ceilToInt(double v) {
    const int t = static_cast<int>(v);
    return t + (t < v ? 1 : 0);
}

// The boxed peaks. Where the painter draws pixels they are set straight
// into an image over the plot, far quicker than filling each; otherwise
// (SVG, PDF) filled a colour at a time. Answers the other peaks, to be
// drawn over them: a table's frame need not be run through twice.
std::vector<const DrawnPeak*> paintBoxes(QPainter& painter, const LaneFrame& f) {
    std::vector<const DrawnPeak*> others;
    const QRect area = rect(f.plot).toAlignedRect();
    if (painter.paintEngine()->type() == QPaintEngine::Raster && painter.combinedTransform().isIdentity() &&
        !area.isEmpty()) {
        QImage ink(area.size(), QImage::Format_ARGB32_Premultiplied);
        ink.fill(Qt::transparent);
        uchar* const bits = ink.bits();
        const qsizetype stride = ink.bytesPerLine();
        for (const DrawnPeak& p : f.peaks) {
            if (!boxed(p)) {
                others.push_back(&p);
                continue;
            }
            // Whole pixels, at least one row, inside the plot.
            const int left = std::max(0, floorToInt(p.apex.x - p.halfWidth) - area.left());
            const int right = std::min(area.width() - 1, ceilToInt(p.apex.x + p.halfWidth) - 1 - area.left());
            const int top = std::max(0, floorToInt(p.apex.y) - area.top());
            const int bottom = std::min(area.height() - 1, ceilToInt(p.baseY) - 1 - area.top());
            const QRgb rgb = qRgb(p.colour.r, p.colour.g, p.colour.b);
            for (int y = top; y <= std::max(top, bottom) && y < area.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
                for (int x = left; x <= right; ++x) line[x] = rgb;
            }
        }
        painter.drawImage(area.topLeft(), ink);
        return others;
    }
    std::vector<std::pair<Rgb, QVector<QRectF>>> boxes;
    for (const DrawnPeak& p : f.peaks) {
        if (!boxed(p)) {
            others.push_back(&p);
            continue;
        }
        auto same = std::find_if(boxes.begin(), boxes.end(), [&](const auto& b) { return b.first == p.colour; });
        if (same == boxes.end()) same = boxes.insert(boxes.end(), {p.colour, {}});
        same->second.append(QRectF(p.apex.x - p.halfWidth, p.apex.y, 2 * p.halfWidth, std::max(p.baseY - p.apex.y, 1.0)));
    }
    painter.setPen(Qt::NoPen);
    for (const auto& [rgb, rects] : boxes) {
        painter.setBrush(colour(rgb));
        painter.drawRects(rects.constData(), static_cast<int>(rects.size()));
    }
    return others;
}

}  // namespace

LaneStyle styleFor(const QFont& font) {
    const QFontMetricsF metrics(font);
    LaneStyle style;
    style.lineHeight = std::max(10.0, metrics.height());
    style.charWidth = std::max(4.0, metrics.averageCharWidth());
    return style;
}

void paintLanes(QPainter& painter, const LaneFrame& f) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(painter.window(), Qt::white);
    const QFontMetricsF metrics(painter.font());
    if (!f.note.empty() && f.bands.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(painter.window(), Qt::AlignCenter | Qt::TextWordWrap, text(f.note));
        painter.restore();
        return;
    }
    const QRectF plot = rect(f.plot);
    // Bands and their scales, under everything else. Bands thinner than a
    // few pixels get no line between them: it would grey the whole plot.
    painter.setPen(QColor(200, 200, 200));
    const bool separated = f.mode == LaneMode::Stacked && !f.bands.empty() && f.bands.front().rect.height >= 4.0;
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const LaneBand& band : f.bands) {
        if (separated && band.rect.bottom() <= plot.bottom())
            painter.drawLine(QPointF(plot.left(), band.rect.bottom()), QPointF(plot.right(), band.rect.bottom()));
        for (const AxisTick& tick : band.heightTicks) {
            painter.setPen(Qt::black);
            painter.drawLine(QPointF(plot.left() - 4, tick.at), QPointF(plot.left(), tick.at));
            painter.drawText(QRectF(0, tick.at - metrics.height() / 2, plot.left() - 6, metrics.height()),
                             Qt::AlignRight | Qt::AlignVCenter, text(tick.text));
            painter.setPen(QColor(200, 200, 200));
        }
    }
    painter.setPen(Qt::black);
    for (const AxisTick& tick : f.heightTicks) {
        painter.drawLine(QPointF(plot.left() - 4, tick.at), QPointF(plot.left(), tick.at));
        painter.drawText(QRectF(0, tick.at - metrics.height() / 2, plot.left() - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, text(tick.text));
    }
    for (const AxisTick& tick : f.sizeTicks) {
        painter.drawLine(QPointF(tick.at, plot.bottom()), QPointF(tick.at, plot.bottom() + 4));
        painter.drawText(QRectF(tick.at - 40, plot.bottom() + 5, 80, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                         text(tick.text));
    }
    painter.drawRect(plot);
    painter.drawText(QRectF(plot.left(), plot.bottom() + 5 + metrics.height(), plot.width(), metrics.height()),
                     Qt::AlignHCenter, QString::fromLatin1(LaneFrame::sizeTitle));
    painter.save();
    painter.translate(2, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), metrics.height()), Qt::AlignHCenter,
                     QString::fromLatin1(LaneFrame::heightTitle));
    painter.restore();

    painter.setClipRect(plot);
    // A signal keeps several points per pixel column: smoothing its edges
    // costs most of a frame and shows nothing more.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const TraceLine& trace : f.traces) {
        // A cosmetic pen: one pixel wide, drawn by the quickest path.
        painter.setPen(QPen(colour(trace.colour), 0.0));
        for (const auto& line : trace.polylines) {
            QPolygonF points;
            points.reserve(static_cast<qsizetype>(line.size()));
            for (const PixelPoint& p : line) points.append(QPointF(p.x, p.y));
            painter.drawPolyline(points);
        }
    }
    const std::vector<const DrawnPeak*> others = paintBoxes(painter, f);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const DrawnPeak* drawn : others) {
        const DrawnPeak& peak = *drawn;
        if (peak.outlined) {
            QPolygonF outline;
            for (const PixelPoint& p : peakOutline(peak)) outline.append(QPointF(p.x, p.y));
            painter.setPen(QPen(colour(peak.colour), 1.0));
            painter.setBrush(colour(peak.colour, 90));
            painter.drawPolygon(outline);
        } else {
            // A trace's called peak: a small mark at its apex on the signal.
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour(peak.colour));
            painter.drawEllipse(QPointF(peak.apex.x, peak.apex.y), 3, 3);
        }
    }
    painter.setBrush(Qt::NoBrush);
    for (const MarkerLine& line : f.lines) {
        QPen pen(colour(line.colour), 1.0, line.dashed ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(line.x, plot.top()), QPointF(line.x, plot.bottom()));
        painter.drawText(QPointF(line.x + 3, plot.top() + metrics.ascent() + 2), QString::fromLatin1(line.label));
    }
    painter.setPen(Qt::black);
    for (const LaneBand& band : f.bands)
        if (band.labelled) painter.drawText(QPointF(band.labelAt.x, band.labelAt.y + metrics.ascent()), text(band.label));
    if (!f.legend.empty()) {
        painter.setPen(QColor(160, 160, 160));
        painter.setBrush(QColor(255, 255, 255, 230));
        painter.drawRect(rect(f.legendBox));
        for (const LegendEntry& entry : f.legend) {
            if (entry.swatch) painter.fillRect(rect(entry.swatchRect), colour(*entry.swatch));
            painter.setPen(Qt::black);
            painter.drawText(QPointF(entry.textAt.x, entry.textAt.y + metrics.ascent()), text(entry.text));
        }
    }
    painter.restore();
}

QFont pictureFont() {
    QFont font;
    font.setPixelSize(12);
    return font;
}

// A picture shows every lane it is given, squeezed into its height: it
// has no scroll bar.
QImage laneImage(const std::vector<LaneData>& lanes, LaneView view) {
    const QFont font = pictureFont();
    view.style = styleFor(font);
    view.minBandHeight = view.scroll = 0.0;
    QImage image(QSize(view.width, view.height), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setFont(font);
    paintLanes(painter, layLanes(lanes, view));
    return image;
}

QString writeLanePicture(const QString& path, const std::vector<LaneData>& lanes, LaneView view) {
    const QFont font = pictureFont();
    view.style = styleFor(font);
    view.minBandHeight = view.scroll = 0.0;
    const LaneFrame frame = layLanes(lanes, view);
    return writePicture(path, QSize(view.width, view.height), QStringLiteral("Lanes"), [&](QPainter& painter) {
        painter.setFont(font);
        paintLanes(painter, frame);
    });
}

LaneCanvas::LaneCanvas(QWidget* parent) : QWidget(parent), data(std::make_shared<const std::vector<LaneData>>()) {
    setMouseTracking(true);
    setMinimumSize(240, 160);
    setFocusPolicy(Qt::StrongFocus);
    bar = new QScrollBar(Qt::Vertical, this);
    bar->setObjectName(QStringLiteral("laneScroll"));
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this](int value) {
        view.scroll = value;
        update();
    });
}

bool LaneCanvas::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    QString tip = tipAt(help->pos());
    if (tip.isEmpty())
        tip = QStringLiteral("Wheel: zoom sizes (Shift: heights) · drag: pan · Shift-drag: zoom to a box · "
                             "double-click: the whole data · right-click a peak: make it a progenitor");
    QToolTip::showText(help->globalPos(), tip, this);
    return true;
}

void LaneCanvas::setLanes(std::shared_ptr<const std::vector<LaneData>> lanes, const LaneMarkers& markers, bool fit) {
    data = lanes ? std::move(lanes) : std::make_shared<const std::vector<LaneData>>();
    view.markers = markers;
    if (fit) {
        view.window = fullWindow(*data, markers);
        view.scroll = 0.0;
    }
    syncBar();
    update();
}

void LaneCanvas::setMode(LaneMode mode) {
    view.mode = mode;
    syncBar();
    update();
}

void LaneCanvas::showLane(int32_t number) {
    const auto lane = std::find_if(data->begin(), data->end(), [&](const LaneData& l) { return l.lane == number; });
    const LaneView at = currentView();
    if (lane == data->end() || at.mode != LaneMode::Stacked) return;
    const LaneStack stack = laneStack(data->size(), plotHeight(at), at.minBandHeight, at.scroll);
    view.scroll = scrollShowing(stack, plotHeight(at), static_cast<size_t>(lane - data->begin()));
    syncBar();
    update();
}

void LaneCanvas::syncBar() {
    const LaneView at = currentView();
    const LaneStack stack = at.mode == LaneMode::Stacked ? laneStack(data->size(), plotHeight(at), at.minBandHeight, at.scroll)
                                                         : LaneStack{};
    view.scroll = stack.scroll;
    const int most = static_cast<int>(std::ceil(stack.maxScroll(plotHeight(at))));
    const QSignalBlocker quiet(bar);
    bar->setRange(0, most);
    bar->setPageStep(std::max(1, static_cast<int>(plotHeight(at))));
    bar->setSingleStep(std::max(1, static_cast<int>(stack.bandHeight)));
    bar->setValue(static_cast<int>(std::lround(stack.scroll)));
    bar->setVisible(most > 0);
}

void LaneCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    syncBar();
}

void LaneCanvas::setMarkers(const LaneMarkers& markers) {
    view.markers = markers;
    update();
}

void LaneCanvas::resetWindow() { moveTo(fullWindow(*data, view.markers)); }

void LaneCanvas::moveTo(const LaneWindow& window) {
    view.window = window;
    update();
}

LaneView LaneCanvas::currentView() const {
    LaneView at = view;
    at.width = width();
    at.height = height();
    at.style = styleFor(font());
    at.minBandHeight = kBandLines * at.style.lineHeight;
    return at;
}

LaneFrame LaneCanvas::layOut() const { return layLanes(*data, currentView()); }

QString LaneCanvas::tipAt(QPointF point) const {
    const std::optional<PeakHit> hit = peakAt(shown, *data, {point.x(), point.y()});
    return hit ? text(peakHitText(*hit)) : QString();
}

void LaneCanvas::paintEvent(QPaintEvent*) {
    shown = layOut();
    QPainter painter(this);
    paintLanes(painter, shown);
    if (bandFrom) {
        painter.setPen(QPen(palette().highlight().color(), 1.0, Qt::DashLine));
        painter.drawRect(QRectF(*bandFrom, pointer).normalized());
    }
}

void LaneCanvas::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0) return;
    const double factor = std::pow(kWheelZoom, notches);
    moveTo(event->modifiers() & Qt::ShiftModifier ? zoomHeights(shown, factor)
                                                  : zoomSizes(shown, event->position().x(), factor));
    event->accept();
}

void LaneCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pointer = event->position();
    if (event->modifiers() & Qt::ShiftModifier) bandFrom = pointer;
    else dragFrom = pointer;
}

void LaneCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (dragFrom) {
        moveTo(panBy(shown, at.x() - dragFrom->x(), at.y() - dragFrom->y()));
        shown = layOut();  // the next move pans from the window it left
        dragFrom = at;
    } else if (bandFrom) {
        update();
    } else if (QToolTip::isVisible()) {
        // A tooltip shown follows the pointer from peak to peak.
        const QString tip = tipAt(at);
        if (tip.isEmpty()) QToolTip::hideText();
        else QToolTip::showText(event->globalPosition().toPoint(), tip, this);
    }
    pointer = at;
}

void LaneCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (bandFrom) {
        const QPointF corner = *bandFrom;
        bandFrom.reset();
        moveTo(zoomToRect(shown, {corner.x(), corner.y()}, {event->position().x(), event->position().y()}));
    }
    dragFrom.reset();
}

void LaneCanvas::mouseDoubleClickEvent(QMouseEvent*) { resetWindow(); }

void LaneCanvas::contextMenuEvent(QContextMenuEvent* event) {
    const std::optional<PeakHit> hit = peakAt(shown, *data, {double(event->pos().x()), double(event->pos().y())});
    if (!hit) return;
    QMenu menu(this);
    const double size = hit->value.size;
    const QString at = QString::number(size, 'f', 2);
    menu.addAction(QStringLiteral("Set %1 bp as Progenitor 1").arg(at), this, [this, size] { Q_EMIT progenitorChosen(1, size); });
    menu.addAction(QStringLiteral("Set %1 bp as Progenitor 2").arg(at), this, [this, size] { Q_EMIT progenitorChosen(2, size); });
    menu.exec(event->globalPos());
}

// The lane list's rows, made as the list asks for them: a table of 1,536
// lanes shows a screenful at a time, and opening it need not label every
// lane first.
class LaneListModel final : public QAbstractListModel {
public:
    LaneListModel(QIcon warning, QIcon none) : warning(std::move(warning)), noFlag(std::move(none)) {}

    void reset(std::shared_ptr<const std::vector<LaneData>> shown, const std::vector<QualityFlag>& laneFlags) {
        beginResetModel();
        lanes = std::move(shown);
        flags = laneFlags;
        flagged.clear();
        for (const QualityFlag& f : flags) flagged.insert(f.lane);
        widest = 0;
        for (size_t i = 0; i < lanes->size(); ++i)
            if (labelLength((*lanes)[i]) > labelLength((*lanes)[widest])) widest = i;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !lanes ? 0 : static_cast<int>(lanes->size());
    }
    // Checked: a row past the end is a fault to see at once, not a lane read from beyond.
    int32_t laneAt(int row) const { return lanes->at(static_cast<size_t>(row)).lane; }
    // The row of the label of the most characters, which stands for the
    // widest: lane numbers are digits of one width, and a plate's samples
    // are named alike.
    int widestRow() const { return static_cast<int>(widest); }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        const LaneData& lane = (*lanes)[static_cast<size_t>(index.row())];
        switch (role) {
            case Qt::DisplayRole: return label(lane);
            case Qt::DecorationRole: return flagged.count(lane.lane) ? warning : noFlag;
            case Qt::ToolTipRole:
                if (flagged.count(lane.lane)) return text(laneFlagsText(flags, lane.lane));
                return {};
            case Qt::UserRole: return lane.lane;
            default: return {};
        }
    }

private:
    static QString label(const LaneData& lane) {
        QString label = QString::number(lane.lane);
        if (!lane.sample.empty()) label += QLatin1Char(' ') + text(lane.sample);
        return label;
    }
    static size_t labelLength(const LaneData& lane) {
        char digits[16];
        const size_t number = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, lane.lane).ptr - digits);
        return number + (lane.sample.empty() ? 0 : 1 + lane.sample.size());
    }

    std::shared_ptr<const std::vector<LaneData>> lanes;
    std::vector<QualityFlag> flags;
    std::unordered_set<int32_t> flagged;
    size_t widest = 0;
    QIcon warning, noFlag;
};

namespace {

// Every row is one line beside an icon of one size, so the list lays them
// out as one size instead of measuring each label on opening. That size is
// the widest label's, so that no label is cut short.
class LaneRowDelegate final : public QStyledItemDelegate {
public:
    LaneRowDelegate(const LaneListModel& rows, QObject* parent) : QStyledItemDelegate(parent), rows(rows) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index.siblingAtRow(rows.widestRow()));
    }

private:
    const LaneListModel& rows;
};

}  // namespace

LanePanel::LanePanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* bar = new QHBoxLayout;
    mode = new QComboBox;
    mode->setObjectName(QStringLiteral("laneMode"));
    mode->addItems({QStringLiteral("Stacked"), QStringLiteral("Overlaid")});
    auto* reset = new QPushButton(QStringLiteral("Reset"));
    reset->setObjectName(QStringLiteral("laneReset"));
    reset->setToolTip(QStringLiteral("Show the whole data"));
    suggest = new QPushButton(QStringLiteral("Suggest progenitors"));
    suggest->setObjectName(QStringLiteral("suggestProgenitors"));
    bar->addWidget(mode);
    bar->addWidget(reset);
    bar->addStretch();
    bar->addWidget(suggest);
    layout->addLayout(bar);
    // The flags' levels, read when a field is left or Return is pressed;
    // a line of their own, so the dock stays as narrow as before.
    auto* levels = new QHBoxLayout;
    const QualityLevels defaults;
    saturation = new QLineEdit(QString::number(defaults.saturation));
    saturation->setObjectName(QStringLiteral("saturationLevel"));
    saturation->setToolTip(QStringLiteral("A peak in range this tall (RFU) is flagged off-scale"));
    lowSignal = new QLineEdit(QString::number(defaults.lowSignal));
    lowSignal->setObjectName(QStringLiteral("lowSignalLevel"));
    lowSignal->setToolTip(QStringLiteral("A lane whose tallest peak in range is below this (RFU) is flagged low-signal"));
    for (QLineEdit* field : {saturation, lowSignal}) {
        field->setMaximumWidth(70);
        connect(field, &QLineEdit::editingFinished, this,
                [this] { Q_EMIT levelsEdited(saturation->text().trimmed(), lowSignal->text().trimmed()); });
    }
    levels->addWidget(new QLabel(QStringLiteral("Saturation")));
    levels->addWidget(saturation);
    levels->addWidget(new QLabel(QStringLiteral("Low signal")));
    levels->addWidget(lowSignal);
    levels->addWidget(new QLabel(QStringLiteral("RFU")));
    levels->addStretch();
    layout->addLayout(levels);
    levelNote = new QLabel;
    levelNote->setObjectName(QStringLiteral("levelNote"));
    levelNote->setWordWrap(true);
    levelNote->hide();
    layout->addWidget(levelNote);

    auto* splitter = new QSplitter(Qt::Horizontal);
    list = new QListView;
    list->setObjectName(QStringLiteral("laneList"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Small icons, and an empty one for a lane without flags: the labels stay in one column.
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize);
    list->setIconSize(QSize(side, side));
    QPixmap none(side, side);
    none.fill(Qt::transparent);
    rows = new LaneListModel(style()->standardIcon(QStyle::SP_MessageBoxWarning), QIcon(none));
    rows->setParent(list);
    list->setModel(rows);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new LaneRowDelegate(*rows, list));
    list->setToolTip(QStringLiteral("The lanes drawn: choose some, or none for all"));
    plot = new LaneCanvas;
    plot->setObjectName(QStringLiteral("laneCanvas"));
    standard = new StandardCanvas;
    standard->setObjectName(QStringLiteral("standardCanvas"));
    views = new QTabWidget;
    views->setObjectName(QStringLiteral("laneViews"));
    // The stack's scroll bar beside the canvas, not over it.
    auto* lanesPage = new QWidget;
    auto* lanesRow = new QHBoxLayout(lanesPage);
    lanesRow->setContentsMargins(0, 0, 0, 0);
    lanesRow->setSpacing(0);
    lanesRow->addWidget(plot, 1);
    lanesRow->addWidget(plot->scrollBar());
    views->addTab(lanesPage, QStringLiteral("Lanes"));
    views->addTab(standard, QStringLiteral("Size standard"));
    splitter->addWidget(list);
    splitter->addWidget(views);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({140, 500});
    layout->addWidget(splitter, 1);

    connect(mode, &QComboBox::currentIndexChanged, plot,
            [this](int index) { plot->setMode(index == 1 ? LaneMode::Overlaid : LaneMode::Stacked); });
    connect(reset, &QPushButton::clicked, plot, &LaneCanvas::resetWindow);
    connect(suggest, &QPushButton::clicked, this, &LanePanel::suggestRequested);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!selecting) showChosen(true);
    });
}

void LanePanel::showLanes(std::shared_ptr<const std::vector<LaneData>> lanes, const std::vector<QualityFlag>& flags,
                          const LaneMarkers& markers, bool fit) {
    all = lanes ? std::move(lanes) : std::make_shared<const std::vector<LaneData>>();
    lines = markers;
    // The list keeps what was chosen while the lanes stay the same.
    const std::vector<int32_t> chosen = fit ? std::vector<int32_t>() : chosenLanes();
    rows->reset(all, flags);
    select(chosen);
    showChosen(fit);
}

void LanePanel::showLevels(const QualityLevels& levels, const QString& note) {
    saturation->setText(QString::number(levels.saturation));
    lowSignal->setText(QString::number(levels.lowSignal));
    levelNote->setText(note);
    levelNote->setVisible(!note.isEmpty());
}

void LanePanel::setMarkers(const LaneMarkers& markers) {
    lines = markers;
    plot->setMarkers(markers);
}

void LanePanel::chooseLanes(const std::vector<int32_t>& lanes) {
    select(lanes);
    // The first lane chosen is the list's current row, in view there and in the stack.
    const QModelIndexList chosen = list->selectionModel()->selectedRows();
    if (!chosen.isEmpty()) {
        const QModelIndex first = *std::min_element(chosen.begin(), chosen.end());
        list->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        list->scrollTo(first);
    }
    showChosen(true);
}

void LanePanel::select(const std::vector<int32_t>& lanes) {
    const std::unordered_set<int32_t> chosen(lanes.begin(), lanes.end());
    QItemSelection selection;
    for (int row = 0; row < rows->rowCount(); ++row) {
        if (!chosen.count(rows->laneAt(row))) continue;
        int last = row;
        while (last + 1 < rows->rowCount() && chosen.count(rows->laneAt(last + 1))) ++last;
        selection.select(rows->index(row), rows->index(last));
        row = last;
    }
    selecting = true;
    list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    selecting = false;
}

std::vector<int32_t> LanePanel::chosenLanes() const {
    std::vector<int32_t> chosen;
    for (const QModelIndex& index : list->selectionModel()->selectedRows()) chosen.push_back(rows->laneAt(index.row()));
    return chosen;
}

void LanePanel::showChosen(bool fit) {
    const std::vector<int32_t> picked = chosenLanes();
    std::shared_ptr<const std::vector<LaneData>> some = all;
    if (!picked.empty()) {
        const std::unordered_set<int32_t> chosen(picked.begin(), picked.end());
        auto few = std::make_shared<std::vector<LaneData>>();
        for (const LaneData& lane : *all)
            if (chosen.count(lane.lane)) few->push_back(lane);
        some = std::move(few);
    }
    // Only trace lanes have a standard to show.
    const bool traces = std::any_of(some->begin(), some->end(), [](const LaneData& l) { return l.standard.has_value(); });
    standard->setLanes(traces ? *some : std::vector<LaneData>());
    plot->setLanes(std::move(some), lines, fit);
    // The lane last clicked in the list is brought into view.
    const QModelIndex current = list->currentIndex();
    if (current.isValid() && list->selectionModel()->isSelected(current)) plot->showLane(rows->laneAt(current.row()));
}

}  // namespace lociview::qt
