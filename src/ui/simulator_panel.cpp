#include "simulator_panel.h"

#include "inputs/simulator_state.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace zavok::ui {

const QString SimulatorPanel::kTitle = QStringLiteral("ZAVOK input simulator");

namespace {

// Wide enough for "65535", so the sliders do not move as the number changes.
constexpr int kReadoutWidthChars = 7;

} // namespace

SimulatorPanel::SimulatorPanel(inputs::SimulatorState& state, QWidget* parent) : QWidget(parent) {
    setWindowTitle(kTitle);
    // The main window decides when the program ends; this one neither keeps it running nor ends it.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* contacts = new QGroupBox(QStringLiteral("Alert contacts (checked = closed)"));
    auto* contactGrid = new QGridLayout(contacts);
    for (int c = 0; c < inputs::kContacts; ++c) {
        auto* closed = new QCheckBox(QStringLiteral("Contact %1 closed").arg(c + 1));
        closed->setObjectName(QStringLiteral("contact%1").arg(c + 1));
        closed->setChecked(state.isClosed(c));
        connect(closed, &QCheckBox::toggled, this, [&state, c](bool on) { state.setClosed(c, on); });
        contactGrid->addWidget(closed, c / 2, c % 2);
    }

    auto* channels = new QGroupBox(QStringLiteral("Analogue channels (0 to 65535)"));
    auto* channelGrid = new QGridLayout(channels);
    for (int k = 0; k < inputs::kChannels; ++k) {
        const int joystick = k / 2 + 1;
        const QChar axisName = k % 2 == 0 ? u'X' : u'Y';
        channelGrid->addWidget(
            new QLabel(QStringLiteral("Channel %1 (joystick %2 %3)").arg(k + 1).arg(joystick).arg(axisName)), k, 0);

        auto* slider = new QSlider(Qt::Horizontal);
        slider->setObjectName(QStringLiteral("axis%1").arg(k + 1));
        slider->setRange(0, int(inputs::kAxisMax));
        slider->setSingleStep(64);
        slider->setPageStep(4096);
        slider->setMinimumWidth(240);
        slider->setValue(int(state.axis(k)));
        channelGrid->addWidget(slider, k, 1);

        auto* value = new QLabel(QString::number(state.position(k)));
        value->setObjectName(QStringLiteral("value%1").arg(k + 1));
        value->setMinimumWidth(value->fontMetrics().averageCharWidth() * kReadoutWidthChars);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        channelGrid->addWidget(value, k, 2);

        auto* noSignal = new QCheckBox(QStringLiteral("no signal"));
        noSignal->setObjectName(QStringLiteral("nosignal%1").arg(k + 1));
        noSignal->setChecked(state.hasNoSignal(k));
        slider->setEnabled(!state.hasNoSignal(k));
        channelGrid->addWidget(noSignal, k, 3);

        connect(slider, &QSlider::valueChanged, this, [&state, k, value](int position) {
            state.setAxis(k, position);
            value->setText(QString::number(state.position(k)));
        });
        connect(noSignal, &QCheckBox::toggled, this, [&state, k, value, slider](bool on) {
            state.setNoSignal(k, on);
            slider->setEnabled(!on);
            value->setText(QString::number(state.position(k)));
        });
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(contacts);
    layout->addWidget(channels);
}

void SimulatorPanel::closeEvent(QCloseEvent* event) {
    event->ignore();
    showMinimized();
}

} // namespace zavok::ui
