#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>

namespace zavok::test {

// Acts on modal boxes as they open, one action per box in the order given, as the user would. Whatever has not
// happened when the script goes is dropped.
class BoxScript {
public:
    using Action = std::function<void(QWidget& box)>;

    explicit BoxScript(std::deque<Action> actions) : actions_(std::move(actions)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* box = QApplication::activeModalWidget();
            // A box that was answered may still be up until its event loop returns.
            if (box == nullptr || box == last_ || actions_.empty()) {
                return;
            }
            last_ = box;
            const Action act = std::move(actions_.front());
            actions_.pop_front();
            act(*box);
        });
        poll_.start(10);
    }

    bool done() const { return actions_.empty(); }

private:
    std::deque<Action> actions_;
    QPointer<QWidget> last_;
    QTimer poll_;
};

} // namespace zavok::test
