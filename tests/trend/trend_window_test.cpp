#include "history/history_store.h"
#include "support/history_run.h"
#include "support/qt_environment.h"
#include "trend/trend_window.h"

#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QDateTimeAxis>
#include <QDir>
#include <QGraphicsView>
#include <QImage>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <map>

ZAVOK_TEST_APPLICATION(QApplication)

namespace zavok::test {
namespace {

using namespace Qt::StringLiterals;

using history::MinuteRow;

constexpr double kMsPerMinute = 60'000;

// The minutes of channel 1 before the harness's 08:15:20: five from 07:00 and three from 07:30, beside a minute of
// channel 2 that its trend must not show, and the records of both zones.
class TrendWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Harness::put(h.dataPath(u"phones.zvk"_s), HistoryRun::phones());
        for (int i = 0; i < 5; ++i) {
            rows.push_back({at(7, i), 1, 20.0 + i, 25.0 + i, 30.0 + i, 60});
        }
        for (int i = 0; i < 3; ++i) {
            rows.push_back({at(7, 30 + i), 1, 5.0 - i, 8.0, 45.0 + i, 120});
        }
        writer = std::make_unique<history::HistoryStore>(h.dataPath(history::HistoryDatabase::kFileName), 400,
                                                         QDate(2001, 7, 13));
        writer->write({at(8, 15), {{at(7, 0), 2, 99, 99, 99, 1}}, {}});
        writer->write({at(8, 15),
                       rows,
                       {record(at(7, 2) * 60 + 10, 1, u"Pressure High Alarm at"_s, RecordKind::ZoneHighAlarm),
                        record(at(7, 3) * 60, 1, u"Pressure Normal at"_s, RecordKind::ZoneNormal),
                        record(at(7, 31) * 60 + 30, 1, u"Pressure Low Alarm at"_s, RecordKind::ZoneLowAlarm),
                        record(at(7, 2) * 60, 2, u"Volume High Alarm at"_s, RecordKind::ZoneHighAlarm)}});
        window = std::make_unique<trend::TrendWindow>(h.start(), 1, *writer);
        waitUntilDrawn();
    }

    static qint64 at(int hour, int minute) { return minuteAt(QDateTime(QDate(2001, 7, 13), QTime(hour, minute))); }
    static history::RecordRow record(qint64 second, int zone, const QString& message, RecordKind kind) {
        return {second, zone, message, u"07:00:00 AM"_s, u"July 13,2001"_s, kind};
    }

    std::pair<double, double> timeAxis() const {
        const auto* axis = qobject_cast<QDateTimeAxis*>(window->chart().axes(Qt::Horizontal).constFirst());
        return {double(axis->min().toMSecsSinceEpoch()), double(axis->max().toMSecsSinceEpoch())};
    }
    void waitUntilDrawn() {
        QSignalSpy drawn(window.get(), &trend::TrendWindow::drawn);
        ASSERT_TRUE(drawn.wait(10000));
    }

    QList<QPointF> points(const QString& name, QLineSeries* (QAreaSeries::*side)() const = nullptr) const {
        QList<QPointF> all;
        for (QAbstractSeries* s : window->chart().series()) {
            if (s->name() == name) {
                all += (side != nullptr ? (qobject_cast<QAreaSeries*>(s)->*side)() : qobject_cast<QXYSeries*>(s))
                           ->points();
            }
        }
        return all;
    }
    // The chart's points of the rows: buckets of `width` minutes, each drawn at its middle.
    QList<QPointF> expected(int width, double MinuteRow::*value) const {
        std::map<qint64, MinuteRow> buckets;
        for (const MinuteRow& r : rows) {
            MinuteRow& b = buckets.try_emplace(r.minute / width, MinuteRow{0, 1, r.min, 0, r.max, 0}).first->second;
            b.min = std::min(b.min, r.min);
            b.max = std::max(b.max, r.max);
            b.mean += r.mean * r.count;
            b.count += r.count;
        }
        QList<QPointF> out;
        for (const auto& [bucket, b] : buckets) {
            out.append({(double(bucket * width) + width / 2.0) * kMsPerMinute,
                        value == &MinuteRow::mean ? b.mean / b.count : b.*value});
        }
        return out;
    }

    Harness h;
    std::vector<MinuteRow> rows;
    std::unique_ptr<history::HistoryStore> writer;
    std::unique_ptr<trend::TrendWindow> window;
};

