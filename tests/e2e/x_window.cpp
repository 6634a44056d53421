// SPDX-License-Identifier: GPL-3.0-or-later
// Finds and closes top-level windows by title, the way a window manager would.
//   x_window wait TITLE SECONDS   waits until a window with that title is mapped
//   x_window close TITLE          asks every window with that title to close (WM_DELETE_WINDOW)
//   x_window ping TITLE SECONDS [LIMIT_MS]
//                                 pings the window (_NET_WM_PING) one ping after another for SECONDS and prints
//                                 the answer times; fails when an answer takes longer than LIMIT_MS or never comes
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Title(Display* d, Window w) {
  Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &items, &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), items);
    XFree(data);
    return title;
  }
  char* name = nullptr;
  if (XFetchName(d, w, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

void Find(Display* d, Window w, const std::string& title, std::vector<Window>& out) {
  XWindowAttributes attrs;
  if (Title(d, w) == title && XGetWindowAttributes(d, w, &attrs) && attrs.map_state == IsViewable) out.push_back(w);
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &count)) return;
  for (unsigned int i = 0; i < count; ++i) Find(d, children[i], title, out);
  if (children) XFree(children);
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }  // windows may vanish while we look

using Clock = std::chrono::steady_clock;

// The window answers a ping on its event thread by sending it back to the root window, as a window manager
// expects: the time until then is how long the window keeps a user waiting.
int Ping(Display* d, Window w, double seconds, double limitMs) {
  const Window root = DefaultRootWindow(d);
  XSelectInput(d, root, StructureNotifyMask | SubstructureNotifyMask);  // Qt sends its answer with the first
  const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
  const Atom ping = XInternAtom(d, "_NET_WM_PING", False);
  std::vector<double> times;
  const auto begin = Clock::now();
  const auto end = begin + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  for (long id = 1; Clock::now() < end; ++id) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = protocols;
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(ping);
    e.xclient.data.l[1] = id;  // stands in for the timestamp: tells the answers apart
    e.xclient.data.l[2] = long(w);
    const auto sent = Clock::now();
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
    bool answered = false;
    while (!answered) {
      while (!answered && XPending(d)) {
        XEvent reply;
        XNextEvent(d, &reply);
        answered = reply.type == ClientMessage && reply.xclient.window == root &&
                   Atom(reply.xclient.data.l[0]) == ping && reply.xclient.data.l[1] == id;
      }
      if (answered) break;
      const double waited = std::chrono::duration<double>(Clock::now() - sent).count();
      if (waited > 30) {
        std::fprintf(stderr, "x_window: no answer to a ping within 30 s\n");
        return 1;
      }
      pollfd fd{ConnectionNumber(d), POLLIN, 0};
      ::poll(&fd, 1, 100);
    }
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
    // Slower than a frame: when, so that a stall can be laid beside what the program did then.
    if (times.back() > 16)
      std::fprintf(stderr, "x_window: answer after %.1f ms, %.2f s into the pings\n", times.back(),
                   std::chrono::duration<double>(sent - begin).count());
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (times.empty()) return 1;
  std::sort(times.begin(), times.end());
  const double max = times.back(), p99 = times[std::min(times.size() - 1, times.size() * 99 / 100)];
  std::printf("pings %zu, answer time max %.1f ms, p99 %.1f ms, median %.1f ms\n", times.size(), max, p99,
              times[times.size() / 2]);
  if (limitMs > 0 && max > limitMs) {
    std::fprintf(stderr, "x_window: an answer took %.1f ms, more than %.0f ms\n", max, limitMs);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool timed = argc > 1 && (std::strcmp(argv[1], "wait") == 0 || std::strcmp(argv[1], "ping") == 0);
  if (argc < 3 || (timed && argc < 4)) {
    std::fprintf(
        stderr, "usage: x_window wait TITLE SECONDS | x_window close TITLE | x_window ping TITLE SECONDS [LIMIT_MS]\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "x_window: cannot open display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  const std::string title = argv[2];
  std::vector<Window> found;
  if (std::strcmp(argv[1], "wait") == 0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[3]));
    while (Find(d, DefaultRootWindow(d), title, found), found.empty()) {
      if (std::chrono::steady_clock::now() > deadline) {
        std::fprintf(stderr, "x_window: no window \"%s\"\n", title.c_str());
        return 1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
  }
  Find(d, DefaultRootWindow(d), title, found);
  if (found.empty()) {
    std::fprintf(stderr, "x_window: no window \"%s\"\n", title.c_str());
    return 1;
  }
  if (std::strcmp(argv[1], "ping") == 0)
    return Ping(d, found.front(), std::atof(argv[3]), argc > 4 ? std::atof(argv[4]) : 0);
  const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
  const Atom deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
  for (Window w : found) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = protocols;
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(deleteWindow);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
  }
  XSync(d, False);
  XCloseDisplay(d);
  return 0;
}
