#pragma once

#include <QString>
#include <QStringView>

namespace zavok::kit {

// Text that comes from outside the program (a broker's payload, a file name, a setting) made fit for one line of a
// message on a terminal or in the journal: every control character is shown as an escape (\n, \r, \t, \e, \xNN,
// \uNNNN), so that nobody can forge a line of ours or send the terminal escape codes through us, and the text is
// cut after `most` characters, the cut marked by "...", so that a 20 MB setting does not make a 20 MB message.
QString printable(QStringView text, qsizetype most = 200);

} // namespace zavok::kit
