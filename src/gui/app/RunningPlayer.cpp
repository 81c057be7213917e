#include "gui/app/RunningPlayer.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QWidget>

namespace pelvano::gui {

namespace {

const QByteArray kRaise = QByteArrayLiteral("raise\n");
constexpr int kAnswerWaitMs = 2000;

}  // namespace

QString RunningPlayerName(const std::string& stationFolder) {
    const QDir dir(QString::fromStdString(stationFolder));
    const QString folder = dir.exists() ? dir.canonicalPath() : dir.absolutePath();
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("pelvano-") + QString::fromLatin1(hash.toHex().left(20));
}

RunningPlayerListener::RunningPlayerListener(const std::string& stationFolder,
                                             std::function<void()> onRaise)
    : onRaise_(std::move(onRaise)) {
    const QString name = RunningPlayerName(stationFolder);
    QLocalServer::removeServer(name);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // Without the socket the player plays on; a second start then simply is refused.
    if (!server_.listen(name)) return;
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_.nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                while (client->canReadLine()) {
                    if (client->readLine() == kRaise && onRaise_) onRaise_();
                }
            });
        }
    });
}

bool AskRunningPlayerToRaise(const std::string& stationFolder) {
    QLocalSocket socket;
    socket.connectToServer(RunningPlayerName(stationFolder));
    if (!socket.waitForConnected(kAnswerWaitMs)) return false;
    socket.write(kRaise);
    const bool sent = socket.waitForBytesWritten(kAnswerWaitMs);
    socket.disconnectFromServer();
    return sent;
}

void RaiseShownWindows(QWidget* player) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
    }
    if (player) player->activateWindow();
}

}  // namespace pelvano::gui
