#include <cstdio>

#include "foundation/frame.h"

int main() {
  nuv::TComponent owner;
  auto* child = new nuv::TComponent(&owner);
  child->SetName("child");
  nuv::ProgressStep();
  std::printf("%s owned by a component with %d child\n", child->Name().c_str(),
              owner.ComponentCount());
  return owner.ComponentCount() == 1 ? 0 : 1;
}
