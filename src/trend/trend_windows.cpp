#include "trend_windows.h"

namespace zavok::trend {

TrendWindows::TrendWindows(Zavok& core, history::HistoryStore& history) : core_(core), history_(history) {}

TrendWindows::~TrendWindows() {
    for (const QPointer<TrendWindow>& window : windows_) {
        delete window.data();
    }
}

TrendWindow& TrendWindows::show(int channel) {
    QPointer<TrendWindow>& window = windows_.at(channel - 1);
    if (window == nullptr) {
        window = new TrendWindow(core_, channel, history_);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return *window;
}

} // namespace zavok::trend
