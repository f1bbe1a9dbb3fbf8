#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

namespace zavok::kit {

// What stands at `path` when it is something other than a regular file: "a FIFO", "a directory", "a device" or "a
// socket". Nothing when it is a regular file, or when nothing is there.
std::optional<QString> notARegularFile(const QString& path);

// A file that the program reads whole at start, and its permission bits (as chmod writes them).
struct SmallFile {
    QByteArray content;
    unsigned permissions = 0;
};

// Reads the regular file at `path`, at most `most` bytes of it, without ever waiting on what stands there: a FIFO
// would block the start until a writer came, and a device such as /dev/zero would never end. Anything but a
// regular file of at most `most` bytes is refused, with the reason as a user should read it.
std::variant<SmallFile, QString> readSmallFile(const QString& path, qint64 most);

} // namespace zavok::kit
