// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/LoopbackHttpServer.h"

#include <algorithm>
#include <tuple>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {

constexpr auto kMaxStreamTime = std::chrono::minutes(2);

bool sendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += size_t(n);
    }
    return true;
}

}  // namespace

std::string LoopbackHttpServer::silentMp3Frame() {
    std::string frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);  // MPEG-1, Layer III, no CRC
    frame[2] = char(0x90);  // 128 kbit/s, 44,100 Hz, no padding
    frame[3] = char(0x00);  // stereo
    return frame;           // all-zero side information: silence
}

LoopbackHttpServer::LoopbackHttpServer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 16) != 0)
        throw std::runtime_error("loopback server cannot listen");
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    ::shutdown(listenFd_, SHUT_RDWR);
    acceptor_.join();
    ::close(listenFd_);
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(threads_);
    }
    for (std::thread& t : threads)
        t.join();
}

void LoopbackHttpServer::addFile(const std::string& path, const std::string& contentType,
                                 const std::string& body) {
    std::lock_guard lock(mutex_);
    files_[path] = {contentType, body};
}

void LoopbackHttpServer::addStream(const std::string& path, const std::string& mp3,
                                   const std::string& title) {
    std::lock_guard lock(mutex_);
    streams_[path] = {mp3, title};
}

QString LoopbackHttpServer::url(const std::string& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QString::fromStdString(path));
}

void LoopbackHttpServer::acceptLoop() {
    while (!stopping_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        if (outage_ == Outage::down) {
            ::close(fd);
            continue;
        }
        std::lock_guard lock(mutex_);
        threads_.emplace_back([this, fd] {
            serve(fd);
            ::close(fd);
        });
    }
}

void LoopbackHttpServer::serve(int fd) {
    const timeval sendTimeout{1, 0};  // a reader that stalls cannot hold the thread
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd p{fd, POLLIN, 0};
        if (stopping_ || ::poll(&p, 1, 5000) <= 0)
            return;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        request.append(buf, size_t(n));
    }
    ++requests_;
    const size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);

    std::pair<std::string, std::string> file;
    std::string stream, title;
    bool isFile = false, isStream = false;
    {
        std::lock_guard lock(mutex_);
        lastRequest_ = request;
        if (auto it = files_.find(path); it != files_.end()) {
            file = it->second;
            isFile = true;
        }
        if (auto it = streams_.find(path); it != streams_.end()) {
            std::tie(stream, title) = it->second;
            isStream = true;
        }
    }
    if (isFile) {
        sendAll(fd, "HTTP/1.0 200 OK\r\nContent-Type: " + file.first +
                        "\r\nContent-Length: " + std::to_string(file.second.size()) +
                        "\r\nConnection: close\r\n\r\n" + file.second);
        return;
    }
    if (!isStream) {
        sendAll(fd, "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return;
    }
    // An endless live stream: no length, frames at the rate they play. A player that asks for it
    // gets the title between the audio bytes, as a station's server sends it.
    std::string lower = request;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    const bool icy = !title.empty() && lower.find("icy-metadata: 1") != std::string::npos;
    std::string metadata;
    if (icy) {
        metadata = "StreamTitle='" + title + "';";
        metadata.resize((metadata.size() + 15) / 16 * 16, '\0');
        metadata.insert(metadata.begin(), char(metadata.size() / 16));
    }
    if (!sendAll(fd, "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-name: loopback\r\n" +
                         (icy ? "icy-metaint: " + std::to_string(kIcyInterval) + "\r\n" : "") +
                         "\r\n"))
        return;
    // 128 kbit/s: 16,000 bytes a second, a second ahead of the clock to keep the player's buffer.
    constexpr size_t kChunk = 1000;
    constexpr double kBytesPerSecond = 16000;
    const auto begin = std::chrono::steady_clock::now();
    size_t sent = 0;
    while (!stopping_ && std::chrono::steady_clock::now() - begin < kMaxStreamTime) {
        if (outage_ == Outage::down)
            return;
        if (outage_ == Outage::stalled) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        const double due = double(sent) / kBytesPerSecond - 1.0;
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() < due) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        // Up to the next metadata block, when there is one.
        const size_t size = icy ? std::min(kChunk, kIcyInterval - sent % kIcyInterval) : kChunk;
        std::string chunk;
        while (chunk.size() < size)
            chunk += stream.substr((sent + chunk.size()) % stream.size(), size - chunk.size());
        sent += chunk.size();
        if (icy && sent % kIcyInterval == 0)
            chunk += metadata;
        if (!sendAll(fd, chunk))
            return;
    }
}
