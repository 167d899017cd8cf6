#pragma once

#include <QAbstractNativeEventFilter>

namespace windowing {

// Another X client may destroy one of our windows outright (XDestroyWindow), which Qt does not
// notice: a modal loop would wait for it forever and the program would never end. A window of
// ours destroyed so is closed as if the window system had closed it, with what follows from
// that (the unload handler, a message box's cancel answer, the end once no window is left).
class DestroyedWindows : public QAbstractNativeEventFilter {
public:
    DestroyedWindows();
    ~DestroyedWindows() override;
    DestroyedWindows(const DestroyedWindows&) = delete;
    DestroyedWindows& operator=(const DestroyedWindows&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
};

} // namespace windowing
