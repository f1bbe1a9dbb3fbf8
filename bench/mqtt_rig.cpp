#include "mqtt_rig.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <mosquitto.h>

namespace zavok::bench {

namespace {

void onMessage(mosquitto*, void* heard, const mosquitto_message* message) {
    auto& h = *static_cast<Heard*>(heard);
    const std::lock_guard lock(h.mutex);
    h.messages.emplace_back(QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                            SteadyClock::now());
    h.came.notify_all();
}

} // namespace

MqttRig::MqttRig(const QString& zavok, const QDir& work, const QStringList& extraArguments)
    : work_(work.absolutePath())
    , brokerPort_(18000 + int(QCoreApplication::applicationPid() % 1000)) {
    QDir().mkpath(work_.path());
    QFile config(work_.filePath(QStringLiteral("mosquitto.conf")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\npersistence false\nset_tcp_nodelay true\n"
                                "user root\n")
                     .arg(brokerPort_)
                     .toUtf8());
    config.close();
    broker_.start(QStandardPaths::findExecutable(QStringLiteral("mosquitto")),
                  {QStringLiteral("-c"), config.fileName()});
    broker_.waitForStarted();
    QThread::msleep(200);

    writeState(0xFF);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(QStringLiteral("XDG_DATA_HOME"), work_.filePath(QStringLiteral("xdg")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), work_.filePath(QStringLiteral("config")));
    program_.setProcessEnvironment(environment);
    program_.setWorkingDirectory(work_.path());
    program_.setStandardOutputFile(work_.filePath(QStringLiteral("zavok.out")));
    program_.setStandardErrorFile(work_.filePath(QStringLiteral("zavok.err")));
    program_.start(QFileInfo(zavok).absoluteFilePath(),
                   QStringList{QStringLiteral("--headless"), QStringLiteral("--input=file:") + statePath(),
                               QStringLiteral("--mqtt=mqtt://127.0.0.1:%1").arg(brokerPort_),
                               QStringLiteral("--site=bench")} +
                       extraArguments);

    mosquitto_lib_init();
    subscriber_ = mosquitto_new(nullptr, true, &heard_);
    mosquitto_int_option(subscriber_, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_message_callback_set(subscriber_, onMessage);
    mosquitto_connect(subscriber_, "127.0.0.1", brokerPort_, 30);
    mosquitto_loop_start(subscriber_);
}

MqttRig::~MqttRig() {
    mosquitto_loop_stop(subscriber_, true);
    mosquitto_destroy(subscriber_);
    mosquitto_lib_cleanup();
    program_.terminate();
    program_.waitForFinished();
    broker_.terminate();
    broker_.waitForFinished();
}

void MqttRig::listen(const QStringList& topics) {
    for (const QString& topic : topics) {
        mosquitto_subscribe(subscriber_, nullptr, topic.toUtf8().constData(), 1);
    }
}

void MqttRig::publish(const QString& topic, const QByteArray& payload) {
    mosquitto_publish(subscriber_, nullptr, topic.toUtf8().constData(), int(payload.size()), payload.constData(), 1,
                      false);
}

QString MqttRig::statePath() const {
    return work_.filePath(QStringLiteral("state.txt"));
}

void MqttRig::writeState(int port) const {
    const QString path = statePath();
    QFile file(path + QStringLiteral(".new"));
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray::number(port) + " 0 0 0 0\n");
    file.close();
    std::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(), QFile::encodeName(path).constData());
}

std::optional<SteadyClock::time_point> await(Heard& heard, const QByteArray& payload) {
    std::unique_lock lock(heard.mutex);
    const auto deadline = SteadyClock::now() + std::chrono::seconds(10);
    for (;;) {
        while (!heard.messages.empty()) {
            const auto [got, at] = heard.messages.front();
            heard.messages.pop_front();
            if (got == payload) {
                return at;
            }
        }
        if (heard.came.wait_until(lock, deadline) == std::cv_status::timeout) {
            return std::nullopt;
        }
    }
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, std::size_t(p * double(values.size()))));
}

double msBetween(SteadyClock::time_point from, SteadyClock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace zavok::bench
