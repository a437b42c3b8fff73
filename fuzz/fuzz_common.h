// What every fuzz harness shares. A harness is one file, fuzz/<reader>_fuzz.cpp,
// that defines the two functions below; the build picks it up by its name.
// The common part runs each input with every single allocation above 1 MiB
// failing (as "not enough memory" would on a small machine), writes the seed
// corpus, and offers files and checks for the harnesses. See fuzz/README.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Nuv_matrix/Nuv_matrix.h"
#include "Nuv_vector/Nuv_vector.h"

namespace nuv_fuzz {

/// Defined by the harness: the seed inputs, made with the library's writers
/// where it has one for the format.
std::vector<std::string> Seeds();

/// Defined by the harness: runs one input, usually loading it into an object
/// that already holds data and checking that a failed load changed nothing.
void TestOneInput(const uint8_t* Data, std::size_t Size);

/// Stops the run as a crash with Message when Ok is false.
void Require(bool Ok, const char* Message);

/// A file of this process holding the bytes, for readers that take a name.
const std::string& AsFile(const uint8_t* Data, std::size_t Size);

/// The input without its first byte, which harnesses use to choose a mode.
inline std::string Rest(const uint8_t* Data, std::size_t Size) {
  return Size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(Data) + 1, Size - 1);
}

/// A byte string read back from a stream the library wrote.
std::string BytesOf(nuv::TMemoryStream& S);
/// The bytes of a file the library wrote.
std::string BytesOfFile(const std::string& FileName);
/// A scratch file name for the seed makers.
std::string SeedFile(const std::string& Name);

/// The state of an object that a failed load must leave as it was.
template <class V>
std::string StateOf(const V& v) {
  return std::to_string(v.NrOfElem()) + (v.IsEmpty() ? " empty " : " ") + v.CRCofData();
}
std::string StateOf(const nuv::TMatrix& m);

}  // namespace nuv_fuzz
