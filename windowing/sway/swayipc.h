#pragma once

#include <QByteArray>

namespace windowing {

// sway's IPC socket ($SWAYSOCK), where sway runs the session; empty elsewhere.
QByteArray swaySocketPath();

// Runs a command through sway's IPC socket: whether sway ran it, which it does not where its
// criteria match no window yet, or outside sway.
bool swayCommand(const QByteArray& command);

// The same exchange over a socket already connected to sway.
bool swayCommandOver(int socket, const QByteArray& command);

} // namespace windowing
