#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zavok::kit {

// The one line encoding of the settings files, the sample files and the activity log: single-byte Latin-1,
// text fields between double quotes, numbers bare, every line ended by CR LF.

// A text field. The format has no escape, so a double quote would cut the field for every reader: it is written
// as an apostrophe, and CR or LF as a blank. Characters outside Latin-1 become '?'.
QByteArray quotedField(const QString& text);

// The text that a field written from `text` holds.
QString storedText(const QString& text);

// A line of fields joined by commas, ended by CR LF.
QByteArray line(const QList<QByteArray>& fields);

// Reads up to `count` fields in file order. A field is a quoted text (up to the next double quote) or a bare
// token (up to the next comma or line end); blanks before a field are skipped. Fields past the end of the data
// come back empty, so a short file gives empty texts and a long one is cut.
QStringList readFields(const QByteArray& data, int count);

} // namespace zavok::kit
