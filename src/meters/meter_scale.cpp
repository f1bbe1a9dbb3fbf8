#include "meter_scale.h"

#include "kit/numbers.h"

namespace zavok {

namespace {

bool within(const QString& answer, double lo, double hi) {
    if (!kit::isNumericText(answer)) {
        return false;
    }
    const double value = kit::prefixValue(answer);
    return value >= lo && value <= hi;
}

} // namespace

MeterScale::MeterScale(MainForm& form, kit::Dialogs& dialogs) : form_(form), dialogs_(dialogs) {
    for (int k = 1; k <= 4; ++k) {
        form_.mzero.at(k - 1)->onClick = [this, k] { ask(k); };
        form_.mfsd.at(k - 1)->onClick = [this, k] { ask(k); };
    }
}

void MeterScale::ask(int zone) {
    const QString n = QString::number(zone);
    // The dialog ends only with an accepted pair: a cancelled box answers the empty text, which is refused.
    for (;;) {
        const QString low =
            dialogs_.input(QStringLiteral("METER #") + n + QStringLiteral(" LOW READING"),
                           QStringLiteral("Type the least value for the meter between 0 to 100"), QStringLiteral("0"));
        if (!within(low, 0, 100)) {
            dialogs_.message(kit::kLoudCautionTitle,
                             QStringLiteral("ERROR : Type the low value for the meter between 0 to 100"));
            continue;
        }
        QString high;
        for (;;) {
            high = dialogs_.input(QStringLiteral("METER #") + n + QStringLiteral(" FULL SCALE READING"),
                                  QStringLiteral("Type the full scale value for the meter between 0 to 500"),
                                  QStringLiteral("100"));
            if (within(high, 0, 500)) {
                break;
            }
            dialogs_.message(kit::kLoudCautionTitle,
                             QStringLiteral("ERROR : Type the full scale value for the meter between 0 to 500"));
        }
        const int lo = kit::toInt(kit::prefixValue(low));
        const int hi = kit::toInt(kit::prefixValue(high));
        if (hi <= lo) {
            dialogs_.message(kit::kLoudCautionTitle,
                             QStringLiteral("ERROR : Full Scale value should be greater than Low value"));
            continue;
        }
        // Nothing is classified again: the new scale shows from the channel's next reading on.
        form_.mzero.at(zone - 1)->setText(QString::number(lo));
        form_.mfsd.at(zone - 1)->setText(QString::number(hi));
        return;
    }
}

} // namespace zavok
