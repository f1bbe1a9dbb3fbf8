#pragma once

#include "history/history_rows.h"

#include <QWidget>

#include <optional>
#include <utility>

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QValueAxis;

namespace zavok {
class Zavok;
} // namespace zavok

namespace zavok::history {
class HistoryStore;
} // namespace zavok::history

namespace zavok::trend {

// One channel's history drawn over the last hour, day, week or month: the band from the lowest to the highest value
// of each minute (or of each bucket of minutes, when the stretch holds more of them than the chart has room for),
// the mean as a line, the channel's alarm limits as level lines, and its zone's alarm records as marks on the limit
// they crossed. The wheel zooms in and out in time around the pointer; a new choice shows the whole stretch again.
// While the whole stretch is shown it follows the clock, and the window draws again each time the history stores
// a minute. The history is read on the store's thread, so the program never waits for it.
class TrendWindow final : public QWidget {
    Q_OBJECT

public:
    enum class Span { Hour, Day, Week, Month };

    TrendWindow(Zavok& core, int channel, history::HistoryStore& history, QWidget* parent = nullptr);

    QChart& chart() const { return *chart_; }
    void choose(Span span);

signals:
    // Each time an answer from the history has been drawn.
    void drawn();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::pair<qint64, qint64> range() const;
    void ask();
    void answered(const history::TrendData& data);
    void draw(const history::TrendData& data);
    void zoom(bool in, double anchorMinute);
    void save();

    Zavok& core_;
    int channel_;
    history::HistoryStore& history_;
    QComboBox* span_;
    QLabel* status_;
    QChart* chart_;
    QChartView* view_;
    QDateTimeAxis* time_;
    QValueAxis* values_;
    std::optional<std::pair<qint64, qint64>> zoomed_;
    bool asking_ = false;
    bool askAgain_ = false;
};

} // namespace zavok::trend
