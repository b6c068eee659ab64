// A scripted LDAP peer on 127.0.0.1, for what a real server will not do:
// answers split into pieces, connections closed in mid-message, silence.
//
// The constructor opens a listening socket on a free port and starts one
// server thread. That thread accepts the first client, stops listening (later
// connects are refused) and runs the script's steps in order on that
// connection. Whatever the client sends is recorded at every step, so a client
// never blocks on a full socket. After the last step the connection stays open,
// still recorded, until the client closes it or the object is destroyed.
//
// All public members may be called from any thread. The destructor wakes the
// server thread through a pipe it always polls, so it returns promptly even
// while a step is waiting for bytes that will never come.
#pragma once

#include "tests/support/Bytes.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeLdapServer {
public:
    struct Step {
        enum class Kind { Send, Receive, ReceiveMessage, Close, Reset, Hold };
        Kind kind = Kind::Hold;
        Bytes bytes; // Send
        std::vector<size_t> cuts; // Send: offsets where a new segment begins
        std::chrono::milliseconds pause { 0 }; // Send: between segments
        size_t count = 0; // Receive
    };
    using Script = std::vector<Step>;

    // Sends bytes at once.
    static Step send(Bytes bytes);
    // Sends bytes in segments that begin at the given offsets (ascending,
    // inside the message), pausing between them so the client reads each
    // segment on its own. A client that does not read within the pause sees
    // segments merged; on a loaded machine choose a longer pause.
    static Step sendSplit(
        Bytes bytes, std::vector<size_t> cuts, std::chrono::milliseconds pause = std::chrono::milliseconds(2));
    // Sends bytes one at a time.
    static Step sendBytewise(Bytes bytes, std::chrono::milliseconds pause = std::chrono::milliseconds(2));
    // For each offset 1 .. size-1, the message sent in two segments cut there.
    static std::vector<Step> splitsAtEveryOffset(
        const Bytes& message, std::chrono::milliseconds pause = std::chrono::milliseconds(2));
    // Waits until count more bytes have arrived.
    static Step receive(size_t count);
    // Waits until one more complete BER element (an LDAP message) has arrived.
    static Step receiveMessage();
    // Closes the connection (FIN). After a Send it closes right after the data;
    // after a partial Send it closes in mid-message.
    static Step close();
    // Closes with an RST, as a crashed peer's kernel would.
    static Step reset();
    // Never answers: keeps the connection open until the object is destroyed.
    static Step hold();

    explicit FakeLdapServer(Script script);
    ~FakeLdapServer();
    FakeLdapServer(const FakeLdapServer&) = delete;
    FakeLdapServer& operator=(const FakeLdapServer&) = delete;

    uint16_t port() const { return port_; }
    // "ldap://127.0.0.1:PORT"
    std::string url() const;

    // Everything received so far.
    Bytes received() const;
    // The received bytes split into complete BER elements; an incomplete tail is left out.
    std::vector<Bytes> receivedMessages() const;

    // Each returns false on timeout.
    bool waitForClient(std::chrono::milliseconds timeout) const;
    bool waitForReceived(size_t count, std::chrono::milliseconds timeout) const;
    // Until every step has run; a Hold step counts as run once reached.
    bool waitForScriptEnd(std::chrono::milliseconds timeout) const;
    // Until the client has closed its end.
    bool waitForClientClose(std::chrono::milliseconds timeout) const;

    // Why the script stopped early (the client closed while a Receive waited,
    // a send failed, ...); empty while all is well.
    std::string scriptError() const;

    // Length of the complete BER element at the start of bytes, 0 while it is
    // incomplete, SIZE_MAX when the header cannot be LDAP (indefinite or
    // overlong length).
    static size_t berElementLength(const uint8_t* bytes, size_t size);

private:
    enum class Wait { Ready, Woken, ClientClosed, Failed };

    void run();
    void runScript(int connection);
    Wait pump(int connection, int timeoutMs, short extraEvents);
    Wait drainUntil(int connection, std::chrono::steady_clock::time_point deadline);
    Wait sendAll(int connection, const uint8_t* data, size_t size);
    void fail(std::string why);

    Script script_;
    uint16_t port_ = 0;
    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Bytes received_;
    bool clientConnected_ = false;
    bool clientClosed_ = false;
    bool scriptEnded_ = false;
    std::string error_;

    std::thread thread_;
};
