// Finds and closes top-level windows by title, the way a window manager would.
//   x_window wait TITLE SECONDS   waits until a window with that title is mapped
//   x_window close TITLE          asks every window with that title to close (WM_DELETE_WINDOW)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[1], "wait") == 0 && argc < 4)) {
    std::fprintf(stderr, "usage: x_window wait TITLE SECONDS | x_window close TITLE\n");
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
