#include "sampling_times.h"

namespace zavok {

namespace {

void showValue(TimerForm& form, int row) {
    form.secs.at(row)->setVisible(true);
    form.secs.at(row)->setEnabled(true);
    form.sec.at(row)->setEnabled(false);
    form.sec.at(row)->setVisible(false);
}

} // namespace

void wireSamplingTimes(TimerForm& form, MainForm& main, const std::array<ChannelForm*, 4>& channels) {
    main.timerset.onClick = [&form, channels] {
        form.show();
        for (int n = 1; n <= 4; ++n) {
            form.time.at(n)->setText(channels.at(n - 1)->fname.text());
        }
    };
    for (int row = 0; row < 5; ++row) {
        form.time.at(row)->onClick = [&form, row] {
            form.secs.at(row)->setVisible(false);
            form.secs.at(row)->setEnabled(false);
            form.sec.at(row)->setVisible(true);
            form.sec.at(row)->setEnabled(true);
            form.sec.at(row)->setFocus();
        };
        // Only a chosen entry applies; text typed into the box is never taken over.
        form.sec.at(row)->onClick = [&form, row] {
            form.secs.at(row)->setText(form.sec.at(row)->text());
            showValue(form, row);
        };
    }
    form.fclose.onClick = [&form] {
        for (int row = 0; row < 5; ++row) {
            showValue(form, row);
        }
        form.hide();
    };
    form.onCloseRequest = form.fclose.onClick;
}

} // namespace zavok
