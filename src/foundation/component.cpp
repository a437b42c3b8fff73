#include "foundation/component.h"

#include <algorithm>
#include <typeinfo>

#include "foundation/exceptions.h"

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#endif

namespace nuv {

TObject::~TObject() = default;

std::string TObject::ClassName() const {
  const char* raw = typeid(*this).name();
  std::string name = raw;
#if defined(__GNUG__)
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(raw, nullptr, nullptr, &status), std::free);
  if (status == 0 && demangled) name = demangled.get();
#endif
  const auto colon = name.rfind("::");
  if (colon != std::string::npos) name.erase(0, colon + 2);
  return name;
}

void TPersistent::Assign(TPersistent* Source) {
  if (Source != nullptr) {
    Source->AssignTo(this);
    return;
  }
  AssignError(nullptr, this);
}

void TPersistent::AssignTo(TPersistent* Dest) { AssignError(this, Dest); }

void TPersistent::AssignError(const TPersistent* Source, const TPersistent* Dest) {
  const std::string source = Source != nullptr ? Source->ClassName() : std::string("nil");
  const std::string dest = Dest != nullptr ? Dest->ClassName() : std::string("nil");
  throw EConvertError("Cannot assign a " + source + " to a " + dest);
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int32_t Index) const {
  if (Index < 0 || Index >= ComponentCount()) return nullptr;
  return FComponents[static_cast<size_t>(Index)];
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this || AComponent->FOwner == this) return;
  FComponents.push_back(AComponent);
  if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
  AComponent->FOwner = this;
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent->FOwner != this) return;
  auto it = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
  if (it != FComponents.rend()) FComponents.erase(std::next(it).base());
  AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  // Each owned component is detached before it is deleted, so its destructor
  // does not touch this list; a destructor that deletes siblings is safe too.
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    FComponents.pop_back();
    last->FOwner = nullptr;
    delete last;
  }
}

}  // namespace nuv
