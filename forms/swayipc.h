#pragma once

class QByteArray;

namespace tk {

// Runs a command through sway's IPC socket ($SWAYSOCK): whether sway ran it, which it does not
// where its criteria match no window yet, or outside sway.
bool swayCommand(const QByteArray& command);

} // namespace tk
