#pragma once

#include "forms/filelistbox.h"
#include "forms/frame.h"
#include "forms/optionbutton.h"
#include "forms/picturebox.h"
#include "forms/picturebutton.h"
#include "forms/pushbutton.h"
#include "forms/textbox.h"

namespace tk {

// The Qt widget behind each windowed control, for the tests that drive and measure them from
// outside; the programs build their windows from the controls alone.
QListWidget* widgetOf(const FileListBox& list);
QWidget* widgetOf(const Frame& frame);
QRadioButton* widgetOf(const OptionButton& button);
QWidget* widgetOf(const PictureBox& box);
QAbstractButton* widgetOf(const PictureButton& button);
QPushButton* widgetOf(const PushButton& button);
QLineEdit* widgetOf(const TextBox& box);

} // namespace tk
