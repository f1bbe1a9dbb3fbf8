#include "support/qt_environment.h"

#include <QCoreApplication>

ZAVOK_TEST_APPLICATION(QCoreApplication)
