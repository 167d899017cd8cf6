// Built against the runtime alone, this must not compile: the runtime knows Qt Core only.
#include <QImage>
