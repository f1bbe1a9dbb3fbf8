#include "support/qt_environment.h"

#include <QApplication>

ZAVOK_TEST_APPLICATION(QApplication)
