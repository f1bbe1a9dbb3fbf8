#pragma once

#include <QStringList>

namespace zavok::ui {

// The program writes a file dialog's filter as entries "Description|pattern|" one after the other, as in
// "Text Files (*.txt)|*.txt|"; Qt wants one "Description (patterns)" per entry. "*.*" stands for every file, as
// it always has for the program's users, including files without an extension.
QStringList toQtFilters(const QString& filter);

} // namespace zavok::ui
