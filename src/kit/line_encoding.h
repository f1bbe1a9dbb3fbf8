#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace zavok::kit {

// The one line encoding of the settings files, the sample files and the activity log: single-byte Latin-1,
// text fields between double quotes, numbers bare, every line ended by CR LF.

// A text field. The format has no escape, so a double quote would cut the field for every reader: it is written
// as an apostrophe, and CR or LF as a blank. Characters outside Latin-1 become '?'.
QByteArray quotedField(const QString& text);
// A line of text fields, each as quotedField() writes it, joined by commas and ended by CR LF.
QByteArray quotedLine(std::initializer_list<QStringView> texts);
// The same line made in `into`, in place of what it held: a buffer kept for the next line is not allocated again.
void quotedLine(std::initializer_list<QStringView> texts, QByteArray& into);

// The text that a field written from `text` holds.
QString storedText(const QString& text);

// What a text field holds: text, one byte per Latin-1 character, or a file name's own bytes, so that any file comes
// back by its name.
enum class FieldOf { Text, FileName };

// The characters of `text` that a field cannot hold as they are, each once, in the order they first come: a double
// quote would end the field, CR, LF and NUL the line, and a text field holds nothing beyond Latin-1. Empty when the
// field keeps `text` whole.
QString unstorable(QStringView text, FieldOf field = FieldOf::Text);

// What the user is told when a typed or chosen text holds `characters` that the settings files cannot keep: which
// ones, and that `what` (a name, a picture) stays `kept`.
QString refusal(const QString& characters, const QString& what, const QString& kept);

// A line of fields joined by commas, ended by CR LF.
QByteArray line(const QList<QByteArray>& fields);

// Reads up to `count` fields in file order. A field is a quoted text (up to the next double quote) or a bare
// token (up to the next comma or line end); blanks before a field are skipped. Fields past the end of the data
// come back empty, so a short file gives empty texts and a long one is cut.
QStringList readFields(const QByteArray& data, int count);

} // namespace zavok::kit
