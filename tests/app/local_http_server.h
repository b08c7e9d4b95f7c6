#pragma once
// A tiny HTTP server on 127.0.0.1 for the online lists: answers GET requests
// for the paths it was given (404 for others) and closes each connection
// after its answer. In silent mode it accepts connections and never answers.
// It runs on the thread of the test, so the test's event loop drives it.
#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class LocalHttpServer : public QObject {
 public:
  LocalHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] { Accept(); });
  }

  bool Listening() const { return server_.isListening(); }
  QString Address() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
  // The address of a path on this server.
  QString Url(const QString& path) const { return Address() + path; }

  void Serve(const QString& path, const QByteArray& body, int status = 200) { routes_[path] = {status, body}; }
  void SetSilent(bool silent) { silent_ = silent; }
  // Paths asked for, in order; connections accepted (also silent ones).
  const QStringList& Requests() const { return requests_; }
  int Connections() const { return connections_; }

  // An address on which nothing listens: a server that listened there was
  // closed again.
  static QString RefusingAddress() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
  }

 private:
  struct Route {
    int status = 200;
    QByteArray body;
  };

  void Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      ++connections_;
      socket->setParent(this);
      if (silent_) continue;
      QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
    }
  }

  void Read(QTcpSocket* socket) {
    QByteArray& buffer = pending_[socket];
    buffer += socket->readAll();
    if (!buffer.contains("\r\n\r\n")) return;
    const QList<QByteArray> first = buffer.left(buffer.indexOf("\r\n")).split(' ');
    pending_.remove(socket);
    const QString path = first.size() >= 2 ? QString::fromLatin1(first[1]) : QString();
    requests_ << path;
    const auto it = routes_.constFind(path);
    const Route route = it == routes_.constEnd() ? Route{404, QByteArray("not found")} : *it;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + (route.status == 200 ? " OK" : " Error") +
                      "\r\nContent-Length: " + QByteArray::number(route.body.size()) +
                      "\r\nConnection: close\r\n\r\n";
    socket->write(head + route.body);
    socket->disconnectFromHost();
  }

  QTcpServer server_;
  QMap<QString, Route> routes_;
  QMap<QTcpSocket*, QByteArray> pending_;
  QStringList requests_;
  int connections_ = 0;
  bool silent_ = false;
};
