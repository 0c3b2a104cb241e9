// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A small HTTP server on 127.0.0.1 for tests: fixed bodies by path, and endless MP3 streams of
// silence sent at the real rate. Every connection thread ends when the server is destroyed, or
// after two minutes at the latest.
class LoopbackHttpServer {
  public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void addFile(const std::string& path, const std::string& contentType, const std::string& body);
    // An endless audio/mpeg stream: the 128 kbit/s MP3 bytes given (silence by default), looped
    // and sent at the rate they play. With a title, a player that asks for ICY metadata gets it
    // as "StreamTitle" every kIcyInterval bytes.
    void addStream(const std::string& path, const std::string& mp3 = silentMp3Frame(),
                   const std::string& title = {});
    static constexpr size_t kIcyInterval = 8000;
    // What the streams do: play, drop (open connections end, new ones are closed at once), or
    // stall (connections stay open and nothing is sent).
    enum class Outage { none, down, stalled };
    void setOutage(Outage outage) { outage_ = outage; }
    QString url(const std::string& path) const;
    int port() const { return port_; }
    int requests() const { return requests_; }
    // The header lines of the last request received.
    std::string lastRequest() const {
        std::lock_guard lock(const_cast<std::mutex&>(mutex_));
        return lastRequest_;
    }

    // One silent MPEG-1 Layer III frame: 128 kbit/s, 44,100 Hz, stereo, 417 bytes.
    static std::string silentMp3Frame();

  private:
    void acceptLoop();
    void serve(int fd);

    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    std::atomic<Outage> outage_{Outage::none};
    std::mutex mutex_;
    std::map<std::string, std::pair<std::string, std::string>> files_;
    std::map<std::string, std::pair<std::string, std::string>> streams_;  // MP3 bytes, title
    std::string lastRequest_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
};
