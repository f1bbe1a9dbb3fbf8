#pragma once

#include "support/child_process.h"

#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace zavok::test {

// Runs Qt's events until `holds`, or until a limit that only a broken program reaches.
bool eventually(const std::function<bool()>& holds);

// A mosquitto broker of the test's own on a free loopback port, with one user and password, gone with the test.
// available() is false, with the reason, where mosquitto is not installed.
class Broker {
public:
    static const QString kUser;
    static const QString kPassword;

    Broker();
    bool available() const { return process_ != nullptr; }
    QString refusal() const { return refusal_; }

    int port() const { return port_; }
    // mqtt://zavok@127.0.0.1:PORT
    QString url() const;
    // Its log, where it tells of every connection and refusal.
    QString log() const;
    void kill();
    // On the same port as before; returns once it takes connections.
    void start();

private:
    QTemporaryDir dir_;
    int port_ = 0;
    QString refusal_;
    std::unique_ptr<Child> process_;
};

// A subscriber (mosquitto_sub) writing "topic payload" for every message it hears, retained ones marked "retained".
class Listener {
public:
    explicit Listener(const Broker& broker, const QString& topics = QStringLiteral("#"));
    QStringList lines() const;
    bool hears(const QString& line) const { return lines().contains(line); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<Child> process_;
};

} // namespace zavok::test
