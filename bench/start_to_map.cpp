// Starts a program and waits until a viewable window whose title matches appears:
//   start_to_map TITLE-REGEX PROGRAM [ARGS...]
// Prints "<pid> <milliseconds from start to mapped>" and exits, leaving the program running.
// The X tree is looked at every 5 ms, so the figure is exact to a few milliseconds
// (`xdotool search --sync` looks only every half second).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <thread>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

std::string Title(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                  xcb_atom_t type) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, property, type, 0, 256), nullptr);
  std::string text;
  if (reply)
    text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                static_cast<size_t>(xcb_get_property_value_length(reply)));
  std::free(reply);
  return text;
}

bool Viewable(xcb_connection_t* connection, xcb_window_t window) {
  xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, window), nullptr);
  const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
  std::free(reply);
  return viewable;
}

// Depth-first over the tree below `window` (window managers put clients inside frames).
bool Find(xcb_connection_t* connection, xcb_window_t window, const std::regex& title,
          xcb_atom_t netName, xcb_atom_t utf8, int depth) {
  xcb_query_tree_reply_t* tree =
      xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
  if (!tree) return false;
  const xcb_window_t* children = xcb_query_tree_children(tree);
  const int count = xcb_query_tree_children_length(tree);
  bool found = false;
  for (int i = 0; i < count && !found; ++i) {
    std::string name = Title(connection, children[i], netName, utf8);
    if (name.empty()) name = Title(connection, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
    found =
        (!name.empty() && std::regex_search(name, title) && Viewable(connection, children[i])) ||
        (depth < 2 && Find(connection, children[i], title, netName, utf8, depth + 1));
  }
  std::free(tree);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: start_to_map TITLE-REGEX PROGRAM [ARGS...]\n");
    return 2;
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "start_to_map: no X display\n");
    return 2;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const xcb_atom_t netName = Atom(connection, "_NET_WM_NAME");
  const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
  const std::regex title(argv[1]);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);  // its own group, so that the caller can stop its whole tree
    // The program outlives this tool: its output must not hold the caller's $(...) open.
    dup2(STDERR_FILENO, STDOUT_FILENO);
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  while (!Find(connection, root, title, netName, utf8, 0)) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "start_to_map: %s ended before its window was mapped\n", argv[2]);
      return 1;
    }
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) {
      std::fprintf(stderr, "start_to_map: no window within 60 s\n");
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  std::printf("%d %lld\n", static_cast<int>(pid), static_cast<long long>(elapsed.count()));
  xcb_disconnect(connection);
  return 0;
}
