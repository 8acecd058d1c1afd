#include "update/httpClient.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <mutex>
#include <set>

#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace update {

namespace {

struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

// How long one wait for network activity lasts before the Qt events are served again.
constexpr int PollMilliseconds = 10;

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsConnected(curl_socket_t socket)
{
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    return ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0;
}

void Raise(const std::function<void()>& event)
{
    if (event)
        event();
}

}  // namespace

struct THttpClient::Impl {
    explicit Impl(THttpClient& owner)
        : client(owner)
    {
    }

    THttpClient& client;
    std::unique_ptr<CURLM, MultiDeleter> multi;
    CURL* easy = nullptr;  // the running request's handle, owned by Get
    std::string* body = nullptr;
    bool busy = false;
    bool aborted = false;
    bool bodyTooLarge = false;
    // A socket was opened whose connection attempt has not been reported yet.
    bool attemptPending = false;
    // Sockets the client opened, and those among them that got connected: only their closing is
    // a closed connection.
    std::set<curl_socket_t> open;
    std::set<curl_socket_t> connected;

    static curl_socket_t OpenSocket(void* data, curlsocktype, curl_sockaddr* address)
    {
        auto& self = *static_cast<Impl*>(data);
        const curl_socket_t socket = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
        if (socket != CURL_SOCKET_BAD) {
            self.open.insert(socket);
            self.attemptPending = true;
        }
        return socket;
    }

    static int CloseSocket(void* data, curl_socket_t socket)
    {
        auto& self = *static_cast<Impl*>(data);
        const bool wasConnected = self.connected.erase(socket) > 0;
        self.open.erase(socket);
        ::close(socket);
        if (wasConnected)
            Raise(self.client.OnSessionClosed);
        return 0;
    }

    // Runs once the connection stands (TLS included) and before the request goes out.
    static int BeforeRequest(void* data, char*, char*, int, int)
    {
        auto& self = *static_cast<Impl*>(data);
        for (const curl_socket_t socket : self.open)
            if (self.connected.count(socket) == 0 && IsConnected(socket))
                self.connected.insert(socket);
        if (self.attemptPending) {
            self.attemptPending = false;
            Raise(self.client.OnSessionConnected);
        }
        Raise(self.client.OnSendingRequest);
        return CURL_PREREQFUNC_OK;
    }

    static std::size_t Write(char* data, std::size_t size, std::size_t count, void* user)
    {
        auto& self = *static_cast<Impl*>(user);
        const std::size_t length = size * count;
        if (self.body == nullptr)
            return length;
        if (self.body->size() + length > self.client.MaxBodySize) {
            self.bodyTooLarge = true;
            return CURL_WRITEFUNC_ERROR;
        }
        self.body->append(data, length);
        Raise(self.client.OnDocumentData);
        return length;
    }

    THttpResult Classify(CURLcode code) const
    {
        THttpResult result;
        curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.Status);
        if (aborted) {
            result.Outcome = THttpOutcome::HttpError;
            result.Message = "aborted";
            return result;
        }
        switch (code) {
        case CURLE_OK:
            if (result.Status >= 400 && result.Status != 401 && result.Status != 407) {
                result.Outcome = THttpOutcome::HttpError;
                result.Message = "HTTP status " + std::to_string(result.Status);
            }
            return result;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
            result.Outcome = THttpOutcome::HttpError;
            break;
        default:
            result.Outcome = THttpOutcome::OtherError;
            break;
        }
        result.Message = bodyTooLarge ? std::string("body too large") : std::string(curl_easy_strerror(code));
        return result;
    }
};

THttpClient::THttpClient()
    : impl_(std::make_unique<Impl>(*this))
{
    GlobalInit();
    impl_->multi.reset(curl_multi_init());
}

THttpClient::~THttpClient()
{
    // Whatever closes now is nobody's business any more.
    OnSessionConnected = nullptr;
    OnSessionClosed = nullptr;
    OnSendingRequest = nullptr;
    OnDocumentData = nullptr;
    impl_->multi.reset();
}

bool THttpClient::Busy() const
{
    return impl_->busy;
}

long THttpClient::ResponseStatus() const
{
    long status = 0;
    if (impl_->easy != nullptr)
        curl_easy_getinfo(impl_->easy, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

void THttpClient::Abort()
{
    if (impl_->busy)
        impl_->aborted = true;
}

THttpResult THttpClient::Get(const std::string& address, std::string& body)
{
    Impl& s = *impl_;
    if (s.busy)
        return {THttpOutcome::OtherError, 0, "a request is already running"};
    if (!s.multi)
        return {THttpOutcome::OtherError, 0, "no HTTP client"};
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy)
        return {THttpOutcome::OtherError, 0, "no HTTP client"};

    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, address.c_str());
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, MaxRedirections);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeLimit.count()));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(TotalTimeLimit.count()));
    // Every request on its own connection, closed when the request ends: the closing is part of
    // the request, not something that happens later to a connection left in a cache.
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Stillreel/4.1.2.7");
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Impl::Write);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &s);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, &Impl::OpenSocket);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, &s);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETFUNCTION, &Impl::CloseSocket);
    curl_easy_setopt(e, CURLOPT_CLOSESOCKETDATA, &s);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &Impl::BeforeRequest);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, &s);

    s.busy = true;
    s.aborted = false;
    s.bodyTooLarge = false;
    s.attemptPending = false;
    s.body = &body;
    s.easy = e;
    curl_multi_add_handle(s.multi.get(), e);

    CURLcode code = CURLE_OK;
    bool ended = false;
    while (!ended && !s.aborted) {
        int running = 0;
        curl_multi_perform(s.multi.get(), &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(s.multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == e) {
                code = message->data.result;
                ended = true;
            }
        }
        if (ended || s.aborted)
            break;
        curl_multi_poll(s.multi.get(), nullptr, 0, PollMilliseconds, nullptr);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    // Taking the handle out closes an unfinished connection.
    curl_multi_remove_handle(s.multi.get(), e);
    // A socket that never got to a request: its connection attempt completed all the same when
    // it failed (refused, TLS), but not when time ran out or the user aborted.
    if (s.attemptPending && !s.aborted && code != CURLE_OPERATION_TIMEDOUT && code != CURLE_OK) {
        s.attemptPending = false;
        Raise(OnSessionConnected);
    }
    s.attemptPending = false;
    const THttpResult result = s.Classify(code);
    s.easy = nullptr;
    s.body = nullptr;
    s.busy = false;
    s.aborted = false;
    return result;
}

}  // namespace update
