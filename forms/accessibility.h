#pragma once

class QWidget;

namespace tk {

// What a screen reader meets where Qt's own reading of our widgets would mislead it.

// A form's surface, which Qt reads as a nameless client area: a window named by its caption.
void readAsWindow(QWidget& surface);
// Decoration, or a control that is never shown: out of the tree a screen reader walks.
void leaveOutOfAccessibility(QWidget& widget);
// A text box that serves as a caption: read as a label, not as a box to type into.
void readAsCaption(QWidget& widget);

} // namespace tk
