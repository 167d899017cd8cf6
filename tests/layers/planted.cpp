// A game file that reaches past the toolkit for Qt's widgets: the layer checks must refuse it.
#include "game/form1.h"
#include <QtWidgets/QPushButton>
