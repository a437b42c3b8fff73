// The three message forms: component, free function, plain text.
#pragma once

#include <string>

#include "foundation/component.h"

namespace nuv {

/// "Component \"<Name>\": <Text>"; an absent component gives an empty name.
inline std::string ComponentMessage(const TComponent* Comp, const std::string& Text) {
  return "Component \"" + (Comp != nullptr ? Comp->Name() : std::string()) + "\": " + Text;
}

/// "<FuncName>: <Text>"
inline std::string FunctionMessage(const std::string& FuncName, const std::string& Text) {
  return FuncName + ": " + Text;
}

/// Raises E with the component form of Text.
template <class E>
[[noreturn]] void RaiseComponentError(const TComponent* Comp, const std::string& Text) {
  throw E(ComponentMessage(Comp, Text));
}

/// Raises E with the free-function form of Text.
template <class E>
[[noreturn]] void RaiseFunctionError(const std::string& FuncName, const std::string& Text) {
  throw E(FunctionMessage(FuncName, Text));
}

}  // namespace nuv
