#include "service/write_coalescer.h"

namespace qv::service {

WriteCoalescer::WriteCoalescer(KeyboardService& service) : service_(service) {}

void WriteCoalescer::Submit(std::string key, Job job) {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->running) {
            if (!shared_->waiting.empty() && shared_->waiting.back().first == key) {
                shared_->waiting.back().second = std::move(job);
            } else {
                shared_->waiting.emplace_back(std::move(key), std::move(job));
            }
            return;
        }
        shared_->running = true;
    }
    Run(service_, shared_, std::move(job));
}

void WriteCoalescer::Run(KeyboardService& service, const std::shared_ptr<Shared>& shared, Job job) {
    service.Post([&service, shared, job = std::move(job)](KeyboardSession& session) {
        job(session);
        Job next;
        {
            std::lock_guard lock(shared->mutex);
            if (shared->waiting.empty()) {
                shared->running = false;
                return;
            }
            next = std::move(shared->waiting.front().second);
            shared->waiting.pop_front();
        }
        // Behind whatever else the worker was given meanwhile.
        Run(service, shared, std::move(next));
    });
}

}  // namespace qv::service