TEST_F(TrendWindowTest, DrawsTheBandTheMeanTheLimitsAndTheAlarmsOfItsChannel) {
    EXPECT_EQ(window->windowTitle(), u"ZAVOK trend - Pressure"_s);
    for (const auto& [width, span] :
         {std::pair(1, trend::TrendWindow::Span::Day), {7, trend::TrendWindow::Span::Week}}) {
        SCOPED_TRACE(width);
        if (span != trend::TrendWindow::Span::Day) {
            window->choose(span);
            waitUntilDrawn();
        }
        // The gap between 07:04 and 07:30 breaks the drawing in two; only the first half is in the legend.
        EXPECT_EQ(std::ranges::count(window->chart().series(), u"Mean"_s, &QAbstractSeries::name), 2);
        EXPECT_EQ(points(u"Mean"_s), expected(width, &MinuteRow::mean));
        EXPECT_EQ(points(u"Minimum to maximum"_s, &QAreaSeries::upperSeries), expected(width, &MinuteRow::max));
        EXPECT_EQ(points(u"Minimum to maximum"_s, &QAreaSeries::lowerSeries), expected(width, &MinuteRow::min));
        const auto [from, to] = timeAxis();
        EXPECT_EQ(to, double(at(8, 16)) * kMsPerMinute);
        EXPECT_EQ(points(u"Low alarm limit"_s), (QList<QPointF>{{from, 10}, {to, 10}}));
        EXPECT_EQ(points(u"High alarm limit"_s), (QList<QPointF>{{from, 40}, {to, 40}}));
        EXPECT_EQ(points(u"High alarms"_s), (QList<QPointF>{{(double(at(7, 2)) * 60 + 10) * 1000, 40}}));
        EXPECT_EQ(points(u"Low alarms"_s), (QList<QPointF>{{(double(at(7, 31)) * 60 + 30) * 1000, 10}}));
    }
}

TEST_F(TrendWindowTest, FollowsTheHistoryZoomsUnderThePointerAndSavesThePictureWhereTheUserChooses) {
    // A minute stored while the window is open is drawn.
    rows.push_back({at(8, 14), 1, 33, 33, 33, 1});
    writer->write({at(8, 15), {rows.back()}, {}});
    waitUntilDrawn();
    EXPECT_EQ(points(u"Mean"_s), expected(1, &MinuteRow::mean));
    QWidget* viewport = window->findChild<QGraphicsView*>(u"chart"_s)->viewport();
    window->resize(1000, 600);
    window->show();
    auto turn = [&](int delta) {
        const QPointF middle(viewport->width() / 2.0, viewport->height() / 2.0);
        QWheelEvent wheel(middle, viewport->mapToGlobal(middle), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        waitUntilDrawn();
    };
    const auto [from, to] = timeAxis();
    EXPECT_EQ(to - from, 24 * 60 * kMsPerMinute);
    turn(120);
    const auto [zoomedFrom, zoomedTo] = timeAxis();
    EXPECT_EQ(zoomedTo - zoomedFrom, 12 * 60 * kMsPerMinute);
    EXPECT_TRUE(zoomedFrom > from && zoomedTo < to) << "the moment under the pointer stays where it was";
    turn(-120);
    EXPECT_EQ(timeAxis(), std::pair(from, to)) << "zoomed out as far as the choice, the window follows the clock again";
    // A name without a suffix is saved as a PNG picture of the chart; a folder that is not there is refused.
    const QDir pictures(h.picturesDirectory);
    QDir().mkpath(pictures.path());
    h.dialogs.answerFile(pictures.filePath(u"trend"_s));
    h.dialogs.answerFile(pictures.filePath(u"gone/trend.png"_s));
    auto* save = window->findChild<QPushButton*>(u"save"_s);
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(h.dialogs.asked.size(), 1u) << "the chooser alone";
    EXPECT_TRUE(h.dialogs.fileRequests.back().toSave);
    EXPECT_EQ(h.dialogs.fileRequests.back().initialDirectory, h.picturesDirectory);
    EXPECT_EQ(QImage(pictures.filePath(u"trend.png"_s)).size(), window->findChild<QWidget*>(u"chart"_s)->size());
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(h.dialogs.asked.size(), 3u);
    EXPECT_EQ(h.dialogs.asked.back().title, kit::kCautionTitle);
    EXPECT_EQ(pictures.entryList(QDir::Files), QStringList{u"trend.png"_s});
}

} // namespace
} // namespace zavok::test
