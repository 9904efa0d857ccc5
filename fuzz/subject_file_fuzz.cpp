// subject.xml is edited by hand and may be cut short by a crash: any bytes must load safely,
// a file that loaded must save to one that loads again, and every item the tree shows must
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
    // What loaded saves to a file that loads again.
    if (!store.Save() || !lumarine::SubjectStore().Load(path)) __builtin_trap();
    while (lumarine::SubjectItem* first = tree.Root()->FirstChild()) {
      if (!store.Remove(tree.ItemPath(first))) __builtin_trap();
      tree.DeleteItem(first);
    }
  }
  std::remove(path.c_str());
  std::remove((path + ".bad").c_str());
  return 0;
}
