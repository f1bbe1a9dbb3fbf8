#include "trend_window.h"

#include "app/zavok.h"
#include "history/history_store.h"
#include "kit/numbers.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace zavok::trend {

namespace {

using history::TrendBucket;

// Enough points for any chart on a screen, few enough that a month reads and draws in a blink.
constexpr int kMaxBuckets = 1500;
// A line broken at more gaps than this keeps only the widest ones: a channel switched on and off all month long
// would otherwise become thousands of drawings.
constexpr std::size_t kMaxBreaks = 50;
constexpr qint64 kNarrowestZoom = 10;
constexpr qint64 kMinutesPerDay = qint64(24) * 60;
constexpr double kMsPerMinute = 60'000;

const QColor kBand(70, 130, 200, 90);
const QColor kMean(20, 60, 140);
const QColor kLowColour(0, 90, 220);
const QColor kHighColour(210, 0, 0);

qint64 minutesOf(TrendWindow::Span span) {
    switch (span) {
    case TrendWindow::Span::Hour:
        return 60;
    case TrendWindow::Span::Day:
        return kMinutesPerDay;
    case TrendWindow::Span::Week:
        return 7 * kMinutesPerDay;
    case TrendWindow::Span::Month:
        return 30 * kMinutesPerDay;
    }
    return kMinutesPerDay;
}

// Where the drawing starts anew: before each bucket that follows a stretch with no readings.
std::vector<std::size_t> breaksIn(const std::vector<TrendBucket>& buckets, int width) {
    std::vector<std::size_t> breaks;
    for (std::size_t i = 1; i < buckets.size(); ++i) {
        if (buckets[i].minute - buckets[i - 1].minute > width) {
            breaks.push_back(i);
        }
    }
    if (breaks.size() > kMaxBreaks) {
        auto gap = [&buckets](std::size_t i) { return buckets[i].minute - buckets[i - 1].minute; };
        std::nth_element(breaks.begin(), breaks.begin() + kMaxBreaks, breaks.end(),
                         [&gap](std::size_t a, std::size_t b) { return gap(a) > gap(b); });
        breaks.resize(kMaxBreaks);
        std::sort(breaks.begin(), breaks.end());
    }
    return breaks;
}

std::optional<double> numberIn(const kit::Control& label) {
    if (!kit::isNumericText(label.text())) {
        return std::nullopt;
    }
    return kit::prefixValue(label.text());
}

} // namespace

