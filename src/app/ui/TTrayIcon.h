// TTrayIcon: the program's icon in the desktop's notification area. `Active` puts it in
// the tray or takes it out; the tip text keeps at most 62 characters; a left click or a
// double click runs OnClick / OnDblClick, a right click shows PopupMenu and then runs
// OnRightClick.
//
// When the desktop offers no notification area, Active stays false (the add fails, as a
// failed tray call does), so the caller shows the window instead of hiding the program.
//
// Owned by the main window; main thread only.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

class QMenu;
class QSystemTrayIcon;

namespace vellumar {

class TTrayIcon : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxToolTip = 62;

    explicit TTrayIcon(QObject* parent = nullptr);
    ~TTrayIcon() override;

    bool Active() const { return active_; }
    // True when the icon is in the tray afterwards.
    bool setActive(bool active);
    void setIcon(const QIcon& icon);
    QIcon Icon() const { return icon_; }
    void setToolTip(const QString& tip);
    QString ToolTip() const { return toolTip_; }
    void setPopupMenu(QMenu* menu);
    QMenu* PopupMenu() const { return popupMenu_; }

    // Whether the desktop has a notification area; tests replace it.
    static std::function<bool()>& availability();

  signals:
    void OnClick();
    void OnDblClick();
    void OnRightClick(QPoint position);

  private:
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QIcon icon_;
    QString toolTip_;
    bool active_ = false;
};

}  // namespace vellumar
