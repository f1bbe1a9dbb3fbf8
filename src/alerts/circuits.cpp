#include "circuits.h"

#include "forms/circuit_state.h"
#include "kit/line_encoding.h"

namespace zavok {

Circuits::Circuits(MainForm& form, AlertState& alerts, kit::Dialogs& dialogs, std::function<void()> labname,
                   std::function<void()> catfile)
    : form_(form)
    , alerts_(alerts)
    , dialogs_(dialogs)
    , labname_(std::move(labname))
    , catfile_(std::move(catfile)) {
    for (int n = 1; n <= 4; ++n) {
        form_.enable.at(n - 1)->onClick = [this, n] { toggle(n); };
        form_.clabel.at(n - 1)->onClick = [this, n] { rename(n); };
        form_.alabel.at(n - 1)->onClick = [this, n] { sendHome(n); };
    }
}

void Circuits::toggle(int circuit) {
    const int i = circuit - 1;
    kit::Label& sw = *form_.enable.at(i);
    kit::Label& indicator = *form_.indicator.at(i);
    kit::Label& status = *form_.alabel.at(i);
    if (sw.text() == circuit::kEnabled) {
        sw.setText(circuit::kDisabled);
        sw.setBack(circuit::kSwitchedOff);
        // Back to rest, which also clears a pending reminder; the home marker keeps its colour.
        indicator.setBack(circuit::restColour(circuit));
        status.setBack(circuit::restColour(circuit));
        indicator.setEnabled(false);
        status.setEnabled(false);
    } else {
        sw.setText(circuit::kEnabled);
        sw.setBack(circuit::kSwitchedOn);
        indicator.setEnabled(true);
        status.setEnabled(true);
        // Every switch-on passes through the handler, so it always writes one record of the alert's state.
        alerts_.handle(circuit);
    }
}

void Circuits::rename(int circuit) {
    const int i = circuit - 1;
    const QString previous = form_.clabel.at(i)->text();
    const QString name = dialogs_.input(QStringLiteral("Change Label"),
                                        QStringLiteral("Type in the name of location/appliance"), previous);
    // apnames.zvk would not give such a name back as typed; the user hears why, and keeps the name there was.
    if (const QString refused = kit::unstorable(name); !refused.isEmpty()) {
        dialogs_.message(kit::kCautionTitle, kit::refusal(refused, QStringLiteral("The name"), previous));
        return;
    }
    newname_.at(i) = name;
    form_.clabel.at(i)->setText(name);
    labname_();
}

void Circuits::sendHome(int circuit) {
    const int i = circuit - 1;
    form_.indicator.at(i)->setLeft(form_.blabel.at(i)->left());
    form_.indicator.at(i)->setTop(form_.blabel.at(i)->top());
    catfile_();
}

} // namespace zavok
