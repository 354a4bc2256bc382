#include "app/ui/TTrayIcon.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace vellumar {

std::function<bool()>& TTrayIcon::availability() {
    static std::function<bool()> available = [] {
        return QSystemTrayIcon::isSystemTrayAvailable();
    };
    return available;
}

TTrayIcon::TTrayIcon(QObject* parent) : QObject(parent), tray_(new QSystemTrayIcon(this)) {
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                    case QSystemTrayIcon::Trigger:
                        emit OnClick();
                        break;
                    case QSystemTrayIcon::DoubleClick:
                        emit OnDblClick();
                        break;
                    case QSystemTrayIcon::Context:
                        emit OnRightClick(QCursor::pos());
                        break;
                    default:
                        break;
                }
            });
}

TTrayIcon::~TTrayIcon() { setActive(false); }

bool TTrayIcon::setActive(bool active) {
    if (active == active_) return active_;
    if (active) {
        if (!availability()()) return false;  // not reported: the caller looks at Active()
        tray_->setIcon(icon_);
        tray_->setToolTip(toolTip_);
        tray_->setContextMenu(popupMenu_);
        tray_->show();
        active_ = true;
    } else {
        tray_->hide();
        active_ = false;
    }
    return active_;
}

void TTrayIcon::setIcon(const QIcon& icon) {
    icon_ = icon;
    if (active_) tray_->setIcon(icon_);
}

void TTrayIcon::setToolTip(const QString& tip) {
    toolTip_ = tip.left(kMaxToolTip);
    if (active_) tray_->setToolTip(toolTip_);
}

void TTrayIcon::setPopupMenu(QMenu* menu) {
    popupMenu_ = menu;
    if (active_) tray_->setContextMenu(menu);
}

}  // namespace vellumar
