#pragma once

#include "layer.h"
#include "taborder.h"

namespace tk {

class Form;

// The toolkit's own controls take their place in their form through these: the lightweight ones
// in its layer, the windowed ones in its Tab order. The form's programs see neither.
Layer& layerOf(Form& form);
TabOrder& tabOrderOf(Form& form);

} // namespace tk
