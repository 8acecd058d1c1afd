#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <vector>

class QTcpSocket;

namespace testing_support {

// What the server answers on one path.
struct TReply {
    int Status = 200;
    QByteArray Body;
    QByteArray Location;  // sent as the Location header when not empty
    // The body goes out in these pieces, each after its delay in milliseconds; empty: at once.
    std::vector<std::pair<int, QByteArray>> Pieces;
    // Reads the request and never answers.
    bool Silent = false;
};

inline TReply Reply(int status, const QByteArray& body)
{
    TReply reply;
    reply.Status = status;
    reply.Body = body;
    return reply;
}

inline TReply Redirect(const QByteArray& location)
{
    TReply reply = Reply(302, {});
    reply.Location = location;
    return reply;
}

inline TReply SilentReply()
{
    TReply reply;
    reply.Silent = true;
    return reply;
}

// A small HTTP/1.1 server on 127.0.0.1 and a free port, served by the Qt event loop of the thread
// that made it: the update check keeps that loop turning while it waits.
class TTestServer : public QObject {
public:
    TTestServer();

    void Route(const QByteArray& path, TReply reply) { routes_[path] = std::move(reply); }
    QString Address(const QByteArray& path) const;
    quint16 Port() const { return server_.serverPort(); }
    int Requests() const { return requests_; }

private:
    void Accept();
    void Answer(QTcpSocket* socket, const QByteArray& path);

    QTcpServer server_;
    QHash<QByteArray, TReply> routes_;
    int requests_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
quint16 ClosedPort();

// The bytes of a version record.
QByteArray RecordBytes(int version, const QByteArray& name, const QByteArray& address);

}  // namespace testing_support
