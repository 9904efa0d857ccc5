#include "base/dock_side.h"

namespace lumarine {
namespace {

std::optional<bool> dockedAtLeft;

}  // namespace

std::optional<bool> DockedAtLeft() { return dockedAtLeft; }

void SetDockedAtLeft(std::optional<bool> left) { dockedAtLeft = left; }

}  // namespace lumarine
