// subject.xml is edited by hand and may be cut short by a crash: any bytes must load safely,
// a save of what loaded either writes a file that loads again or writes nothing (a hand-typed
// element name the file's code page cannot hold is refused), and every item the tree shows must
// stay removable through its path, same-titled siblings included.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "subjects/subject_store.h"
#include "subjects/subject_tree_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/lumarine-fuzz-" + std::to_string(getpid()) + ".xml";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  lumarine::SubjectStore store;
  if (store.Load(path)) {
    lumarine::SubjectTreeModel tree;
    store.FillTree(tree);
    // A save that went through wrote a file that loads again.
    if (store.Save() && !lumarine::SubjectStore().Load(path)) __builtin_trap();
    while (lumarine::SubjectItem* first = tree.Root()->FirstChild()) {
      if (!store.Remove(tree.ItemPath(first))) __builtin_trap();
      tree.DeleteItem(first);
    }
  }
  std::remove(path.c_str());
  std::remove((path + ".bad").c_str());
  return 0;
}
