// The least a Qt Widgets program with a window is: one label. It stays up until SIGTERM; the start-up benchmark
// ends it at its first paint through first_paint_hook.
#include <QApplication>
#include <QLabel>

#include <csignal>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("ZAVOK"));
    label.show();
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    return QApplication::exec();
}
