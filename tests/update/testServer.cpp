#include "testServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include "update/updateRecord.h"

namespace testing_support {

TTestServer::TTestServer()
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, &TTestServer::Accept);
}

QString TTestServer::Address(const QByteArray& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(QString::fromLatin1(path));
}

void TTestServer::Accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            // Requests are small: wait for the whole header, then answer once.
            if (socket->property("answered").toBool())
                return;
            const QByteArray head = socket->peek(8192);
            if (!head.contains("\r\n\r\n"))
                return;
            socket->setProperty("answered", true);
            socket->readAll();
            const QList<QByteArray> words = head.left(head.indexOf("\r\n")).split(' ');
            ++requests_;
            Answer(socket, words.size() > 1 ? words[1] : QByteArray("/"));
        });
    }
}

void TTestServer::Answer(QTcpSocket* socket, const QByteArray& path)
{
    const TReply reply = routes_.value(path, Reply(404, QByteArray("not here")));
    if (reply.Silent)
        return;
    QByteArray body = reply.Body;
    for (const auto& piece : reply.Pieces)
        body += piece.second;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.Status) + " Status\r\n";
    head += "Content-Type: application/octet-stream\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!reply.Location.isEmpty())
        head += "Location: " + reply.Location + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head + reply.Body);
    socket->flush();
    QPointer<QTcpSocket> guarded(socket);
    int delay = 0;
    for (const auto& piece : reply.Pieces) {
        delay += piece.first;
        QTimer::singleShot(delay, socket, [guarded, bytes = piece.second] {
            if (guarded) {
                guarded->write(bytes);
                guarded->flush();
            }
        });
    }
    QTimer::singleShot(delay, socket, [guarded] {
        if (guarded)
            guarded->disconnectFromHost();
    });
}

quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QByteArray RecordBytes(int version, const QByteArray& name, const QByteArray& address)
{
    const update::TUpdateInfoRecord record = update::MakeUpdateRecord(version, name.toStdString(), address.toStdString());
    return QByteArray(reinterpret_cast<const char*>(record.Bytes.data()), static_cast<int>(record.Bytes.size()));
}

}  // namespace testing_support
