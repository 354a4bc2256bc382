// The program-wide mouse cursor: the hourglass while the main thread works, the
// application-starting cursor while another program or the help starts, else the
// default. Like the classic screen cursor it is one setting, not a stack: setting the
// default removes any busy cursor.
//
// Thread: main thread only.
#pragma once

namespace vellumar {

enum class CursorShape { Default, Hourglass, AppStart };

void setScreenCursor(CursorShape shape);
CursorShape screenCursor();

// Shows a shape for the lifetime of the scope, then the shape that was there before.
class CursorScope {
  public:
    explicit CursorScope(CursorShape shape) : previous_(screenCursor()) { setScreenCursor(shape); }
    ~CursorScope() { setScreenCursor(previous_); }
    CursorScope(const CursorScope&) = delete;
    CursorScope& operator=(const CursorScope&) = delete;

  private:
    CursorShape previous_;
};

// Lets the user interface react (repaint, a click on "Cancel") during long work.
void processPendingMessages();

}  // namespace vellumar
