// A game file that reaches past the forms for Qt's widgets: the layer checks must refuse it.
#include "game/form1.h"
#include <QtWidgets/QPushButton>
