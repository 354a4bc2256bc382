#include "index/ui/FolderTree.h"

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

namespace vellumar {

namespace {

constexpr int kFollowMilliseconds = 3000;
constexpr const char* kName = "folderFollower";

class FolderFollower : public QObject {
  public:
    explicit FolderFollower(QTreeView& view) : QObject(&view), view_(view) {
        setObjectName(kName);
        view.viewport()->installEventFilter(this);
        connect(view.model(), &QAbstractItemModel::rowsInserted, this, [this] { later(); });
        connect(view.model(), &QAbstractItemModel::layoutChanged, this, [this] { later(); });
    }

    void start() {
        clock_.start();
        following_ = true;
        later();
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // The user took over.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
            following_ = false;
        return false;
    }

  private:
    void later() {
        if (following_ && !queued_) {
            queued_ = true;
            QTimer::singleShot(50, this, [this] {
                queued_ = false;
                scroll();
            });
        }
    }

    void scroll() {
        if (!following_ || clock_.elapsed() > kFollowMilliseconds) {
            following_ = false;
            return;
        }
        const QModelIndex current = view_.currentIndex();
        if (current.isValid()) view_.scrollTo(current, QAbstractItemView::PositionAtCenter);
        later();  // rows may still arrive
    }

    QTreeView& view_;
    QElapsedTimer clock_;
    bool following_ = false;
    bool queued_ = false;
};

}  // namespace

void followCurrentFolder(QTreeView& view) {
    // Found by name: the class has no meta-object of its own for findChild to tell it by.
    auto* follower = static_cast<FolderFollower*>(
        view.findChild<QObject*>(QString::fromLatin1(kName), Qt::FindDirectChildrenOnly));
    if (!follower) follower = new FolderFollower(view);
    follower->start();
}

}  // namespace vellumar
