#include "tests/support/FakeLdapServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

using Clock = std::chrono::steady_clock;
using Step = FakeLdapServer::Step;

namespace {

constexpr size_t kNotLdap = SIZE_MAX;

std::runtime_error systemError(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

Step FakeLdapServer::send(Bytes bytes)
{
    return sendSplit(std::move(bytes), {}, std::chrono::milliseconds(0));
}

Step FakeLdapServer::sendSplit(Bytes bytes, std::vector<size_t> cuts, std::chrono::milliseconds pause)
{
    size_t previous = 0;
    for (size_t cut : cuts) {
        if (cut <= previous || cut >= bytes.size())
            throw std::invalid_argument("cuts must ascend and lie inside the message");
        previous = cut;
    }
    Step step;
    step.kind = Step::Kind::Send;
    step.bytes = std::move(bytes);
    step.cuts = std::move(cuts);
    step.pause = pause;
    return step;
}

Step FakeLdapServer::sendBytewise(Bytes bytes, std::chrono::milliseconds pause)
{
    std::vector<size_t> cuts;
    for (size_t i = 1; i < bytes.size(); ++i)
        cuts.push_back(i);
    return sendSplit(std::move(bytes), std::move(cuts), pause);
}

std::vector<Step> FakeLdapServer::splitsAtEveryOffset(const Bytes& message, std::chrono::milliseconds pause)
{
    std::vector<Step> steps;
    for (size_t cut = 1; cut < message.size(); ++cut)
        steps.push_back(sendSplit(message, { cut }, pause));
    return steps;
}

Step FakeLdapServer::receive(size_t count)
{
    Step step;
    step.kind = Step::Kind::Receive;
    step.count = count;
    return step;
}

Step FakeLdapServer::receiveMessage()
{
    Step step;
    step.kind = Step::Kind::ReceiveMessage;
    return step;
}

Step FakeLdapServer::close()
{
    Step step;
    step.kind = Step::Kind::Close;
    return step;
}

Step FakeLdapServer::reset()
{
    Step step;
    step.kind = Step::Kind::Reset;
    return step;
}

Step FakeLdapServer::hold()
{
    return Step {};
}

size_t FakeLdapServer::berElementLength(const uint8_t* bytes, size_t size)
{
    size_t at = 1;
    if (size == 0)
        return 0;
    if ((bytes[0] & 0x1F) == 0x1F) {
        while (at < size && (bytes[at] & 0x80))
            ++at;
        ++at;
        if (at > 5)
            return kNotLdap;
    }
    if (at >= size)
        return 0;
    size_t length = bytes[at++];
    if (length & 0x80) {
        size_t octets = length & 0x7F;
        // LDAP forbids the indefinite form; more than four octets is no real message.
        if (octets == 0 || octets > 4)
            return kNotLdap;
        if (size - at < octets)
            return 0;
        length = 0;
        for (size_t i = 0; i < octets; ++i)
            length = length << 8 | bytes[at++];
    }
    return size - at >= length ? at + length : 0;
}

FakeLdapServer::FakeLdapServer(Script script)
    : script_(std::move(script))
{
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        throw systemError("pipe2");
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];

    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0
        || ::listen(listener_, 4) != 0
        || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        auto error = systemError("cannot listen on loopback");
        if (listener_ >= 0)
            ::close(listener_);
        ::close(wakeRead_);
        ::close(wakeWrite_);
        throw error;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

FakeLdapServer::~FakeLdapServer()
{
    const char byte = 1;
    while (::write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) { }
    thread_.join();
    if (listener_ >= 0)
        ::close(listener_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

std::string FakeLdapServer::url() const
{
    return "ldap://127.0.0.1:" + std::to_string(port_);
}

Bytes FakeLdapServer::received() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<Bytes> FakeLdapServer::receivedMessages() const
{
    Bytes all = received();
    std::vector<Bytes> messages;
    size_t at = 0;
    for (;;) {
        size_t length = berElementLength(all.data() + at, all.size() - at);
        if (length == 0 || length == kNotLdap)
            return messages;
        messages.emplace_back(
            all.begin() + static_cast<std::ptrdiff_t>(at), all.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
}

bool FakeLdapServer::waitForClient(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return clientConnected_; });
}

bool FakeLdapServer::waitForReceived(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return received_.size() >= count; });
}

bool FakeLdapServer::waitForScriptEnd(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return scriptEnded_; });
}

bool FakeLdapServer::waitForClientClose(std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return clientClosed_; });
}

std::string FakeLdapServer::scriptError() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

void FakeLdapServer::fail(std::string why)
{
    std::lock_guard lock(mutex_);
    error_ = std::move(why);
    changed_.notify_all();
}

