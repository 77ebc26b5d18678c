// Threads: see the header.
#include "device/body_writer.h"

#include "device/macro_body.h"

namespace {

MacroBodyWriter* g_bodyWriter = nullptr;  // user-interface thread

}  // namespace

void MacroBodyWriter::Start() {
    if (!thread_.joinable()) {
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    }
}

void MacroBodyWriter::Write(int address, std::vector<std::uint8_t> body,
                            std::function<void()> done) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(Job{address, std::move(body), std::move(done)});
    }
    wake_.notify_all();
}

void MacroBodyWriter::DropQueued() {
    std::deque<Job> dropped;
    {
        std::lock_guard lock(mutex_);
        dropped.swap(jobs_);
    }
    for (Job& job : dropped) {
        if (job.done) {
            job.done();
        }
    }
}

void MacroBodyWriter::Abandon() {
    abandon_ = true;
    DropQueued();
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [&] { return !writing_; });
    }
    abandon_ = false;
}

void MacroBodyWriter::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        DropQueued();
        wake_.notify_all();
        thread_.join();
    }
    DropQueued();
}

void MacroBodyWriter::Run(std::stop_token stop) {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [&] { return !jobs_.empty(); })) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
            writing_ = true;
        }
        WriteMacroBody(job.address, job.body,
                       [&] { return !stop.stop_requested() && !abandon_.load(); });
        if (job.done) {
            job.done();
        }
        {
            std::lock_guard lock(mutex_);
            writing_ = false;
        }
        idle_.notify_all();
    }
}

void SetMacroBodyWriter(MacroBodyWriter* writer) {
    g_bodyWriter = writer;
}

MacroBodyWriter* CurrentMacroBodyWriter() {
    return g_bodyWriter;
}

void AbandonMacroBodyWrites() {
    if (g_bodyWriter != nullptr) {
        g_bodyWriter->Abandon();
    }
}
