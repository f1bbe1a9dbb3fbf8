#include "calibration.h"

#include "forms/channel_state.h"
#include "kit/numbers.h"

namespace zavok {

namespace {

const QString kAutoZeroPrompt = QStringLiteral("MOVE SENSOR TO MINIMUM AND CLICK SET ZERO");
const QString kManualZeroPrompt = QStringLiteral("ENTER VALUE = MINIMUM POSITION OF SENSOR");
const QString kAutoFullScalePrompt = QStringLiteral("MOVE SENSOR TO MAXIMUM AND CLICK SET F.S.D");
const QString kManualFullScalePrompt = QStringLiteral("ENTER VALUE = MAXIMUM POSITION OF SENSOR");
const QString kReadyPrompt = QStringLiteral("PRESS FINALIZE CALIBRATION TO SET VALUES");
const QString kRangeErrorPrompt = QStringLiteral("ERROR : CAL F.S.D > CAL ZERO VALUE BY (10 * METER F.S.D)");

const QString kZeroWarning = QStringLiteral("Please enter a value equal to your sensor minimum in the ONLINE ZERO "
                                            "VALUE BOX before you press SET ZERO");
const QString kFullScaleWarning = QStringLiteral("Please enter a value equal to your sensor maximum in the ONLINE "
                                                 "F.S.D VALUE BOX before you press SET F.S.D");

// What a typed MANUAL value starts from: the ends of a joystick axis.
const QString kLowestReading = QStringLiteral("0");
const QString kHighestReading = QStringLiteral("65535");

// The calibrated range must hold more than this many raw counts per unit of the meter's full scale.
constexpr double kCountsPerMeterUnit = 10;

} // namespace

Calibration::Calibration(ChannelForm& form, const MainForm& main, kit::Dialogs& dialogs, kit::Bell& bell)
    : form_(form)
    , mfsd_(*main.mfsd.at(form.channel() - 1))
    , dialogs_(dialogs)
    , bell_(bell) {
    form.calibrate.onClick = [this] { start(); };
    form.auto_.onClick = [this] { toManual(); };
    form.manual.onClick = [this] { toAuto(); };
    form.calsetzerocom.onClick = [this] { setZero(); };
    form.calsetfsdcom.onClick = [this] { setFullScale(); };
    form.calfincom.onClick = [this] { finalize(); };
    form.calclosecom.onClick = [this] { close(); };
}

// To the zero step in AUTO mode; each tick of an enabled channel then replaces the "0" with the live reading.
void Calibration::start() {
    form_.calzerot.setEnabled(true);
    form_.calzerot.setText({});
    form_.calfsdt.setText({});
    form_.auto_.setEnabled(true);
    form_.auto_.setVisible(true);
    form_.calfincom.setEnabled(false);
    form_.calfincom.setVisible(true);
    form_.calibrate.setEnabled(false);
    form_.calibrate.setVisible(false);
    form_.calsetzerocom.setEnabled(true);
    form_.calzerot.setText(kLowestReading);
    form_.Label3.setText(kAutoZeroPrompt);
}

void Calibration::manualZero() {
    form_.calzerot.setText(kLowestReading);
    form_.calzerot.setFocus();
    form_.Label3.setText(kManualZeroPrompt);
}

void Calibration::manualFullScale() {
    form_.calfsdt.setText(kHighestReading);
    form_.calfsdt.setFocus();
    form_.Label3.setText(kManualFullScalePrompt);
}

// The AUTO button shows AUTO mode; clicking it switches to MANUAL.
void Calibration::toManual() {
    if (!inZeroStep() && !inFullScaleStep()) {
        bell_.beep();
        return;
    }
    form_.auto_.setVisible(false);
    form_.auto_.setEnabled(false);
    form_.manual.setVisible(true);
    form_.manual.setEnabled(true);
    if (inZeroStep()) {
        form_.calzerot.setLocked(false);
        manualZero();
    } else {
        form_.calfsdt.setLocked(false);
        manualFullScale();
    }
}

void Calibration::toAuto() {
    if (!inZeroStep() && !inFullScaleStep()) {
        bell_.beep();
        return;
    }
    form_.auto_.setVisible(true);
    form_.auto_.setEnabled(true);
    form_.manual.setVisible(false);
    form_.manual.setEnabled(false);
    form_.calzerot.setLocked(true);
    form_.calfsdt.setLocked(true);
    if (inZeroStep()) {
        form_.calsetzerocom.setFocus();
        form_.Label3.setText(kAutoZeroPrompt);
    } else {
        form_.calsetfsdcom.setFocus();
        form_.Label3.setText(kAutoFullScalePrompt);
    }
}

void Calibration::setZero() {
    if (!kit::isNumericText(form_.calzerot.text())) {
        dialogs_.message(kit::kCautionTitle, kZeroWarning);
        if (isAuto()) {
            form_.Label3.setText(kAutoZeroPrompt);
            form_.calsetzerocom.setFocus();
        } else {
            manualZero();
        }
        return;
    }
    // The box keeps its text: it is the accepted zero until FINALIZE stores it.
    form_.calzerot.setEnabled(false);
    form_.calzerot.setLocked(true);
    form_.calsetzerocom.setEnabled(false);
    form_.calfsdt.setEnabled(true);
    form_.calfsdt.setLocked(false);
    form_.calsetfsdcom.setEnabled(true);
    if (isAuto()) {
        form_.Label3.setText(kAutoFullScalePrompt);
        form_.calsetfsdcom.setFocus();
    } else {
        manualFullScale();
    }
}

void Calibration::setFullScale() {
    if (!kit::isNumericText(form_.calfsdt.text())) {
        dialogs_.message(kit::kCautionTitle, kFullScaleWarning);
        if (isAuto()) {
            form_.Label3.setText(kAutoFullScalePrompt);
            form_.calsetfsdcom.setFocus();
        } else {
            manualFullScale();
        }
        return;
    }
    form_.calfsdt.setEnabled(false);
    form_.calsetfsdcom.setEnabled(false);
    // Both readings are taken: ready to finalize.
    form_.calfincom.setEnabled(true);
    form_.Label3.setText(kReadyPrompt);
    // The mode buttons' place is never left empty, whichever mode the readings were taken in.
    form_.auto_.setEnabled(false);
    form_.auto_.setVisible(true);
    form_.manual.setEnabled(false);
    form_.manual.setVisible(false);
}

void Calibration::finalize() {
    const double meterFullScale = kit::prefixValue(mfsd_.text());
    const double range = kit::prefixValue(form_.calfsdt.text()) - kit::prefixValue(form_.calzerot.text());
    if (!(range > kCountsPerMeterUnit * meterFullScale)) {
        start();
        form_.Label3.setText(kRangeErrorPrompt);
        return;
    }
    // Stored as typed: " 500" stays " 500" and reads as 500.
    form_.calzvall.setText(form_.calzerot.text());
    form_.calfvall.setText(form_.calfsdt.text());
    form_.Label3.setText(channel::kPressCalibrate);
    form_.calibrate.setEnabled(true);
    form_.calibrate.setVisible(true);
    form_.calfincom.setEnabled(false);
    form_.calfincom.setVisible(false);
    form_.calsetzerocom.setEnabled(false);
    form_.calsetfsdcom.setEnabled(false);
    form_.calclosecom.setEnabled(true);
    form_.calzerot.setText({});
    form_.calfsdt.setText({});
    form_.calclosecom.setFocus();
}

// Usable once after each completed calibration.
void Calibration::close() {
    form_.calclosecom.setEnabled(false);
    form_.hide();
}

void Calibration::abandon() {
    form_.calzerot.setText({});
    form_.calfsdt.setText({});
    form_.calzerot.setLocked(true);
    form_.calfsdt.setLocked(true);
    form_.calzerot.setEnabled(false);
    form_.calfsdt.setEnabled(false);
    form_.calsetzerocom.setVisible(true);
    form_.calsetzerocom.setEnabled(false);
    form_.calsetfsdcom.setVisible(true);
    form_.calsetfsdcom.setEnabled(false);
    form_.Label3.setText(channel::kPressCalibrate);
    form_.manual.setEnabled(true);
    form_.manual.setVisible(false);
    form_.auto_.setEnabled(false);
    form_.auto_.setVisible(true);
    form_.calibrate.setEnabled(true);
    form_.calibrate.setVisible(true);
    form_.calfincom.setEnabled(false);
    form_.calfincom.setVisible(false);
    form_.calclosecom.setEnabled(false);
    form_.calclosecom.setVisible(true);
}

} // namespace zavok
