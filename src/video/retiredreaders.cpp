#include "video/retiredreaders.h"

#include <QCoreApplication>
#include <chrono>
#include <mutex>
#include <utility>
#include <vector>

namespace {

class Retired {
  public:
    ~Retired() { reap(std::chrono::seconds(1)); }

    void add(std::thread thread, std::shared_ptr<ReaderLink> link) {
        std::lock_guard lock(m_mutex);
        joinEnded();
        m_readers.emplace_back(std::move(thread), std::move(link));
    }

    // Joins every reader that ends within `patience`; the others are let go.
    void reap(std::chrono::milliseconds patience) {
        std::lock_guard lock(m_mutex);
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!m_readers.empty() && std::chrono::steady_clock::now() < deadline) {
            joinEnded();
            if (!m_readers.empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        for (auto& reader : m_readers)
            reader.first.detach();
        m_readers.clear();
    }

  private:
    void joinEnded() {
        std::erase_if(m_readers, [](auto& reader) {
            if (!reader.second->isFinished())
                return false;
            reader.first.join(); // it has told that it ended: it is leaving
            return true;
        });
    }

    std::mutex m_mutex;
    std::vector<std::pair<std::thread, std::shared_ptr<ReaderLink>>> m_readers;
};

Retired& retired() {
    static Retired readers;
    return readers;
}

} // namespace

void RetireReader(std::thread thread, std::shared_ptr<ReaderLink> link) {
    if (!thread.joinable())
        return;
    static const bool atApplicationEnd = [] {
        qAddPostRoutine([] { retired().reap(std::chrono::seconds(1)); });
        return true;
    }();
    Q_UNUSED(atApplicationEnd);
    retired().add(std::move(thread), std::move(link));
}
