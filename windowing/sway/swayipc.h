#pragma once

#include <chrono>
#include <QByteArray>

namespace windowing {

// sway's IPC socket ($SWAYSOCK), where sway runs the session; empty elsewhere.
QByteArray swaySocketPath();

enum class SwayAnswer {
    Ran,        // sway ran every command
    Refused,    // sway answered that one did not run (its criteria match no window yet)
    Unanswered, // no answer that is sway's, whole and in time: sway is not to be asked again
};

// The longest the program waits for sway's whole answer: sway answers within milliseconds, and
// the wait is on the event loop's thread.
constexpr std::chrono::milliseconds swayPatience{500};

// Runs a command through sway's IPC socket.
SwayAnswer swayCommand(const QByteArray& command);

// The same exchange over a socket already connected to sway, within `patience` as a whole.
SwayAnswer swayCommandOver(int socket, const QByteArray& command,
                           std::chrono::milliseconds patience = swayPatience);

} // namespace windowing
