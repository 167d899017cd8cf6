// Built against the game library alone, this must not compile: only the toolkit sees Qt's
// widget headers.
#include "game/form1.h"
#include <QApplication>
