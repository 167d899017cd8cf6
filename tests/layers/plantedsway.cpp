// A file outside the sway part that looks for sway's socket itself.
#include <QtGlobal>

bool underSway() {
    return !qEnvironmentVariableIsEmpty("SWAYSOCK");
}
