#pragma once

#include <string>

#include "subjects/subject_item.h"
#include "subjects/subject_store.h"
#include "subjects/subject_tree_model.h"

namespace lumarine::test {

// The subject file at `path` as a fresh start shows it, told by `describe` from the first
// top-level item on; "<load failed>" when the file does not load.
template <typename Describe>
std::string DescribeReloaded(const std::string& path, Describe describe) {
  SubjectStore store;
  if (!store.Load(path)) return "<load failed>";
  SubjectTreeModel tree;
  store.FillTree(tree);
  return describe(tree.Root()->FirstChild());
}

}  // namespace lumarine::test
