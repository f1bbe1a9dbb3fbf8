#pragma once

#include "kit/dialogs.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace zavok {
class Zavok;
}

namespace zavok::mqtt {

// One thing a person does in the windows, as Home Assistant offers it: the entity, the state it shows, and the
// command that does it. A command is the press or the entry itself, through the controls' own events, so that every
// rule of the windows holds, their refusals included, and nothing is changed behind their back.
struct Twin {
    QString object;    // the end of its unique id and of its discovery topic
    QString component; // Home Assistant's kind of entity
    QString topic;     // below zavok/<site>/: its state, and with "/set" its commands
    std::function<QString()> name;
    std::vector<const QObject*> renamedBy; // the controls whose text is in its name
    QJsonObject config;                    // what its discovery config adds to the topics
    // Its state as the windows show it; empty for an entity with no state, such as a button.
    std::function<QByteArray()> read;
    std::vector<const QObject*> watched; // the controls whose change may change the state
    // Does what the payload says; false when the payload fits none of the entity's choices. Empty for a state alone.
    std::function<bool(const QString& payload)> command;
    QString takes;        // what its commands may say, for the line that tells of one that says something else
    bool setting = false; // what it changes is kept in phones.zvk
};

// Every entity of the table, for a core that has started.
std::vector<Twin> twinsOf(Zavok& core);

// The boxes that a command's press opens. A question is answered with the command's value, as the person at the
// window would have typed it; a message is kept for whoever sent the command rather than shown at the window.
class CommandAnswers final : public kit::Dialogs {
public:
    explicit CommandAnswers(QString value) : value_(std::move(value)) {}

    void message(const QString& title, const QString& text) override;
    QString input(const QString& title, const QString& prompt, const QString& proposal) override;
    std::optional<QString> openFile(const kit::OpenFileRequest& request) override;

    const QStringList& messages() const { return messages_; }

private:
    QString value_;
    QStringList messages_;
};

} // namespace zavok::mqtt
