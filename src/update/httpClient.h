#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace update {

// How a request ended. HttpError covers a final status of 400 or more other than 401 and 407,
// and also a failed name lookup, a refused or failed connection and an abort; OtherError is
// everything else that went wrong (time limits, too many redirections, TLS, a broken transfer).
enum class THttpOutcome { Completed, HttpError, OtherError };

struct THttpResult {
    THttpOutcome Outcome = THttpOutcome::Completed;
    long Status = 0;      // the final response's status, 0 when none arrived
    std::string Message;  // what went wrong, empty when the request completed
};

// One GET at a time over libcurl's multi interface, run on the calling thread while the Qt event
// loop keeps turning, so windows repaint and buttons work during the wait. Events run on the same
// thread, inside Get.
class THttpClient {
public:
    THttpClient();
    ~THttpClient();
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    // A connection attempt completed, whether it succeeded or was refused.
    std::function<void()> OnSessionConnected;
    // A connection that had been made closed.
    std::function<void()> OnSessionClosed;
    // The request is about to be sent (once per request, redirections included).
    std::function<void()> OnSendingRequest;
    // A block of body data was appended to the body.
    std::function<void()> OnDocumentData;

    std::chrono::milliseconds ConnectTimeLimit{10000};
    std::chrono::milliseconds TotalTimeLimit{30000};
    long MaxRedirections = 5;
    // A body larger than this ends the transfer with OtherError.
    std::size_t MaxBodySize = 1 << 20;

    // Fetches `address` (http or https), appending the body of every response to `body`. Returns
    // when the request has ended. A call while another one runs fails at once with OtherError.
    THttpResult Get(const std::string& address, std::string& body);
    // Ends the running request; Get then returns HttpError. Nothing happens between requests.
    void Abort();
    bool Busy() const;
    // The status of the response being received, 0 before its header arrived.
    long ResponseStatus() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace update
