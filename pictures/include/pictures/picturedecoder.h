#pragma once

// Pictures decoded off the event loop for a preview that follows the user's choice: the newest
// request wins, and a request overtaken by a newer one is stopped between two rows.

#include "pictures/picture.h"
#include "pictures/picturefile.h"

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <QObject>
#include <thread>

namespace tk {

class Program;

class PictureDecoder {
public:
    // Gets, on the event loop, the placeholder a request returned and the picture decoded for it.
    using Arrived = std::function<void(const Picture& placeholder, const Picture& decoded)>;

    explicit PictureDecoder(Program& program);
    ~PictureDecoder();
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // The named picture at once as a placeholder of its natural size that draws nothing, its
    // header read now, so that a file that cannot be read fails here. Its pixels, fine enough
    // for a drawing `drawnWidth` device pixels wide, are decoded on the decoder's thread and
    // handed to `arrived` unless a newer request came first; a decode that fails then throws the
    // loader's error inside the program's guard. The file the newest request still decodes,
    // asked for again, gives the same placeholder and no second decode. Each decoded picture's
    // thumbnails are saved to the shared cache, on the decoder's thread: a photo larger than the
    // smallest thumbnail is decoded finely enough for it.
    Picture request(const QString& fileName, int drawnWidth, Arrived arrived);

    // Stops the decode under way and waits for the decoder's thread to end.
    void stop();

private:
    struct Job;
    void work();
    void deliver(const std::shared_ptr<Job>& job, QImage pixels, std::exception_ptr failure);

    Program& program;
    QObject eventLoop; // queued deliveries die with it
    std::mutex lock;
    std::condition_variable wake;
    std::shared_ptr<Job> newest;
    std::shared_ptr<Job> waiting;
    bool stopping = false;
    std::thread worker;
};

} // namespace tk
