#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace zavok::ui {

// Runs `then` once, on the event loop, after the first window the program shows has been painted: for work the
// first paint need not wait for. A window that is not painted at once (shown on another workspace, say) holds it
// back for `latestMs` at most. Filters the whole application until then.
class AfterFirstPaint final : public QObject {
    Q_OBJECT

public:
    static constexpr int kLatestMs = 1000;

    explicit AfterFirstPaint(std::function<void()> then, int latestMs = kLatestMs);
    ~AfterFirstPaint() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> then_;
    QTimer latest_;
};

} // namespace zavok::ui
