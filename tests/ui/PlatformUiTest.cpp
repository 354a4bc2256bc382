// The Qt side of the platform layer: the message function, the session signals, the
// tray icon component and the cursor.
#include "app/ui/TTrayIcon.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/SessionSignals.h"
#include "viewer/ui/ViewColors.h"

#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>

using namespace vellumar;

class PlatformUiTest : public QObject {
    Q_OBJECT

  private slots:
    void messagesBreakLinesWhereTheProgramWroteCarriageReturns() {
        QCOMPARE(displayText(QStringLiteral("a\rb\r\nc\nd")), QStringLiteral("a\nb\nc\nd"));
    }

    void theResponderAnswersInOrderThenWithTheFirstButton() {
        MessageResponderScope answers;
        answers.queueAnswer(MessageResult::No);
        QCOMPARE(showMessageBox("q1", MessageIcon::Question, MessageButtons::YesNo),
                 MessageResult::No);
        QCOMPARE(showMessageBox("q2", MessageIcon::Question, MessageButtons::YesNo),
                 MessageResult::Yes);
        QCOMPARE(showMessageBox("q3", MessageIcon::Warning, MessageButtons::RetryCancel),
                 MessageResult::Retry);
        QCOMPARE(int(showMessageBox("m", MessageIcon::Error)), 1);
        QCOMPARE(answers.messages().size(), size_t(4));
        QCOMPARE(answers.messages()[2].icon, MessageIcon::Warning);
        {
            MessageResponderScope inner(
                [](const MessageRequest&) { return MessageResult::Cancel; });
            QCOMPARE(showMessageBox("x", MessageIcon::None, MessageButtons::OkCancel),
                     MessageResult::Cancel);
        }
        QCOMPARE(answers.messages().size(), size_t(4));  // the inner scope took that one
        QCOMPARE(applicationTitle(), QStringLiteral("Vellumar"));
    }

    void termAndHupArriveThroughTheEventLoop() {
        SessionSignals signals_;
        QSignalSpy spy(&signals_, &SessionSignals::sessionEndRequested);
        ::raise(SIGHUP);
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.takeFirst().at(0).toInt(), SIGHUP);
        ::raise(SIGTERM);
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.takeFirst().at(0).toInt(), SIGTERM);
    }

    void trayIconKeepsSixtyTwoCharactersAndFailsQuietlyWithoutATray() {
        const std::function<bool()> desktop = TTrayIcon::availability();
        TTrayIcon::availability() = [] { return false; };
        TTrayIcon icon;
        icon.setToolTip(QString(70, QLatin1Char('x')));
        QCOMPARE(icon.ToolTip().size(), 62);
        QVERIFY(!icon.setActive(true));
        QVERIFY(!icon.Active());
        TTrayIcon::availability() = [] { return true; };
        QVERIFY(icon.setActive(true));
        QVERIFY(icon.setActive(true));  // again: no change
        QVERIFY(!icon.setActive(false));
        TTrayIcon::availability() = desktop;
    }

    void theScreenCursorIsOneSettingNotAStack() {
        setScreenCursor(CursorShape::Hourglass);
        setScreenCursor(CursorShape::AppStart);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        {
            CursorScope busy(CursorShape::Hourglass);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QCOMPARE(screenCursor(), CursorShape::AppStart);
        setScreenCursor(CursorShape::Default);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void storedColoursAndFontsBecomeQtOnes() {
        QPalette palette;
        palette.setColor(QPalette::Text, Qt::darkBlue);
        palette.setColor(QPalette::Base, Qt::yellow);
        palette.setColor(QPalette::Button, Qt::gray);
        QCOMPARE(colorFromSetting(kColorWindowText, palette), QColor(Qt::darkBlue));
        QCOMPARE(colorFromSetting(kColorWindow, palette), QColor(Qt::yellow));
        QCOMPARE(colorFromSetting(kColorButtonFace, palette), QColor(Qt::gray));
        QCOMPARE(colorFromSetting(0x00332211, palette), QColor(0x11, 0x22, 0x33));
        QCOMPARE(colorToSetting(QColor(0x11, 0x22, 0x33)), 0x00332211);
        FontSetting setting;  // "MS Sans Serif", which the desktop lacks
        setting.size = 0;     // nonsense size: the fallback's size stays
        setting.italic = true;
        QFont fallback(QStringLiteral("Sans"), 10);
        const QFont font = fontFromSetting(setting, fallback);
        QCOMPARE(font.pointSize(), 10);
        QVERIFY(font.italic());
    }
};

QTEST_MAIN(PlatformUiTest)
#include "PlatformUiTest.moc"
