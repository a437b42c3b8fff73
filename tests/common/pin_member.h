// Interface tests take the address of each public member with its exact
// function type: a changed signature fails to compile, a member missing from
// the exported symbols fails to link. They are compile and link checks; at run
// time such a test only counts its pins, which guards against a pin deleted by
// mistake and asserts nothing about behaviour.
#pragma once

#include <vector>

namespace nuv_test {

/// Keeps the member pointer of the overload of C with function type F.
template <class C, class F>
F C::*const& pin(F C::*p) {
  static F C::*keep;
  keep = p;
  return keep;
}

}  // namespace nuv_test

// Selects the overload of C::M with the function type given and records its address in pins.
#define PIN(C, M, ...) \
  pins.push_back(reinterpret_cast<const void*>(&::nuv_test::pin<C, __VA_ARGS__>(&C::M)))