TrendWindow::TrendWindow(Zavok& core, int channel, history::HistoryStore& history, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , core_(core)
    , channel_(channel)
    , history_(history)
    , span_(new QComboBox(this))
    , status_(new QLabel(this))
    , chart_(new QChart)
    , view_(new QChartView(chart_, this))
    , time_(new QDateTimeAxis(chart_))
    , values_(new QValueAxis(chart_)) {
    setObjectName(QStringLiteral("trend%1").arg(channel));
    const ChannelForm& form = core.channel(channel);
    setWindowTitle(QStringLiteral("ZAVOK trend - ") + form.fname.text());
    resize(860, 520);

    span_->setObjectName(QStringLiteral("span"));
    span_->addItems({QStringLiteral("Last hour"), QStringLiteral("Last day"), QStringLiteral("Last week"),
                     QStringLiteral("Last month")});
    span_->setCurrentIndex(int(Span::Day));
    status_->setObjectName(QStringLiteral("status"));
    auto* save = new QPushButton(QStringLiteral("Save picture..."), this);
    save->setObjectName(QStringLiteral("save"));
    view_->setObjectName(QStringLiteral("chart"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->viewport()->installEventFilter(this);
    view_->setToolTip(QStringLiteral("Turn the wheel to zoom in time"));

    chart_->addAxis(time_, Qt::AlignBottom);
    chart_->addAxis(values_, Qt::AlignLeft);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    time_->setTickCount(7);

    auto* bar = new QHBoxLayout;
    bar->addWidget(span_);
    bar->addWidget(status_, 1);
    bar->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);

    connect(span_, &QComboBox::currentIndexChanged, this, [this] {
        zoomed_.reset();
        ask();
    });
    connect(save, &QPushButton::clicked, this, &TrendWindow::save);
    connect(&history, &history::HistoryStore::written, this, &TrendWindow::ask);
    connect(&form.fname, &kit::Control::changed, this, [this, &form](kit::Property property) {
        if (property == kit::Property::Text) {
            setWindowTitle(QStringLiteral("ZAVOK trend - ") + form.fname.text());
        }
    });
    for (const kit::Label* limit : {&form.setlowl, &form.sethighl}) {
        connect(limit, &kit::Control::changed, this, &TrendWindow::ask);
    }
    ask();
}

void TrendWindow::choose(Span span) {
    span_->setCurrentIndex(int(span));
}

std::pair<qint64, qint64> TrendWindow::range() const {
    if (zoomed_) {
        return *zoomed_;
    }
    // The minute in progress is included, so the stretch ends at the right-hand edge of now.
    const qint64 end = history::minuteOf(core_.platform.clock.now().toSecsSinceEpoch()) + 1;
    return {end - minutesOf(Span(span_->currentIndex())), end};
}

void TrendWindow::ask() {
    // One question at a time: a wheel turned fast asks only for where it stopped.
    if (asking_) {
        askAgain_ = true;
        return;
    }
    asking_ = true;
    const auto [from, to] = range();
    history_.trend({channel_, from, to, kMaxBuckets}, this, [this](const history::TrendData& data) { answered(data); });
}

void TrendWindow::answered(const history::TrendData& data) {
    asking_ = false;
    if (askAgain_) {
        askAgain_ = false;
        ask();
        return;
    }
    draw(data);
    emit drawn();
}

void TrendWindow::draw(const history::TrendData& data) {
    chart_->removeAllSeries();
    const int width = data.bucketMinutes;
    const auto& buckets = data.buckets;
    auto x = [width](qint64 minute) { return (double(minute) + width / 2.0) * kMsPerMinute; };
    auto add = [this](QAbstractSeries* series, bool inLegend) {
        chart_->addSeries(series);
        series->attachAxis(time_);
        series->attachAxis(values_);
        for (QLegendMarker* marker : chart_->legend()->markers(series)) {
            marker->setVisible(inLegend);
        }
    };

    std::vector<std::size_t> ends = breaksIn(buckets, width);
    ends.push_back(buckets.size());
    std::size_t begin = 0;
    for (const std::size_t end : buckets.empty() ? std::vector<std::size_t>{} : ends) {
        auto* band = new QAreaSeries;
        auto* upper = new QLineSeries(band);
        auto* lower = new QLineSeries(band);
        auto* mean = new QLineSeries;
        QList<QPointF> highs;
        QList<QPointF> lows;
        QList<QPointF> means;
        for (std::size_t i = begin; i < end; ++i) {
            const double at = x(buckets[i].minute);
            highs.append({at, buckets[i].max});
            lows.append({at, buckets[i].min});
            means.append({at, buckets[i].mean});
        }
        upper->replace(highs);
        lower->replace(lows);
        mean->replace(means);
        band->setUpperSeries(upper);
        band->setLowerSeries(lower);
        band->setName(QStringLiteral("Minimum to maximum"));
        band->setColor(kBand);
        band->setBorderColor(kBand);
        mean->setName(QStringLiteral("Mean"));
        mean->setPen(QPen(kMean, 2));
        // A lone minute between gaps has no line to draw: it shows as a dot.
        mean->setPointsVisible(end - begin == 1);
        add(band, begin == 0);
        add(mean, begin == 0);
        begin = end;
    }

    // The value axis spans the readings and both limits, or the meter's scale when there is neither.
    const ChannelForm& form = core_.channel(channel_);
    const std::optional<double> low = numberIn(form.setlowl);
    const std::optional<double> high = numberIn(form.sethighl);
    double bottom = std::numeric_limits<double>::infinity();
    double top = -bottom;
    for (const TrendBucket& b : buckets) {
        bottom = std::min(bottom, b.min);
        top = std::max(top, b.max);
    }
    for (const std::optional<double>& limit : {low, high}) {
        if (limit) {
            bottom = std::min(bottom, *limit);
            top = std::max(top, *limit);
        }
    }
    if (!(bottom <= top)) {
        bottom = kit::prefixValue(core_.zavok->mzero.at(channel_ - 1)->text());
        top = kit::prefixValue(core_.zavok->mfsd.at(channel_ - 1)->text());
    }
    const double margin = top > bottom ? (top - bottom) / 20 : 1;
    values_->setRange(bottom - margin, top + margin);
    values_->applyNiceNumbers();

    const double from = double(data.request.fromMinute) * kMsPerMinute;
    const double to = double(data.request.toMinute) * kMsPerMinute;
    time_->setRange(QDateTime::fromMSecsSinceEpoch(qint64(from)), QDateTime::fromMSecsSinceEpoch(qint64(to)));
    time_->setFormat(data.request.toMinute - data.request.fromMinute <= 2 * kMinutesPerDay
                         ? QStringLiteral("HH:mm")
                         : QStringLiteral("MMM d HH:mm"));

    struct Side {
        std::optional<double> limit;
        history::AlarmMark::Side side;
        QString line;
        QString marks;
        QColor colour;
        double edge;
    };
    for (const Side& side : {Side{low, history::AlarmMark::Side::Low, QStringLiteral("Low alarm limit"),
                                  QStringLiteral("Low alarms"), kLowColour, bottom},
                             Side{high, history::AlarmMark::Side::High, QStringLiteral("High alarm limit"),
                                  QStringLiteral("High alarms"), kHighColour, top}}) {
        if (side.limit) {
            auto* line = new QLineSeries;
            line->setName(side.line);
            line->setPen(QPen(side.colour, 1, Qt::DashLine));
            line->append(from, *side.limit);
            line->append(to, *side.limit);
            add(line, true);
        }
        // A mark stands on the limit that was crossed, or at the edge of the readings for a calibration error
        // of a channel without limits.
        QList<QPointF> points;
        for (const history::AlarmMark& mark : data.alarms) {
            if (mark.side == side.side) {
                points.append({double(mark.second) * 1000, side.limit.value_or(side.edge)});
            }
        }
        if (!points.isEmpty()) {
            auto* marks = new QScatterSeries;
            marks->setName(side.marks);
            marks->setColor(side.colour);
            marks->setBorderColor(side.colour);
            marks->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
            marks->setMarkerSize(11);
            marks->replace(points);
            add(marks, true);
        }
    }

    if (buckets.empty()) {
        status_->setText(QStringLiteral("No readings are kept for this time."));
    } else if (width > 1) {
        status_->setText(QStringLiteral("Each point stands for %1 minutes.").arg(width));
    } else {
        status_->clear();
    }
}

bool TrendWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_->viewport() || event->type() != QEvent::Wheel) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (const int turn = wheel->angleDelta().y(); turn != 0) {
        const QPointF inChart = chart_->mapFromScene(view_->mapToScene(wheel->position().toPoint()));
        zoom(turn > 0, chart_->mapToValue(inChart).x() / kMsPerMinute);
    }
    return true;
}

