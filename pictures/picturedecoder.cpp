#include "pictures/picturedecoder.h"

#include "runtime/program.h"
#include <atomic>
#include <exception>
#include <QMetaObject>

namespace tk {

struct PictureDecoder::Job {
    Job(PictureFile file, int drawnWidth, Picture placeholder, Arrived arrived)
        : file(std::move(file)), drawnWidth(drawnWidth), placeholder(std::move(placeholder)),
          arrived(std::move(arrived)) {}

    PictureFile file;
    int drawnWidth;
    Picture placeholder;
    Arrived arrived;
    std::atomic<bool> cancelled{false};
};

PictureDecoder::PictureDecoder(Program& program) : program(program), worker([this] { work(); }) {}

PictureDecoder::~PictureDecoder() {
    stop();
}

Picture PictureDecoder::request(const QString& fileName, int drawnWidth, Arrived arrived) {
    PictureFile file = PictureFile::open(fileName);
    std::lock_guard held(lock);
    if (newest && newest->file.stamp() == file.stamp() && newest->drawnWidth == drawnWidth) {
        newest->arrived = std::move(arrived);
        return newest->placeholder;
    }
    if (newest)
        newest->cancelled = true;
    const QSize size = file.naturalSize();
    newest =
        std::make_shared<Job>(std::move(file), drawnWidth,
                              Picture::fromDrawing(size, [](QPainter&) {}), std::move(arrived));
    waiting = newest;
    wake.notify_one();
    return newest->placeholder;
}

void PictureDecoder::stop() {
    {
        std::lock_guard held(lock);
        stopping = true;
        if (newest)
            newest->cancelled = true;
        wake.notify_one();
    }
    if (worker.joinable())
        worker.join();
}

void PictureDecoder::work() {
    for (;;) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock held(lock);
            wake.wait(held, [this] { return stopping || waiting; });
            if (stopping)
                return;
            job = std::exchange(waiting, nullptr);
        }
        QImage pixels;
        std::exception_ptr failure;
        try {
            pixels = job->file.pixels(job->drawnWidth, nullptr, job->cancelled, true);
        } catch (...) {
            failure = std::current_exception(); // reported on the event loop
        }
        if (job->cancelled)
            continue;
        deliver(job, pixels, failure);
        if (!pixels.isNull())
            job->file.saveThumbnails(pixels);
    }
}

void PictureDecoder::deliver(const std::shared_ptr<Job>& job, QImage pixels,
                             std::exception_ptr failure) {
    QMetaObject::invokeMethod(
        &eventLoop,
        [this, job, pixels = std::move(pixels), failure] {
            Arrived arrived;
            {
                std::lock_guard held(lock);
                if (job != newest)
                    return;
                arrived = job->arrived;
                newest = nullptr;
            }
            program.guard([&] {
                if (failure)
                    std::rethrow_exception(failure);
                arrived(job->placeholder, job->file.picture(pixels));
            });
        },
        Qt::QueuedConnection);
}

} // namespace tk
