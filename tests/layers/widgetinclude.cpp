// Built against any library but the forms, this must not compile: only the forms library sees
// Qt's widget headers.
#include <QApplication>