void TrendWindow::zoom(bool in, double anchorMinute) {
    const auto [from, to] = range();
    const qint64 whole = minutesOf(Span(span_->currentIndex()));
    const qint64 end = history::minuteOf(core_.platform.clock.now().toSecsSinceEpoch()) + 1;
    const double anchor = std::clamp(anchorMinute, double(from), double(to));
    const double factor = in ? 0.5 : 2.0;
    const auto span = qint64(std::llround(double(to - from) * factor));
    if (span < kNarrowestZoom) {
        return;
    }
    if (span >= whole) {
        zoomed_.reset();
    } else {
        // The same moment stays under the pointer, and the stretch stays within the chosen one.
        const auto start = qint64(std::llround(anchor - (anchor - double(from)) * factor));
        const qint64 clamped = std::clamp(start, end - whole, end - span);
        zoomed_ = {clamped, clamped + span};
    }
    ask();
}

void TrendWindow::save() {
    const kit::OpenFileRequest request{.filter = QStringLiteral("PNG pictures (*.png)|*.png|"),
                                       .filterIndex = 1,
                                       .mustExist = false,
                                       .title = QStringLiteral("Save the trend as a picture"),
                                       .initialDirectory = core_.platform.picturesDirectory,
                                       .toSave = true};
    // The program may end while the box waits: then the box answers nothing and nothing is written.
    const QPointer<TrendWindow> self(this);
    std::optional<QString> chosen;
    try {
        chosen = core_.dialogs.openFile(request);
    } catch (const kit::Unanswered&) {
        return;
    }
    if (!chosen || self == nullptr) {
        return;
    }
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".png");
    }
    if (!view_->grab().save(path, "PNG")) {
        try {
            core_.dialogs.message(kit::kCautionTitle, QStringLiteral("The picture could not be saved as ") + path);
        } catch (const kit::Unanswered&) {
        }
    }
}

} // namespace zavok::trend
