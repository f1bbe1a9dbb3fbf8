#pragma once

#include <QObject>

#include <functional>

namespace zavok::ui {

// Runs `then` once, on the event loop, after the first window the program shows has been painted: for work the
// user should hear of at the start but that the first paint need not wait for. Filters the whole application until
// then.
class AfterFirstPaint final : public QObject {
    Q_OBJECT

public:
    explicit AfterFirstPaint(std::function<void()> then, QObject* parent = nullptr);
    ~AfterFirstPaint() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> then_;
};

} // namespace zavok::ui
