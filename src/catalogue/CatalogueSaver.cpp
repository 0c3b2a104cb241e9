// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/CatalogueSaver.h"

#include "platform/AtomicFile.h"

#include <QMetaObject>
#include <QScopeGuard>

CatalogueSaver::CatalogueSaver(QString path) : path_(std::move(path)) {}

CatalogueSaver::~CatalogueSaver() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !waiting_ && !running_; });
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void CatalogueSaver::write(const StationRows& rows) {
    writeFileAtomically(path_, [&](const ByteSink& put) {
        PacketWriter writer(stationDescriptors(), {}, rows.size());
        rows.writeTo(writer, [&] {
            if (writer.pendingBytes() >= (1 << 20))
                put(writer.takeBytes());
        });
        put(writer.finish());
    });
}

void CatalogueSaver::save(StationRows rows, Done done) {
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(rows);
        if (done)
            waitingDone_.push_back(std::move(done));
        else
            waitingUntold_ = true;
        if (!worker_.joinable())
            worker_ = std::thread([this] { work(); });
    }
    changed_.notify_all();
}

void CatalogueSaver::saveNow(const StationRows& rows) {
    wait();
    bool failed = true;
    const auto record = qScopeGuard([&] {
        const std::lock_guard lock(mutex_);
        lastFailed_ = failed;
    });
    write(rows);
    failed = false;
}

void CatalogueSaver::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_ && !running_; });
}

bool CatalogueSaver::lastFailed() {
    const std::lock_guard lock(mutex_);
    return lastFailed_;
}

void CatalogueSaver::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return waiting_ || stopping_; });
        if (!waiting_)
            return;
        const StationRows rows = std::move(*waiting_);
        waiting_.reset();
        const std::vector<Done> done = std::exchange(waitingDone_, {});
        const bool untold = std::exchange(waitingUntold_, false);
        running_ = true;
        lock.unlock();
        QString failure;
        try {
            write(rows);
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
        lock.lock();
        running_ = false;
        lastFailed_ = !failure.isEmpty();
        changed_.notify_all();
        if (!failure.isEmpty() && untold)
            QMetaObject::invokeMethod(
                this, [this, failure] { emit failed(failure); }, Qt::QueuedConnection);
        if (!done.empty())
            QMetaObject::invokeMethod(
                this,
                [done, saved = failure.isEmpty()] {
                    for (const Done& tell : done)
                        tell(saved);
                },
                Qt::QueuedConnection);
    }
}