void FakeLdapServer::run()
{
    pollfd fds[2] = { { listener_, POLLIN, 0 }, { wakeRead_, POLLIN, 0 } };
    int connection = -1;
    while (connection < 0) {
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            fail(std::string("poll: ") + std::strerror(errno));
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents)
            connection = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    }
    // One client per server: a reconnect is refused rather than left hanging.
    ::close(listener_);
    listener_ = -1;
    // Each segment leaves at once instead of waiting for the next to coalesce.
    int on = 1;
    ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    {
        std::lock_guard lock(mutex_);
        clientConnected_ = true;
        changed_.notify_all();
    }
    runScript(connection);
}

void FakeLdapServer::runScript(int connection)
{
    size_t consumed = 0;
    auto available = [this]() {
        std::lock_guard lock(mutex_);
        return received_.size();
    };
    auto endScript = [this]() {
        std::lock_guard lock(mutex_);
        scriptEnded_ = true;
        changed_.notify_all();
    };

    for (const Step& step : script_) {
        switch (step.kind) {
        case Step::Kind::Send: {
            size_t begin = 0;
            for (size_t i = 0; i <= step.cuts.size(); ++i) {
                size_t end = i < step.cuts.size() ? step.cuts[i] : step.bytes.size();
                if (i > 0 && drainUntil(connection, Clock::now() + step.pause) == Wait::Woken) {
                    ::close(connection);
                    return;
                }
                Wait sent = sendAll(connection, step.bytes.data() + begin, end - begin);
                if (sent != Wait::Ready) {
                    int error = errno;
                    if (sent == Wait::Failed)
                        fail("send failed after " + std::to_string(begin)
                            + " bytes of a message: " + std::strerror(error));
                    ::close(connection);
                    return;
                }
                begin = end;
            }
            break;
        }
        case Step::Kind::Receive:
        case Step::Kind::ReceiveMessage:
            for (;;) {
                size_t target = 0;
                if (step.kind == Step::Kind::Receive) {
                    if (available() >= consumed + step.count)
                        target = consumed + step.count;
                } else {
                    Bytes all = received();
                    size_t length = berElementLength(all.data() + consumed, all.size() - consumed);
                    if (length == kNotLdap) {
                        fail("received bytes that are no BER element at offset " + std::to_string(consumed));
                        ::close(connection);
                        return;
                    }
                    if (length > 0)
                        target = consumed + length;
                }
                if (target > 0) {
                    consumed = target;
                    break;
                }
                Wait got = pump(connection, -1, 0);
                if (got == Wait::Woken) {
                    ::close(connection);
                    return;
                }
                if (got == Wait::ClientClosed) {
                    fail("the client closed the connection while the script waited for data, after "
                        + std::to_string(consumed) + " bytes consumed");
                    ::close(connection);
                    return;
                }
            }
            break;
        case Step::Kind::Reset: {
            linger now { 1, 0 };
            ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &now, sizeof now);
            [[fallthrough]];
        }
        case Step::Kind::Close:
            ::close(connection);
            endScript();
            return;
        case Step::Kind::Hold:
            break;
        }
        if (step.kind == Step::Kind::Hold)
            break;
    }

    // The end of the script, or a Hold: keep recording until told to stop.
    endScript();
    while (pump(connection, -1, 0) != Wait::Woken) { }
    ::close(connection);
}

// Waits for input, the wake pipe or (with POLLOUT in extraEvents) room to
// send, up to timeoutMs (-1: no limit); records whatever input arrived.
FakeLdapServer::Wait FakeLdapServer::pump(int connection, int timeoutMs, short extraEvents)
{
    bool closed;
    {
        std::lock_guard lock(mutex_);
        closed = clientClosed_;
    }
    // After the client's FIN the socket stays readable forever; stop asking for input.
    short events = static_cast<short>((closed ? 0 : POLLIN) | extraEvents);
    pollfd fds[2] = { { wakeRead_, POLLIN, 0 }, { connection, events, 0 } };
    int ready = ::poll(fds, events ? 2 : 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? Wait::Ready : Wait::Failed;
    if (fds[0].revents)
        return Wait::Woken;
    if (!(fds[1].revents & (POLLIN | POLLHUP | POLLERR)) || closed)
        return Wait::Ready;

    uint8_t buffer[4096];
    ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return Wait::Ready;
    std::lock_guard lock(mutex_);
    if (n > 0) {
        received_.insert(received_.end(), buffer, buffer + n);
    } else {
        clientClosed_ = true;
    }
    changed_.notify_all();
    return n > 0 ? Wait::Ready : Wait::ClientClosed;
}

FakeLdapServer::Wait FakeLdapServer::drainUntil(int connection, Clock::time_point deadline)
{
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Wait::Ready;
        if (pump(connection, static_cast<int>(left), 0) == Wait::Woken)
            return Wait::Woken;
    }
}

FakeLdapServer::Wait FakeLdapServer::sendAll(int connection, const uint8_t* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::send(connection, data, size, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            // A client that does not read must not keep us from hearing the wake pipe.
            if (pump(connection, -1, POLLOUT) == Wait::Woken)
                return Wait::Woken;
        } else {
            return Wait::Failed;
        }
    }
    return Wait::Ready;
}
