// Keystroke to repainted preview, measured from outside the program as the X server sees it: a
// key is sent with XTest, and the time runs until the window reports damage inside the preview's
// box (XDamage). Run it against Korvu and against the bare window, side by side
// (bench/app/keystrokes.sh).
//
// Usage: bench-keystroke-latency WINDOW FIELD_X FIELD_Y BOX_X BOX_Y BOX_W BOX_H KEYS [WARMUP]
//   WINDOW is the window's id; the field is clicked at (FIELD_X, FIELD_Y) in its client area, and
//   then KEYS keystrokes alternate a typed "1" with BackSpace, so that every one changes the text.
// Prints one latency per line, in microseconds.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Box {
  int x, y, width, height;
};

bool Intersects(const XRectangle& area, const Box& box) {
  return area.x < box.x + box.width && box.x < area.x + area.width && area.y < box.y + box.height &&
         box.y < area.y + area.height;
}

// The window's client area on the screen, for the pointer.
void Origin(Display* display, Window window, int& x, int& y) {
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
}

void Click(Display* display, Window window, int x, int y) {
  int origin_x = 0, origin_y = 0;
  Origin(display, window, origin_x, origin_y);
  XTestFakeMotionEvent(display, -1, origin_x + x, origin_y + y, CurrentTime);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
}

void Key(Display* display, KeySym symbol) {
  const KeyCode code = XKeysymToKeycode(display, symbol);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XFlush(display);
}

// Drops the damage reported so far; waits a little so that what a previous key started is over.
void Settle(Display* display) {
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  XSync(display, False);
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
  }
}

// Microseconds from now until damage inside `box`; -1 after a second without.
long WaitForDamage(Display* display, int damage_event, const Box& box, Clock::time_point sent) {
  const int fd = ConnectionNumber(display);
  while (Clock::now() - sent < std::chrono::seconds(1)) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != damage_event + XDamageNotify) continue;
      const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
      if (Intersects(notify.area, box))
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent).count();
    }
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(fd, &ready);
    timeval wait{0, 1000};
    select(fd + 1, &ready, nullptr, nullptr, &wait);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 9) {
    std::fprintf(stderr, "usage: %s WINDOW FIELD_X FIELD_Y BOX_X BOX_Y BOX_W BOX_H KEYS [WARMUP]\n",
                 argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  int damage_event = 0, damage_error = 0, major = 0, minor = 0, xtest_event = 0, xtest_error = 0;
  if (display == nullptr || !XDamageQueryExtension(display, &damage_event, &damage_error) ||
      !XTestQueryExtension(display, &xtest_event, &xtest_error, &major, &minor)) {
    std::fprintf(stderr, "needs an X display with XDamage and XTest\n");
    return 1;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  const Box box{std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7])};
  const int keys = std::atoi(argv[8]);
  const int warmup = argc > 9 ? std::atoi(argv[9]) : 10;
  XDamageCreate(display, window, XDamageReportRawRectangles);
  Click(display, window, std::atoi(argv[2]), std::atoi(argv[3]));
  Key(display, XK_End);
  for (int i = 0; i < warmup + keys; ++i) {
    Settle(display);
    const auto sent = Clock::now();
    Key(display, i % 2 == 0 ? XK_1 : XK_BackSpace);
    const long latency = WaitForDamage(display, damage_event, box, sent);
    if (i >= warmup) std::printf("%ld\n", latency);
  }
  XCloseDisplay(display);
  return 0;
}
