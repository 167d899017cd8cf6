// Built against common, this must not compile: only the forms library reaches the desktop.
#include "windowing/desktop.h"
