#include "search/ui/DesktopBus.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QRandomGenerator>
#include <QStringList>
#include <QVariantMap>

#include "doorwell/FileActions.h"

namespace vellumar {

namespace {

constexpr int kBusTimeoutMs = 3000;
const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// A name on the bus that is there already or can be started on demand.
bool serviceAvailable(QDBusConnection& bus, const QString& service) {
    QDBusConnectionInterface* busInterface = bus.interface();
    if (!busInterface) return false;
    if (busInterface->isServiceRegistered(service)) return true;
    const QDBusReply<QStringList> activatable = busInterface->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(service);
}

}  // namespace

// Waits for the portal's answer to one request; the chooser is shown by then.
class PortalRequest : public QObject {
    Q_OBJECT
  public:
    PortalRequest(std::function<void()> fallback, QObject* parent)
        : QObject(parent), fallback_(std::move(fallback)) {}

  public slots:
    void response(uint code, const QVariantMap&) {
        // 0: an application was chosen and started, 1: the user cancelled, 2: the portal
        // could not do it (no chooser on this desktop).
        if (code == 2 && fallback_) fallback_();
        deleteLater();
    }

  private:
    std::function<void()> fallback_;
};

bool askDesktopToOpenWith(const std::string& file, std::function<void()> fallback,
                          QObject* parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !serviceAvailable(bus, kPortalService)) return false;
    // The portal takes the file as an open descriptor, so any name works.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    const QDBusUnixFileDescriptor descriptor(fd);  // holds a copy
    ::close(fd);

    // The request's object path is known before the call, so the answer cannot be missed.
    const QString token = QStringLiteral("vellumar%1").arg(QRandomGenerator::global()->generate());
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString handle =
        kPortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    auto* request = new PortalRequest(std::move(fallback), parent);
    bus.connect(kPortalService, handle, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"), request, SLOT(response(uint, QVariantMap)));

    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, kPortalPath, QStringLiteral("org.freedesktop.portal.OpenURI"),
        QStringLiteral("OpenFile"));
    QVariantMap options;
    options.insert(QStringLiteral("ask"), true);
    options.insert(QStringLiteral("handle_token"), token);
    call << QString() << QVariant::fromValue(descriptor) << options;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kBusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        delete request;
        return false;
    }
    return true;
}

bool askFileManagerToShow(const std::string& itemUri) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QString::fromLatin1(doorwell::kFileManagerService);
    if (!bus.isConnected() || !serviceAvailable(bus, service)) return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QString::fromLatin1(doorwell::kFileManagerPath),
                                       QString::fromLatin1(doorwell::kFileManagerInterface),
                                       QString::fromLatin1(doorwell::kFileManagerShowItems));
    // The address is all ASCII (doorwell escapes every other byte).
    call << QStringList{QString::fromLatin1(itemUri)} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, kBusTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace vellumar

#include "DesktopBus.moc"
